// Measures a full Auto Update of a 24-board console against the simulator, with the
// compressed timing of the engine tests: the total wall time, and how much of it is not the
// waits the procedures prescribe (the overhead: exchanges, programming, event handling).
//
// The console carries the status byte and all 24 boards answer one version behind their
// build version, so every board is pending. The Monitor Interface board is updated first;
// the console's record then carries the motorised fader word, so the manual master fader
// board is skipped as not installed and 23 boards are updated.
//
// The prescribed waits are computed from the timing record and the count of each wait the
// run took: the ticks of the restart waits and the steps of the FPGA settling come from the
// progress events sent while a bar without highlight is up, the fixed pauses from the
// number of boards updated. Pauses between polls of a board's state are taken only when a
// board answers late; the identity reads of each board tell whether any was, and the run
// says so when the count is not the plain one.
//
// Usage: bench_autoupdate [image KiB, default 4]. Run through scripts/bench.

#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"
#include "tests/updater/CompressedTiming.h"
#include "tests/updater/ZorvUpdaterInspector.h"
#include "tools/hex/HexFileWriter.h"
#include "tools/sim/BoardLayouts.h"
#include "updater/BoardTables.h"
#include "updater/DeviceCatalogue.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>

namespace
{
using Clock = std::chrono::steady_clock;
using Event = ZorvUpdater::UpdaterEvent;
namespace fs = std::filesystem;

constexpr int consoleBoards = 24;
constexpr int fpgaSettleSteps = 1499;
constexpr uint8_t skippedBoard = 19;

void writeFile (const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories (path.parent_path());
    std::ofstream (path, std::ios::binary).write (reinterpret_cast<const char*> (bytes.data()), (std::streamsize) bytes.size());
}

void writeConsoleFirmware (const fs::path& base, std::size_t imageBytes)
{
    std::mt19937 random (470);
    const testhex::HexImage picImage { { 0x1D000000u, testhex::randomBytes (random, imageBytes) } };
    const auto hex = testhex::HexFileWriter().writeBytes (picImage);
    const auto fpga = testhex::randomBytes (random, imageBytes);
    const auto catalogue = toStdDeviceCatalogue();
    for (const auto& entry : catalogue.firmwareFiles[0])
    {
        const auto path = base / "HexFiles" / entry;
        writeFile (path, path.extension() == ".bin" ? fpga : hex);
    }
}

zsim::DeviceSetup consoleOneVersionBehind()
{
    auto setup = zsim::consoleDevice (zsim::MasterFader::Motorised, 1);
    for (auto& board : setup.boards)
    {
        board.present = true;
        board.newVersion = board.version;
        board.version = (uint8_t) (board.version - 1);
    }
    zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (5));
    setup.identity.name = zsim::DeviceIdentity::nameField ("Bench Console");
    return setup;
}

// Counts what the waits are made of and answers both boxes at once, as a window whose user
// clicks without delay would.
class RunWatcher
{
public:
    UpdaterEventCallback callback()
    {
        return [this] (const Event& e) { take (e); };
    }

    void waitForFinish()
    {
        std::unique_lock<std::mutex> lock (mutex);
        changed.wait (lock, [this] { return finishedAt.has_value(); });
    }

    long events = 0;
    long plainBarProgress = 0;
    bool questionAsked = false;
    bool succeeded = false;
    std::optional<Clock::time_point> finishedAt;

private:
    void take (const Event& e)
    {
        ++events;
        if (e.type == ZorvUpdater::MessageBox && e.answer != nullptr)
        {
            questionAsked = true;
            e.answer->exchange (e.icon == 2 ? 2 : 1);
        }
        else if (e.type == ZorvUpdater::ProgressBarState)
            plainBarShown = e.visible && ! e.highlight;
        else if (e.type == ZorvUpdater::Progress && plainBarShown && questionAsked)
            ++plainBarProgress;
        else if (e.type == ZorvUpdater::OperationFinished)
        {
            const std::lock_guard<std::mutex> lock (mutex);
            succeeded = e.success;
            finishedAt = Clock::now();
            changed.notify_all();
        }
    }

    bool plainBarShown = false;
    std::mutex mutex;
    std::condition_variable changed;
};

// Identity reads of a board whose every answer comes in time: the scan, the re-check, the
// update's first read, the check after it; a PIC board adds the read before the boot-mode
// command and one after its restart wait; every board one read after its final restart;
// the motorised fader board one more before its processor query.
unsigned plainIdentityReads (int board, bool fpga)
{
    return 5u + (fpga ? 0u : 2u) + (board == 23 ? 1u : 0u);
}
}

int main (int argc, char** argv)
{
    const std::size_t imageKiB = argc > 1 ? (std::size_t) std::strtoul (argv[1], nullptr, 10) : 4;
    const auto timing = enginetest::compressedTiming();

    testfolders::TemporaryFolder base;
    const auto basePath = fs::u8path (base.file().getFullPathName().toStdString());
    writeConsoleFirmware (basePath, imageKiB * 1024);

    zsim::DeviceSimulator device (consoleOneVersionBehind(), testnet::loopbackAddress (0));
    if (! device.start())
    {
        std::fprintf (stderr, "cannot start the simulated console\n");
        return 1;
    }
    DeviceRecord record {};
    const auto bytes = device.record();
    std::memcpy (&record, bytes.data(), bytes.size());

    ZorvUpdater engine (basePath.u8string(), timing);
    RunWatcher watcher;
    const auto start = Clock::now();
    engine.startAutoUpdate (record, false, watcher.callback());
    watcher.waitForFinish();
    const double total = std::chrono::duration<double> (*watcher.finishedAt - start).count();

    int updated = 0, fpgaUpdated = 0;
    long blocks = 0, lateReads = 0;
    for (int board = 0; board < consoleBoards; ++board)
    {
        const auto report = device.board ((std::size_t) board);
        blocks += report.count (zsim::BoardRequest::ProgramBlock);
        if (report.count (zsim::BoardRequest::ProgramComplete) == 0)
            continue;
        const bool fpga = ZorvUpdater::isFPGABoard (0, getPanelAddress (0, (uint8_t) board).Type);
        ++updated;
        fpgaUpdated += fpga ? 1 : 0;
        lateReads += (long) report.count (zsim::BoardRequest::IdentityRead) - (long) plainIdentityReads (board, fpga);
    }

    const long passTicks = watcher.plainBarProgress - (long) fpgaSettleSteps * fpgaUpdated;
    const double fixedPerBoard = timing.erasePauseMs + timing.programStartPauseMs + timing.finishPauseMs
                               + timing.programCompletePauseMs;
    const double waitsMs = 10 * timing.startPauseStepMs
                         + (consoleBoards + 2) * timing.tickMs
                         + (double) passTicks * timing.tickMs
                         + (double) fpgaSettleSteps * fpgaUpdated * timing.fpgaSettleStepMs
                         + updated * fixedPerBoard;
    const double waits = waitsMs / 1000.0;
    const double overhead = total - waits;

    std::printf ("Auto Update of a 24-board console, compressed timing (tick %.0f ms), images of %zu KiB\n",
                 timing.tickMs, imageKiB);
    std::printf ("  result                %s, %d boards updated (%d FPGA), board %d %s\n",
                 watcher.succeeded ? "completed" : "FAILED", updated, fpgaUpdated, (int) skippedBoard,
                 device.board (skippedBoard).count (zsim::BoardRequest::Erase) == 0 ? "skipped" : "updated");
    std::printf ("  total wall time       %8.3f s\n", total);
    std::printf ("  prescribed waits      %8.3f s   (%ld restart ticks in the pass)\n", waits, passTicks);
    std::printf ("  overhead              %8.3f s = %.2f %% of the total (target: under 5 %%)\n", overhead,
                 100.0 * overhead / total);
    std::printf ("  work in the overhead  %zu connections, %ld program blocks, %ld events; %.1f us per connection\n",
                 device.connectionCount(), blocks, watcher.events, 1e6 * overhead / (double) device.connectionCount());
    if (lateReads != 0)
        std::printf ("  NOTE: %ld identity reads beyond the plain count: some board answered late, and the pauses\n"
                     "        between those reads are counted as overhead\n", lateReads);
    return watcher.succeeded ? 0 : 1;
}
