#include "updater/BoardTables.h"
#include "updater/ZorvUpdater.h"

const DeviceTypeEntry deviceTypeTable[deviceTypeCount + 1] =
{
    { 0, true, "Zorv K470 Console" },
    { 1, true, "V518 TRX" },
    { 2, true, "Quadrix KRD16" },
    { 3, true, "Quadrix TX640" },
    { 4, true, "Quadrix KRD24" },
    { 5, true, "Zorv FQ5207 Remote" },
    { 6, true, "Zorv FQ31R Remote" },
    { 7, true, "Zorv Leveler Remote" },
    { 8, true, "Zorv K470 Remote Control" },
    { 9, false, "DeviceTypeMax" }
};

const char* const deviceTypeFolders[deviceTypeCount] =
{
    "K470", "V518TRX", "KRD16", "TX640", "KRD24", "FQ5207Remote", "FQ31Remote", "LevelerRemote", "K470RC"
};

// Panel, Ch, Type, Addr.
const PanelAddress panelAddressTable[deviceTypeCount][maxBoardCount] =
{
    {
        { 2, 0, 5, 0 }, { 2, 1, 6, 0 }, { 2, 2, 7, 0 }, { 3, 0, 8, 0 },
        { 0, 0, 1, 0 }, { 0, 1, 1, 0 }, { 0, 2, 1, 0 },
        { 0, 0, 4, 0 }, { 0, 1, 4, 0 }, { 0, 2, 4, 0 },
        { 0, 0, 2, 0 }, { 0, 0, 2, 1 }, { 0, 1, 2, 0 }, { 0, 1, 2, 1 }, { 0, 2, 2, 0 }, { 0, 2, 2, 1 },
        { 1, 0, 3, 0 }, { 1, 1, 3, 0 }, { 1, 2, 3, 0 },
        { 4, 3, 9, 0 }, { 4, 0, 10, 0 }, { 4, 1, 10, 0 }, { 4, 2, 10, 0 }, { 4, 3, 11, 0 }
    },
    { { 0, 0, 1, 0 }, { 1, 0, 2, 0 }, { 1, 0, 3, 0 }, { 1, 0, 4, 0 }, { 1, 0, 5, 0 } },
    { { 0, 0, 1, 0 } },
    { { 0, 0, 1, 0 } },
    { { 0, 0, 1, 0 } },
    { { 0, 0, 1, 0 } },
    { { 0, 0, 1, 0 } },
    { { 0, 0, 1, 0 } },
    { { 0, 0, 1, 0 } }
};

const uint8_t buildVersionTable[deviceTypeCount][boardKindCount] =
{
    { 0, 14, 10, 5, 14, 12, 13, 11, 7, 10, 11, 13 },
    { 0, 13, 10, 10, 4, 4 },
    { 0, 18 },
    { 0, 10 },
    { 0, 14 },
    { 0, 1 },
    { 0, 1 },
    { 0, 1 },
    { 0, 1 }
};

const char* const picPartNames[enPICTypes_Max] =
{
    "PIC32MZ2048EFG144", "PIC32MZ1024EFK144", "PIC32MZ1024EFG144", "PIC32MZ1024EFE144",
    "PIC32MZ1024EFM144", "PIC32MZ2048EFG100", "PIC32MZ1024EFH100", "PIC32MZ1024EFK100",
    "PIC32MZ2048EFG064", "PIC32MZ1024EFK064", "PIC32MZ1024EFF064", "PIC32MZ2048EFH100"
};

const std::vector<FirmwareDependency> FirmwareDependencyTable =
{
    { 0, 1, { 0 } }, { 0, 2, { 1 } }, { 0, 3, { 1 } }, { 0, 4, { 1 } }, { 0, 5, { 1 } }, { 0, 6, { 1 } },
    { 0, 7, { 4 } }, { 0, 10, { 4 } }, { 0, 11, { 4 } }, { 0, 16, { 4, 10 } },
    { 0, 8, { 5 } }, { 0, 12, { 5 } }, { 0, 13, { 5 } }, { 0, 17, { 5, 12 } },
    { 0, 9, { 6 } }, { 0, 14, { 6 } }, { 0, 15, { 6 } }, { 0, 18, { 6, 14 } },
    { 0, 19, { 0 } }, { 0, 20, { 0 } }, { 0, 21, { 0 } }, { 0, 22, { 0 } }, { 0, 23, { 0 } },
    { 1, 1, { 0 } }, { 1, 2, { 0, 1 } }, { 1, 3, { 0 } }, { 1, 4, { 0, 3 } }
};

namespace
{
    bool isDeviceType (int deviceType)
    {
        return deviceType >= 0 && deviceType < deviceTypeCount;
    }
}

PanelAddress getPanelAddress (int deviceType, uint8_t boardIndex)
{
    if (! isDeviceType (deviceType) || boardIndex >= maxBoardCount)
        return {};
    return panelAddressTable[deviceType][boardIndex];
}

uint8_t buildVersion (int deviceType, uint8_t boardType)
{
    if (! isDeviceType (deviceType) || boardType >= boardKindCount)
        return 0;
    return buildVersionTable[deviceType][boardType];
}

uint8_t findPanelIndex (const DeviceRecord& record, const PanelAddress& address)
{
    const int deviceType = record.deviceType;
    if (! isDeviceType (deviceType))
        return noBoardIndex;

    for (uint8_t i = 0; i < maxBoardCount; ++i)
        if (panelAddressTable[deviceType][i] == address)
            return i;
    return noBoardIndex;
}

bool ZorvUpdater::isFPGABoard (int deviceType, uint8_t type)
{
    return (deviceType == 0 && type == 4) || (deviceType == 1 && (type == 3 || type == 5));
}

bool ZorvUpdater::isIntfBoard (int deviceType, const PanelAddress& address)
{
    if (deviceType == 0)
        return address.Panel == 2 && (address.Ch == 0 || address.Ch == 1);
    if (deviceType >= 1 && deviceType <= 4)
        return address.Panel == 0;
    return false;
}
