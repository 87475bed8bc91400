#include "tests/updater/EngineFixture.h"
#include "updater/BoardTables.h"
#include "updater/HexByte.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;
namespace fs = std::filesystem;

namespace
{
constexpr auto generous = std::chrono::seconds (20);

void writeFile (const fs::path& path, const std::string& content)
{
    fs::create_directories (path.parent_path());
    std::ofstream (path, std::ios::binary) << content;
}

std::vector<uint8_t> bytesOf (const std::string& text)
{
    return { text.begin(), text.end() };
}

// A console whose boards read each request and hang up without an answer.
class FirmwareFiles : public ::testing::Test
{
protected:
    FirmwareFiles()
    {
        device->setDefaultBehaviour ({ zsim::Behaviour::CloseAfterRequest });
    }

    fs::path hexFiles() const { return fs::u8path (base.file().getFullPathName().toStdString()) / "HexFiles"; }

    std::size_t requestsAfter (std::size_t expected)
    {
        device->waitForRequests (expected, generous);
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
        return device->requests().size();
    }

    testfolders::TemporaryFolder base;
    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> device = startDevice (0, address);
    ZorvUpdater engine { base.file().getFullPathName().toStdString(), compressedTiming() };
    DeviceRecord console = recordFor (address, 0);
};
}

TEST (ParseHexByte, DigitsOfEitherCase)
{
    struct Case { const char* text; bool ok; int value; };
    for (const auto& c : { Case { "0a", true, 10 }, Case { "0A", true, 10 }, Case { "FF", true, 255 },
                           Case { "ff", true, 255 }, Case { "00", true, 0 }, Case { "9f", true, 159 },
                           Case { "1G", false, 0 }, Case { "G1", false, 0 }, Case { " 1", false, 0 },
                           Case { ":0", false, 0 }, Case { "0:", false, 0 }, Case { "g0", false, 0 } })
    {
        uint8_t value = 77;
        EXPECT_EQ (parseHexByte (c.text, value), c.ok) << c.text;
        EXPECT_EQ (value, c.ok ? c.value : 77) << c.text;
    }
}

TEST (ReadFirmwareFile, WholeFilesAndFailedLoads)
{
    testfolders::TemporaryFolder folder;
    const auto root = fs::u8path (folder.file().getFullPathName().toStdString());

    std::string image (100000, '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = (char) (i * 7);
    writeFile (root / "image.bin", image);
    EXPECT_EQ (Inspector::readFirmwareFile ((root / "image.bin").u8string(), true), bytesOf (image));

    const std::string hex = ":020000041D00DD\r\n:00000001FF\r\n";
    writeFile (root / "crlf.hex", hex);
    // HEX text is read in text mode: on Windows its CR LF pairs arrive as LF, as the system's
    // own text read gives them.
    std::ifstream text (root / "crlf.hex");
    const std::string asText ((std::istreambuf_iterator<char> (text)), std::istreambuf_iterator<char>());
    EXPECT_EQ (Inspector::readFirmwareFile ((root / "crlf.hex").u8string(), false), bytesOf (asText));

    writeFile (root / "empty.hex", "");
    EXPECT_TRUE (Inspector::readFirmwareFile ((root / "empty.hex").u8string(), false).empty());
    EXPECT_TRUE (Inspector::readFirmwareFile ((root / "missing.hex").u8string(), false).empty());
    EXPECT_TRUE (Inspector::readFirmwareFile ("", true).empty());
}

// A text read may come up short only by the CR LF pairs a text mode turns into LF: a lone
// CR explains nothing, and a shortfall that is larger (a read that stopped early) or
// smaller is a failed read.
TEST (ReadFirmwareFile, ShortTextReadIsWholeOnlyByItsLineEnds)
{
    testfolders::TemporaryFolder folder;
    const auto root = fs::u8path (folder.file().getFullPathName().toStdString());
    const struct
    {
        const char* content;
        std::streamoff shortfall;
        bool whole;
    } cases[] = {
        { ":020000041D00DD\r\n:00000001FF\r\n", 2, true },
        { ":020000041D00DD\r\n:00000001FF\r\n", 1, false },
        { ":020000041D00DD\r\n:00000001FF\r\n", 3, false },
        { ":020000041D00DD\r\r\n:00000001FF\r", 1, true },
        { ":020000041D00DD\r\r\n:00000001FF\r", 3, false },
        { ":020000041D00DD\n:00000001FF\n", 1, false },
        { ":020000041D00DD\n\r:00000001FF", 1, false },
    };
    for (const auto& c : cases)
    {
        writeFile (root / "short.hex", c.content);
        EXPECT_EQ (Inspector::isShortfallOfLineEnds ((root / "short.hex").u8string(), c.shortfall), c.whole)
            << testing::PrintToString (std::string (c.content)) << " short by " << c.shortfall;
    }
    EXPECT_FALSE (Inspector::isShortfallOfLineEnds ((root / "missing.hex").u8string(), 0));
}

// A folder or a file too large for any board's flash loads as nothing, without trying to
// hold it in memory.
TEST (ReadFirmwareFile, FoldersAndHugeFilesAreFailedLoads)
{
    testfolders::TemporaryFolder folder;
    const auto root = fs::u8path (folder.file().getFullPathName().toStdString());

    fs::create_directories (root / "folder.bin");
    EXPECT_TRUE (Inspector::readFirmwareFile ((root / "folder.bin").u8string(), true).empty());
    EXPECT_TRUE (Inspector::readFirmwareFile ((root / "folder.bin").u8string(), false).empty());

    writeFile (root / "huge.bin", "");
    fs::resize_file (root / "huge.bin", 64u * 1024 * 1024 + 1);   // sparse: costs no disk
    EXPECT_TRUE (Inspector::readFirmwareFile ((root / "huge.bin").u8string(), true).empty());

    writeFile (root / "largest.bin", "");
    fs::resize_file (root / "largest.bin", 64u * 1024 * 1024);
    EXPECT_EQ (Inspector::readFirmwareFile ((root / "largest.bin").u8string(), true).size(), 64u * 1024 * 1024);
}

// An image needs no word with the board.
TEST_F (FirmwareFiles, ImageBoardTakesItsBinFile)
{
    const auto expected = hexFiles() / "K470" / "CentralProcessorFPGA.bin";
    auto info = Inspector::getFirmwareFile (engine, console, 7);
    EXPECT_FALSE (info.exists);
    EXPECT_TRUE (info.isImage);
    EXPECT_EQ (info.picType, enPICTypes_Max);
    EXPECT_EQ (normalPath (info.path), normalPath (expected));

    writeFile (expected, "image");
    info = Inspector::getFirmwareFile (engine, console, 7);
    EXPECT_TRUE (info.exists);
    EXPECT_TRUE (info.isImage);

    std::this_thread::sleep_for (std::chrono::milliseconds (50));
    EXPECT_EQ (device->connectionCount(), 0u);
}

// A board that never names its processor costs ten queries and takes the catalogue file.
TEST_F (FirmwareFiles, SilentPicBoardTakesTheCatalogueFileAfterTenQueries)
{
    const auto catalogueFile = hexFiles() / "K470" / "CentralProcessorPIC.hex";
    writeFile (catalogueFile, ":00000001FF\n");

    const auto info = Inspector::getFirmwareFile (engine, console, 4);
    EXPECT_TRUE (info.exists);
    EXPECT_FALSE (info.isImage);
    EXPECT_EQ (info.picType, enPICTypes_Max);
    EXPECT_EQ (normalPath (info.path), normalPath (catalogueFile));

    ASSERT_EQ (requestsAfter (10), 10u);
    for (const auto& request : device->requests())
        EXPECT_EQ (request.bytes, tagRequest (0, { 8, 8, 0, 0, 44, 2, 1, 0 }));
}

TEST_F (FirmwareFiles, UpperCaseBinIsIntelHex)
{
    Inspector::setFirmwareEntry (engine, 0, 7, "K470/CentralProcessorFPGA.BIN");
    const auto info = Inspector::getFirmwareFile (engine, console, 7);
    EXPECT_FALSE (info.isImage);
    EXPECT_EQ (info.picType, enPICTypes_Max);
    EXPECT_EQ (requestsAfter (10), 10u);
}

TEST_F (FirmwareFiles, RemotePlaceholderIsAskedForItsProcessorAndNeverExists)
{
    const auto remote = recordFor (address, 5);
    const auto info = Inspector::getFirmwareFile (engine, remote, 0);
    EXPECT_FALSE (info.exists);
    EXPECT_FALSE (info.isImage);
    EXPECT_EQ (normalPath (info.path), normalPath (hexFiles() / "FQ5207Remote" / " ### TODO: Add hex when ready ### "));
    EXPECT_EQ (requestsAfter (10), 10u);
}

// The two master fader boards share an address but for the Type; the one a console lacks
// is asked once, for its identity, and not for its processor.
TEST_F (FirmwareFiles, AbsentMasterFaderBoardCostsOneExchange)
{
    for (const uint8_t index : { 19, 23 })
    {
        SCOPED_TRACE ((int) index);
        const auto before = device->requests().size();
        const auto address19or23 = getPanelAddress (0, index);
        EXPECT_EQ (Inspector::getPICType (engine, console, address19or23), enPICTypes_Max);

        const auto requests = device->requests();
        ASSERT_EQ (requests.size(), before + 1);
        EXPECT_EQ (requests.back().bytes, tagRequest (0, { 8, 4, 3, 4, 0x55, 0, address19or23.Type, 0 }));
    }
}

TEST_F (FirmwareFiles, CancelledQueryAsksNothing)
{
    Inspector::setCancel (engine, true);
    EXPECT_EQ (Inspector::getPICType (engine, console, getPanelAddress (0, 4)), enPICTypes_Max);
    std::this_thread::sleep_for (std::chrono::milliseconds (50));
    EXPECT_EQ (device->connectionCount(), 0u);
}

TEST_F (FirmwareFiles, RecordOfAnUnknownDeviceTypeIndexesNoTable)
{
    EXPECT_THROW (Inspector::getFirmwareFile (engine, recordFor (address, 9), 0), std::out_of_range);
    EXPECT_THROW (Inspector::getFirmwareFile (engine, recordFor (address, -1), 0), std::out_of_range);
    EXPECT_THROW (Inspector::getFirmwareFile (engine, recordFor (address, 1), 5), std::out_of_range);
}
