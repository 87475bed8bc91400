// Programming a board while this computer has run out of local ports: every block is a
// connection of its own that this side closes first, so each holds its port for the
// TIME_WAIT (60 s on Linux). The board's device sits across a veth pair, where Linux does
// not hand such ports out again early, and the computer's side has only a few ports.
//
// Two cases run a real exhaustion, through a whole board update and into program complete:
// each lasts one TIME_WAIT, a little over a minute.

#include "tests/support/TestFolders.h"
#include "tests/support/VethNetworks.h"
#include "tests/updater/EngineFixture.h"
#include "tests/updater/ImageWalk.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"

#include <boost/asio/ip/tcp.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <vector>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;

namespace
{
constexpr uint8_t picIndex = 4;                  // Channel Master 1-8, in boot mode from the start
const PanelAddress picBoard { 0, 0, 1, 0 };
const char* const portWarning = "3 No free network port on this computer, waiting for one...";

testhex::HexImage imageOfRecords (std::size_t records)
{
    std::mt19937 random (29);
    return { { imagewalk::windowStart, testhex::randomBytes (random, records * 16) } };
}

long warningsIn (const EventLog& log)
{
    const auto lines = logLinesOf (log.all());
    return std::count (lines.begin(), lines.end(), portWarning);
}

class LocalPortShortage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZORV_REQUIRE_PRIVATE_NAMESPACE();
        networks = std::make_unique<testnet::VethNetworks>();
        ASSERT_TRUE (networks->ready());
    }

    void TearDown() override
    {
        heldPorts.clear();
        engine.reset();
        device.reset();
        networks.reset();
    }

    // The console across the pair, and an engine with `timing`.
    void start (int localPorts)
    {
        ASSERT_TRUE (networks->setLocalPortRange (60000, 60000 + localPorts - 1));
        auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
        zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (20));
        setup.boards[picIndex].bootMode = true;
        bool started = false;
        ASSERT_TRUE (networks->inFarNetwork ([&]
        {
            device = std::make_unique<zsim::DeviceSimulator> (setup, farAddress);
            started = device->start();
        }));
        ASSERT_TRUE (started);
        engine = std::make_unique<ZorvUpdater> (base.file().getFullPathName().toStdString(), timing);
    }

    // Holds `count` local ports with connections to the device that stay open until the
    // test ends. A connection closed at once would hold its port only by its TIME_WAIT, and
    // under load the device's side now and then answers such a connection with a reset,
    // which ends the TIME_WAIT and frees the port early.
    void holdLocalPorts (int count)
    {
        const boost::asio::ip::tcp::endpoint target (boost::asio::ip::make_address_v4 (farAddress), 51000);
        for (int i = 0; i < count; ++i)
        {
            heldPorts.emplace_back (holdingContext);
            boost::system::error_code error;
            heldPorts.back().connect (target, error);
            ASSERT_FALSE (error) << "connect " << i << ": " << error.message();
        }
    }

    std::future<bool> programInBackground (EventLog& log, const testhex::HexImage& image)
    {
        const auto file = testhex::HexFileWriter().writeBytes (image);
        return std::async (std::launch::async, [this, &log, file]
        {
            return Inspector::programFirmwareImage (*engine, console, picBoard, file, false, imagewalk::limit2048K, true,
                                                    log.callback());
        });
    }

    std::unique_ptr<testnet::VethNetworks> networks;
    const std::string farAddress = testnet::VethNetworks::farAddress;
    const DeviceRecord console = recordFor (farAddress, 0);
    testfolders::TemporaryFolder base;
    UpdaterTiming timing = compressedTiming();
    std::unique_ptr<zsim::DeviceSimulator> device;
    std::unique_ptr<ZorvUpdater> engine;
    boost::asio::io_context holdingContext;
    std::vector<boost::asio::ip::tcp::socket> heldPorts;
};
}

// The block's 65 tries, 5 ms apart, would be spent in a third of a second; the wait goes on
// until cancelled, and the cancel ends it at once.
TEST_F (LocalPortShortage, BlockWaitsWithoutSpendingItsTriesUntilCancelled)
{
    start (8);
    holdLocalPorts (8);
    EventLog log;
    auto programmed = programInBackground (log, imageOfRecords (4));

    for (int i = 0; i < 100 && warningsIn (log) == 0; ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (20));
    ASSERT_EQ (warningsIn (log), 1);
    EXPECT_EQ (programmed.wait_for (std::chrono::milliseconds (1500)), std::future_status::timeout)
        << "the tries were spent on the missing port";

    Inspector::setCancel (*engine, true);
    ASSERT_EQ (programmed.wait_for (std::chrono::seconds (2)), std::future_status::ready);
    EXPECT_FALSE (programmed.get());
    EXPECT_EQ (warningsIn (log), 1) << "said once, not at every poll";
    EXPECT_EQ (device->board (picIndex).count (zsim::BoardRequest::ProgramBlock), 0u);
}

// Past the bound, a try without a port counts like any other, so the block fails long
// before the ports come free.
TEST_F (LocalPortShortage, WaitEndsAtItsBoundAndTheBlockFails)
{
    timing.localPortWaitMs = 400;
    start (8);
    holdLocalPorts (8);
    EventLog log;
    auto programmed = programInBackground (log, imageOfRecords (4));

    ASSERT_EQ (programmed.wait_for (std::chrono::seconds (30)), std::future_status::ready);
    EXPECT_FALSE (programmed.get());
    EXPECT_EQ (warningsIn (log), 1);
    EXPECT_EQ (device->board (picIndex).count (zsim::BoardRequest::ProgramBlock), 0u);
}

// 300 local ports and 450 blocks: the ports run out a third of the way through and come
// free again after one TIME_WAIT.
TEST_F (LocalPortShortage, LargeImageOutlastsTheTimeWaitOfItsOwnConnections)
{
    start (300);
    const auto image = imageOfRecords (450);
    const auto folder = std::filesystem::u8path (base.file().getFullPathName().toStdString()) / "HexFiles" / "K470";
    std::filesystem::create_directories (folder);
    const auto text = testhex::HexFileWriter().write (image);
    std::ofstream (folder / "CentralProcessorPIC.hex", std::ios::binary) << text;

    EventLog log;
    const auto file = Inspector::getFirmwareFile (*engine, console, picIndex);
    EXPECT_EQ (Inspector::updatePanelFirmware (*engine, console, picBoard, file, true, log.callback()), UpdateSuccessful);

    const auto board = device->board (picIndex);
    EXPECT_EQ (board.state, zsim::BoardState::Running);
    EXPECT_EQ (board.count (zsim::BoardRequest::ProgramBlock), 450u) << "every try that reached the board succeeded";
    imagewalk::expectFlashHoldsImage (flashOf (board), image, imagewalk::limit2048K, 450);
    EXPECT_EQ (warningsIn (log), 1);
}

// 20 local ports and 20 blocks: the last block takes the last port, and program complete,
// which follows at once, finds none until the first block's TIME_WAIT is over.
TEST_F (LocalPortShortage, ProgramCompleteWaitsForAPortTheBlocksStillHold)
{
    start (20);
    const auto image = imageOfRecords (20);
    EventLog log;
    const auto file = testhex::HexFileWriter().writeBytes (image);
    EXPECT_TRUE (Inspector::programAndComplete (*engine, console, picBoard, file, imagewalk::limit2048K, true,
                                                log.callback()));

    // Program complete has no answer: the board may take it a moment after it was sent.
    for (int i = 0; i < 200 && device->board (picIndex).count (zsim::BoardRequest::ProgramComplete) == 0; ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    const auto board = device->board (picIndex);
    EXPECT_EQ (board.count (zsim::BoardRequest::ProgramBlock), 20u);
    EXPECT_EQ (board.count (zsim::BoardRequest::ProgramComplete), 1u);
    imagewalk::expectFlashHoldsImage (flashOf (board), image, imagewalk::limit2048K, 20);
}
