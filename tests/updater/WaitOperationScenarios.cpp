#include "tests/updater/WaitScenarios.h"
#include "updater/BoardTables.h"

// The scenarios inside whole operations, started through the engine's launchers and run on
// its worker, as the window starts them.

namespace waittest
{
namespace
{
using Inspector = ZorvUpdaterInspector;

std::chrono::milliseconds unresponsiveTime (const WaitFixture& f)
{
    return std::chrono::milliseconds (f.timing.connectTimeoutMs / 2);
}

void check (WaitFixture& f, uint8_t boardIndex)
{
    f.runOperation ([&] (ZorvUpdater& e, const UpdaterEventCallback& c) { e.startCheckPanel (f.deviceRecord(), boardIndex, false, c); });
}

void reset (WaitFixture& f, uint8_t boardIndex)
{
    f.runOperation ([&] (ZorvUpdater& e, const UpdaterEventCallback& c) { e.startResetPanel (f.deviceRecord(), boardIndex, c); });
}

void bootModeControl (WaitFixture& f, uint8_t boardIndex, bool enter)
{
    f.runOperation ([&] (ZorvUpdater& e, const UpdaterEventCallback& c)
    {
        e.startBootModeControl (f.deviceRecord(), boardIndex, enter, c);
    });
}

void getVersions (WaitFixture& f)
{
    f.runOperation ([&] (ZorvUpdater& e, const UpdaterEventCallback& c) { e.startGetVersions (f.deviceRecord(), c); });
}

void autoUpdate (WaitFixture& f)
{
    f.runOperation ([&] (ZorvUpdater& e, const UpdaterEventCallback& c) { e.startAutoUpdate (f.deviceRecord(), false, c); });
}

Samples between (const WaitFixture& f, const TimedLog::Match& from, const TimedLog::Match& to)
{
    return untilNext (f.log.timesOf (from), f.log.timesOf (to));
}

const auto controlsOff = [] (const Event& e) { return e.type == ZorvUpdater::ControlsEnabled && ! e.enabled; };
const auto anyEvent = [] (const Event&) { return true; };
const auto scanLine = lineStartingWith ("Firmware ");

// A device of type 2, whose single board runs a version older than the release's.
zsim::DeviceSetup pendingUnit()
{
    zsim::DeviceIdentity identity;
    identity.deviceType = 2;
    auto setup = zsim::standardDevice (identity);
    setup.boards[0].version = (uint8_t) (buildVersion (2, setup.boards[0].address.type) - 1);
    return setup;
}

// Auto Update of a console with the status byte and the motorised master fader board, whose
// Monitor Interface board is out of date: after that board's update the engine probes the
// device again. `atProbe` runs on the worker between the board's result line and the probe;
// the first event after the probe ends the operation.
void rediscover (WaitFixture& f, const std::function<void()>& atProbe)
{
    f.setup = zsim::consoleDevice (zsim::MasterFader::Motorised, 1);
    auto& monitorInterface = f.setup.boards[interfaceIndex];
    monitorInterface.version = (uint8_t) (monitorInterface.newVersion - 1);
    f.start();

    bool probed = false;
    f.log.onEvent ([&] (const Event& e)
    {
        if (e.type == ZorvUpdater::MessageBox && e.answer != nullptr)
            e.answer->store (2);
        if (probed)
            Inspector::setCancel (f.updater(), true);
        if (lineStartingWith ("Update Successful! Monitor Interface") (e))
        {
            atProbe();
            probed = true;
        }
    });
    autoUpdate (f);
}
}

Samples consoleScanSpacing (WaitFixture& f)
{
    f.start();
    getVersions (f);
    return between (f, scanLine, ofType (ZorvUpdater::Progress));
}

Samples consoleScanEnd (WaitFixture& f)
{
    f.start();
    for (int scan = 0; scan < 4; ++scan)
        getVersions (f);
    return sinceLast (f.log.timesOf (scanLine), f.log.timesOf (barHidden()));
}

Samples unitScanEnd (WaitFixture& f)
{
    f.setup = pendingUnit();
    f.start();
    for (int scan = 0; scan < 3; ++scan)
        getVersions (f);
    return sinceLast (f.log.timesOf (scanLine), f.log.timesOf (barHidden()));
}

// Each question is answered No halfway between the engine's first look at the answer and its
// second; a box whose answer came later than that (a busy machine) is left out.
Samples questionBoxAnswers (WaitFixture& f)
{
    f.setup = pendingUnit();
    f.start();
    const auto half = std::chrono::duration_cast<Clock::duration> (
        std::chrono::duration<double, std::milli> (f.timing.answerPollMs / 2));
    std::mutex mutex;
    Times stored;
    std::vector<std::thread> answering;
    f.log.onEvent ([&] (const Event& e)
    {
        if (e.type != ZorvUpdater::MessageBox || e.answer == nullptr)
            return;
        answering.emplace_back ([&, slot = e.answer, due = Clock::now() + half]
        {
            std::this_thread::sleep_until (due);
            slot->store (4);
            const std::lock_guard<std::mutex> lock (mutex);
            stored.push_back (Clock::now());
        });
    });
    for (int run = 0; run < 3; ++run)
        autoUpdate (f);
    for (auto& thread : answering)
        thread.join();

    const auto boxes = f.log.timesOf (ofType (ZorvUpdater::MessageBox));
    const auto seen = untilNext (boxes, f.log.timesOf (ofType (ZorvUpdater::NewLogSection)));
    Samples spans;
    for (std::size_t i = 0; i < std::min ({ boxes.size(), stored.size(), seen.size() }); ++i)
        if (msBetween (boxes[i], stored[i]) < 0.9 * f.timing.answerPollMs)
            spans.push_back (seen[i]);
    return spans;
}

// A device type without boards: the operation is its frame alone.
Samples operationStarts (WaitFixture& f)
{
    const auto record = enginetest::recordFor (f.deviceAddress(), 5);
    Times launched;
    for (int run = 0; run < 3; ++run)
        f.runOperation ([&] (ZorvUpdater& e, const UpdaterEventCallback& c)
        {
            launched.push_back (Clock::now());
            e.startGetVersions (record, c);
        });
    return untilNext (launched, f.log.timesOf (controlsOff));
}

Samples checkConnect (WaitFixture& f)
{
    f.start();
    EXPECT_TRUE (f.sim().setReachability (zsim::Reachability::Unresponsive));
    check (f, picIndex);
    return between (f, lineStartingWith ("Contacting "), lineStartingWith ("Warning! Failed to connect"));
}

// The check's own read passes; the one before the boot mode command leaves the device unresponsive.
Samples enterBootModeConnect (WaitFixture& f)
{
    f.start();
    f.sim().addFault (picIndex, { Fault::GoUnresponsive, BoardRequest::IdentityRead, 1, 1, 0, unresponsiveTime (f) });
    bootModeControl (f, picIndex, true);
    return between (f, lineStartingWith ("Entering Boot Mode "), lineStartingWith ("Warning! Failed to enter Boot Mode"));
}

Samples masterFaderProcessorReadConnect (WaitFixture& f)
{
    f.start();
    f.sim().addFault (masterFaderIndex, { Fault::GoUnresponsive, BoardRequest::IdentityRead, 0, 1, 0, unresponsiveTime (f) });
    check (f, masterFaderIndex);
    return between (f, lineContaining (" Found! "), lineStartingWith ("Processor: "));
}

Samples processorQueryConnect (WaitFixture& f)
{
    f.start();
    f.sim().addFault (picIndex, { Fault::GoUnresponsive, BoardRequest::IdentityRead, 0, 1, 0, unresponsiveTime (f) });
    check (f, picIndex);
    auto spans = untilNext (f.received (BoardRequest::IdentityRead, picIndex), f.received (BoardRequest::ProcessorQuery, picIndex));
    spans.resize (std::min<std::size_t> (spans.size(), 1));
    return spans;
}

Samples exitBootModeConnect (WaitFixture& f)
{
    f.setup.boards[picIndex].bootMode = true;
    f.start();
    f.sim().addFault (picIndex, { Fault::GoUnresponsive, BoardRequest::IdentityRead, 0, 1, 0, unresponsiveTime (f) });
    bootModeControl (f, picIndex, false);
    return between (f, lineStartingWith ("Exiting Boot Mode "),
                    lineStartingWith ("Warning! Failed to send exit Boot Mode command"));
}

Samples masterFaderResetReadConnect (WaitFixture& f)
{
    f.start();
    EXPECT_TRUE (f.sim().setReachability (zsim::Reachability::Unresponsive));
    reset (f, masterFaderIndex);
    return between (f, lineStartingWith ("Resetting "), lineStartingWith ("Warning! Failed to connect"));
}

Samples resetConnect (WaitFixture& f)
{
    f.start();
    EXPECT_TRUE (f.sim().setReachability (zsim::Reachability::Unresponsive));
    reset (f, picIndex);
    return between (f, lineStartingWith ("Resetting "), lineStartingWith ("Warning! Failed to Reset"));
}

// Both master fader boards are asked before the log is cleared; the scan itself is cancelled.
Samples masterFaderProbeConnect (WaitFixture& f)
{
    f.start();
    EXPECT_TRUE (f.sim().setReachability (zsim::Reachability::Unresponsive));
    f.log.onEvent ([&] (const Event& e)
    {
        if (e.type == ZorvUpdater::ClearLog)
            Inspector::setCancel (f.updater(), true);
    });
    getVersions (f);
    return between (f, controlsOff, ofType (ZorvUpdater::ClearLog));
}

Samples rediscoveryConnect (WaitFixture& f)
{
    rediscover (f, [&] { EXPECT_TRUE (f.sim().setReachability (zsim::Reachability::Unresponsive)); });
    return between (f, lineStartingWith ("Update Successful! Monitor Interface"), anyEvent);
}

Samples masterFaderProcessorReadReply (WaitFixture& f)
{
    f.start();
    f.sim().addFault (masterFaderIndex, { Fault::Silence, BoardRequest::IdentityRead, 1, 1 });
    check (f, masterFaderIndex);
    return between (f, lineContaining (" Found! "), lineStartingWith ("Processor: "));
}

Samples processorQueryReply (WaitFixture& f)
{
    f.start();
    f.sim().addFault (picIndex, { Fault::Silence, BoardRequest::ProcessorQuery, 0, 2 });
    check (f, picIndex);
    return between (f, lineContaining (" Found! "), lineStartingWith ("Processor: "));
}

Samples masterFaderResetReadReply (WaitFixture& f)
{
    f.start();
    f.sim().addFault (masterFaderIndex, { Fault::Silence, BoardRequest::IdentityRead });
    reset (f, masterFaderIndex);
    return between (f, lineStartingWith ("Resetting "), lineStartingWith ("Warning! Failed to connect"));
}

// The manual master fader board is absent from a motorised console: its read goes unanswered
// before the motorised one is asked.
Samples masterFaderProbeReply (WaitFixture& f)
{
    f.setup = zsim::consoleDevice (zsim::MasterFader::Motorised);
    f.start();
    getVersions (f);
    return between (f, controlsOff, ofType (ZorvUpdater::ClearLog));
}

Samples rediscoveryReply (WaitFixture& f)
{
    rediscover (f, [&] { f.sim().scriptConnections ({ { zsim::Behaviour::Silent } }); });
    return between (f, lineStartingWith ("Update Successful! Monitor Interface"), anyEvent);
}
}
