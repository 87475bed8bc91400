#pragma once

// The boards inside a simulated device: how each is set up, the faults a test can give it,
// and what a test can read back. A board is reached by command 3 at its four address bytes
// and answers through its boot loader (Board.h holds its state machine).

#include <array>
#include <chrono>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace zsim
{
struct BoardAddress
{
    uint8_t panel = 0;
    uint8_t ch = 0;
    uint8_t type = 0;
    uint8_t addr = 0;

    bool operator== (const BoardAddress& other) const
    {
        return panel == other.panel && ch == other.ch && type == other.type && addr == other.addr;
    }
    bool operator!= (const BoardAddress& other) const { return ! (*this == other); }
};

enum class BoardKind
{
    Pic,    // takes blocks by their address (Intel HEX records)
    Fpga    // takes blocks as one stream of slices, in the order they come
};

enum class BoardState
{
    Running,    // runs its firmware: reports 'W' and its version
    Restarting, // silent until its restart time has passed
    BootMode,   // in its boot loader: reports 'V'
    Erased,     // boot loader, firmware erased: reports 'V', version 0
    Programmed  // boot loader, blocks stored since the erase: reports 'V', version 0
};

struct BoardSetup
{
    BoardAddress address;
    BoardKind kind = BoardKind::Pic;
    bool interface = false;                     // its restart takes the whole device off the network
    bool present = true;                        // an absent board reads requests and never answers
    bool bootMode = false;                      // starts in its boot loader instead of running
    uint8_t version = 0;                        // the firmware version it runs at the start
    uint8_t newVersion = 0;                     // the version it runs once programmed and restarted
    std::optional<uint8_t> variant;             // processor variant; none: silent to the processor query
    std::chrono::milliseconds restartTime { 100 };
    std::chrono::milliseconds eraseTime { 20 };  // an erase is answered after this long
};

// The requests a board tells apart, as a fault or a count names them.
enum class BoardRequest
{
    IdentityRead,       // tag id 4, 0x55
    EnterBootMode,      // tag id 4, 0xAA 0
    Erase,              // tag id 4, 0xAA 'X'
    ProgramBlock,       // tag id 5
    ProgramComplete,    // tag id 6
    ProcessorQuery,     // tag id 8, sub-command 44
    Reset,              // tag id 8, sub-command 2
    Any                 // in a fault: every request the fault can act on
};
constexpr std::size_t boardRequestKinds = 7;

enum class Fault
{
    WrongCh, WrongPanel, WrongType, WrongAddr,  // the reply echoes that byte plus one
    WrongParameter,     // the reply's header carries `value` as its parameter
    WrongCommand,       // the reply's header carries `value` as its command
    WrongCode,          // the reply's code is `value`
    ZeroFirstByte,      // byte 0 of the reply tag is 0
    Silence,            // the request is neither acted on nor answered
    Close,              // the request is not acted on; the connection is closed
    ShortReply,         // acted on; the first `value` bytes of the reply, then the connection closes
    LostReply,          // acted on (a block is stored), but no answer goes back
    ChecksumError,      // a block is answered 'm' and not stored
    EraseFails,         // an erase is answered 'j' with the board's state, nothing erased
    SlowErase,          // an erase is answered after `time` instead of the board's erase time
    StayInBootMode,     // program complete: the board restarts into its boot loader
    SlowRestart,        // a restart takes `time` instead of the board's restart time
    GoUnresponsive      // acted on and answered; then the device completes no new connection
                        // for `time`: connects neither succeed nor are refused, they time out
};

// A fault hits the requests it can act on that match `on`: it passes over the first `skip`
// of them, then hits the next `times` (`always`: every one from then on). Counting starts
// when the fault is given and covers only requests the board takes in (not while it
// restarts or is absent). For example the 3rd program block: { ChecksumError,
// ProgramBlock, 2, 1 }; the next two identity reads: { Silence, IdentityRead, 0, 2 }.
struct BoardFault
{
    static constexpr unsigned always = UINT_MAX;

    Fault fault = Fault::Silence;
    BoardRequest on = BoardRequest::Any;
    unsigned skip = 0;
    unsigned times = 1;
    uint16_t value = 0;
    std::chrono::milliseconds time { 0 };
};

struct BoardReport
{
    BoardState state = BoardState::Running;
    bool present = true;
    uint8_t version = 0;                                // what an identity read reports now
    std::map<uint32_t, std::vector<uint8_t>> picMemory; // PIC: block address -> the block's data
    std::vector<uint8_t> fpgaStream;                    // FPGA: the slices' data, appended
    std::array<unsigned, boardRequestKinds> received {}; // every request taken off the wire, by kind
    unsigned rejectedBlocks = 0;                        // blocks answered 'm'
    unsigned malformed = 0;                             // requests to this board not understood (ignored)
    unsigned restarts = 0;

    unsigned count (BoardRequest request) const { return received.at ((std::size_t) request); }
};
}
