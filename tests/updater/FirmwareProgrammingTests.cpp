// Programming a firmware file into a simulated board that is ready for it: what lands on
// the board, the progress, the retries of a block and their log lines, and the ways the
// step ends early.

#include "tests/updater/EngineFixture.h"
#include "tests/updater/ImageWalk.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"

#include <gtest/gtest.h>

using namespace enginetest;
using namespace imagewalk;
using Inspector = ZorvUpdaterInspector;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

namespace
{
constexpr std::size_t picIndex = 4;                  // Channel Master 1-8, in boot mode from the start
const PanelAddress picBoard { 0, 0, 1, 0 };
constexpr std::size_t fpgaIndex = 7;
const PanelAddress fpgaBoard { 0, 0, 4, 0 };

const char* const checksumRetry = "3 Checksum error during programming, retrying...";
const char* const responseRetry = "3 Invalid response from device, retrying...";

std::vector<uint8_t> bytesOf (const std::string& text)
{
    return { text.begin(), text.end() };
}

// Three runs: at the window's start, across a 64 KiB boundary, and just past the smaller
// flash; 16-byte records, so six blocks inside the smaller window and eight in the larger.
testhex::HexImage smallImage()
{
    std::mt19937 random (11);
    return { { windowStart, testhex::randomBytes (random, 40) },
             { 0x1D00FFF0, testhex::randomBytes (random, 40) },
             { limit1024K, testhex::randomBytes (random, 20) } };
}

std::vector<uint8_t> smallHexFile()
{
    return testhex::HexFileWriter().writeBytes (smallImage());
}

class FirmwareProgramming : public ::testing::Test
{
protected:
    // A console whose Channel Master board waits in its boot loader; a fresh one for each
    // case, on an address of its own.
    std::unique_ptr<zsim::DeviceSimulator> startConsole()
    {
        auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
        setup.boards[picIndex].bootMode = true;
        const auto address = testnet::loopbackAddress (nextAddress++);
        auto device = std::make_unique<zsim::DeviceSimulator> (setup, address);
        EXPECT_TRUE (device->start());
        record = recordFor (address, 0);
        return device;
    }

    bool program (EventLog& log, const PanelAddress& board, const std::vector<uint8_t>& file,
                  uint32_t flashLimit = limit2048K, bool verbose = true)
    {
        const bool fpga = ZorvUpdater::isFPGABoard (0, board.Type);
        return Inspector::programFirmwareImage (engine, record, board, file, fpga, flashLimit, verbose, log.callback());
    }

    int nextAddress = 0;
    ZorvUpdater engine { "/nonexistent", compressedTiming() };
    DeviceRecord record {};
};
}

TEST_F (FirmwareProgramming, HexImageLandsInsideTheWindow)
{
    for (const auto flashLimit : { limit1024K, limit2048K })
    {
        EventLog log;
        auto device = startConsole();
        ASSERT_TRUE (program (log, picBoard, smallHexFile(), flashLimit));

        const auto board = device->board (picIndex);
        const auto blocks = board.count (BoardRequest::ProgramBlock);
        EXPECT_EQ (blocks, flashLimit == limit1024K ? 6u : 8u);
        EXPECT_EQ (board.rejectedBlocks, 0u);
        expectFlashHoldsImage (flashOf (board), smallImage(), flashLimit, blocks);

        const auto all = log.all();
        EXPECT_TRUE (logLinesOf (all).empty());
        const auto progress = progressOf (all);
        ASSERT_EQ (progress.size(), blocks) << "one progress event per block sent";
        EXPECT_EQ (progress.size(), all.size());
        for (std::size_t i = 1; i < progress.size(); ++i)
            EXPECT_LT (progress[i - 1], progress[i]);
        EXPECT_LT (progress.back(), 1.0f) << "the records after the last block sent are not counted";
    }
}

// An image of 100 bytes goes as 49, 49 and 2; one of 98 as two full slices, nothing more.
TEST_F (FirmwareProgramming, FpgaImageInSlices)
{
    struct Case { std::size_t size; std::vector<float> progress; };
    for (const auto& c : { Case { 100, { 0.49f, 0.98f, 1.0f } }, Case { 98, { 0.5f, 1.0f } } })
    {
        EventLog log;
        auto device = startConsole();
        std::mt19937 random ((unsigned) c.size);
        const auto image = testhex::randomBytes (random, c.size);
        ASSERT_TRUE (program (log, fpgaBoard, image));

        const auto board = device->board (fpgaIndex);
        EXPECT_EQ (board.fpgaStream, image);
        EXPECT_EQ (board.count (BoardRequest::ProgramBlock), c.progress.size());
        EXPECT_EQ (progressOf (log.all()), c.progress);
    }
}

// The second block meets a fault for a number of tries; the block is tried up to 65 times,
// with a warning for each answer that refused it.
TEST_F (FirmwareProgramming, BlockRetries)
{
    struct Case
    {
        const char* what;
        BoardFault fault;
        bool result;
        std::vector<std::string> lines;
    };
    const auto times = [] (int n, const char* line)
    {
        return std::vector<std::string> ((std::size_t) n, line);
    };
    const auto on2nd = [] (Fault fault, unsigned count, uint16_t value = 0)
    {
        return BoardFault { fault, BoardRequest::ProgramBlock, 1, count, value };
    };
    const std::vector<Case> cases = {
        { "checksum error 64 times", on2nd (Fault::ChecksumError, 64), true, times (64, checksumRetry) },
        { "checksum error always", on2nd (Fault::ChecksumError, BoardFault::always), false, times (65, checksumRetry) },
        { "another code", on2nd (Fault::WrongCode, 3, 'j'), true, times (3, responseRetry) },
        { "acknowledgement lost", on2nd (Fault::LostReply, 2), true, {} },
        { "no answer", on2nd (Fault::Silence, 2), true, {} },
        { "connection closed", on2nd (Fault::Close, 2), true, {} },
        { "another board answers", on2nd (Fault::WrongAddr, 2), true, {} },
    };
    for (const auto& c : cases)
    {
        EventLog log;
        auto device = startConsole();
        device->addFault (picIndex, c.fault);
        EXPECT_EQ (program (log, picBoard, smallHexFile()), c.result) << c.what;

        const auto events = log.all();
        EXPECT_EQ (logLinesOf (events), c.lines) << c.what;
        const auto board = device->board (picIndex);
        if (c.result)
        {
            EXPECT_EQ (progressOf (events).size(), 8u) << c.what;
            expectFlashHoldsImage (flashOf (board), smallImage(), limit2048K, 8);
        }
        else
        {
            EXPECT_EQ (board.count (BoardRequest::ProgramBlock), 66u) << c.what;
            EXPECT_EQ (progressOf (events).size(), 2u) << "the failed block reports its progress too";
            EXPECT_EQ (board.picMemory.size(), 1u) << "the first block stays on the board";
        }
    }
}

TEST_F (FirmwareProgramming, RetriesAreQuietUnlessVerbose)
{
    EventLog log;
    auto device = startConsole();
    device->addFault (picIndex, { Fault::ChecksumError, BoardRequest::ProgramBlock, 0, 5 });
    EXPECT_TRUE (program (log, picBoard, smallHexFile(), limit2048K, false));
    EXPECT_TRUE (logLinesOf (log.all()).empty());
    EXPECT_EQ (device->board (picIndex).count (BoardRequest::ProgramBlock), 13u);
}

// A slice carries no address: when its acknowledgement is lost after the board stored it,
// the slice sent again is stored a second time, and the step still succeeds. Nothing in
// the exchange tells the two cases apart; the board's own check of its image, which makes
// it report version 0, is what the update then relies on.
TEST_F (FirmwareProgramming, FpgaSliceResentAfterALostAcknowledgementIsStoredTwice)
{
    EventLog log;
    auto device = startConsole();
    std::mt19937 random (3);
    const auto image = testhex::randomBytes (random, 100);
    device->addFault (fpgaIndex, { Fault::LostReply, BoardRequest::ProgramBlock, 1, 1 });
    EXPECT_TRUE (program (log, fpgaBoard, image));

    std::vector<uint8_t> expected (image.begin(), image.begin() + 98);
    expected.insert (expected.end(), image.begin() + 49, image.end());
    EXPECT_EQ (device->board (fpgaIndex).fpgaStream, expected);
    EXPECT_TRUE (logLinesOf (log.all()).empty());
}

// The record with the wrong checksum ends the step; what was sent before it stays.
TEST_F (FirmwareProgramming, InvalidFileEndsTheStep)
{
    // The file opens with a type-4 record: its fourth record is the third data record.
    auto text = testhex::HexFileWriter().write (smallImage());
    std::size_t fourth = 0;
    for (int i = 0; i < 4; ++i)
        fourth = text.find (':', fourth + (i > 0 ? 1 : 0));
    const auto checksum = text.find ('\n', fourth) - 1;
    text[checksum] = text[checksum] == '0' ? '1' : '0';

    for (const bool verbose : { true, false })
    {
        EventLog log;
        auto device = startConsole();
        EXPECT_FALSE (program (log, picBoard, bytesOf (text), limit2048K, verbose));
        EXPECT_EQ (device->board (picIndex).count (BoardRequest::ProgramBlock), 2u);
        EXPECT_EQ (progressOf (log.all()).size(), 2u);

        const std::vector<std::string> lines = { "3 Invalid firmware file", "1 Reinstall the app and try again." };
        EXPECT_EQ (logLinesOf (log.all()), verbose ? lines : std::vector<std::string> {});
    }
}

TEST_F (FirmwareProgramming, NothingInsideTheWindow)
{
    EventLog log;
    auto device = startConsole();
    std::mt19937 random (5);
    const auto file = testhex::HexFileWriter().writeBytes ({ { 0x00000100, testhex::randomBytes (random, 64) },
                                                             { 0x1FC00000, testhex::randomBytes (random, 64) } });
    EXPECT_TRUE (program (log, picBoard, file));
    EXPECT_EQ (device->board (picIndex).count (BoardRequest::ProgramBlock), 0u);
    EXPECT_TRUE (log.all().empty());
}

TEST_F (FirmwareProgramming, CancelEndsTheStep)
{
    EventLog log;
    auto device = startConsole();
    Inspector::setCancel (engine, true);
    EXPECT_FALSE (program (log, picBoard, smallHexFile()));
    EXPECT_EQ (device->board (picIndex).count (BoardRequest::ProgramBlock), 0u);
    Inspector::setCancel (engine, false);

    // Cancelled while a block is being retried: no further try, no further block.
    device->addFault (picIndex, { Fault::ChecksumError, BoardRequest::ProgramBlock, 1, BoardFault::always });
    const auto result = Inspector::programFirmwareImage (engine, record, picBoard, smallHexFile(), false, limit2048K, true,
                                                         [this] (const Event& e)
                                                         {
                                                             if (e.type == ZorvUpdater::LogLine)
                                                                 Inspector::setCancel (engine, true);
                                                         });
    EXPECT_FALSE (result);
    EXPECT_EQ (device->board (picIndex).count (BoardRequest::ProgramBlock), 2u);
}
