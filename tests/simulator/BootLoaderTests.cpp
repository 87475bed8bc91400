#include "tests/simulator/BoardFixture.h"

using namespace simtest;
using zsim::BoardRequest;
using zsim::BoardState;
using Clock = std::chrono::steady_clock;

namespace
{
class BootLoader : public BoardFixture
{
protected:
    // Asks until a whole answer of `count` bytes comes; the time from `since` to then.
    milliseconds timeUntilAnswered (const Bytes& request, std::size_t count, Clock::time_point since) const
    {
        while (ask (request, count, milliseconds (50)).bytes.size() != count
               && Clock::now() - since < std::chrono::seconds (10))
            std::this_thread::sleep_for (milliseconds (5));
        return std::chrono::duration_cast<milliseconds> (Clock::now() - since);
    }

    void setRestartTime (std::size_t index, milliseconds time)
    {
        auto setup = consoleSetup();
        setup.boards[index].restartTime = time;
        start (setup);
    }
};
}

TEST_F (BootLoader, PicBoardUpdateRunsThroughEveryState)
{
    const auto identity = identityRead (consoleType, faders);
    EXPECT_EQ (ask (identity).bytes, reply (faders, 'j', 'W', 3));

    tell (enterBootMode (consoleType, faders));
    EXPECT_EQ (state (faderIndex), BoardState::Restarting);
    ASSERT_TRUE (waitForState (faderIndex, BoardState::BootMode));
    EXPECT_EQ (ask (identity).bytes, reply (faders, 'j', 'V', 3));

    EXPECT_EQ (ask (eraseRequest (consoleType, faders)).bytes, reply (faders, 'j', 'Y', 0));
    EXPECT_EQ (state (faderIndex), BoardState::Erased);
    EXPECT_EQ (ask (identity).bytes, reply (faders, 'j', 'V', 0));

    EXPECT_EQ (ask (programBlock (consoleType, faders, 0x1D000000, { 1, 2, 3, 4 }, Checksum::Record)).bytes,
               reply (faders, 'k', 'V', 0));
    EXPECT_EQ (state (faderIndex), BoardState::Programmed);

    tell (programComplete (consoleType, faders));
    EXPECT_EQ (state (faderIndex), BoardState::Restarting);
    ASSERT_TRUE (waitForState (faderIndex, BoardState::Running));
    EXPECT_EQ (ask (identity).bytes, reply (faders, 'j', 'W', 10));

    const auto board = sim->board (faderIndex);
    EXPECT_EQ (board.version, 10);
    EXPECT_EQ (board.restarts, 2u);
    EXPECT_EQ (board.picMemory, (std::map<uint32_t, Bytes> { { 0x1D000000, { 1, 2, 3, 4 } } }));
    EXPECT_EQ (board.count (BoardRequest::IdentityRead), 4u);
    EXPECT_EQ (board.count (BoardRequest::Erase), 1u);
}

// The restart time counts from the request that restarted the board; until then every
// request to it is read and left unanswered.
TEST_F (BootLoader, RestartingBoardIsSilentForItsRestartTime)
{
    setRestartTime (faderIndex, milliseconds (600));
    const auto identity = identityRead (consoleType, faders);

    const auto sent = Clock::now();
    tell (enterBootMode (consoleType, faders));
    EXPECT_TRUE (unanswered (identity));
    EXPECT_GE (timeUntilAnswered (identity, 76, sent), milliseconds (600));
    EXPECT_EQ (ask (identity).bytes, reply (faders, 'j', 'V', 3));
    EXPECT_GE (sim->board (faderIndex).count (BoardRequest::IdentityRead), 2u);
}

// Without new firmware in place a board restarts into what it had: its old firmware, or
// its boot loader once erased.
TEST_F (BootLoader, RestartsRunTheFirmwareInPlace)
{
    const auto identity = identityRead (consoleType, faders);
    auto restartWith = [&] (const Bytes& request, BoardState after)
    {
        tell (request);
        return waitForState (faderIndex, after);
    };

    EXPECT_TRUE (restartWith (resetRequest (consoleType, faders), BoardState::Running));
    EXPECT_TRUE (restartWith (enterBootMode (consoleType, faders), BoardState::BootMode));
    EXPECT_TRUE (restartWith (resetRequest (consoleType, faders), BoardState::Running));
    EXPECT_TRUE (restartWith (enterBootMode (consoleType, faders), BoardState::BootMode));
    EXPECT_TRUE (restartWith (programComplete (consoleType, faders), BoardState::Running));
    EXPECT_EQ (ask (identity).bytes, reply (faders, 'j', 'W', 3));

    eraseBoard (faders, faderIndex);
    EXPECT_TRUE (restartWith (programComplete (consoleType, faders), BoardState::BootMode));
    EXPECT_EQ (ask (identity).bytes, reply (faders, 'j', 'V', 0));
    EXPECT_TRUE (restartWith (resetRequest (consoleType, faders), BoardState::BootMode));
}

// An FPGA board is erased and programmed while it runs; the erase answers after its time.
TEST_F (BootLoader, FpgaBoardNeedsNoBootMode)
{
    auto setup = consoleSetup();
    setup.boards[fpgaIndex].eraseTime = milliseconds (300);
    setup.boards[fpgaIndex].newVersion = 15;
    start (setup);

    const auto sent = Clock::now();
    EXPECT_EQ (ask (eraseRequest (consoleType, fpga)).bytes, reply (fpga, 'j', 'Y', 0));
    EXPECT_GE (Clock::now() - sent, milliseconds (300));

    EXPECT_EQ (ask (programBlock (consoleType, fpga, 0xFFFF, { 5, 6, 7 }, Checksum::Data)).bytes,
               reply (fpga, 'k', 'V', 0));
    tell (programComplete (consoleType, fpga));
    ASSERT_TRUE (waitForState (fpgaIndex, BoardState::Running));
    EXPECT_EQ (ask (identityRead (consoleType, fpga)).bytes, reply (fpga, 'j', 'W', 15));
    EXPECT_EQ (sim->board (fpgaIndex).fpgaStream, (Bytes { 5, 6, 7 }));
}

// While an interface board restarts the device refuses connections and leaves requests on
// open connections unanswered, discovery included; a restart of any other board does not.
TEST_F (BootLoader, RestartingInterfaceBoardTakesTheDeviceOffline)
{
    setRestartTime (interfaceIndex, milliseconds (800));
    Client held;
    ASSERT_FALSE (held.connect (address, replyWait));

    tell (enterBootMode (consoleType, faders));
    EXPECT_EQ (ask (discoverRequest(), 123).bytes.size(), 123u);

    const auto sent = Clock::now();
    tell (resetRequest (consoleType, monitorInterface));
    Client refused;
    EXPECT_EQ (refused.connect (address, replyWait), boost::asio::error::connection_refused);
    held.send (discoverRequest());
    EXPECT_TRUE (held.receive (1, quietWait).bytes.empty());

    EXPECT_GE (timeUntilAnswered (discoverRequest(), 123, sent), milliseconds (800));
    EXPECT_EQ (state (interfaceIndex), BoardState::Running);
    EXPECT_EQ (state (faderIndex), BoardState::BootMode);
}

TEST_F (BootLoader, AbsentBoardReadsAndNeverAnswers)
{
    sim->setBoardPresent (faderIndex, false);
    EXPECT_TRUE (unanswered (identityRead (consoleType, faders)));
    EXPECT_TRUE (unanswered (processorQuery (consoleType, faders)));
    tell (enterBootMode (consoleType, faders));

    const auto board = sim->board (faderIndex);
    EXPECT_FALSE (board.present);
    EXPECT_EQ (board.state, BoardState::Running);
    EXPECT_EQ (board.count (BoardRequest::IdentityRead), 1u);
    EXPECT_EQ (board.count (BoardRequest::EnterBootMode), 1u);

    sim->setBoardPresent (faderIndex, true);
    EXPECT_EQ (ask (identityRead (consoleType, faders)).bytes, reply (faders, 'j', 'W', 3));
}
