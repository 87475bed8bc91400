// Measures the CPU time the engine burns while it waits 30 s for a restarting board, with
// the program's own timing: 1875 ticks of 16 ms, each a precise sleep that sleeps in 1 ms
// steps and spins only for what is left below one step. The spin must not hold a core.
//
// The wait is one for a board that is not an interface board, so it makes no exchange and
// takes its full length. It runs twice: first in a fresh process, whose sleep statistics
// still hold their initial guess (5 ms), then once more with what the first wait learnt.
//
// Run through scripts/bench.

#include "tests/updater/ZorvUpdaterInspector.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace
{
using Clock = std::chrono::steady_clock;

// Channel Master 1-8 of a console: a PIC board that is not an interface board.
constexpr uint8_t plainBoard = 4;

void measureOneWait (ZorvUpdater& engine, const DeviceRecord& record, const char* label)
{
    long ticks = 0;
    const UpdaterEventCallback countTicks = [&ticks] (const ZorvUpdater::UpdaterEvent& e)
    {
        if (e.type == ZorvUpdater::Progress)
            ++ticks;
    };

    const auto wallStart = Clock::now();
    const auto cpuStart = std::clock();
    ZorvUpdaterInspector::waitForDeviceRunning (engine, record, plainBoard, 0, true, countTicks);
    const auto cpuEnd = std::clock();
    const auto wallEnd = Clock::now();

    const double wall = std::chrono::duration<double> (wallEnd - wallStart).count();
    const double cpu = double (cpuEnd - cpuStart) / CLOCKS_PER_SEC;
    const auto statistics = ZorvUpdaterInspector::sleepStatistics();
    std::printf ("%-28s wall %7.3f s   cpu %6.3f s   %5.2f %% of one core   ticks %ld   1 ms sleep estimate %.3f ms\n",
                 label, wall, cpu, 100.0 * cpu / wall, ticks, statistics.estimate * 1000.0);
}
}

int main()
{
    ZorvUpdater engine ("/nonexistent", UpdaterTiming {});
    DeviceRecord record {};
    record.deviceType = 0;

    std::printf ("One restart wait of a console board with the program's timing (target: below 10 %% of one core)\n");
    measureOneWait (engine, record, "first wait, fresh process");
    measureOneWait (engine, record, "second wait");
    return 0;
}
