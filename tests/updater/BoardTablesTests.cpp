#include "updater/BoardTables.h"
#include "updater/DeviceCatalogue.h"
#include "updater/ZorvUpdater.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{
// Every board of every device type, written out here independently of the code's tables.
struct Board
{
    int deviceType;
    int index;
    const char* name;
    uint8_t panel, ch, type, addr;
    const char* file;
    bool fpga;
    bool interface;
    int version;
    std::vector<int> prerequisites;
};

const char* const placeholder = " ### TODO: Add hex when ready ### ";

const std::vector<Board> boards =
{
    { 0, 0, "Monitor Interface", 2, 0, 5, 0, "MonInterfacePIC.hex", false, true, 12, {} },
    { 0, 1, "Monitor Master", 2, 1, 6, 0, "MonCentralProcessorPIC.hex", false, true, 13, { 0 } },
    { 0, 2, "Monitor AudioBoard", 2, 2, 7, 0, "MonAudioBoardPIC.hex", false, false, 11, { 1 } },
    { 0, 3, "Monitor V518 AudioBoard", 3, 0, 8, 0, "MonV518AudioBoardPIC.hex", false, false, 7, { 1 } },
    { 0, 4, "Channel Master 1-8", 0, 0, 1, 0, "CentralProcessorPIC.hex", false, false, 14, { 1 } },
    { 0, 5, "Channel Master 9-16", 0, 1, 1, 0, "CentralProcessorPIC.hex", false, false, 14, { 1 } },
    { 0, 6, "Channel Master 17-24", 0, 2, 1, 0, "CentralProcessorPIC.hex", false, false, 14, { 1 } },
    { 0, 7, "Channel Master FPGA 1-8", 0, 0, 4, 0, "CentralProcessorFPGA.bin", true, false, 14, { 4 } },
    { 0, 8, "Channel Master FPGA 9-16", 0, 1, 4, 0, "CentralProcessorFPGA.bin", true, false, 14, { 5 } },
    { 0, 9, "Channel Master FPGA 17-24", 0, 2, 4, 0, "CentralProcessorFPGA.bin", true, false, 14, { 6 } },
    { 0, 10, "Channel AudioBoard 1-4", 0, 0, 2, 0, "AudioBoardPIC.hex", false, false, 10, { 4 } },
    { 0, 11, "Channel AudioBoard 5-8", 0, 0, 2, 1, "AudioBoardPIC.hex", false, false, 10, { 4 } },
    { 0, 12, "Channel AudioBoard 9-12", 0, 1, 2, 0, "AudioBoardPIC.hex", false, false, 10, { 5 } },
    { 0, 13, "Channel AudioBoard 13-16", 0, 1, 2, 1, "AudioBoardPIC.hex", false, false, 10, { 5 } },
    { 0, 14, "Channel AudioBoard 17-20", 0, 2, 2, 0, "AudioBoardPIC.hex", false, false, 10, { 6 } },
    { 0, 15, "Channel AudioBoard 21-24", 0, 2, 2, 1, "AudioBoardPIC.hex", false, false, 10, { 6 } },
    { 0, 16, "Channel Meter 1-8", 1, 0, 3, 0, "MetersPIC.hex", false, false, 5, { 4, 10 } },
    { 0, 17, "Channel Meter 9-16", 1, 1, 3, 0, "MetersPIC.hex", false, false, 5, { 5, 12 } },
    { 0, 18, "Channel Meter 17-24", 1, 2, 3, 0, "MetersPIC.hex", false, false, 5, { 6, 14 } },
    { 0, 19, "Master Faders [Manual]", 4, 3, 9, 0, "MasterFadersPIC.hex", false, false, 10, { 0 } },
    { 0, 20, "Channel Faders 1-8", 4, 0, 10, 0, "AutChannelFadersPIC.hex", false, false, 11, { 0 } },
    { 0, 21, "Channel Faders 9-16", 4, 1, 10, 0, "AutChannelFadersPIC.hex", false, false, 11, { 0 } },
    { 0, 22, "Channel Faders 17-24", 4, 2, 10, 0, "AutChannelFadersPIC.hex", false, false, 11, { 0 } },
    { 0, 23, "Master Faders [Mot]", 4, 3, 11, 0, "AutMasterFadersPIC.hex", false, false, 13, { 0 } },

    { 1, 0, "Interface Processor", 0, 0, 1, 0, "V518TRXInterfacePIC.hex", false, true, 13, {} },
    { 1, 1, "Digital Board", 1, 0, 2, 0, "V518TRXDigitalPIC.hex", false, false, 10, { 0 } },
    { 1, 2, "Digital Board FPGA", 1, 0, 3, 0, "V518TRXDigitalFPGA.bin", true, false, 10, { 0, 1 } },
    { 1, 3, "Digital ADAT Board", 1, 0, 4, 0, "V518TRXDigitalADATPIC.hex", false, false, 4, { 0 } },
    { 1, 4, "Digital ADAT Board FPGA", 1, 0, 5, 0, "V518TRXDigitalADATFPGA.bin", true, false, 4, { 0, 3 } },

    { 2, 0, "Interface Processor", 0, 0, 1, 0, "KRD16InterfacePIC.hex", false, true, 18, {} },
    { 3, 0, "Interface Processor", 0, 0, 1, 0, "TX640InterfacePIC.hex", false, true, 10, {} },
    { 4, 0, "Interface Processor", 0, 0, 1, 0, "KRD24InterfacePIC.hex", false, true, 14, {} },
    { 5, 0, "Interface Processor", 0, 0, 1, 0, placeholder, false, false, 1, {} },
    { 6, 0, "Interface Processor", 0, 0, 1, 0, placeholder, false, false, 1, {} },
    { 7, 0, "Interface Processor", 0, 0, 1, 0, placeholder, false, false, 1, {} },
    { 8, 0, "Interface Processor", 0, 0, 1, 0, placeholder, false, false, 1, {} },
};

const std::vector<std::pair<const char*, const char*>> deviceTypes =
{
    { "Zorv K470 Console", "K470" },
    { "V518 TRX", "V518TRX" },
    { "Quadrix KRD16", "KRD16" },
    { "Quadrix TX640", "TX640" },
    { "Quadrix KRD24", "KRD24" },
    { "Zorv FQ5207 Remote", "FQ5207Remote" },
    { "Zorv FQ31R Remote", "FQ31Remote" },
    { "Zorv Leveler Remote", "LevelerRemote" },
    { "Zorv K470 Remote Control", "K470RC" },
};

bool endsWith (const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare (text.size() - tail.size(), tail.size(), tail) == 0;
}

DeviceRecord recordOfType (int32_t type)
{
    DeviceRecord record {};
    record.deviceType = type;
    return record;
}
}

TEST (BoardTables, DeviceTypeTableAndFolders)
{
    for (int type = 0; type < deviceTypeCount; ++type)
    {
        SCOPED_TRACE (type);
        EXPECT_EQ (deviceTypeTable[type].type, type);
        EXPECT_TRUE (deviceTypeTable[type].valid);
        EXPECT_STREQ (deviceTypeTable[type].name, deviceTypes[(size_t) type].first);
        EXPECT_STREQ (deviceTypeFolders[type], deviceTypes[(size_t) type].second);
    }
    EXPECT_EQ (deviceTypeTable[9].type, 9);
    EXPECT_FALSE (deviceTypeTable[9].valid);
    EXPECT_STREQ (deviceTypeTable[9].name, "DeviceTypeMax");
}

TEST (BoardTables, EveryBoardMatchesItsRow)
{
    const auto catalogue = buildDeviceCatalogue();
    for (const auto& board : boards)
    {
        SCOPED_TRACE (std::to_string (board.deviceType) + "/" + std::to_string (board.index));
        const PanelAddress expected { board.panel, board.ch, board.type, board.addr };
        EXPECT_EQ (panelAddressTable[board.deviceType][board.index], expected);
        EXPECT_EQ (getPanelAddress (board.deviceType, (uint8_t) board.index), expected);
        EXPECT_EQ (buildVersionTable[board.deviceType][board.type], board.version);
        EXPECT_EQ (ZorvUpdater::isFPGABoard (board.deviceType, board.type), board.fpga);
        EXPECT_EQ (ZorvUpdater::isIntfBoard (board.deviceType, expected), board.interface);

        const auto& names = catalogue.boardNames[(size_t) board.deviceType];
        const auto& files = catalogue.firmwareFiles[(size_t) board.deviceType];
        EXPECT_EQ (names[board.index].toStdString(), board.name);
        EXPECT_EQ (files[board.index].toStdString(),
                   std::string (deviceTypes[(size_t) board.deviceType].second) + "/" + board.file);

        // FPGA boards and only they take raw images.
        EXPECT_EQ (endsWith (board.file, ".bin"), board.fpga);
    }
}

TEST (BoardTables, EntriesBeyondATypesBoardsAreZero)
{
    std::vector<int> boardCounts (deviceTypeCount, 0);
    for (const auto& board : boards)
        ++boardCounts[(size_t) board.deviceType];
    EXPECT_EQ (boardCounts, (std::vector<int> { 24, 5, 1, 1, 1, 1, 1, 1, 1 }));

    for (int type = 0; type < deviceTypeCount; ++type)
        for (int index = boardCounts[(size_t) type]; index < maxBoardCount; ++index)
            EXPECT_EQ (panelAddressTable[type][index], PanelAddress {}) << type << "/" << index;
}

TEST (BoardTables, DependencyRowsAreThePrerequisiteColumns)
{
    std::map<std::pair<int, int>, std::vector<int>> expected;
    for (const auto& board : boards)
        if (! board.prerequisites.empty())
            expected[{ board.deviceType, board.index }] = board.prerequisites;

    std::map<std::pair<int, int>, std::vector<int>> actual;
    for (const auto& row : FirmwareDependencyTable)
        EXPECT_TRUE (actual.emplace (std::make_pair (row.deviceType, row.boardIndex), row.prerequisites).second)
            << "row repeated: " << row.deviceType << "/" << row.boardIndex;

    EXPECT_EQ (FirmwareDependencyTable.size(), 27u);
    EXPECT_EQ (actual, expected);
}

TEST (BoardTables, BuildVersionsOfUnusedTypesAreZero)
{
    std::set<std::pair<int, int>> used;
    for (const auto& board : boards)
        used.insert ({ board.deviceType, board.type });

    for (int type = 0; type < deviceTypeCount; ++type)
        for (int kind = 0; kind < boardKindCount; ++kind)
        {
            if (used.count ({ type, kind }) == 0)
            {
                EXPECT_EQ (buildVersionTable[type][kind], 0) << type << "/" << kind;
            }
        }
}

TEST (BoardTables, PicPartNames)
{
    const std::vector<std::string> expected =
    {
        "PIC32MZ2048EFG144", "PIC32MZ1024EFK144", "PIC32MZ1024EFG144", "PIC32MZ1024EFE144",
        "PIC32MZ1024EFM144", "PIC32MZ2048EFG100", "PIC32MZ1024EFH100", "PIC32MZ1024EFK100",
        "PIC32MZ2048EFG064", "PIC32MZ1024EFK064", "PIC32MZ1024EFF064", "PIC32MZ2048EFH100"
    };
    ASSERT_EQ ((int) enPICTypes_Max, 12);
    for (int variant = 0; variant < enPICTypes_Max; ++variant)
        EXPECT_EQ (picPartNames[variant], expected[(size_t) variant]);
}

TEST (BoardTables, FindPanelIndex)
{
    const auto console = recordOfType (0);
    EXPECT_EQ (findPanelIndex (console, { 4, 3, 9, 0 }), 19);
    EXPECT_EQ (findPanelIndex (console, { 4, 3, 11, 0 }), 23);
    EXPECT_EQ (findPanelIndex (console, { 0, 0, 2, 1 }), 11);
    EXPECT_EQ (findPanelIndex (console, { 3, 4, 9, 0 }), 24) << "Panel and Ch swapped";
    EXPECT_EQ (findPanelIndex (console, { 4, 3, 9, 1 }), 24);

    EXPECT_EQ (findPanelIndex (recordOfType (1), { 1, 0, 5, 0 }), 4);
    EXPECT_EQ (findPanelIndex (recordOfType (3), { 0, 0, 1, 0 }), 0);
}

// Records come off the network: a type outside 0-8 must not index the tables.
TEST (BoardTables, DeviceTypesOutsideTheTablesFindNothing)
{
    for (const int32_t type : { -1, 9, 65539, INT32_MIN })
    {
        EXPECT_EQ (findPanelIndex (recordOfType (type), { 0, 0, 1, 0 }), 24) << type;
        EXPECT_EQ (getPanelAddress (type, 0), PanelAddress {}) << type;
        EXPECT_FALSE (ZorvUpdater::isFPGABoard (type, 4));
        EXPECT_FALSE (ZorvUpdater::isIntfBoard (type, { 2, 0, 5, 0 }));
        EXPECT_EQ (buildVersion (type, 1), 0) << type;
    }
    EXPECT_EQ (getPanelAddress (0, 24), PanelAddress {});
    EXPECT_EQ (buildVersion (0, boardKindCount), 0);
    EXPECT_EQ (buildVersion (0, 255), 0);
}

TEST (BoardTables, BuildVersionByBoardType)
{
    EXPECT_EQ (buildVersion (0, 5), 12);
    EXPECT_EQ (buildVersion (0, 11), 13);
    EXPECT_EQ (buildVersion (1, 5), 4);
    EXPECT_EQ (buildVersion (2, 1), 18);
}

TEST (DeviceCatalogue, RemotePlaceholderKeepsBothBlanks)
{
    const auto catalogue = buildDeviceCatalogue();
    ASSERT_EQ (catalogue.firmwareFiles.size(), 9u);
    EXPECT_EQ (catalogue.firmwareFiles[0][0], juce::String ("K470/MonInterfacePIC.hex"));
    EXPECT_EQ (catalogue.firmwareFiles[5][0], juce::String ("FQ5207Remote/ ### TODO: Add hex when ready ### "));
    EXPECT_EQ (catalogue.firmwareFiles[8][0], juce::String ("K470RC/ ### TODO: Add hex when ready ### "));
}

TEST (DeviceCatalogue, StandardStringCopyMatchesInOrder)
{
    const auto catalogue = buildDeviceCatalogue();
    const auto copy = toStdDeviceCatalogue();
    ASSERT_EQ (copy.boardNames.size(), 9u);
    ASSERT_EQ (copy.firmwareFiles.size(), 9u);
    for (std::size_t type = 0; type < 9; ++type)
    {
        EXPECT_EQ (copy.boardNames[type], toStdStringVector (catalogue.boardNames[type]));
        EXPECT_EQ (copy.firmwareFiles[type], toStdStringVector (catalogue.firmwareFiles[type]));
    }

    juce::StringArray texts;
    texts.add ("b");
    texts.add (juce::String::fromUTF8 ("\xc3\xa4"));
    texts.add ("");
    EXPECT_EQ (toStdStringVector (texts), (std::vector<std::string> { "b", "\xc3\xa4", "" }));
}

TEST (DeviceCatalogue, BoardCountsOfEveryDeviceType)
{
    const std::vector<std::size_t> counts = { 24, 5, 1, 1, 1, 1, 1, 1, 1 };
    const auto catalogue = buildDeviceCatalogue();
    const auto copy = toStdDeviceCatalogue();
    ASSERT_EQ (catalogue.boardNames.size(), 9u);
    ASSERT_EQ (copy.boardNames.size(), 9u);
    for (std::size_t type = 0; type < counts.size(); ++type)
    {
        SCOPED_TRACE (type);
        EXPECT_EQ ((std::size_t) catalogue.boardNames[type].size(), counts[type]);
        EXPECT_EQ ((std::size_t) catalogue.firmwareFiles[type].size(), counts[type]);
        EXPECT_EQ (copy.boardNames[type].size(), counts[type]);
        EXPECT_EQ (copy.firmwareFiles[type].size(), counts[type]);
    }
}
