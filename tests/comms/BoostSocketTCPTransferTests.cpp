#include "comms/GenericCommsBaseError.h"
#include "tests/comms/LinkFixture.h"
#include "tests/support/Platform.h"

#include <boost/system/system_error.hpp>

#include <array>
#include <functional>
#include <string>

using linktest::discoverRequest;
using linktest::millisecondsSince;
using Clock = std::chrono::steady_clock;
using Link = aComms::BoostSocketTCP;

namespace
{
constexpr int recordSize = 123;
constexpr uint8_t pattern = 0xA5;

// A read as the link's users make them: timed (as discovery and the engine do) or blocking.
struct ReadKind
{
    const char* name;
    std::function<int (Link&, uint8_t*, int)> read;
};

const std::vector<ReadKind> readKinds {
    { "timed", [] (Link& link, uint8_t* buffer, int length) { return link.readDataWithTimeout (buffer, length, 2500); } },
    { "blocking", [] (Link& link, uint8_t* buffer, int length) { return link.readData (buffer, length); } }
};

struct WriteKind
{
    const char* name;
    std::function<int (Link&, const uint8_t*, int)> write;
};

const std::vector<WriteKind> writeKinds {
    { "timed", [] (Link& link, const uint8_t* buffer, int length) { return link.writeDataWithTimeout (buffer, length, 2500); } },
    { "blocking", [] (Link& link, const uint8_t* buffer, int length) { return link.writeData (buffer, length); } }
};

// Every read and write the link offers, for the cases that treat them alike.
std::vector<std::pair<std::string, std::function<int (Link&, uint8_t*, int)>>> everyTransfer()
{
    std::vector<std::pair<std::string, std::function<int (Link&, uint8_t*, int)>>> all;
    for (const auto& kind : readKinds)
        all.emplace_back (std::string ("read ") + kind.name, kind.read);
    for (const auto& kind : writeKinds)
        all.emplace_back (std::string ("write ") + kind.name,
                          [write = kind.write] (Link& link, uint8_t* buffer, int length) { return write (link, buffer, length); });
    return all;
}

void sendDiscover (Link& link)
{
    ASSERT_EQ (link.writeData (discoverRequest.data(), (int) discoverRequest.size()), (int) discoverRequest.size());
}

std::string whatOf (const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const aComms::GenericCommsBaseError& error)
    {
        return error.what();
    }
    catch (const std::exception& error)
    {
        return std::string ("other exception: ") + error.what();
    }
    return "no exception";
}
}

class LinkTransfer : public linktest::LinkFixture
{
};

TEST_F (LinkTransfer, RequestAndReplyArriveWhole)
{
    for (const auto& write : writeKinds)
    {
        for (const auto& read : readKinds)
        {
            SCOPED_TRACE (std::string (write.name) + " write, " + read.name + " read");
            auto link = attachedLink();
            const auto before = device->requests().size();

            EXPECT_EQ (write.write (*link, discoverRequest.data(), (int) discoverRequest.size()), 12);
            std::array<uint8_t, recordSize> reply {};
            EXPECT_EQ (read.read (*link, reply.data(), recordSize), recordSize);

            EXPECT_EQ (reply, device->record());
            ASSERT_EQ (device->requests().size(), before + 1);
            EXPECT_EQ (device->requests().back().bytes, discoverRequest);
            EXPECT_TRUE (link->isAttached());
        }
    }
}

TEST_F (LinkTransfer, SilentPeerTimesOutAndDisconnects)
{
    auto link = attachedLink ({ zsim::Behaviour::Silent });
    sendDiscover (*link);

    std::array<uint8_t, recordSize> reply {};
    const auto start = Clock::now();
    EXPECT_EQ (whatOf ([&] { link->readDataWithTimeout (reply.data(), recordSize, 2500); }), "ReadTimeout");
    const auto waited = millisecondsSince (start);
    EXPECT_GE (waited, 2490);
    EXPECT_LT (waited, 5000);
    EXPECT_FALSE (link->isAttached());
}

TEST_F (LinkTransfer, PeerThatClosesMidReplyGivesSocketClosed)
{
    for (const auto& read : readKinds)
    {
        SCOPED_TRACE (read.name);
        auto link = attachedLink ({ zsim::Behaviour::ShortReplyClose, 60 });
        sendDiscover (*link);

        std::array<uint8_t, recordSize> reply {};
        EXPECT_EQ (whatOf ([&] { read.read (*link, reply.data(), recordSize); }), "SocketClosedError");
        EXPECT_FALSE (link->isAttached());
    }
}

// The library's own error; under Wine the reset may arrive as an end of file instead.
TEST_F (LinkTransfer, ResetBySocketErrorOfTheLibrary)
{
    for (const auto& read : readKinds)
    {
        SCOPED_TRACE (read.name);
        auto link = attachedLink ({ zsim::Behaviour::ResetAfterRequest });
        sendDiscover (*link);

        std::array<uint8_t, recordSize> reply {};
        try
        {
            read.read (*link, reply.data(), recordSize);
            ADD_FAILURE() << "no exception";
        }
        catch (const boost::system::system_error&)
        {
        }
        catch (const aComms::GenericCommsBaseError& error)
        {
            if (! (std::string (error.what()) == "SocketClosedError" && testplatform::resetMayReadAsEndOfFile()))
                ADD_FAILURE() << error.what();
        }
        EXPECT_FALSE (link->isAttached());
    }
}

TEST_F (LinkTransfer, ZeroLengthTouchesNothingEvenUnconnected)
{
    for (const auto& [name, transfer] : everyTransfer())
    {
        SCOPED_TRACE (name);
        auto link = makeLink();
        std::array<uint8_t, 4> buffer;
        buffer.fill (pattern);

        EXPECT_EQ (transfer (*link, buffer.data(), 0), 0);
        EXPECT_EQ (transfer (*link, nullptr, 0), 0);
        EXPECT_EQ (buffer, (std::array<uint8_t, 4> { pattern, pattern, pattern, pattern }));
    }
}

TEST_F (LinkTransfer, UnconnectedLinkGivesSocketNotOpen)
{
    for (const auto& [name, transfer] : everyTransfer())
    {
        SCOPED_TRACE (name);
        auto link = makeLink();
        std::array<uint8_t, 12> buffer {};
        EXPECT_EQ (whatOf ([&] { transfer (*link, buffer.data(), 12); }), "SocketNotOpen");
        EXPECT_FALSE (link->isAttached());
    }
}

// A negative count is refused before any byte moves, and like every failed transfer it
// leaves the link disconnected.
TEST_F (LinkTransfer, NegativeLengthIsRefusedBeforeAnyTransfer)
{
    for (const auto& [name, transfer] : everyTransfer())
    {
        SCOPED_TRACE (name);
        auto link = attachedLink();
        const auto before = device->requests().size();
        std::array<uint8_t, 12> buffer;
        buffer.fill (pattern);

        EXPECT_EQ (whatOf ([&] { transfer (*link, buffer.data(), -1); }), "WrongSizedData");
        EXPECT_FALSE (link->isAttached());
        EXPECT_EQ (buffer[0], pattern);
        EXPECT_EQ (device->requests().size(), before);

        auto unconnected = makeLink();
        EXPECT_EQ (whatOf ([&] { transfer (*unconnected, buffer.data(), -12); }), "WrongSizedData");
    }
}

// The reply comes after the caller has given up; the caller's buffer must stay as it was
// left, whatever the cancelled read does later on the network thread.
TEST_F (LinkTransfer, LateReplyNeverReachesTheCallersBuffer)
{
    constexpr int timeoutMs = 200;
    for (const int delayMs : { timeoutMs, timeoutMs + 5, timeoutMs + 50, timeoutMs + 400 })
    {
        SCOPED_TRACE (delayMs);
        auto link = attachedLink ({ zsim::Behaviour::SlowReply, 60, std::chrono::milliseconds (delayMs) });
        sendDiscover (*link);

        std::vector<uint8_t> reply (recordSize, pattern);
        const auto outcome = whatOf ([&] { link->readDataWithTimeout (reply.data(), recordSize, timeoutMs); });
        std::this_thread::sleep_for (std::chrono::milliseconds (delayMs + 200));
        drainContext();

        // At the very edge the reply may still win the race; it then arrives whole.
        if (outcome == "no exception")
        {
            EXPECT_LE (delayMs, timeoutMs + 50);
            EXPECT_TRUE (std::equal (reply.begin(), reply.end(), device->record().begin()));
            continue;
        }
        EXPECT_EQ (outcome, "ReadTimeout");
        EXPECT_EQ (reply, std::vector<uint8_t> (recordSize, pattern));
        EXPECT_FALSE (link->isAttached());
    }
}

// The same, without a race: the reply already waits in the socket when the read starts, and
// the network thread is held, so the read takes the bytes off the socket but its completion
// cannot run before the time-out. Only a read into a buffer of its own leaves the caller's
// untouched.
TEST_F (LinkTransfer, ReplyTakenByATimedOutReadNeverReachesTheCallersBuffer)
{
    auto link = attachedLink();
    sendDiscover (*link);
    const auto until = Clock::now() + std::chrono::seconds (5);
    while (aComms::BoostSocketTCPInspector::bytesWaiting (*link) < (std::size_t) recordSize && Clock::now() < until)
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    ASSERT_EQ (aComms::BoostSocketTCPInspector::bytesWaiting (*link), (std::size_t) recordSize);

    std::promise<void> held;
    std::promise<void> release;
    boost::asio::post (context, [&held, released = release.get_future()]
    {
        held.set_value();
        released.wait();
    });
    held.get_future().wait();

    std::vector<uint8_t> reply (recordSize, pattern);
    const auto outcome = whatOf ([&] { link->readDataWithTimeout (reply.data(), recordSize, 100); });
    EXPECT_EQ (reply, std::vector<uint8_t> (recordSize, pattern)) << "the read wrote while the caller waited";
    release.set_value();
    drainContext();

    EXPECT_EQ (outcome, "ReadTimeout");
    EXPECT_EQ (reply, std::vector<uint8_t> (recordSize, pattern));
    EXPECT_FALSE (link->isAttached());
}

// Zero bytes read as a stream of discover requests. The device answers each of them, and
// since nobody reads its answers it soon stops taking bytes: the write must give up.
TEST_F (LinkTransfer, WriteThatCannotFinishTimesOut)
{
    auto link = attachedLink();
    const std::vector<uint8_t> lots (64 * 1024 * 1024, 0);

    EXPECT_EQ (whatOf ([&] { link->writeDataWithTimeout (lots.data(), (int) lots.size(), 50); }), "WriteTimeout");
    EXPECT_FALSE (link->isAttached());
}

// When the owner's network thread has stopped, a timed read still ends by its time-out.
TEST_F (LinkTransfer, TimedReadEndsWithoutTheNetworkThread)
{
    auto link = attachedLink ({ zsim::Behaviour::Silent });
    sendDiscover (*link);
    context.stop();

    std::array<uint8_t, recordSize> reply {};
    EXPECT_EQ (whatOf ([&] { link->readDataWithTimeout (reply.data(), recordSize, 300); }), "ReadTimeout");
    EXPECT_FALSE (link->isAttached());

    // Let the cancelled read finish here, so that nothing of the link outlives the test.
    link.reset();
    context.restart();
    context.poll();
}
