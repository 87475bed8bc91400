#pragma once

// What the scenarios of the wait table share: an engine on the case's own timing, a device
// with quick boards and firmware files for every board, every event of a run with the time
// it arrived, and the times at which the device received its requests. A scenario reaches
// one place where a wait is spent and returns the spans it measured there, in milliseconds;
// the table (WaitTimingTests.cpp) judges them.

#include "tests/updater/OperationFixture.h"
#include "updater/BoardTables.h"

#include <functional>

namespace waittest
{
using Clock = std::chrono::steady_clock;
using Event = ZorvUpdater::UpdaterEvent;
using Samples = std::vector<double>;
using Times = std::vector<Clock::time_point>;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

constexpr uint8_t interfaceIndex = 0;       // Monitor Interface
constexpr uint8_t picIndex = 4;             // Channel Master 1-8
constexpr uint8_t fpgaIndex = 7;            // Channel Master FPGA 1-8
constexpr uint8_t masterFaderIndex = 19;    // Master Faders [Manual]

double msBetween (Clock::time_point from, Clock::time_point to);

// Each `to` measured from the last `from` before it; a `to` with none before it is left out.
Samples sinceLast (const Times& from, const Times& to);
// Each `from` measured to the first `to` after it; a `from` with none after it is left out.
Samples untilNext (const Times& from, const Times& to);
// From each time to the next one.
Samples betweenNeighbours (const Times& times);

// Every event of a run with the time it arrived. The hook sees each event on the worker
// once it is recorded, before the engine goes on.
class TimedLog
{
public:
    using Match = std::function<bool (const Event&)>;

    UpdaterEventCallback callback();
    void onEvent (std::function<void (const Event&)> hook);
    // Waits until `count` operations have ended.
    bool waitForFinishes (std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds (60));
    // The times of the events that match, in order.
    Times timesOf (const Match& match) const;

private:
    struct Entry
    {
        Event event;
        Clock::time_point time;
    };

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<Entry> entries;
    std::function<void (const Event&)> hook;
};

TimedLog::Match lineStartingWith (std::string text);
TimedLog::Match lineContaining (std::string text);
TimedLog::Match ofType (int type);
TimedLog::Match barHidden();

class WaitFixture : public optest::OperationTest
{
public:
    explicit WaitFixture (const UpdaterTiming& timing);
    ~WaitFixture() override;

    // Starts the device that `setup` describes (a console with the manual master fader
    // board unless the scenario changed it).
    void start();

    // The operation started through `launch`, run to its end.
    void runOperation (const std::function<void (ZorvUpdater&, const UpdaterEventCallback&)>& launch);
    // One board update of the console, as the one-board Update makes it.
    int update (uint8_t boardIndex);

    // When the device received the requests of this kind for this board of its type.
    Times received (BoardRequest kind, uint8_t boardIndex) const;
    Times discoverRequests() const;

    ZorvUpdater& updater() { return *engine; }
    zsim::DeviceSimulator& sim() { return *device; }
    DeviceRecord deviceRecord() const { return record(); }
    const std::string& deviceAddress() const { return address; }

    const UpdaterTiming timing;
    zsim::DeviceSetup setup = zsim::consoleDevice (zsim::MasterFader::Manual);
    TimedLog log;
};

using Scenario = Samples (*) (WaitFixture&);
}
