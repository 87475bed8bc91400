#pragma once

// The small records the update engine passes around: board addresses, the results of device
// commands, the head of a tag reply, program blocks and the chosen firmware file.

#include "discovery/DiscoveryTypes.h"

#include <array>
#include <cstdint>
#include <string>

// Where a board sits inside its device. On the wire `Ch` goes before `Panel`.
struct PanelAddress
{
    uint8_t Panel = 0;
    uint8_t Ch = 0;
    uint8_t Type = 0;
    uint8_t Addr = 0;
};

inline bool operator== (const PanelAddress& a, const PanelAddress& b)
{
    return a.Panel == b.Panel && a.Ch == b.Ch && a.Type == b.Type && a.Addr == b.Addr;
}

inline bool operator!= (const PanelAddress& a, const PanelAddress& b)
{
    return ! (a == b);
}

// The processor variant a PIC board reports; enPICTypes_Max stands for "none reported".
enum enPICTypes : uint8_t
{
    enPICTypes_PIC32MZ2048EFG144 = 0,
    enPICTypes_PIC32MZ1024EFK144 = 1,
    enPICTypes_PIC32MZ1024EFG144 = 2,
    enPICTypes_PIC32MZ1024EFE144 = 3,
    enPICTypes_PIC32MZ1024EFM144 = 4,
    enPICTypes_PIC32MZ2048EFG100 = 5,
    enPICTypes_PIC32MZ1024EFH100 = 6,
    enPICTypes_PIC32MZ1024EFK100 = 7,
    enPICTypes_PIC32MZ2048EFG064 = 8,
    enPICTypes_PIC32MZ1024EFK064 = 9,
    enPICTypes_PIC32MZ1024EFF064 = 10,
    enPICTypes_PIC32MZ2048EFH100 = 11,
    enPICTypes_Max = 12
};

// The outcome of one download command. Never shown to the user. NoLocalPort is a failed
// transport whose connect never left this computer, for want of a free local port.
enum class DeviceResult : int
{
    Success = 0,
    TransportFailed = 1,
    InvalidHeader = 2,
    WrongDevice = 3,
    EraseFailed = 4,
    DownloadError = 5,
    DownloadInvalidResponse = 6,
    NoLocalPort = 7
};

// The result of a board update, and a board's status in the version scan. The update
// itself returns only UpdateFailed, UpdateSuccessful, StillInBootMode, ConnectionProblem
// and FirmwareFileMissing.
enum UpdateResult : int
{
    UpdateFailed = 0,
    UpdateSuccessful = 1,
    StillInBootMode = 2,
    ConnectionProblem = 3,
    DeviceNotFound = 4,
    UpdatePending = 5,
    FirmwareFileMissing = 6,
    UpToDate = 7
};

// The fixed text of a result, ending in a blank; empty for a value outside the enumeration.
const char* updateResultText (int result);

// The 64-byte tag of a tag-exchange message, as sent or as received.
using TagBytes = std::array<uint8_t, 64>;

// The first nine bytes of a reply tag.
struct TagReplyHead
{
    uint8_t marker = 0;      // non-zero in every valid reply
    uint8_t code = 0;        // 'j', 'k', 'm' or 'o'
    uint8_t Ch = 0;
    uint8_t Panel = 0;
    uint8_t unused = 0;
    uint8_t state = 0;       // 'V' boot mode, 'W' running, 'Y' erase completed
    uint8_t Type = 0;
    uint8_t Addr = 0;
    uint8_t value = 0;       // firmware version, or processor variant
};

// Reply codes and board states of the boot loader.
namespace tagCode
{
    constexpr uint8_t identity = 'j';
    constexpr uint8_t blockAccepted = 'k';
    constexpr uint8_t blockChecksumError = 'm';
    constexpr uint8_t processor = 'o';

    constexpr uint8_t bootMode = 'V';
    constexpr uint8_t running = 'W';
    constexpr uint8_t erased = 'Y';
}

// One block of firmware for tag id 5; it occupies tag offsets 8 to 63.
struct ProgramBlock
{
    static constexpr int maxCount = 49;

    uint8_t checksum = 0;
    uint8_t count = 0;
    std::array<uint8_t, 4> address {};   // little-endian: address[0] holds bits 0-7
    uint8_t recordType = 0;
    std::array<uint8_t, maxCount> data {};
};

// The engine's own probe of one device after a restart.
struct DeviceProbeResult
{
    bool found = false;
    DeviceRecord record {};   // all zero when not found
};

// The firmware file chosen for one board.
struct FirmwareFileInfo
{
    bool exists = false;
    bool isImage = false;                   // an FPGA image rather than Intel HEX
    uint8_t picType = enPICTypes_Max;
    std::string path;                       // UTF-8, like every path text of the program
};

// The version scan's record of one board. `status` holds an UpdateResult: after the scan
// whether the board is installed, pending or up to date, after its update the update's result.
struct PanelScanEntry
{
    uint8_t boardIndex = 0;
    PanelAddress address;
    int status = 0;
    bool bootMode = false;             // at the board's last check
    uint8_t firmwareVersion = 0;       // at the board's last check; 0 when it did not answer
};

// The level of a log line and the codes of a message box, as the window reads them.
namespace logLevel
{
    constexpr int info = 1;
    constexpr int success = 2;
    constexpr int warning = 3;
    constexpr int error = 4;
}

namespace messageBox
{
    constexpr int iconInformation = 1;
    constexpr int iconQuestion = 2;
    constexpr int iconWarning = 3;

    constexpr int buttonsOk = 1;
    constexpr int buttonsYesNo = 6;

    constexpr int answerOk = 1;     // the window stores these into the box's answer slot
    constexpr int answerYes = 2;
    constexpr int answerNo = 4;
}
