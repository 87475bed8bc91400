#pragma once

// One board and its boot loader, as a state machine:
//
//   Running 'W' --enter boot mode--> Restarting --> BootMode 'V'
//      ^                                               |  erase: 'j' 'Y' after the erase time
//      |                                               v
//      |                                            Erased 'V' <--------+ erase
//      |                                               |  block: 'k'    |
//      |                                               v  (bad: 'm')    |
//      +--- Restarting <--program complete---- Programmed 'V' ----------+
//     (runs its new version)    |
//                               +--> BootMode (fault: stays in boot mode)
//
// Every state but Restarting answers identity reads and processor queries; in the boot
// loader the version reads 0 once the firmware is erased. A reset, and a program complete
// from any other state, restart the board into its firmware, or into its boot loader when
// it has none (erased, nothing programmed). A restarting board is silent until its restart
// time has passed; the restart ends when the board is next looked at, so no timer is
// needed. FPGA boards need no boot mode: they erase and take blocks in any state. A PIC
// board that runs its firmware answers an erase or a block with its identity ('j', 'W')
// and stores nothing. An absent board reads every request and answers none.

#include "tools/sim/BoardFaults.h"

namespace zsim
{
class Board
{
public:
    using Clock = std::chrono::steady_clock;

    struct Outcome
    {
        std::optional<wire::TagReply> reply;
        std::chrono::milliseconds delay { 0 };
        std::optional<std::size_t> shortLength;     // send only so many bytes, then close
        bool close = false;                         // close without answering
        std::optional<Clock::time_point> restartingUntil;
        std::optional<Clock::time_point> unresponsiveUntil;    // the device takes no new connection until then
    };

    explicit Board (BoardSetup setup);

    const BoardSetup& setup() const { return config; }
    bool restarting (Clock::time_point now);

    // Acts on one request addressed to this board; `parameter` goes into the reply header.
    Outcome handle (const wire::TagRequest& request, uint16_t parameter, Clock::time_point now);

    BoardReport report (Clock::time_point now);
    void setPresent (bool present);
    FaultList& faults() { return faultList; }

private:
    void settle (Clock::time_point now);
    Outcome act (BoardRequest request, const wire::TagRequest& tag, const FaultEffects& effects, Clock::time_point now);
    Outcome restart (BoardState target, const FaultEffects& effects, Clock::time_point now);
    Outcome erase (const FaultEffects& effects);
    Outcome program (const wire::TagRequest& tag, const FaultEffects& effects);
    BoardState afterComplete (const FaultEffects& effects);
    bool blockIsSound (const std::array<uint8_t, wire::tagSize>& tag) const;
    void store (const std::array<uint8_t, wire::tagSize>& tag);
    Outcome answer (uint8_t code, uint8_t value) const;
    Outcome answerWithIdentity() const;
    uint8_t stateLetter() const;
    uint8_t reportedVersion() const;

    BoardSetup config;
    FaultList faultList;
    BoardState state;
    bool hasFirmware = true;                        // false from an erase until new firmware runs
    uint8_t version;
    BoardState afterRestart = BoardState::Running;
    Clock::time_point restartEnds;
    BoardReport kept;                               // counters and memory; the rest is filled in on report
};
}
