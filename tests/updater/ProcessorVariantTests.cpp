#include "tests/updater/EngineFixture.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;
using zsim::BoardRequest;
using zsim::Fault;
namespace fs = std::filesystem;

namespace
{
constexpr std::size_t channelMaster = 4;
const PanelAddress channelMasterAddress { 0, 0, 1, 0 };

// A console with the manual master fader board, whose Channel Master 1-8 board reports the
// given processor variant (none: it does not answer the query), and a firmware folder
// holding the catalogue file of that board.
class ProcessorVariants : public ::testing::Test
{
protected:
    void start (std::optional<uint8_t> variant)
    {
        auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
        setup.boards[channelMaster].variant = variant;
        device.reset();
        device = std::make_unique<zsim::DeviceSimulator> (setup, address);
        ASSERT_TRUE (device->start());
        writeFile (folder() / "CentralProcessorPIC.hex");
    }

    fs::path folder() const { return fs::u8path (base.file().getFullPathName().toStdString()) / "HexFiles" / "K470"; }

    static void writeFile (const fs::path& path)
    {
        fs::create_directories (path.parent_path());
        std::ofstream (path) << ":00000001FF\n";
    }

    unsigned processorQueries (std::size_t board) const { return device->board (board).count (BoardRequest::ProcessorQuery); }

    testfolders::TemporaryFolder base;
    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> device;
    ZorvUpdater engine { base.file().getFullPathName().toStdString(), compressedTiming() };
    DeviceRecord console = recordFor (address, 0);
};
}

TEST_F (ProcessorVariants, VariantWithItsOwnFileTakesIt)
{
    start (2);
    const auto variantFile = folder() / "CentralProcessorPIC_PIC32MZ1024EFG144.hex";
    writeFile (variantFile);

    const auto info = Inspector::getFirmwareFile (engine, console, channelMaster);
    EXPECT_TRUE (info.exists);
    EXPECT_FALSE (info.isImage);
    EXPECT_EQ (info.picType, 2);
    EXPECT_EQ (normalPath (info.path), normalPath (variantFile));
    EXPECT_EQ (processorQueries (channelMaster), 1u);
}

TEST_F (ProcessorVariants, VariantsWithoutAFileOfTheirOwnTakeTheCatalogueFile)
{
    for (const uint8_t variant : { 0, 5, 8 })
    {
        SCOPED_TRACE ((int) variant);
        start (variant);
        const auto info = Inspector::getFirmwareFile (engine, console, channelMaster);
        EXPECT_TRUE (info.exists);
        EXPECT_EQ (info.picType, variant);
        EXPECT_EQ (normalPath (info.path), normalPath (folder() / "CentralProcessorPIC.hex"));
    }
}

// No fallback: the missing variant file is named even though the catalogue file is there.
TEST_F (ProcessorVariants, MissingVariantFileIsReportedNotReplaced)
{
    start (11);
    const auto info = Inspector::getFirmwareFile (engine, console, channelMaster);
    EXPECT_FALSE (info.exists);
    EXPECT_EQ (info.picType, 11);
    EXPECT_EQ (normalPath (info.path), normalPath (folder() / "CentralProcessorPIC_PIC32MZ2048EFH100.hex"));
}

TEST_F (ProcessorVariants, SilentBoardIsAskedTenTimes)
{
    start (std::nullopt);
    const auto info = Inspector::getFirmwareFile (engine, console, channelMaster);
    EXPECT_TRUE (info.exists);
    EXPECT_EQ (info.picType, enPICTypes_Max);
    EXPECT_EQ (normalPath (info.path), normalPath (folder() / "CentralProcessorPIC.hex"));
    EXPECT_EQ (processorQueries (channelMaster), 10u);
}

// Answers that are no valid variant count as failed tries; the first valid one ends them.
TEST_F (ProcessorVariants, InvalidAnswersAreFailedTries)
{
    start (3);
    device->addFault (channelMaster, { Fault::WrongCode, BoardRequest::ProcessorQuery, 0, 1, 'j' });
    device->addFault (channelMaster, { Fault::WrongType, BoardRequest::ProcessorQuery, 1, 1 });
    device->addFault (channelMaster, { Fault::ZeroFirstByte, BoardRequest::ProcessorQuery, 2, 1 });
    device->addFault (channelMaster, { Fault::Close, BoardRequest::ProcessorQuery, 3, 1 });
    EXPECT_EQ (Inspector::getPICType (engine, console, channelMasterAddress), 3);
    EXPECT_EQ (processorQueries (channelMaster), 5u);
}

TEST_F (ProcessorVariants, VariantTwelveOrMoreIsNoVariant)
{
    start (12);
    EXPECT_EQ (Inspector::getPICType (engine, console, channelMasterAddress), enPICTypes_Max);
    EXPECT_EQ (processorQueries (channelMaster), 10u);
}

// The fitted master fader board is asked for its identity first, then for its processor.
TEST_F (ProcessorVariants, PresentMasterFaderBoardIsAskedAfterItsIdentity)
{
    start (0);
    EXPECT_EQ (Inspector::getPICType (engine, console, masterFaders), 0);
    const auto report = device->board (masterFaderIndex);
    EXPECT_EQ (report.count (BoardRequest::IdentityRead), 1u);
    EXPECT_EQ (report.count (BoardRequest::ProcessorQuery), 1u);
}

// Every variant the board can report, and none: the file it is given when both the
// catalogue file and every variant file lie in the folder, so that only the choice counts.
TEST_F (ProcessorVariants, FileChosenForEveryVariant)
{
    struct Case { std::optional<uint8_t> variant; const char* file; };
    const Case cases[] =
    {
        { 0, "CentralProcessorPIC.hex" },
        { 1, "CentralProcessorPIC_PIC32MZ1024EFK144.hex" },
        { 2, "CentralProcessorPIC_PIC32MZ1024EFG144.hex" },
        { 3, "CentralProcessorPIC_PIC32MZ1024EFE144.hex" },
        { 4, "CentralProcessorPIC_PIC32MZ1024EFM144.hex" },
        { 5, "CentralProcessorPIC.hex" },
        { 6, "CentralProcessorPIC_PIC32MZ1024EFH100.hex" },
        { 7, "CentralProcessorPIC_PIC32MZ1024EFK100.hex" },
        { 8, "CentralProcessorPIC.hex" },
        { 9, "CentralProcessorPIC_PIC32MZ1024EFK064.hex" },
        { 10, "CentralProcessorPIC_PIC32MZ1024EFF064.hex" },
        { 11, "CentralProcessorPIC_PIC32MZ2048EFH100.hex" },
        { std::nullopt, "CentralProcessorPIC.hex" },
    };
    for (const char* part : { "PIC32MZ2048EFG144", "PIC32MZ1024EFK144", "PIC32MZ1024EFG144", "PIC32MZ1024EFE144",
                              "PIC32MZ1024EFM144", "PIC32MZ2048EFG100", "PIC32MZ1024EFH100", "PIC32MZ1024EFK100",
                              "PIC32MZ2048EFG064", "PIC32MZ1024EFK064", "PIC32MZ1024EFF064", "PIC32MZ2048EFH100" })
        writeFile (folder() / ("CentralProcessorPIC_" + std::string (part) + ".hex"));

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.variant ? std::to_string (*c.variant) : std::string ("none reported"));
        start (c.variant);
        const auto info = Inspector::getFirmwareFile (engine, console, channelMaster);
        EXPECT_TRUE (info.exists);
        EXPECT_FALSE (info.isImage);
        EXPECT_EQ (info.picType, c.variant.value_or (12));
        EXPECT_EQ (normalPath (info.path), normalPath (folder() / c.file));
    }
}
