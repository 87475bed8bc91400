// Measures the programming of a 1 MiB image, written as Intel HEX with 16-byte records
// (65,536 blocks), into one simulated PIC board through a whole board update with the
// compressed timing, beside the minimal connect-send-receive-close loop sending the same
// kind of block to another board of the same device: blocks per second of each, and the
// peak resident memory of this process.
//
// The two take turns: after every 4096 blocks of the update, the progress callback runs 625
// exchanges of the minimal loop, so that both meet the same load of the machine and the
// same pile of closed connections; their time is taken out of the update's.
//
// The simulated device runs in a child process, which also writes the firmware file, so
// that neither the device's copy of the programmed image nor the making of the file counts
// towards this process's memory.
//
// Then the same update alone across a veth pair, the computer's side with Linux's own
// 28,232 local ports: every block leaves its port in TIME_WAIT for 60 s, so the ports run
// out twice during the image, and the engine waits for them to come free. It prints the
// blocks per second over the whole programming and the longest stall between two blocks.
//
// Run through scripts/bench: it wants the private namespace.

#include "bench/MinimalExchange.h"
#include "bench/Platform.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"
#include "tests/support/VethNetworks.h"
#include "tests/updater/EngineFixture.h"
#include "tools/hex/HexFileWriter.h"
#include "tools/sim/BoardLayouts.h"
#include "updater/BoardTables.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace
{
using Clock = std::chrono::steady_clock;
using enginetest::Event;

constexpr std::size_t imageSize = 1024 * 1024;
constexpr std::size_t blocksPerTurn = 4096;   // of the update, between two turns of the minimal loop
constexpr int exchangesPerTurn = 625;         // of the minimal loop
constexpr uint8_t programmedIndex = 4;        // Channel Master 1-8
constexpr uint8_t loopIndex = 5;              // Channel Master 9-16: Panel 0, Ch 1, Type 1

std::filesystem::path firmwarePath (const testfolders::TemporaryFolder& base)
{
    return std::filesystem::u8path (base.file().getFullPathName().toStdString()) / "HexFiles" / "K470" / "CentralProcessorPIC.hex";
}

// Runs in the child: the file, then the device with both Channel Master boards waiting in
// their boot loaders.
bool serveDevice (const std::filesystem::path& file, const std::string& address, std::unique_ptr<zsim::DeviceSimulator>& device)
{
    std::mt19937 random (7);
    const auto text = testhex::HexFileWriter().write ({ { 0x1D000000, testhex::randomBytes (random, imageSize) } });
    std::filesystem::create_directories (file.parent_path());
    std::ofstream (file, std::ios::binary) << text;

    auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
    zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (20));
    setup.boards[programmedIndex].bootMode = true;
    setup.boards[loopIndex].bootMode = true;
    device = std::make_unique<zsim::DeviceSimulator> (setup, address);
    return device->start();
}

// A block of 16 bytes for Channel Master 9-16, its checksum over count, address, record
// type and data.
benchloop::Message programBlockRequest()
{
    const uint8_t count = 16, address[4] = { 0x00, 0x00, 0x00, 0x1D };
    benchloop::Message request = benchloop::tagRequest ({ 15 + count, 5, 1, 0, 0, 0, 1, 0, 0, count,
                                                          address[0], address[1], address[2], address[3], 0 });
    unsigned sum = count;
    for (int i = 0; i < count; ++i)
        sum += request[27 + (std::size_t) i] = (uint8_t) (i * 11);
    for (const auto b : address)
        sum += b;
    request[20] = (uint8_t) sum;
    return request;
}

// The minimal loop's turns, run from inside the update.
class MinimalTurns
{
public:
    explicit MinimalTurns (const std::string& address)
        : device (boost::asio::ip::make_address_v4 (address), devicePort), request (programBlockRequest())
    {
    }

    // The seconds the turn took.
    double run()
    {
        const auto start = Clock::now();
        for (int i = 0; i < exchangesPerTurn; ++i)
            if (! benchloop::minimalExchange (context, device, request, 'k'))
                ++failures;
        const double spent = std::chrono::duration<double> (Clock::now() - start).count();
        turnSeconds.push_back (spent);
        return spent;
    }

    double rate() const
    {
        double total = 0;
        for (const auto t : turnSeconds)
            total += t;
        return (double) turnSeconds.size() * exchangesPerTurn / total;
    }

    std::vector<double> turnSeconds;
    int failures = 0;

private:
    boost::asio::io_context context;
    const boost::asio::ip::tcp::endpoint device;
    const benchloop::Message request;
};

// The blocks of the update are the progress events between the highlighted bar and the
// final progress of 1; every blocksPerTurn of them the minimal loop takes its turn.
struct UpdateRun
{
    int result = -1;
    std::size_t blocks = 0;
    double programmingSeconds = 0;
    double totalSeconds = 0;
    std::vector<double> turnSeconds;   // the update's own time between two turns of the minimal loop
};

UpdateRun runUpdate (const std::string& baseFolder, const std::string& address, MinimalTurns& minimal)
{
    ZorvUpdater engine (baseFolder, enginetest::compressedTiming());
    const auto record = enginetest::recordFor (address, 0);
    UpdateRun run;
    Clock::time_point turnStart;
    bool programming = false;
    const auto callback = [&] (const Event& e)
    {
        if (e.type == ZorvUpdater::ProgressBarState && e.visible && e.highlight)
        {
            programming = true;
            turnStart = Clock::now();
        }
        else if (programming && e.type == ZorvUpdater::Progress)
        {
            const bool last = e.progress >= 1.0f;
            if (! last)
                ++run.blocks;
            if (last || run.blocks % blocksPerTurn == 0)
            {
                run.turnSeconds.push_back (std::chrono::duration<double> (Clock::now() - turnStart).count());
                run.programmingSeconds += run.turnSeconds.back();
                if (! last)
                    minimal.run();
                turnStart = Clock::now();
            }
            programming = ! last;
        }
    };

    const auto start = Clock::now();
    const auto file = ZorvUpdaterInspector::getFirmwareFile (engine, record, programmedIndex);
    run.result = ZorvUpdaterInspector::updatePanelFirmware (engine, record, getPanelAddress (0, programmedIndex), file,
                                                            false, callback);
    run.totalSeconds = std::chrono::duration<double> (Clock::now() - start).count();
    return run;
}

double mebibytes (std::size_t bytes)
{
    return (double) bytes / (1024.0 * 1024.0);
}

// The update on loopback beside the minimal loop, and the process's memory.
bool loopbackVariant()
{
    const auto address = testnet::loopbackAddress (0);
    testfolders::TemporaryFolder base;
    const auto file = firmwarePath (base);
    std::unique_ptr<zsim::DeviceSimulator> device;
    benchplatform::ChildProcess simulator ([&] { return serveDevice (file, address, device); });
    if (! simulator.ready())
    {
        std::fprintf (stderr, "cannot start the simulated device on %s\n", address.c_str());
        return false;
    }
    const auto fileSize = (std::size_t) std::filesystem::file_size (file);
    const auto residentBefore = benchplatform::residentBytes();

    MinimalTurns minimal (address);
    const auto update = runUpdate (base.file().getFullPathName().toStdString(), address, minimal);

    const double minimalRate = minimal.rate();
    const double engineRate = (double) update.blocks / update.programmingSeconds;
    const auto peak = benchplatform::peakResidentBytes();

    // Per turn: the update's rate over the minimal loop's, for the spread.
    std::vector<double> ratios;
    for (std::size_t i = 0; i < minimal.turnSeconds.size() && i < update.turnSeconds.size(); ++i)
        ratios.push_back (((double) blocksPerTurn / update.turnSeconds[i]) / (exchangesPerTurn / minimal.turnSeconds[i]));

    std::printf ("1 MiB image as Intel HEX (%zu bytes, 16-byte records) into one simulated PIC board on %s\n",
                 fileSize, address.c_str());
    std::printf ("update: result %d (%s), %zu blocks programmed in %.2f s, whole update %.2f s\n", update.result,
                 updateResultText (update.result), update.blocks, update.programmingSeconds, update.totalSeconds);
    std::printf ("engine       %7.0f blocks/s (%.1f us each)\n", engineRate, 1e6 / engineRate);
    std::printf ("minimal loop %7.0f blocks/s (%.1f us each; %zu turns of %d, %d failed)\n", minimalRate,
                 1e6 / minimalRate, minimal.turnSeconds.size(), exchangesPerTurn, minimal.failures);
    std::printf ("engine at %.1f %% of the minimal loop (target: at least 85 %%); per turn: median %.1f %%, "
                 "quartiles %.1f-%.1f %%\n", 100.0 * engineRate / minimalRate, 100.0 * benchloop::quantile (ratios, 0.5),
                 100.0 * benchloop::quantile (ratios, 0.25), 100.0 * benchloop::quantile (ratios, 0.75));
    std::printf ("peak resident memory %.1f MiB (resident before the update %.1f MiB); file plus 8 MiB: %.1f MiB "
                 "(target: peak no more)\n", mebibytes (peak), mebibytes (residentBefore), mebibytes (fileSize) + 8.0);

    return update.result == UpdateSuccessful && update.blocks == imageSize / 16 && minimal.failures == 0;
}

// The gaps between the blocks of one update: a stall is any gap over a second.
struct StallRun
{
    int result = -1;
    std::size_t blocks = 0;
    double programmingSeconds = 0;
    double longestStall = 0;
    int stalls = 0;
    int portWarnings = 0;
};

StallRun runStalledUpdate (const std::string& baseFolder, const std::string& address)
{
    ZorvUpdater engine (baseFolder, enginetest::compressedTiming());
    const auto record = enginetest::recordFor (address, 0);
    StallRun run;
    Clock::time_point first, last;
    bool programming = false;
    const auto callback = [&] (const Event& e)
    {
        const auto now = Clock::now();
        if (e.type == ZorvUpdater::LogLine && e.text.rfind ("No free network port", 0) == 0)
            ++run.portWarnings;
        if (e.type == ZorvUpdater::ProgressBarState && e.visible && e.highlight)
        {
            programming = true;
            first = last = now;
        }
        if (! programming || e.type != ZorvUpdater::Progress)
            return;

        const double gap = std::chrono::duration<double> (now - last).count();
        run.longestStall = std::max (run.longestStall, gap);
        run.stalls += gap > 1.0 ? 1 : 0;
        last = now;
        programming = e.progress < 1.0f;
        run.blocks += programming ? 1 : 0;
        run.programmingSeconds = std::chrono::duration<double> (now - first).count();
    };

    const auto file = ZorvUpdaterInspector::getFirmwareFile (engine, record, programmedIndex);
    run.result = ZorvUpdaterInspector::updatePanelFirmware (engine, record, getPanelAddress (0, programmedIndex), file,
                                                            true, callback);
    return run;
}

bool vethVariant()
{
    testnet::VethNetworks networks;
    if (! networks.ready() || ! networks.setLocalPortRange (32768, 60999))
    {
        std::fprintf (stderr, "cannot make the veth pair (run through scripts/bench)\n");
        return false;
    }
    const std::string address = testnet::VethNetworks::farAddress;
    testfolders::TemporaryFolder base;
    const auto file = firmwarePath (base);
    std::unique_ptr<zsim::DeviceSimulator> device;
    benchplatform::ChildProcess simulator ([&]
    {
        bool up = false;
        return networks.inFarNetwork ([&] { up = serveDevice (file, address, device); }) && up;
    });
    if (! simulator.ready())
    {
        std::fprintf (stderr, "cannot start the simulated device on %s\n", address.c_str());
        return false;
    }

    const auto run = runStalledUpdate (base.file().getFullPathName().toStdString(), address);
    std::printf ("\nthe same across a veth pair to %s, 28,232 local ports, TIME_WAIT 60 s\n", address.c_str());
    std::printf ("update: result %d (%s), %zu blocks programmed in %.2f s: %.0f blocks/s\n", run.result,
                 updateResultText (run.result), run.blocks, run.programmingSeconds,
                 (double) run.blocks / run.programmingSeconds);
    std::printf ("longest stall between two blocks %.2f s; %d stalls over 1 s; %d port warnings in the log\n",
                 run.longestStall, run.stalls, run.portWarnings);
    return run.result == UpdateSuccessful && run.blocks == imageSize / 16;
}
}

int main()
{
    const bool loopback = loopbackVariant();
    const bool veth = vethVariant();
    return loopback && veth ? 0 : 1;
}
