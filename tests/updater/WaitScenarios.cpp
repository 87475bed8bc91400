#include "tests/updater/WaitScenarios.h"

// The scenarios inside the board procedures and a board update, driven through the engine's
// private operations on the test's own thread.

namespace waittest
{
namespace
{
using Inspector = ZorvUpdaterInspector;

const auto progress = ofType (ZorvUpdater::Progress);

PanelAddress boardAddress (uint8_t boardIndex)
{
    return getPanelAddress (0, boardIndex);
}

// Half the connect time-out: long enough to take the next connect, over before the try after it.
std::chrono::milliseconds unresponsiveTime (const WaitFixture& f)
{
    return std::chrono::milliseconds (f.timing.connectTimeoutMs / 2);
}

void startInBootMode (WaitFixture& f, uint8_t boardIndex)
{
    f.setup.boards[boardIndex].bootMode = true;
    f.start();
}

// A PIC board found in its boot loader, then updated twice more from running firmware.
void updateThreeTimes (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (f.update (picIndex), UpdateSuccessful) << "update " << i;
}

Times after (Clock::time_point start, const Times& times)
{
    Times later;
    for (const auto t : times)
        if (t > start)
            later.push_back (t);
    return later;
}

// The gap from the progress event of the interface board's tick 1562, after which the
// first probe goes out, to the next progress event.
Samples firstProbeGap (WaitFixture& f)
{
    const auto times = f.log.timesOf (progress);
    if (times.size() < 1563)
        return {};
    return { msBetween (times[1561], times[1562]) };
}

Samples firstGap (const Times& times)
{
    if (times.size() < 2)
        return {};
    return { msBetween (times[0], times[1]) };
}
}

Samples restartWaitTicks (WaitFixture& f)
{
    f.start();
    Inspector::waitForDeviceRunning (f.updater(), f.deviceRecord(), picIndex, 800, true, f.log.callback());
    return betweenNeighbours (f.log.timesOf (progress));
}

// The probe at tick 1562 finds the board at once; the events after it are the sweep's.
Samples sweepTicks (WaitFixture& f)
{
    f.start();
    Inspector::waitForDeviceRunning (f.updater(), f.deviceRecord(), interfaceIndex, 0, true, f.log.callback());
    auto times = f.log.timesOf (progress);
    if (times.size() < 1564)
        return {};
    times.erase (times.begin(), times.begin() + 1562);
    return betweenNeighbours (times);
}

Samples bootModeEntryPolls (WaitFixture& f)
{
    f.start();
    f.sim().addFault (picIndex, { Fault::Silence, BoardRequest::EnterBootMode });
    EXPECT_FALSE (Inspector::enterBootMode (f.updater(), f.deviceRecord(), boardAddress (picIndex), f.log.callback()));
    const auto command = f.received (BoardRequest::EnterBootMode, picIndex);
    if (command.empty())
        return {};
    return betweenNeighbours (after (command.front(), f.received (BoardRequest::IdentityRead, picIndex)));
}

// Each check reads 'V', pauses, pauses before its last read, and reads 'V' again.
Samples bootModeExitReads (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    for (int i = 0; i < 4; ++i)
    {
        bool bootMode = true, responded = false;
        TagReplyHead last;
        Inspector::verifyBootModeExit (f.updater(), f.deviceRecord(), boardAddress (picIndex), bootMode, responded, last);
        EXPECT_TRUE (bootMode && responded);
    }
    const auto reads = f.received (BoardRequest::IdentityRead, picIndex);
    Samples spans;
    for (std::size_t i = 1; i < reads.size(); i += 2)
        spans.push_back (msBetween (reads[i - 1], reads[i]));
    return spans;
}

Samples readToErase (WaitFixture& f)
{
    updateThreeTimes (f);
    return sinceLast (f.received (BoardRequest::IdentityRead, picIndex), f.received (BoardRequest::Erase, picIndex));
}

// Every step spins on a busy machine's clock, so the steps are measured one by one: the
// progress events between the bar shown after the erase and the bar hidden again.
Samples fpgaSettleSteps (WaitFixture& f)
{
    f.start();
    EXPECT_EQ (f.update (fpgaIndex), UpdateSuccessful);
    const auto shown = f.log.timesOf ([] (const Event& e)
    {
        return e.type == ZorvUpdater::ProgressBarState && e.visible && ! e.highlight;
    });
    const auto hidden = f.log.timesOf (barHidden());
    if (shown.empty() || hidden.empty())
        return {};
    Times steps;
    for (const auto t : after (shown.front(), f.log.timesOf (progress)))
        if (t < hidden.front())
            steps.push_back (t);
    EXPECT_EQ (steps.size(), 1499u);
    return betweenNeighbours (steps);
}

Samples eraseToBlock (WaitFixture& f)
{
    updateThreeTimes (f);
    return untilNext (f.received (BoardRequest::Erase, picIndex), f.received (BoardRequest::ProgramBlock, picIndex));
}

Samples blockToComplete (WaitFixture& f)
{
    updateThreeTimes (f);
    return sinceLast (f.received (BoardRequest::ProgramBlock, picIndex), f.received (BoardRequest::ProgramComplete, picIndex));
}

// The first block is refused three times and taken at its fourth try.
Samples blockRetries (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    f.sim().addFault (picIndex, { Fault::ChecksumError, BoardRequest::ProgramBlock, 0, 3 });
    EXPECT_EQ (f.update (picIndex), UpdateSuccessful);
    auto blocks = f.received (BoardRequest::ProgramBlock, picIndex);
    blocks.resize (std::min<std::size_t> (blocks.size(), 4));
    return betweenNeighbours (blocks);
}

Samples probeConnect (WaitFixture& f)
{
    f.start();
    EXPECT_TRUE (f.sim().setReachability (zsim::Reachability::Unresponsive));
    int ticks = 0;
    f.log.onEvent ([&] (const Event& e)
    {
        if (e.type == ZorvUpdater::Progress && ++ticks == 1563)
            Inspector::setCancel (f.updater(), true);
    });
    Inspector::waitForDeviceRunning (f.updater(), f.deviceRecord(), interfaceIndex, 0, true, f.log.callback());
    return firstProbeGap (f);
}

Samples probeReply (WaitFixture& f)
{
    f.start();
    f.sim().scriptConnections ({ { zsim::Behaviour::Silent } });
    Inspector::waitForDeviceRunning (f.updater(), f.deviceRecord(), interfaceIndex, 0, true, f.log.callback());
    EXPECT_EQ (f.discoverRequests().size(), 2u) << "found at the second probe";
    return firstProbeGap (f);
}

// The read before the erase leaves the device unresponsive: the first erase cannot connect.
Samples eraseConnect (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    f.sim().addFault (picIndex, { Fault::GoUnresponsive, BoardRequest::IdentityRead, 0, 1, 0, unresponsiveTime (f) });
    EXPECT_EQ (f.update (picIndex), UpdateSuccessful);
    auto spans = sinceLast (f.received (BoardRequest::IdentityRead, picIndex), f.received (BoardRequest::Erase, picIndex));
    spans.resize (std::min<std::size_t> (spans.size(), 1));
    return spans;
}

Samples blockConnect (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    f.sim().addFault (picIndex, { Fault::GoUnresponsive, BoardRequest::ProgramBlock, 0, 1, 0, unresponsiveTime (f) });
    EXPECT_EQ (f.update (picIndex), UpdateSuccessful);
    return firstGap (f.received (BoardRequest::ProgramBlock, picIndex));
}

Samples programCompleteConnect (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    f.log.onEvent ([&] (const Event& e)
    {
        if (lineStartingWith ("Exiting Boot Mode") (e))
        {
            EXPECT_TRUE (f.sim().setReachability (zsim::Reachability::Unresponsive));
        }
    });
    EXPECT_EQ (f.update (picIndex), UpdateFailed);
    return untilNext (f.log.timesOf (lineStartingWith ("Exiting Boot Mode")),
                      f.log.timesOf (lineStartingWith ("Error: Update failed!")));
}

// The first read after the board's restart wait gets no answer; the next finds boot mode.
Samples bootModeEntryReadReply (WaitFixture& f)
{
    f.start();
    f.sim().addFault (picIndex, { Fault::Silence, BoardRequest::IdentityRead, 1, 1 });
    EXPECT_TRUE (Inspector::enterBootMode (f.updater(), f.deviceRecord(), boardAddress (picIndex), f.log.callback()));
    return sinceLast (f.log.timesOf (progress), f.log.timesOf (barHidden()));
}

Samples picEraseReply (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    f.sim().addFault (picIndex, { Fault::Silence, BoardRequest::Erase, 0, 1 });
    EXPECT_EQ (f.update (picIndex), UpdateSuccessful);
    return firstGap (f.received (BoardRequest::Erase, picIndex));
}

Samples fpgaEraseReply (WaitFixture& f)
{
    f.start();
    f.sim().addFault (fpgaIndex, { Fault::Silence, BoardRequest::Erase, 0, 1 });
    EXPECT_EQ (f.update (fpgaIndex), UpdateSuccessful);
    return firstGap (f.received (BoardRequest::Erase, fpgaIndex));
}

// The board takes the second block but its answer is lost; the engine sees the gap between
// the progress of the first block and that of the second.
Samples blockReply (WaitFixture& f)
{
    startInBootMode (f, picIndex);
    f.sim().addFault (picIndex, { Fault::LostReply, BoardRequest::ProgramBlock, 1, 1 });
    EXPECT_EQ (f.update (picIndex), UpdateSuccessful);
    const auto programming = f.log.timesOf ([] (const Event& e)
    {
        return e.type == ZorvUpdater::ProgressBarState && e.visible && e.highlight;
    });
    if (programming.empty())
        return {};
    return firstGap (after (programming.front(), f.log.timesOf (progress)));
}
}
