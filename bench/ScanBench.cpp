// Times an automatic scan of the namespace's /24 (2 passes) with 20 simulated devices and
// prints its wall time against its floor, the part that the scan's own waits make
// unavoidable: one probe round plus the 1000 ms pause before the second pass. Also prints
// the peak number of threads and open descriptors the process reached during the scan,
// above what it held before (the simulators' own included in that baseline).
//
// Run through scripts/bench: it needs the private namespace, where 10.200.0.0/24 is local.

#include "discovery/NetworkDiscovery.h"
#include "tests/support/TestNet.h"
#include "tools/sim/DeviceSimulator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int deviceCount = 20;
constexpr int runs = 5;

double millisecondsBetween (Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli> (to - from).count();
}

int threadCount()
{
    std::ifstream status ("/proc/self/status");
    std::string line;
    while (std::getline (status, line))
        if (line.rfind ("Threads:", 0) == 0)
            return std::stoi (line.substr (8));
    return 0;
}

int openDescriptorCount()
{
    std::error_code error;
    const std::filesystem::directory_iterator fds ("/proc/self/fd", error);
    return error ? 0 : (int) std::distance (fds, std::filesystem::directory_iterator());
}

// Samples the process's threads and descriptors as fast as it can until stopped: a refused
// probe lives for well under a millisecond. It costs a core, so the timed runs go without it.
class PeakSampler
{
public:
    PeakSampler() : sampler ([this] { run(); }) {}

    ~PeakSampler()
    {
        stopping = true;
        sampler.join();
    }

    int peakThreads() const { return threads.load(); }
    int peakDescriptors() const { return descriptors.load(); }

private:
    void run()
    {
        while (! stopping)
        {
            threads = std::max (threads.load(), threadCount());
            descriptors = std::max (descriptors.load(), openDescriptorCount());
        }
    }

    std::atomic<bool> stopping { false };
    std::atomic<int> threads { 0 };
    std::atomic<int> descriptors { 0 };
    std::thread sampler;
};

std::vector<std::unique_ptr<zsim::DeviceSimulator>> startDevices()
{
    std::vector<std::unique_ptr<zsim::DeviceSimulator>> devices;
    for (int i = 0; i < deviceCount; ++i)
    {
        zsim::DeviceIdentity identity;
        identity.deviceType = i % 9;
        identity.name = zsim::DeviceIdentity::nameField ("Bench " + std::to_string (i));
        identity.mac = { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, (uint8_t) (i + 1) };
        devices.push_back (std::make_unique<zsim::DeviceSimulator> (identity, "10.200.0." + std::to_string (10 * i + 7)));
        if (! devices.back()->start())
        {
            std::fprintf (stderr, "cannot bind %s\n", devices.back()->address().c_str());
            std::exit (1);
        }
    }
    return devices;
}

// The slowest of single probes of every device: the longest a probe round has to take.
double probeRoundMs (NetworkDiscovery& discovery, const std::vector<std::unique_ptr<zsim::DeviceSimulator>>& devices)
{
    double slowest = 0;
    for (const auto& device : devices)
    {
        const auto start = Clock::now();
        discovery.discoverDevice (device->address());
        slowest = std::max (slowest, millisecondsBetween (start, Clock::now()));
    }
    return slowest;
}

struct Figures
{
    double wallMs = 0;
    std::size_t found = 0;
    int peakThreads = 0;
    int peakDescriptors = 0;
};

Figures runOneScan (NetworkDiscovery& discovery, bool sampled)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;

    Figures figures;
    const int baseThreads = threadCount();
    const int baseDescriptors = openDescriptorCount();
    {
        std::unique_ptr<PeakSampler> sampler;
        if (sampled)
            sampler = std::make_unique<PeakSampler>();
        const auto start = Clock::now();
        Clock::time_point end;
        const bool started = discovery.startDiscovery (false, {}, {}, 2, [&]
        {
            const std::lock_guard<std::mutex> lock (mutex);
            end = Clock::now();
            done = true;
            changed.notify_all();
        });
        if (! started)
        {
            std::fprintf (stderr, "the scan did not start\n");
            std::exit (1);
        }

        std::unique_lock<std::mutex> lock (mutex);
        changed.wait (lock, [&] { return done; });
        figures.wallMs = millisecondsBetween (start, end);
        if (sampler != nullptr)
        {
            figures.peakThreads = sampler->peakThreads() - baseThreads - 1;   // minus the sampler itself
            figures.peakDescriptors = sampler->peakDescriptors() - baseDescriptors;
        }
    }
    figures.found = discovery.getDevices().size();
    return figures;
}
}

int main()
{
    if (! testnet::insidePrivateNamespace())
    {
        std::fprintf (stderr, "%s\n", testnet::namespaceSkipReason());
        return 1;
    }

    const auto devices = startDevices();
    NetworkDiscovery discovery ([] { return std::vector<std::string> { "10.200.0.1" }; });
    const double floorMs = probeRoundMs (discovery, devices) + 1000.0;

    std::printf ("automatic scan of 10.200.0.0/24, 2 passes, %d simulated devices, %d runs\n", deviceCount, runs);
    std::printf ("floor (slowest single probe + 1000 ms pause): %.1f ms\n", floorMs);
    std::vector<double> walls;
    for (int run = 1; run <= runs; ++run)
    {
        const auto figures = runOneScan (discovery, false);
        walls.push_back (figures.wallMs);
        std::printf ("run %d: wall %.1f ms (floor + %.1f ms), %zu devices found\n",
                     run, figures.wallMs, figures.wallMs - floorMs, figures.found);
    }

    const auto sampled = runOneScan (discovery, true);
    std::printf ("sampled run: peak +%d threads, peak +%d open descriptors during the scan\n",
                 sampled.peakThreads, sampled.peakDescriptors);

    std::sort (walls.begin(), walls.end());
    const double median = walls[walls.size() / 2];
    std::printf ("median wall %.1f ms, floor + %.1f ms (target: within 150 ms of the floor)\n", median, median - floorMs);
    return 0;
}
