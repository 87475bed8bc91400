// Measures what the window adds to a full Auto Update of a 24-board console against the
// simulator, with the compressed timing of the engine tests: the wall time of the same
// Auto Update driven through the real window (a click on Auto Update, Yes and OK answered in
// the message boxes as they appear) beside the wall time driven directly through the engine
// (answers stored at once), and the message thread's longest stall while the events stream.
//
// Every board of the console runs one version behind its release, so the version scan finds
// all of them pending; the console has motorised master faders, so 23 boards are updated.
// The record has no status byte: the window does not probe the device again afterwards, and
// every stall measured is the window's own work.
//
// The stall: a thread posts a call to the message thread every millisecond; the longest time
// a call waits before it runs is the longest stretch the message thread was busy.
//
// Usage: bench_windowautoupdate [runs, default 2] [image KiB, default 4]. Run through
// scripts/bench: it needs an X display and runs inside the private network namespace.

#include "app/ZorvRemoteAppApplication.h"
#include "tests/app/support/RunningApp.h"
#include "tests/app/support/WindowDriver.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"
#include "tests/ui/MainComponentInspector.h"
#include "tests/updater/CompressedTiming.h"
#include "tools/firmware/DemoFirmware.h"
#include "tools/sim/BoardLayouts.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;
using Event = ZorvUpdater::UpdaterEvent;

double secondsSince (Clock::time_point start)
{
    return std::chrono::duration<double> (Clock::now() - start).count();
}

std::unique_ptr<zsim::DeviceSimulator> startConsole (const std::string& address)
{
    auto setup = zsim::consoleDevice (zsim::MasterFader::Motorised);
    for (auto& board : setup.boards)
    {
        board.newVersion = board.version;
        board.version = (uint8_t) (board.version - 1);
    }
    zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (5));
    setup.identity.name = zsim::DeviceIdentity::nameField ("Bench Console");
    auto device = std::make_unique<zsim::DeviceSimulator> (setup, address);
    return device->start() ? std::move (device) : nullptr;
}

int boardsUpdated (const zsim::DeviceSimulator& device, const demofirmware::FirmwareImages& images)
{
    int updated = 0;
    for (std::size_t board = 0; board < device.boardCount(); ++board)
        updated += demofirmware::holdsImage (device.board (board), images) ? 1 : 0;
    return updated;
}

// The Auto Update through the engine alone, both boxes answered the moment they are asked.
double runThroughEngine (const std::string& base, const DeviceRecord& record)
{
    ZorvUpdater engine (base, enginetest::compressedTiming());
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    const auto start = Clock::now();
    engine.startAutoUpdate (record, false, [&] (const Event& e)
    {
        if (e.type == ZorvUpdater::MessageBox && e.answer != nullptr)
            e.answer->exchange (e.buttons == 6 ? 2 : 1);
        if (e.type == ZorvUpdater::OperationFinished)
        {
            const std::lock_guard<std::mutex> lock (mutex);
            done = true;
            finished.notify_all();
        }
    });
    std::unique_lock<std::mutex> lock (mutex);
    finished.wait (lock, [&] { return done; });
    return secondsSince (start);
}

// Posts a call to the message thread every millisecond and keeps the longest wait one had.
class StallProbe
{
public:
    StallProbe()
        : poster ([this]
        {
            while (! stop)
            {
                const auto posted = Clock::now();
                juce::MessageManager::callAsync ([this, posted]
                {
                    const auto waited = std::chrono::duration<double, std::milli> (Clock::now() - posted).count();
                    longest = std::max (longest, waited);
                });
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
            }
        })
    {
    }

    ~StallProbe()
    {
        stop = true;
        poster.join();
    }

    double longestMs() const { return longest; }

private:
    std::atomic<bool> stop { false };
    double longest = 0.0;   // message thread only
    std::thread poster;
};

struct WindowRun
{
    double seconds = 0.0;
    double longestStallMs = 0.0;
};

// The same Auto Update through the window: the device listed and selected, Auto Update
// clicked, each box answered as it appears, until the controls are back after the last.
WindowRun runThroughWindow (const std::string& base, const std::string& address)
{
    using namespace windowdriver;
    MainComponent::EngineSetup setup { base, enginetest::compressedTiming() };
    auto window = std::make_unique<ZorvRemoteAppApplication::MainWindow> ("ZorvUpdater", std::make_unique<MainComponent> (setup));
    auto& main = *dynamic_cast<MainComponent*> (window->getContentComponent());

    std::atomic<bool> listed { false };
    MainComponentInspector { main }.discovery().startDiscovery (true, { true }, { address }, 1, [&listed] { listed = true; });
    runUntil ([&listed] { return listed.load(); });
    main.refreshDeviceList();
    main.updateBoardList();
    main.refreshControlStates();
    runFor (100);

    auto& scan = *main.findChildWithID ("btnScanDev");
    auto& autoUpdate = dynamic_cast<juce::Button&> (*main.findChildWithID ("btnAutoUpdate"));
    int answered = 0;
    WindowRun run;
    {
        StallProbe probe;
        const auto start = Clock::now();
        autoUpdate.triggerClick();
        runUntil ([&]
        {
            if (auto* box = openMessageBox())
            {
                if (auto* button = findButton (*box, answered == 0 ? "Yes" : "OK"))
                {
                    button->triggerClick();
                    ++answered;
                    runUntil ([box] { return openMessageBox() != box; }, 5000);
                }
            }
            return answered == 2 && scan.isEnabled();
        }, 600000);
        run.seconds = secondsSince (start);
        run.longestStallMs = probe.longestMs();
    }
    window.reset();
    return run;
}
}

int main (int argc, char** argv)
{
    const int runs = argc > 1 ? std::max (1, std::atoi (argv[1])) : 2;
    const std::size_t imageKiB = argc > 2 ? (std::size_t) std::strtoul (argv[2], nullptr, 10) : 4;

    testfolders::TemporaryFolder base;
    const auto basePath = base.file().getFullPathName().toStdString();
    const auto images = demofirmware::makeImages (imageKiB * 1024);
    demofirmware::writeHexFilesTree (std::filesystem::u8path (basePath), images);
    const auto address = testnet::loopbackAddress (0);

    apptest::XDisplayProbe display;
    if (! display.connected())
    {
        std::fprintf (stderr, "no X display: run through scripts/bench\n");
        return 1;
    }
    juce::ScopedJuceInitialiser_GUI framework;

    std::printf ("Auto Update of a 24-board console, compressed timing (tick %.0f ms), images of %zu KiB, %d runs each\n",
                 enginetest::compressedTiming().tickMs, imageKiB, runs);
    std::vector<double> engineSeconds, windowSeconds;
    double longestStall = 0.0;
    bool allUpdated = true;
    for (int run = 0; run < runs; ++run)
    {
        for (const bool throughWindow : { false, true })
        {
            auto console = startConsole (address);
            if (console == nullptr)
            {
                std::fprintf (stderr, "cannot start the simulated console\n");
                return 1;
            }
            DeviceRecord record {};
            std::memcpy (&record, console->record().data(), sizeof (record));

            if (throughWindow)
            {
                const auto result = runThroughWindow (basePath, address);
                windowSeconds.push_back (result.seconds);
                longestStall = std::max (longestStall, result.longestStallMs);
            }
            else
            {
                engineSeconds.push_back (runThroughEngine (basePath, record));
            }

            const auto updated = boardsUpdated (*console, images);
            allUpdated = allUpdated && updated == 23;
            std::printf ("  run %d %-13s %8.3f s, %d boards updated\n", run + 1, throughWindow ? "window" : "engine",
                         throughWindow ? windowSeconds.back() : engineSeconds.back(), updated);
        }
    }

    const auto best = [] (const std::vector<double>& values) { return *std::min_element (values.begin(), values.end()); };
    const auto added = 100.0 * (best (windowSeconds) - best (engineSeconds)) / best (engineSeconds);
    std::printf ("  best through the engine   %8.3f s\n", best (engineSeconds));
    std::printf ("  best through the window   %8.3f s = %+.2f %% (target: under 5 %%)\n", best (windowSeconds), added);
    std::printf ("  longest message-thread stall while the events stream: %.1f ms (target: under 50 ms)\n", longestStall);
    return allUpdated ? 0 : 1;
}
