#pragma once

// What the simulator keeps about its connections, shared between its network thread and
// the test that drives it: the scripts still to be handed out and the requests received.

#include "tools/sim/DeviceSimulator.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace zsim
{
class ScriptQueue
{
public:
    struct Assignment
    {
        uint64_t connection = 0;
        ConnectionScript script;
    };

    // Replaces the scripts not yet handed out.
    void replace (std::vector<ConnectionScript> scripts);
    void setDefault (ConnectionScript script);

    // Numbers a newly accepted connection and gives it its script.
    Assignment next();
    std::size_t accepted() const;

private:
    mutable std::mutex mutex;
    std::deque<ConnectionScript> pending;
    ConnectionScript fallback;
    uint64_t count = 0;
};

class RequestLog
{
public:
    void record (uint64_t connection, std::chrono::steady_clock::time_point time, std::vector<uint8_t> bytes);
    std::vector<RecordedRequest> all() const;
    bool waitFor (std::size_t count, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex;
    mutable std::condition_variable grown;
    std::vector<RecordedRequest> requests;
};
}
