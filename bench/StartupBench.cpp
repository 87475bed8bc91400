// Times the application from its start to its first painted window, then measures what it
// costs while it sits idle: its resident memory and its CPU use over 10 seconds, during
// which nothing of the program's own should tick. Each run ends with the window system's
// close request and the time the program takes to exit. The same idle figures of an empty
// framework window show the floor the framework itself sets (its refresh timer runs for as
// long as a window is open).
//
// Run through scripts/bench: it needs an X display (scripts/bench starts Xvfb when DISPLAY
// names none) and runs inside the private namespace, as every start of the program must.

#include "tests/app/support/RunningApp.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"

#include <ApplicationVersion.h>
#include <juce_core/juce_core.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int runs = 5;
constexpr auto startLimit = std::chrono::seconds (30);
constexpr auto settleTime = std::chrono::seconds (2);
constexpr int idleSeconds = 10;
const std::string appTitle (std::string ("Zorv Updater  [") + applicationVersion + "]");
const std::string emptyWindowTitle ("Empty framework window");

double millisecondsBetween (Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli> (to - from).count();
}

// The window is painted once its background shows where no control lies.
bool painted (apptest::XDisplayProbe& probe, pid_t process, const std::string& title)
{
    const auto windows = probe.windowsOf (process, title);
    return ! windows.empty() && probe.pixel (windows.front(), 5, 80) == 0x353535ul;
}

long residentKiB (pid_t process)
{
    std::ifstream status ("/proc/" + std::to_string (process) + "/status");
    for (std::string line; std::getline (status, line);)
        if (line.rfind ("VmRSS:", 0) == 0)
            return std::stol (line.substr (6));
    return -1;
}

// The time the process's threads have spent on a CPU, in nanoseconds.
double cpuNanoseconds (pid_t process)
{
    double total = 0.0;
    const auto tasks = "/proc/" + std::to_string (process) + "/task";
    for (const auto& task : std::filesystem::directory_iterator (tasks))
    {
        std::ifstream schedstat (task.path() / "schedstat");
        double onCpu = 0.0;
        if (schedstat >> onCpu)
            total += onCpu;
    }
    return total;
}

struct Run
{
    double firstPaintMs = -1.0;
    double exitMs = -1.0;
    long residentKiB = -1;
    double idleCpuPercent = -1.0;
};

Run runOnce (const char* executable, const std::string& title, bool measureIdle)
{
    Run run;
    testfolders::TemporaryHome home;
    apptest::XDisplayProbe probe;
    if (! probe.connected())
        return run;

    const auto start = Clock::now();
    apptest::RunningApp app (executable, home.file().getFullPathName().toStdString());
    if (! app.started() || ! apptest::waitUntil ([&] { return painted (probe, app.processId(), title); }, startLimit))
        return run;
    run.firstPaintMs = millisecondsBetween (start, Clock::now());

    if (measureIdle)
    {
        std::this_thread::sleep_for (settleTime);
        run.residentKiB = residentKiB (app.processId());
        const auto before = cpuNanoseconds (app.processId());
        std::this_thread::sleep_for (std::chrono::seconds (idleSeconds));
        run.idleCpuPercent = 100.0 * (cpuNanoseconds (app.processId()) - before) / (idleSeconds * 1.0e9);
    }

    const auto closing = Clock::now();
    probe.requestClose (probe.windowsOf (app.processId(), title).front());
    if (app.waitForExit (startLimit) == std::optional<int> (0))
        run.exitMs = millisecondsBetween (closing, Clock::now());
    return run;
}
}

int main()
{
    if (! testnet::insidePrivateNamespace())
    {
        std::fprintf (stderr, "every start of the program must be inside a private network namespace: %s\n",
                      testnet::namespaceSkipReason());
        return 1;
    }

    std::printf ("start to first painted window, %d runs (DISPLAY %s)\n", runs, std::getenv ("DISPLAY"));
    std::vector<double> paints;
    Run idle;
    for (int i = 0; i < runs; ++i)
    {
        const auto run = runOnce (ZORV_APP_EXECUTABLE, appTitle, i == runs - 1);
        if (run.firstPaintMs < 0.0 || run.exitMs < 0.0)
        {
            std::fprintf (stderr, "run %d: the window did not show, or the program did not exit cleanly\n", i + 1);
            return 1;
        }
        std::printf ("run %d: first paint %.1f ms, exit after the close request %.1f ms\n", i + 1, run.firstPaintMs,
                     run.exitMs);
        paints.push_back (run.firstPaintMs);
        idle = run;
    }

    std::sort (paints.begin(), paints.end());
    std::printf ("median first paint %.1f ms (target: under 1000 ms)\n", paints[paints.size() / 2]);
    std::printf ("idle: resident memory %.1f MiB; CPU over %d s %.2f %% of one core (target: under 1 %%)\n",
                 (double) idle.residentKiB / 1024.0, idleSeconds, idle.idleCpuPercent);

    const auto floor = runOnce (ZORV_EMPTY_WINDOW_EXECUTABLE, emptyWindowTitle, true);
    if (floor.idleCpuPercent < 0.0)
    {
        std::fprintf (stderr, "the empty framework window did not show\n");
        return 1;
    }
    std::printf ("floor, an empty framework window: first paint %.1f ms, resident memory %.1f MiB, "
                 "CPU over %d s %.2f %% of one core\n",
                 floor.firstPaintMs, (double) floor.residentKiB / 1024.0, idleSeconds, floor.idleCpuPercent);
    return 0;
}
