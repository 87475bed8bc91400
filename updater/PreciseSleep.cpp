#include "updater/ZorvUpdater.h"

#include <chrono>
#include <cmath>
#include <mutex>

namespace
{
    // What the process has learnt about the length of a 1 ms sleep. Engines of one process
    // share it, so several of them at once (as in the tests) take turns updating it.
    std::mutex statisticsMutex;
    double sleepEstimate = 0.005;
    double sleepMean = 0.005;
    double sleepM2 = 0.0;
    int64_t sleepCount = 1;

    double currentEstimate()
    {
        const std::lock_guard<std::mutex> lock (statisticsMutex);
        return sleepEstimate;
    }

    // Welford's running mean and variance.
    void addObservation (double observed)
    {
        const std::lock_guard<std::mutex> lock (statisticsMutex);
        ++sleepCount;
        const double delta = observed - sleepMean;
        sleepMean += delta / (double) sleepCount;
        sleepM2 += delta * (observed - sleepMean);

        const double stddev = sleepCount > 1 ? std::sqrt (sleepM2 / (double) (sleepCount - 1)) : 0.0;
        sleepEstimate = sleepMean + stddev;
    }
}

ZorvUpdater::SleepStatistics ZorvUpdater::sleepStatistics()
{
    const std::lock_guard<std::mutex> lock (statisticsMutex);
    return { sleepEstimate, sleepMean, sleepM2, sleepCount };
}

// Sleeps in 1 ms steps while more than one such step is expected to remain, then spins on
// the clock for the rest, so that a 16 ms tick lasts 16 ms without spinning all of it.
void ZorvUpdater::preciseSleep (double ms)
{
    using clock = std::chrono::steady_clock;
    double remaining = ms / 1000.0;

    while (remaining > currentEstimate())
    {
        if (cancel)
            break;

        const auto t0 = clock::now();
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
        const auto t1 = clock::now();
        const double observed = (double) std::chrono::duration_cast<std::chrono::nanoseconds> (t1 - t0).count() / 1e9;

        remaining -= observed;
        addObservation (observed);
    }

    const auto start = clock::now();
    for (;;)
    {
        const double elapsedNs = (double) std::chrono::duration_cast<std::chrono::nanoseconds> (clock::now() - start).count();
        if (! (elapsedNs < remaining * 1e9) || cancel)
            break;
    }
}

void ZorvUpdater::operationStartPause()
{
    for (int i = 0; i < 10; ++i)
        preciseSleep (timing.startPauseStepMs);
}
