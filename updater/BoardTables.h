#pragma once

// What the engine knows about the nine device types and their boards. A board is named by
// its device type (0-8) and its board index (0-23), its row in these tables.

#include "updater/UpdaterTypes.h"

#include <cstdint>
#include <vector>

constexpr int deviceTypeCount = 9;
constexpr int maxBoardCount = 24;
constexpr int boardKindCount = 12;   // the values a board's Type takes
constexpr uint8_t noBoardIndex = 24;

struct DeviceTypeEntry
{
    int32_t type;
    bool valid;
    char name[31];
};

// Ten rows indexed by type number; the last one marks the end and is no device.
extern const DeviceTypeEntry deviceTypeTable[deviceTypeCount + 1];

// The sub-folder of the firmware folder that holds a device type's files.
extern const char* const deviceTypeFolders[deviceTypeCount];

// Zero bytes beyond a device type's boards.
extern const PanelAddress panelAddressTable[deviceTypeCount][maxBoardCount];

// The firmware version each kind of board must run, indexed by the board's Type.
extern const uint8_t buildVersionTable[deviceTypeCount][boardKindCount];

// PIC32MZ part names, indexed by enPICTypes.
extern const char* const picPartNames[enPICTypes_Max];

struct FirmwareDependency
{
    int deviceType;
    int boardIndex;
    std::vector<int> prerequisites;   // board indices that must be healthy first
};

extern const std::vector<FirmwareDependency> FirmwareDependencyTable;

// panelAddressTable[deviceType][boardIndex]; a zero address outside the tables.
PanelAddress getPanelAddress (int deviceType, uint8_t boardIndex);

// buildVersionTable[deviceType][boardType]; 0 outside the table.
uint8_t buildVersion (int deviceType, uint8_t boardType);

// The first board of the record's device type with exactly this address, or noBoardIndex.
uint8_t findPanelIndex (const DeviceRecord& record, const PanelAddress& address);
