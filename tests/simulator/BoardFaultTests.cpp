#include "tests/simulator/BoardFixture.h"

using namespace simtest;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::BoardState;
using zsim::Fault;
using Clock = std::chrono::steady_clock;

namespace
{
class BoardFaults : public BoardFixture
{
protected:
    Bytes identity() const { return identityRead (consoleType, faders); }
    Bytes sound() const { return reply (faders, 'j', 'W', 3); }

    Bytes soundWith (std::size_t offset, uint8_t value) const
    {
        auto bytes = sound();
        bytes[offset] = value;
        return bytes;
    }

    Bytes picBlock (uint32_t at, const Bytes& data) const
    {
        return programBlock (consoleType, faders, at, data, Checksum::Record);
    }
};
}

// Each fault hits one identity read of board 19; the read after it is sound again. The
// client reads one byte more than a reply, so a reply cut short or closed shows as such.
TEST_F (BoardFaults, EachFaultAsSeenOnTheWire)
{
    const auto timedOut = boost::asio::error::timed_out;
    const auto closed = boost::asio::error::eof;
    const auto whole = sound();
    const auto shortReply = Bytes (whole.begin(), whole.begin() + 20);
    struct Case
    {
        const char* name;
        BoardFault fault;
        Bytes expected;
        boost::system::error_code ending;
    };
    const Case cases[] {
        { "wrong Ch",        { Fault::WrongCh },             soundWith (14, 4),   timedOut },
        { "wrong Panel",     { Fault::WrongPanel },          soundWith (15, 5),   timedOut },
        { "wrong Type",      { Fault::WrongType },           soundWith (18, 10),  timedOut },
        { "wrong Addr",      { Fault::WrongAddr },           soundWith (19, 1),   timedOut },
        { "wrong parameter", { Fault::WrongParameter, BoardRequest::Any, 0, 1, 9 }, soundWith (10, 9), timedOut },
        { "wrong command",   { Fault::WrongCommand, BoardRequest::Any, 0, 1, 4 },   soundWith (8, 4),  timedOut },
        { "wrong code",      { Fault::WrongCode, BoardRequest::Any, 0, 1, 'k' },    soundWith (13, 'k'), timedOut },
        { "byte 0 zero",     { Fault::ZeroFirstByte },       soundWith (12, 0),   timedOut },
        { "short reply",     { Fault::ShortReply, BoardRequest::Any, 0, 1, 20 },   shortReply,        closed },
        { "close",           { Fault::Close },               {},                  closed },
        { "silence",         { Fault::Silence },             {},                  timedOut },
        { "lost reply",      { Fault::LostReply },           {},                  timedOut },
    };
    for (const auto& c : cases)
    {
        sim->addFault (faderIndex, c.fault);
        const auto received = ask (identity(), 77, c.ending == timedOut ? quietWait : replyWait);
        EXPECT_EQ (received.bytes, c.expected) << c.name;
        EXPECT_EQ (received.error, c.ending) << c.name << ": " << received.error.message();
        EXPECT_EQ (ask (identity()).bytes, sound()) << c.name;
    }
}

TEST_F (BoardFaults, FaultsCountOnlyTheRequestsTheyName)
{
    sim->addFault (faderIndex, { Fault::Silence, BoardRequest::IdentityRead, 0, 2 });
    sim->addFault (faderIndex, { Fault::WrongCode, BoardRequest::ProcessorQuery, 1, BoardFault::always, 'j' });

    EXPECT_EQ (ask (processorQuery (consoleType, faders)).bytes, reply (faders, 'o', 'W', 7));
    EXPECT_TRUE (unanswered (identity()));
    EXPECT_TRUE (unanswered (identity()));
    EXPECT_EQ (ask (identity()).bytes, sound());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (ask (processorQuery (consoleType, faders)).bytes, reply (faders, 'j', 'W', 7)) << i;

    sim->clearFaults (faderIndex);
    EXPECT_EQ (ask (processorQuery (consoleType, faders)).bytes, reply (faders, 'o', 'W', 7));
}

// The 3rd block is refused once; then every block is refused twice before it is taken.
TEST_F (BoardFaults, ChecksumErrorsOnChosenBlocks)
{
    eraseBoard (faders, faderIndex);
    const auto accepted = reply (faders, 'k', 'V', 0);
    const auto refused = reply (faders, 'm', 'V', 0);

    sim->addFault (faderIndex, { Fault::ChecksumError, BoardRequest::ProgramBlock, 2, 1 });
    const std::vector<Bytes> expected { accepted, accepted, refused, accepted };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ (ask (picBlock (0x1D000000 + 16 * (uint32_t) i, { 1, 2, 3, 4 })).bytes, expected[i]) << i;

    sim->addFault (faderIndex, { Fault::ChecksumError, BoardRequest::ProgramBlock, 0, 2 });
    for (const auto& expect : { refused, refused, accepted })
        EXPECT_EQ (ask (picBlock (0x1D000100, { 5, 6, 7, 8 })).bytes, expect);

    const auto board = sim->board (faderIndex);
    EXPECT_EQ (board.rejectedBlocks, 3u);
    EXPECT_EQ (board.picMemory.size(), 4u);
    EXPECT_EQ (board.picMemory.count (0x1D000020), 0u);
}

// A silent board never heard the request; a lost reply comes from a board that acted.
TEST_F (BoardFaults, SilenceDropsTheRequestLostReplyDoesNot)
{
    sim->addFault (faderIndex, { Fault::Silence, BoardRequest::EnterBootMode });
    tell (enterBootMode (consoleType, faders));
    EXPECT_EQ (state (faderIndex), BoardState::Running);

    eraseBoard (faders, faderIndex);
    sim->addFault (faderIndex, { Fault::LostReply, BoardRequest::ProgramBlock });
    EXPECT_TRUE (unanswered (picBlock (0x1D000000, { 1, 2, 3, 4 })));
    EXPECT_EQ (sim->board (faderIndex).picMemory.size(), 1u);
}

// Sending a block again after its acknowledgement was lost is harmless on a PIC board, whose
// blocks carry their address, but an FPGA slice carries none: the board appends it again,
// and its image now holds that slice twice.
TEST_F (BoardFaults, ResentBlockAfterALostAcknowledgement)
{
    eraseBoard (faders, faderIndex);
    eraseBoard (fpga, fpgaIndex);
    sim->addFault (faderIndex, { Fault::LostReply, BoardRequest::ProgramBlock });
    sim->addFault (fpgaIndex, { Fault::LostReply, BoardRequest::ProgramBlock });

    const Bytes data { 1, 2, 3, 4 };
    EXPECT_TRUE (unanswered (picBlock (0x1D000000, data)));
    EXPECT_EQ (ask (picBlock (0x1D000000, data)).bytes, reply (faders, 'k', 'V', 0));
    EXPECT_EQ (sim->board (faderIndex).picMemory, (std::map<uint32_t, Bytes> { { 0x1D000000, data } }));

    const auto slice = programBlock (consoleType, fpga, 0xFFFF, data, Checksum::Data);
    EXPECT_TRUE (unanswered (slice));
    EXPECT_EQ (ask (slice).bytes, reply (fpga, 'k', 'V', 0));
    EXPECT_EQ (sim->board (fpgaIndex).fpgaStream, (Bytes { 1, 2, 3, 4, 1, 2, 3, 4 }));
}

TEST_F (BoardFaults, EraseThatFailsOrTakesLong)
{
    eraseBoard (faders, faderIndex);
    ASSERT_EQ (ask (picBlock (0x1D000000, { 1, 2, 3, 4 })).bytes, reply (faders, 'k', 'V', 0));

    sim->addFault (faderIndex, { Fault::EraseFails });
    EXPECT_EQ (ask (eraseRequest (consoleType, faders)).bytes, reply (faders, 'j', 'V', 0));
    EXPECT_EQ (sim->board (faderIndex).picMemory.size(), 1u);

    sim->addFault (faderIndex, { Fault::SlowErase, BoardRequest::Erase, 0, 1, 0, milliseconds (400) });
    const auto sent = Clock::now();
    EXPECT_EQ (ask (eraseRequest (consoleType, faders)).bytes, reply (faders, 'j', 'Y', 0));
    EXPECT_GE (Clock::now() - sent, milliseconds (400));
    EXPECT_TRUE (sim->board (faderIndex).picMemory.empty());
}

TEST_F (BoardFaults, RestartThatTakesLongOrEndsInBootMode)
{
    sim->addFault (faderIndex, { Fault::SlowRestart, BoardRequest::Any, 0, 1, 0, milliseconds (700) });
    const auto sent = Clock::now();
    tell (enterBootMode (consoleType, faders));
    std::this_thread::sleep_for (milliseconds (350));
    EXPECT_EQ (state (faderIndex), BoardState::Restarting);
    ASSERT_TRUE (waitForState (faderIndex, BoardState::BootMode));
    EXPECT_GE (Clock::now() - sent, milliseconds (700));

    ASSERT_EQ (ask (eraseRequest (consoleType, faders)).bytes, reply (faders, 'j', 'Y', 0));
    ASSERT_EQ (ask (picBlock (0x1D000000, { 1, 2, 3, 4 })).bytes, reply (faders, 'k', 'V', 0));
    sim->addFault (faderIndex, { Fault::StayInBootMode });
    tell (programComplete (consoleType, faders));
    ASSERT_TRUE (waitForState (faderIndex, BoardState::BootMode));
    EXPECT_EQ (ask (identity()).bytes, reply (faders, 'j', 'V', 0));
}

TEST_F (BoardFaults, ProcessorQueryWithoutAnswer)
{
    auto setup = consoleSetup();
    setup.boards[faderIndex].variant.reset();
    start (setup);
    EXPECT_TRUE (unanswered (processorQuery (consoleType, faders)));
    EXPECT_EQ (ask (identity()).bytes, sound());

    start (consoleSetup());
    sim->addFault (faderIndex, { Fault::Silence, BoardRequest::ProcessorQuery });
    EXPECT_TRUE (unanswered (processorQuery (consoleType, faders)));
    EXPECT_EQ (ask (processorQuery (consoleType, faders)).bytes, reply (faders, 'o', 'W', 7));
}

// The request that meets the fault is answered; for the fault's time after it a connect
// neither succeeds nor is refused, and a connection already open is still served.
TEST_F (BoardFaults, DeviceGoesUnresponsiveForAWhile)
{
    Client open;
    ASSERT_FALSE (open.connect (address, replyWait));

    sim->addFault (faderIndex, { Fault::GoUnresponsive, BoardRequest::IdentityRead, 0, 1, 0, milliseconds (1500) });
    const auto faulted = Clock::now();
    EXPECT_EQ (ask (identity()).bytes, sound());

    Client late;
    EXPECT_EQ (late.connect (address, milliseconds (300)), boost::asio::error::timed_out);
    ASSERT_FALSE (open.send (identity()));
    EXPECT_EQ (open.receive (76, replyWait).bytes, sound());

    std::this_thread::sleep_for (faulted + milliseconds (1500) - Clock::now());
    EXPECT_EQ (ask (identity()).bytes, sound());
    EXPECT_EQ (sim->board (faderIndex).count (BoardRequest::IdentityRead), 3u);
}
