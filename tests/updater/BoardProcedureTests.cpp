#include "tests/updater/EngineFixture.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"

#include <gtest/gtest.h>

#include <future>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

namespace
{
constexpr auto generous = std::chrono::seconds (20);

constexpr uint8_t interfaceIndex = 0;                // Monitor Interface: Panel 2, Ch 0, Type 5
const PanelAddress interfaceBoard { 2, 0, 5, 0 };
constexpr uint8_t picIndex = 4;                      // Channel Master 1-8: Panel 0, Ch 0, Type 1
const PanelAddress picBoard { 0, 0, 1, 0 };
constexpr uint8_t fpgaIndex = 7;
const PanelAddress fpgaBoard { 0, 0, 4, 0 };
const PanelAddress absentBoard { 4, 0, 10, 0 };      // Channel Faders 1-8: not in a manual console

constexpr int restartTicks = UpdaterTiming::restartTicks;
constexpr int interfaceTicks = UpdaterTiming::interfaceRestartTicks;
constexpr int firstProbe = UpdaterTiming::firstProbeTick;

bool isBarState (const Event& e, bool visible, bool reset, bool highlight)
{
    return e.type == ZorvUpdater::ProgressBarState && e.visible == visible && e.resetProgress == reset
        && e.highlight == highlight;
}

// The first `ticks` values are tick / total; every one after them is a step of the closing
// sweep, 0.01 above the one before, the last exactly 1.
void expectTicksThenSweep (const std::vector<float>& progress, int ticks, int total)
{
    ASSERT_GE ((int) progress.size(), ticks);
    for (int i = 1; i <= ticks; ++i)
        ASSERT_FLOAT_EQ (progress[(size_t) i - 1], std::min (1.0f, (float) i / (float) total)) << "tick " << i;
    const double start = (double) ticks / total;
    const auto sweep = (int) progress.size() - ticks;
    EXPECT_NEAR (sweep, (1.0 - start) / 0.01, 1.01);
    for (int k = 1; k < sweep; ++k)
        EXPECT_NEAR (progress[(size_t) (ticks + k - 1)], start + 0.01 * k, 1e-4);
    EXPECT_EQ (progress.back(), 1.0f);
}

// A console with the manual master fader board, whose boards restart and erase quickly.
class BoardProcedures : public ::testing::Test
{
protected:
    BoardProcedures()
    {
        auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
        zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (20));
        device = std::make_unique<zsim::DeviceSimulator> (setup, address);
        EXPECT_TRUE (device->start());
    }

    std::size_t discoverRequests() const
    {
        std::size_t count = 0;
        for (const auto& request : device->requests())
            if (request.bytes.size() >= 10 && request.bytes[8] == 0 && request.bytes[9] == 0)
                ++count;
        return count;
    }

    unsigned identityReads (std::size_t boardIndex) const
    {
        return device->board (boardIndex).count (BoardRequest::IdentityRead);
    }

    void putIntoBootMode (const PanelAddress& board)
    {
        ASSERT_TRUE (Inspector::enterBootMode (engine, console, board, nullptr));
    }

    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> device;
    ZorvUpdater engine { "/nonexistent", compressedTiming() };
    DeviceRecord console = recordFor (address, 0);
    EventLog log;
};
}

TEST_F (BoardProcedures, CheckPanelReportsStateAndVersion)
{
    bool bootMode = true;
    uint8_t version = 99;
    ASSERT_TRUE (Inspector::checkPanelInternal (engine, console, masterFaders, bootMode, version));
    EXPECT_FALSE (bootMode);
    EXPECT_EQ (version, device->board (masterFaderIndex).version);

    putIntoBootMode (picBoard);
    ASSERT_TRUE (Inspector::checkPanelInternal (engine, console, picBoard, bootMode, version));
    EXPECT_TRUE (bootMode);
    EXPECT_EQ (version, device->board (picIndex).version);
}

// Any answer but a valid one from this board counts as none, with the outputs cleared.
TEST_F (BoardProcedures, CheckPanelWithoutAValidAnswer)
{
    device->addFault (masterFaderIndex, { Fault::WrongType, BoardRequest::IdentityRead });
    for (const auto& board : { masterFaders, absentBoard })
    {
        bool bootMode = true;
        uint8_t version = 99;
        EXPECT_FALSE (Inspector::checkPanelInternal (engine, console, board, bootMode, version));
        EXPECT_FALSE (bootMode);
        EXPECT_EQ (version, 0);
    }
}

// A board that is not an interface board waits time-out / 16 ticks (30 s worth for 0),
// however soon it is back, and is never probed.
TEST_F (BoardProcedures, OtherBoardsWaitTheirWholeTime)
{
    struct Case { int timeoutMs; int ticks; };
    for (const auto& c : { Case { 15, 0 }, Case { 32, 2 }, Case { 5000, 312 }, Case { 0, restartTicks }, Case { -1, restartTicks } })
    {
        EventLog events;
        Inspector::waitForDeviceRunning (engine, console, picIndex, c.timeoutMs, true, events.callback());
        const auto progress = progressOf (events.all());
        EXPECT_EQ (events.all().size(), progress.size()) << "only progress events";
        ASSERT_EQ ((int) progress.size(), c.ticks) << c.timeoutMs;
        if (c.ticks > 0)
            expectTicksThenSweep (progress, c.ticks, c.ticks);
    }
    EXPECT_EQ (discoverRequests(), 0u);

    EventLog silent;
    Inspector::waitForDeviceRunning (engine, console, picIndex, 5000, false, silent.callback());
    EXPECT_TRUE (silent.all().empty());
}

// The time-out does not apply to an interface board: it is probed from tick 1562 on, and
// once found, the bar sweeps to its end.
TEST_F (BoardProcedures, InterfaceBoardFoundAtTheFirstProbe)
{
    Inspector::waitForDeviceRunning (engine, console, interfaceIndex, 15, true, log.callback());
    expectTicksThenSweep (progressOf (log.all()), firstProbe, interfaceTicks);
    EXPECT_EQ (discoverRequests(), 1u);
}

TEST_F (BoardProcedures, InterfaceBoardFoundAtALaterProbe)
{
    device->setReachability (zsim::Reachability::Refusing);
    int progressEvents = 0;
    std::vector<float> progress;
    Inspector::waitForDeviceRunning (engine, console, interfaceIndex, 0, true, [&] (const Event& e)
    {
        progress.push_back (e.progress);
        if (++progressEvents == firstProbe + 50)
        {
            EXPECT_TRUE (device->setReachability (zsim::Reachability::Accepting));
        }
    });
    expectTicksThenSweep (progress, firstProbe + UpdaterTiming::probeIntervalTicks, interfaceTicks);
    EXPECT_EQ (discoverRequests(), 1u);
}

// A device that never answers as itself (here: another device type) is probed at every
// 187th tick from 1562 on and waited for to the end; the probes' time is on top.
TEST_F (BoardProcedures, InterfaceBoardNeverFound)
{
    auto timing = compressedTiming();
    timing.tickMs = 0.25;
    ZorvUpdater quick ("/nonexistent", timing);
    const auto otherType = recordFor (address, 3);   // its single board is an interface board

    Inspector::waitForDeviceRunning (quick, otherType, 0, 0, true, log.callback());
    const auto progress = progressOf (log.all());
    ASSERT_EQ ((int) progress.size(), interfaceTicks);
    EXPECT_EQ (progress.back(), 1.0f);
    EXPECT_EQ (discoverRequests(), (std::size_t) ((interfaceTicks - firstProbe) / UpdaterTiming::probeIntervalTicks + 1));
}

TEST_F (BoardProcedures, CancelEndsTheWait)
{
    int events = 0;
    Inspector::waitForDeviceRunning (engine, console, interfaceIndex, 0, true, [&] (const Event&)
    {
        if (++events == 100)
            Inspector::setCancel (engine, true);
    });
    EXPECT_EQ (events, 100);

    Inspector::waitForDeviceRunning (engine, console, picIndex, 0, true, log.callback());
    EXPECT_TRUE (log.all().empty());
    EXPECT_EQ (discoverRequests(), 0u);
}

// The board restarts into its boot loader; the bar shows the fixed wait and goes.
TEST_F (BoardProcedures, EnterBootModeOfAPicBoard)
{
    ASSERT_TRUE (Inspector::enterBootMode (engine, console, picBoard, log.callback()));
    EXPECT_EQ (device->board (picIndex).state, zsim::BoardState::BootMode);
    EXPECT_EQ (device->board (picIndex).count (BoardRequest::EnterBootMode), 1u);

    const auto events = log.all();
    ASSERT_GE (events.size(), 2u);
    EXPECT_TRUE (isBarState (events.front(), true, true, false));
    EXPECT_TRUE (isBarState (events.back(), false, false, false));
    const auto progress = progressOf (events);
    EXPECT_EQ (progress.size() + 2, events.size());
    expectTicksThenSweep (progress, restartTicks, restartTicks);
}

// A board already in boot mode, and an FPGA board, are only read.
TEST_F (BoardProcedures, EnterBootModeNeedsNoStep)
{
    putIntoBootMode (picBoard);
    for (const auto& board : { picBoard, fpgaBoard })
        EXPECT_TRUE (Inspector::enterBootMode (engine, console, board, log.callback()));

    EXPECT_TRUE (log.all().empty());
    EXPECT_EQ (device->board (picIndex).count (BoardRequest::EnterBootMode), 1u);
    EXPECT_EQ (device->board (fpgaIndex).count (BoardRequest::EnterBootMode), 0u);
    EXPECT_EQ (device->board (fpgaIndex).state, zsim::BoardState::Running);
}

TEST_F (BoardProcedures, EnterBootModeFails)
{
    // No answer to the first read: nothing is sent, nothing shown.
    device->addFault (picIndex, { Fault::Silence, BoardRequest::IdentityRead });
    EXPECT_FALSE (Inspector::enterBootMode (engine, console, picBoard, log.callback()));
    EXPECT_EQ (device->board (picIndex).count (BoardRequest::EnterBootMode), 0u);
    EXPECT_TRUE (log.all().empty());

    // The board ignores the command: twenty reads of a running board after the wait.
    device->addFault (picIndex, { Fault::Silence, BoardRequest::EnterBootMode });
    const auto readsBefore = identityReads (picIndex);
    EXPECT_FALSE (Inspector::enterBootMode (engine, console, picBoard, log.callback()));
    EXPECT_EQ (identityReads (picIndex) - readsBefore, 21u);
    EXPECT_TRUE (isBarState (log.all().back(), false, false, false));
}

// A board that takes longer than the wait to restart is read until it answers.
TEST_F (BoardProcedures, EnterBootModeOfASlowBoard)
{
    device->addFault (picIndex, { Fault::SlowRestart, BoardRequest::EnterBootMode, 0, 1, 0, std::chrono::milliseconds (2500) });
    EXPECT_TRUE (Inspector::enterBootMode (engine, console, picBoard, log.callback()));
    EXPECT_EQ (device->board (picIndex).state, zsim::BoardState::BootMode);
}

// The device is off the network while its interface board restarts; the probe finds it.
TEST_F (BoardProcedures, EnterBootModeOfAnInterfaceBoard)
{
    EXPECT_TRUE (Inspector::enterBootMode (engine, console, interfaceBoard, log.callback()));
    EXPECT_EQ (device->board (interfaceIndex).state, zsim::BoardState::BootMode);
    EXPECT_EQ (discoverRequests(), 1u);
    expectTicksThenSweep (progressOf (log.all()), firstProbe, interfaceTicks);
}

TEST_F (BoardProcedures, VerifyBootModeExitOfARunningBoard)
{
    struct Case { bool bootModeOnEntry; };
    for (const auto c : { Case { false }, Case { true } })
    {
        const auto readsBefore = identityReads (masterFaderIndex);
        bool bootMode = c.bootModeOnEntry, responded = false;
        TagReplyHead last;
        Inspector::verifyBootModeExit (engine, console, masterFaders, bootMode, responded, last);
        EXPECT_FALSE (bootMode);
        EXPECT_TRUE (responded);
        EXPECT_EQ (last.state, 'W');
        EXPECT_EQ (last.value, device->board (masterFaderIndex).version);
        EXPECT_EQ (identityReads (masterFaderIndex) - readsBefore, 1u);
    }
}

// 'V' at first, and 'V' again at the last read: still in boot mode.
TEST_F (BoardProcedures, VerifyBootModeExitOfABoardStillInBootMode)
{
    putIntoBootMode (picBoard);
    const auto readsBefore = identityReads (picIndex);
    bool bootMode = true, responded = false;
    TagReplyHead last;
    Inspector::verifyBootModeExit (engine, console, picBoard, bootMode, responded, last);
    EXPECT_TRUE (bootMode);
    EXPECT_TRUE (responded);
    EXPECT_EQ (last.state, 'V');
    EXPECT_EQ (identityReads (picIndex) - readsBefore, 2u);
}

// No answer in twenty tries, and none at the last read either.
TEST_F (BoardProcedures, VerifyBootModeExitWithoutAnAnswer)
{
    device->addFault (picIndex, { Fault::Close, BoardRequest::IdentityRead, 0, BoardFault::always });
    bool bootMode = true, responded = true;
    TagReplyHead last;
    Inspector::verifyBootModeExit (engine, console, picBoard, bootMode, responded, last);
    EXPECT_TRUE (bootMode);
    EXPECT_FALSE (responded);
    EXPECT_EQ (identityReads (picIndex), 21u);

    Inspector::setCancel (engine, true);
    responded = true;
    Inspector::verifyBootModeExit (engine, console, picBoard, bootMode, responded, last);
    EXPECT_FALSE (responded);
    EXPECT_EQ (identityReads (picIndex), 21u) << "no read once cancelled";
}

// What the last read, a few seconds after a first answer of 'V', finds decides.
TEST_F (BoardProcedures, VerifyBootModeExitDecidedByTheLastRead)
{
    auto timing = compressedTiming();
    timing.finalCheckPauseMs = 3000;
    ZorvUpdater patient ("/nonexistent", timing);

    struct Case { const char* what; std::function<void()> change; bool bootMode; bool responded; };
    const std::vector<Case> cases = {
        { "board starts its firmware", [&] { Inspector::sendProgramComplete (engine, console, picBoard); }, false, true },
        { "board goes silent", [&] { device->setBoardPresent (picIndex, false); }, true, false },
    };
    for (const auto& c : cases)
    {
        device->setBoardPresent (picIndex, true);
        putIntoBootMode (picBoard);
        const auto requestsBefore = device->requests().size();

        bool bootMode = true, responded = false;
        TagReplyHead last;
        auto verify = std::async (std::launch::async, [&]
        {
            Inspector::verifyBootModeExit (patient, console, picBoard, bootMode, responded, last);
        });
        ASSERT_TRUE (device->waitForRequests (requestsBefore + 1, generous));
        c.change();
        ASSERT_EQ (verify.wait_for (generous), std::future_status::ready);

        EXPECT_EQ (bootMode, c.bootMode) << c.what;
        EXPECT_EQ (responded, c.responded) << c.what;
        EXPECT_EQ (last.state, c.bootMode ? 'V' : 'W') << c.what;
    }
}

TEST (LogIfVerbose, SendsTheLineOnlyWhenVerbose)
{
    EventLog log;
    Inspector::logIfVerbose (log.callback(), "quiet", false, 1);
    Inspector::logIfVerbose (log.callback(), "Erasing device...", true, 3);
    const auto events = log.all();
    ASSERT_EQ (events.size(), 1u);
    EXPECT_EQ (events[0].type, ZorvUpdater::LogLine);
    EXPECT_EQ (events[0].text, "Erasing device...");
    EXPECT_EQ (events[0].level, 3);
    EXPECT_FALSE (events[0].replaceLastLine);
}

TEST (UpdateResults, FixedTexts)
{
    const std::vector<std::string> texts = {
        "Update FAILED! ", "Update Successful! ", "Update FAILED! Device still in Boot mode! ",
        "There was a problem connecting to the device! ", "Device not found! ",
        "Device update did not finish - still pending... ", "Update firmware file missing! ",
        "No update required - device is up to date! " };
    for (int result = UpdateFailed; result <= UpToDate; ++result)
        EXPECT_EQ (updateResultText (result), texts[(size_t) result]);
    EXPECT_STREQ (updateResultText (8), "");
    EXPECT_STREQ (updateResultText (-1), "");
}
