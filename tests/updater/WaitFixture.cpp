#include "tests/updater/WaitFixture.h"
#include "tools/sim/Wire.h"

#include <algorithm>

namespace waittest
{
double msBetween (Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli> (to - from).count();
}

Samples sinceLast (const Times& from, const Times& to)
{
    Samples spans;
    for (const auto end : to)
    {
        const auto after = std::lower_bound (from.begin(), from.end(), end);
        if (after != from.begin())
            spans.push_back (msBetween (*std::prev (after), end));
    }
    return spans;
}

Samples untilNext (const Times& from, const Times& to)
{
    Samples spans;
    for (const auto begin : from)
    {
        const auto next = std::upper_bound (to.begin(), to.end(), begin);
        if (next != to.end())
            spans.push_back (msBetween (begin, *next));
    }
    return spans;
}

Samples betweenNeighbours (const Times& times)
{
    Samples spans;
    for (std::size_t i = 1; i < times.size(); ++i)
        spans.push_back (msBetween (times[i - 1], times[i]));
    return spans;
}

UpdaterEventCallback TimedLog::callback()
{
    return [this] (const Event& event)
    {
        const auto now = Clock::now();
        std::function<void (const Event&)> current;
        {
            const std::lock_guard<std::mutex> lock (mutex);
            entries.push_back ({ event, now });
            current = hook;
            changed.notify_all();
        }
        if (current)
            current (event);
    };
}

void TimedLog::onEvent (std::function<void (const Event&)> newHook)
{
    const std::lock_guard<std::mutex> lock (mutex);
    hook = std::move (newHook);
}

bool TimedLog::waitForFinishes (std::size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock (mutex);
    return changed.wait_for (lock, timeout, [this, count]
    {
        return (std::size_t) std::count_if (entries.begin(), entries.end(), [] (const Entry& e)
        {
            return e.event.type == ZorvUpdater::OperationFinished;
        }) >= count;
    });
}

Times TimedLog::timesOf (const Match& match) const
{
    const std::lock_guard<std::mutex> lock (mutex);
    Times times;
    for (const auto& entry : entries)
        if (match (entry.event))
            times.push_back (entry.time);
    return times;
}

TimedLog::Match lineStartingWith (std::string text)
{
    return [text] (const Event& e) { return e.type == ZorvUpdater::LogLine && e.text.rfind (text, 0) == 0; };
}

TimedLog::Match lineContaining (std::string text)
{
    return [text] (const Event& e) { return e.type == ZorvUpdater::LogLine && e.text.find (text) != std::string::npos; };
}

TimedLog::Match ofType (int type)
{
    return [type] (const Event& e) { return e.type == type; };
}

TimedLog::Match barHidden()
{
    return [] (const Event& e) { return e.type == ZorvUpdater::ProgressBarState && ! e.visible; };
}

WaitFixture::WaitFixture (const UpdaterTiming& caseTiming)
    : timing (caseTiming)
{
    engine = std::make_unique<ZorvUpdater> (base.file().getFullPathName().toStdString(), timing);
}

// The engine goes first: no worker of its may still be calling into the log.
WaitFixture::~WaitFixture()
{
    engine.reset();
}

// Boards restart well within the shortest restart wait of the table (1875 ticks of 0.02 ms)
// and erase at once, so that only the engine's own waits lie between two requests.
void WaitFixture::start()
{
    zsim::setBoardTimes (setup, std::chrono::milliseconds (10), std::chrono::milliseconds (0));
    device = std::make_unique<zsim::DeviceSimulator> (setup, address);
    ASSERT_TRUE (device->start()) << "cannot bind " << address;
}

void WaitFixture::runOperation (const std::function<void (ZorvUpdater&, const UpdaterEventCallback&)>& launch)
{
    const auto finished = log.timesOf (ofType (ZorvUpdater::OperationFinished)).size();
    launch (*engine, log.callback());
    EXPECT_TRUE (log.waitForFinishes (finished + 1)) << "the operation did not end";
    EXPECT_TRUE (optest::eventually ([this] { return ! ZorvUpdaterInspector::busy (*engine); }));
}

int WaitFixture::update (uint8_t boardIndex)
{
    const auto console = record();
    const auto file = ZorvUpdaterInspector::getFirmwareFile (*engine, console, boardIndex);
    return ZorvUpdaterInspector::updatePanelFirmware (*engine, console, getPanelAddress (console.deviceType, boardIndex),
                                                      file, true, log.callback());
}

Times WaitFixture::received (BoardRequest kind, uint8_t boardIndex) const
{
    const auto board = zsim::boardLayout (setup.identity.deviceType).at (boardIndex).address;
    Times times;
    for (const auto& request : device->requests())
    {
        const auto tag = zsim::wire::decodeTagRequest (request.bytes);
        if (tag && tag->request == kind && tag->address == board)
            times.push_back (request.time);
    }
    return times;
}

Times WaitFixture::discoverRequests() const
{
    Times times;
    for (const auto& request : device->requests())
        if (request.bytes.size() >= zsim::wire::headerSize && zsim::wire::decodeHeader (request.bytes.data()).command == 0)
            times.push_back (request.time);
    return times;
}
}
