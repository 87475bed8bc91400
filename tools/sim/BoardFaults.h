#pragma once

// The faults given to one board, counted request by request, and what they do to the
// request at hand. Guarded by the device's lock, like the board that holds them.

#include "tools/sim/Wire.h"

#include <optional>
#include <vector>

namespace zsim
{
// What the faults that hit one request do to it.
struct FaultEffects
{
    bool drop = false;                              // neither acted on nor answered
    bool close = false;                             // not acted on; the connection closes
    bool lostReply = false;
    std::optional<std::size_t> shortLength;
    bool checksumError = false;
    bool eraseFails = false;
    bool stayInBootMode = false;
    std::optional<std::chrono::milliseconds> eraseTime;
    std::optional<std::chrono::milliseconds> restartTime;
    std::optional<std::chrono::milliseconds> unresponsiveTime;

    BoardAddress echoShift;                         // added to each echoed byte
    std::optional<uint16_t> parameter;
    std::optional<uint16_t> command;
    std::optional<uint8_t> code;
    bool zeroFirstByte = false;

    void spoil (wire::TagReply& reply) const;
};

class FaultList
{
public:
    void add (const BoardFault& fault);
    void clear();

    // Counts the request against every fault that can act on it and gathers the effects
    // of those that hit it; spent faults are dropped.
    FaultEffects take (BoardRequest request);

private:
    std::vector<BoardFault> faults;
};
}
