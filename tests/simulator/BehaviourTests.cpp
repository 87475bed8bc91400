#include "tests/simulator/SimClient.h"
#include "tests/support/Platform.h"
#include "tests/support/TestNet.h"
#include "tools/sim/DeviceSimulator.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace simtest;
using zsim::Behaviour;
using zsim::ConnectionScript;

namespace
{
const milliseconds replyWait { 2000 };
const milliseconds quietWait { 300 };

zsim::DeviceIdentity identity()
{
    zsim::DeviceIdentity identity;
    identity.deviceType = 1;
    identity.name = zsim::DeviceIdentity::nameField ("Stage Box");
    identity.mac = { 2, 4, 6, 8, 10, 12 };
    return identity;
}

ConnectionScript scripted (Behaviour behaviour)
{
    ConnectionScript script;
    script.behaviour = behaviour;
    return script;
}

class Behaviours : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (sim.start());
        record = bytesOf (sim.record());
    }

    const std::string address = testnet::loopbackAddress (0);
    zsim::DeviceSimulator sim { identity(), address };
    Bytes record;
};

bool recordedOn (const zsim::DeviceSimulator& sim, uint64_t connection)
{
    const auto requests = sim.requests();
    return std::any_of (requests.begin(), requests.end(),
                        [&] (const zsim::RecordedRequest& r) { return r.connection == connection; });
}
}

// Each case is one connection, scripted in turn: what the client reads (one byte more than
// the device should send), how the read ends, and whether the request was recorded. A reset
// at accept may already be reported by the connect.
TEST_F (Behaviours, EachBehaviourAsSeenByAClient)
{
    const auto heldOpen = boost::asio::error::timed_out;
    const auto closed = boost::asio::error::eof;
    const auto reset = boost::asio::error::connection_reset;

    auto withLength = [] (Behaviour behaviour) { auto s = scripted (behaviour); s.length = 60; return s; };
    auto withExtra = scripted (Behaviour::ExtraBytes);
    withExtra.extra = { 0xA1, 0xB2, 0xC3 };
    auto badMagic = record;
    for (int i = 4; i < 8; ++i)
        badMagic[i] ^= 0xFF;
    const Bytes prefix (record.begin(), record.begin() + 60);
    auto extended = record;
    extended.insert (extended.end(), withExtra.extra.begin(), withExtra.extra.end());

    struct Case
    {
        const char* name;
        ConnectionScript script;
        bool clientSends;               // a reset at accept would eat a send's error, so none is sent
        Bytes expected;
        boost::system::error_code ending;
        bool recorded;
    };
    const std::vector<Case> cases {
        { "normal",              scripted (Behaviour::Normal),            true,  record,    heldOpen, true },
        { "silent",              scripted (Behaviour::Silent),            true,  {},        heldOpen, true },
        { "close after accept",  scripted (Behaviour::CloseAfterAccept),  true,  {},        closed,   false },
        { "close after request", scripted (Behaviour::CloseAfterRequest), true,  {},        closed,   true },
        { "reset after accept",  scripted (Behaviour::ResetAfterAccept),  false, {},        reset,    false },
        { "reset after request", scripted (Behaviour::ResetAfterRequest), true,  {},        reset,    true },
        { "short reply, hold",   withLength (Behaviour::ShortReplyHold),  true,  prefix,    heldOpen, true },
        { "short reply, close",  withLength (Behaviour::ShortReplyClose), true,  prefix,    closed,   true },
        { "extra bytes",         withExtra,                               true,  extended,  heldOpen, true },
        { "bad header",          scripted (Behaviour::BadHeader),         true,  badMagic,  heldOpen, true },
    };

    std::vector<ConnectionScript> scripts;
    for (const auto& c : cases)
        scripts.push_back (c.script);
    sim.scriptConnections (scripts);

    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        const auto& c = cases[i];
        Client client;
        Received received { {}, client.connect (address, replyWait) };
        if (! received.error)
        {
            if (c.clientSends)
                client.send (discoverRequest());
            received = client.receive (c.expected.size() + 1, c.ending == heldOpen ? quietWait : replyWait);
        }
        EXPECT_EQ (received.bytes, c.expected) << c.name;
        const auto readAsEnd = c.ending == reset && received.error == closed
                               && testplatform::resetMayReadAsEndOfFile();
        if (! readAsEnd)
        {
            EXPECT_EQ (received.error, c.ending) << c.name << ": " << received.error.message();
        }
        EXPECT_EQ (recordedOn (sim, i + 1), c.recorded) << c.name;
    }
}

TEST_F (Behaviours, SlowReplyComesAfterItsDelay)
{
    auto slow = scripted (Behaviour::SlowReply);
    slow.delay = milliseconds (400);
    sim.scriptConnections ({ slow });

    Client client;
    ASSERT_FALSE (client.connect (address, replyWait));
    client.send (discoverRequest());
    const auto sent = std::chrono::steady_clock::now();

    EXPECT_TRUE (client.receive (1, milliseconds (150)).bytes.empty());
    const auto reply = client.receive (123, replyWait);
    EXPECT_GE (std::chrono::steady_clock::now() - sent, milliseconds (400));
    EXPECT_FALSE (reply.error);
    EXPECT_EQ (reply.bytes, record);
}

// Scripts go to connections in accept order; a silent connection left open does not hold
// up the ones after it; past the script the default applies to every connection.
TEST_F (Behaviours, ScriptInAcceptOrderThenTheDefault)
{
    sim.scriptConnections ({ scripted (Behaviour::Silent), scripted (Behaviour::CloseAfterRequest) });
    auto fallback = scripted (Behaviour::ExtraBytes);
    fallback.extra = { 9, 9 };
    sim.setDefaultBehaviour (fallback);
    auto extended = record;
    extended.insert (extended.end(), { 9, 9 });

    Client silent;
    ASSERT_FALSE (silent.connect (address, replyWait));
    silent.send (discoverRequest());

    const auto second = exchange (address, discoverRequest(), 1, replyWait);
    EXPECT_EQ (second.error, boost::asio::error::eof);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ (exchange (address, discoverRequest(), 125, replyWait).bytes, extended);

    EXPECT_EQ (silent.receive (1, quietWait).error, boost::asio::error::timed_out);
    EXPECT_EQ (sim.connectionCount(), 4u);
    ASSERT_TRUE (sim.waitForRequests (4, replyWait));
}
