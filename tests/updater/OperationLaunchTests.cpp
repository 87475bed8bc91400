#include "tests/updater/EngineFixture.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;

namespace
{
constexpr auto generous = std::chrono::seconds (20);

// A body that holds its operation open until the test lets it go.
class Gate
{
public:
    Inspector::Body body()
    {
        return [this] (const UpdaterEventCallback& callback)
        {
            entered.set_value();
            opened.wait_for (generous);
            Inspector::sendLogLine (callback, 1, "body ran", false);
        };
    }

    bool waitUntilEntered() { return enteredFuture.wait_for (generous) == std::future_status::ready; }
    void open() { release.set_value(); }

private:
    std::promise<void> entered;
    std::future<void> enteredFuture = entered.get_future();
    std::promise<void> release;
    std::shared_future<void> opened = release.get_future().share();
};

std::vector<int> successFrame (std::vector<int> bodyEvents)
{
    std::vector<int> types = { ZorvUpdater::ControlsEnabled };
    types.insert (types.end(), bodyEvents.begin(), bodyEvents.end());
    types.push_back (ZorvUpdater::ControlsEnabled);
    types.push_back (ZorvUpdater::OperationFinished);
    return types;
}

const std::vector<int> failureEvents = { ZorvUpdater::LogLine, ZorvUpdater::ProgressBarState, ZorvUpdater::ProgressBarState,
                                         ZorvUpdater::SecondProgressBarState, ZorvUpdater::ControlsEnabled,
                                         ZorvUpdater::OperationFinished };
}

TEST (OperationLaunch, BodyRunsOnAWorkerInsideTheFrame)
{
    ZorvUpdater engine ("/nonexistent", compressedTiming());
    EventLog log;
    std::thread::id bodyThread;

    Inspector::launch (engine, log.callback(), [&] (const UpdaterEventCallback& callback)
    {
        bodyThread = std::this_thread::get_id();
        Inspector::sendLogLine (callback, 2, "working", false);
    });
    ASSERT_TRUE (log.waitForFinish());
    Inspector::worker (engine)->join();

    EXPECT_NE (bodyThread, std::this_thread::get_id());
    EXPECT_EQ (log.types(), successFrame ({ ZorvUpdater::LogLine }));
    const auto events = log.all();
    EXPECT_FALSE (events.front().enabled);
    EXPECT_TRUE (events[2].enabled);
    EXPECT_TRUE (events.back().success);
    EXPECT_EQ (events.back().text, "Test completed successfully");
    for (const auto& thread : log.callingThreads())
        EXPECT_EQ (thread, bodyThread);
    EXPECT_FALSE (Inspector::busy (engine));
}

TEST (OperationLaunch, ThrowingBodyEndsThroughTheFailureEvents)
{
    ZorvUpdater engine ("/nonexistent", compressedTiming());
    EventLog log;
    Inspector::launch (engine, log.callback(), [] (const UpdaterEventCallback&) { throw std::runtime_error ("bad image"); });
    ASSERT_TRUE (log.waitForFinish());
    Inspector::worker (engine)->join();

    std::vector<int> expected = { ZorvUpdater::ControlsEnabled };
    expected.insert (expected.end(), failureEvents.begin(), failureEvents.end());
    EXPECT_EQ (log.types(), expected);
    const auto events = log.all();
    EXPECT_EQ (events[1].text, "Error: bad image");
    EXPECT_FALSE (events.back().success);
    EXPECT_EQ (events.back().text, "Test failed");
    EXPECT_FALSE (Inspector::busy (engine));

    EventLog next;
    Inspector::launch (engine, next.callback(), [] (const UpdaterEventCallback&) {});
    EXPECT_TRUE (next.waitForFinish()) << "a failed operation leaves the engine free";
}

// The second launch must leave no trace: no thread, no event, no byte to the device.
TEST (OperationLaunch, LaunchWhileBusyStartsNothingAndSendsNothing)
{
    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (0, address);
    ZorvUpdater engine ("/nonexistent", compressedTiming());

    EventLog first;
    Gate gate;
    Inspector::launch (engine, first.callback(), gate.body());
    ASSERT_TRUE (gate.waitUntilEntered());
    const auto runningWorker = Inspector::worker (engine);

    EventLog second;
    std::atomic<bool> secondRan { false };
    Inspector::launch (engine, second.callback(), [&] (const UpdaterEventCallback&)
    {
        secondRan = true;
        TagReplyHead head;
        Inspector::readDeviceId (engine, recordFor (address, 0), masterFaders, head);
    });

    EXPECT_TRUE (Inspector::busy (engine));
    EXPECT_EQ (Inspector::worker (engine), runningWorker);
    EXPECT_TRUE (second.all().empty());

    gate.open();
    ASSERT_TRUE (first.waitForFinish());
    runningWorker->join();
    EXPECT_EQ (first.types(), successFrame ({ ZorvUpdater::LogLine }));
    EXPECT_FALSE (secondRan);
    EXPECT_TRUE (second.all().empty());
    EXPECT_EQ (device->connectionCount(), 0u);
}

TEST (OperationLaunch, NextLaunchJoinsTheFinishedWorkerAndClearsCancel)
{
    ZorvUpdater engine ("/nonexistent", compressedTiming());
    EventLog first;
    Inspector::launch (engine, first.callback(), [] (const UpdaterEventCallback&) {});
    ASSERT_TRUE (first.waitForFinish());
    // The worker clears busy just after its last event; the launch below must find it idle
    // with its thread not yet joined.
    const auto until = std::chrono::steady_clock::now() + generous;
    while (Inspector::busy (engine) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    const auto finishedWorker = Inspector::worker (engine);

    Inspector::setCancel (engine, true);
    EventLog second;
    std::atomic<bool> cancelSeen { true };
    Inspector::launch (engine, second.callback(), [&] (const UpdaterEventCallback&) { cancelSeen = Inspector::cancelled (engine); });
    ASSERT_TRUE (second.waitForFinish());

    EXPECT_FALSE (finishedWorker->joinable()) << "the launch joined the previous worker";
    EXPECT_NE (Inspector::worker (engine), finishedWorker);
    EXPECT_FALSE (cancelSeen);
}

TEST (OperationLaunch, WorkerThatCannotStartReportsAFailedOperation)
{
    ZorvUpdater engine ("/nonexistent", compressedTiming());
    Inspector::failWorkerStarts (engine);

    EventLog log;
    std::atomic<bool> ran { false };
    Inspector::launch (engine, log.callback(), [&] (const UpdaterEventCallback&) { ran = true; }, "Update completed successfully", "Update failed");

    EXPECT_FALSE (Inspector::busy (engine));
    EXPECT_FALSE (ran);
    EXPECT_EQ (log.types(), failureEvents);
    const auto events = log.all();
    EXPECT_EQ (events.front().level, 4);
    EXPECT_EQ (events.front().text.rfind ("Error: no thread", 0), 0u) << events.front().text;
    EXPECT_TRUE (events[4].enabled);
    EXPECT_FALSE (events.back().success);
    EXPECT_EQ (events.back().text, "Update failed");
    EXPECT_EQ (Inspector::worker (engine), nullptr);
}

TEST (OperationLaunch, EmptyCallbackStillRunsTheBody)
{
    ZorvUpdater engine ("/nonexistent", compressedTiming());
    std::promise<void> ran;
    Inspector::launch (engine, {}, [&] (const UpdaterEventCallback&) { ran.set_value(); });
    EXPECT_EQ (ran.get_future().wait_for (generous), std::future_status::ready);
}

TEST (EngineLifetime, DestroyingAnIdleEngineSendsNothing)
{
    EventLog log;
    {
        ZorvUpdater unused ("/nonexistent");
    }
    {
        ZorvUpdater engine ("/nonexistent", compressedTiming());
        Inspector::launch (engine, log.callback(), [] (const UpdaterEventCallback&) {});
        ASSERT_TRUE (log.waitForFinish());
    }
    EXPECT_EQ (log.types(), successFrame ({}));
}

// A body waiting for an answer polls the way a question box's wait does; destruction
// cancels the wait and the body runs on to its ending.
TEST (EngineLifetime, DestroyingTheEngineEndsAWaitingBody)
{
    auto engine = std::make_unique<ZorvUpdater> ("/nonexistent", compressedTiming());
    EventLog log;
    std::promise<void> waiting;
    std::atomic<int> polls { 0 };
    auto* const raw = engine.get();
    Inspector::launch (*engine, log.callback(), [&, raw] (const UpdaterEventCallback&)
    {
        while (! Inspector::cancelled (*raw))
        {
            if (++polls == 1)
                waiting.set_value();
            Inspector::preciseSleep (*raw, 100);
        }
    });
    ASSERT_EQ (waiting.get_future().wait_for (generous), std::future_status::ready);

    engine.reset();
    EXPECT_GE (polls.load(), 1);
    EXPECT_EQ (log.types(), successFrame ({}));
}

// Once the network thread has stopped, an exchange under way can only end by its own
// time-out; the destructor waits for it.
TEST (EngineLifetime, DestroyingTheEngineDuringAnExchange)
{
    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (0, address);
    device->setDefaultBehaviour ({ zsim::Behaviour::Silent });

    auto engine = std::make_unique<ZorvUpdater> ("/nonexistent", compressedTiming());
    EventLog log;
    std::atomic<int> result { -1 };
    auto* const raw = engine.get();
    Inspector::launch (*engine, log.callback(), [&, raw] (const UpdaterEventCallback&)
    {
        TagReplyHead head;
        result = (int) Inspector::readDeviceId (*raw, recordFor (address, 0), masterFaders, head);
    });
    ASSERT_TRUE (device->waitForRequests (1, generous));

    engine.reset();
    EXPECT_EQ (result.load(), (int) DeviceResult::TransportFailed);
    EXPECT_EQ (log.types(), successFrame ({}));
}

// The launcher runs on the message thread: a receiver that throws, whatever it throws,
// while the failed start is reported must not take that thread down, and the engine stays
// free for the next launch.
TEST (OperationLaunch, ThrowingReceiverOfAWorkerThatCannotStartStaysInTheLauncher)
{
    const std::vector<std::pair<const char*, std::function<void()>>> throwers = {
        { "a standard exception", [] { throw std::runtime_error ("receiver gone"); } },
        { "an int", [] { throw 7; } },
    };
    for (const auto& [what, thrower] : throwers)
    {
        ZorvUpdater engine ("/nonexistent", compressedTiming());
        Inspector::failWorkerStarts (engine);
        int calls = 0;
        const UpdaterEventCallback throwing = [&calls, thrower = thrower] (const Event&)
        {
            ++calls;
            thrower();
        };

        EXPECT_NO_THROW (Inspector::launch (engine, throwing, [] (const UpdaterEventCallback&) {})) << what;
        EXPECT_EQ (calls, 1) << what;
        EXPECT_FALSE (Inspector::busy (engine)) << what;

        EventLog next;
        Inspector::launch (engine, next.callback(), [] (const UpdaterEventCallback&) {});
        EXPECT_EQ (next.types(), failureEvents) << what << ": the next launch was heard";
    }
}

namespace
{
struct OutOfTableCase
{
    const char* launcher;
    int32_t deviceType;
    uint8_t boardIndex;
    std::string error;
};

const char* finishedTextOf (const std::string& launcher)
{
    if (launcher == "GetVersions")   return "Get Versions failed";
    if (launcher == "AutoUpdate")    return "Auto Update failed";
    if (launcher == "UpdatePanel")   return "Update failed";
    if (launcher == "CheckPanel")    return "Check failed";
    if (launcher == "ResetPanel")    return "Reset failed";
    return "Boot Mode Control failed";
}

void launchByName (ZorvUpdater& engine, const std::string& launcher, const DeviceRecord& record, uint8_t board,
                   UpdaterEventCallback callback)
{
    if (launcher == "GetVersions")
        engine.startGetVersions (record, std::move (callback));
    else if (launcher == "AutoUpdate")
        engine.startAutoUpdate (record, true, std::move (callback));
    else if (launcher == "UpdatePanel")
        engine.startUpdatePanel (record, board, std::move (callback));
    else if (launcher == "CheckPanel")
        engine.startCheckPanel (record, board, true, std::move (callback));
    else if (launcher == "ResetPanel")
        engine.startResetPanel (record, board, std::move (callback));
    else
        engine.startBootModeControl (record, board, true, std::move (callback));
}

std::vector<OutOfTableCase> outOfTableCases()
{
    std::vector<OutOfTableCase> cases;
    for (const char* launcher : { "GetVersions", "AutoUpdate", "UpdatePanel", "CheckPanel", "ResetPanel", "BootModeControl" })
    {
        cases.push_back ({ launcher, 9, 0, "Error: Unknown device type 9" });
        cases.push_back ({ launcher, -1, 0, "Error: Unknown device type -1" });
    }
    for (const char* launcher : { "UpdatePanel", "CheckPanel", "ResetPanel", "BootModeControl" })
    {
        cases.push_back ({ launcher, 2, 1, "Error: Quadrix KRD16 has no board 1" });
        cases.push_back ({ launcher, 0, 24, "Error: Zorv K470 Console has no board 24" });
        cases.push_back ({ launcher, 1, 255, "Error: V518 TRX has no board 255" });
    }
    return cases;
}
}

// The launchers take any record and board index; one outside the tables ends through the
// failure ending with a line that names it, and nothing goes to the device.
TEST (OperationLaunch, RecordOrBoardOutsideTheTablesFailsTheOperation)
{
    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (0, address);
    for (const auto& c : outOfTableCases())
    {
        const auto what = std::string (c.launcher) + " " + std::to_string (c.deviceType) + "/" + std::to_string (c.boardIndex);
        ZorvUpdater engine ("/nonexistent", compressedTiming());
        EventLog log;
        launchByName (engine, c.launcher, recordFor (address, c.deviceType), c.boardIndex, log.callback());
        ASSERT_TRUE (log.waitForFinish()) << what;
        Inspector::worker (engine)->join();

        std::vector<int> expected = { ZorvUpdater::ControlsEnabled };
        expected.insert (expected.end(), failureEvents.begin(), failureEvents.end());
        EXPECT_EQ (log.types(), expected) << what;
        const auto events = log.all();
        ASSERT_EQ (events.size(), expected.size()) << what;
        EXPECT_EQ (events[1].level, 4) << what;
        EXPECT_EQ (events[1].text, c.error) << what;
        EXPECT_FALSE (events.back().success) << what;
        EXPECT_EQ (events.back().text, finishedTextOf (c.launcher)) << what;
    }
    EXPECT_EQ (device->connectionCount(), 0u);
}

// Each real launcher hands its own failure text to the frame. A receiver that refuses the
// first event (controls disabled) throws out of the body before it touches the device.
TEST (OperationLaunch, EachLauncherEndsAFailureWithItsOwnText)
{
    using Launcher = std::function<void (ZorvUpdater&, const DeviceRecord&, UpdaterEventCallback)>;
    struct Case { const char* failure; Launcher launch; };
    const Case cases[] =
    {
        { "Get Versions failed", [] (ZorvUpdater& e, const DeviceRecord& r, UpdaterEventCallback c) { e.startGetVersions (r, c); } },
        { "Auto Update failed", [] (ZorvUpdater& e, const DeviceRecord& r, UpdaterEventCallback c) { e.startAutoUpdate (r, false, c); } },
        { "Update failed", [] (ZorvUpdater& e, const DeviceRecord& r, UpdaterEventCallback c) { e.startUpdatePanel (r, 4, c); } },
        { "Check failed", [] (ZorvUpdater& e, const DeviceRecord& r, UpdaterEventCallback c) { e.startCheckPanel (r, 4, false, c); } },
        { "Reset failed", [] (ZorvUpdater& e, const DeviceRecord& r, UpdaterEventCallback c) { e.startResetPanel (r, 4, c); } },
        { "Boot Mode Control failed",
          [] (ZorvUpdater& e, const DeviceRecord& r, UpdaterEventCallback c) { e.startBootModeControl (r, 4, true, c); } },
    };

    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (0, address);
    ZorvUpdater engine ("/nonexistent", compressedTiming());
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.failure);
        EventLog log;
        auto record = log.callback();
        std::atomic<bool> refused { false };
        c.launch (engine, recordFor (address, 0), [&refused, record] (const Event& event)
        {
            if (! refused.exchange (true))
                throw std::runtime_error ("receiver refused");
            record (event);
        });
        ASSERT_TRUE (log.waitForFinish());
        Inspector::worker (engine)->join();

        EXPECT_EQ (log.types(), failureEvents);
        const auto events = log.all();
        EXPECT_EQ (events.front().text, "Error: receiver refused");
        EXPECT_FALSE (events.back().success);
        EXPECT_EQ (events.back().text, c.failure);
    }
    EXPECT_EQ (device->connectionCount(), 0u);
}
