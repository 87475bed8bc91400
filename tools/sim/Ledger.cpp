#include "tools/sim/Ledger.h"

namespace zsim
{
void ScriptQueue::replace (std::vector<ConnectionScript> scripts)
{
    const std::lock_guard<std::mutex> lock (mutex);
    pending.assign (std::make_move_iterator (scripts.begin()), std::make_move_iterator (scripts.end()));
}

void ScriptQueue::setDefault (ConnectionScript script)
{
    const std::lock_guard<std::mutex> lock (mutex);
    fallback = std::move (script);
}

ScriptQueue::Assignment ScriptQueue::next()
{
    const std::lock_guard<std::mutex> lock (mutex);
    Assignment assignment { ++count, fallback };
    if (! pending.empty())
    {
        assignment.script = std::move (pending.front());
        pending.pop_front();
    }
    return assignment;
}

std::size_t ScriptQueue::accepted() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return (std::size_t) count;
}

void RequestLog::record (uint64_t connection, std::chrono::steady_clock::time_point time, std::vector<uint8_t> bytes)
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        requests.push_back ({ connection, time, std::move (bytes) });
    }
    grown.notify_all();
}

std::vector<RecordedRequest> RequestLog::all() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return requests;
}

bool RequestLog::waitFor (std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock (mutex);
    return grown.wait_for (lock, timeout, [&] { return requests.size() >= count; });
}
}
