#pragma once

// The device behind the connections: its identity, its boards, and how it answers each
// command. Every command is handled here and only here; the connections know nothing of
// commands. One lock guards all of it: the network thread answers while tests read and
// change the device from their own threads.

#include "tools/sim/Board.h"
#include "tools/sim/DeviceSimulator.h"
#include "tools/sim/Wire.h"

#include <mutex>
#include <optional>
#include <vector>

namespace zsim
{
// The bytes a request gets back; empty when the command sends no answer.
using Reply = std::optional<std::vector<uint8_t>>;

// A time in which the device takes no new connection: it refuses them while an interface
// board restarts, and lets them time out when a fault says so.
struct Outage
{
    std::chrono::steady_clock::time_point until;
    Reachability meanwhile = Reachability::Refusing;
};

struct Answer
{
    Reply reply;
    std::chrono::milliseconds delay { 0 };          // the device's own time before it answers
    std::optional<ConnectionScript> shape;          // a board fault's way of answering, in place of the connection's
    std::optional<Outage> outage;
};

class DeviceModel
{
public:
    DeviceModel (DeviceSetup setup, std::array<uint8_t, 4> boundAddress);

    DeviceIdentity identity() const;
    void setIdentity (const DeviceIdentity&);
    std::array<uint8_t, wire::recordSize> record (uint16_t command) const;

    // Acts on one complete request (header and payload) and gives its answer. A request
    // with a wrong magic number is no request of this protocol and is ignored, and so is
    // every request while the device is off the network.
    Answer answer (const std::vector<uint8_t>& request);

    std::size_t boardCount() const;
    BoardReport board (std::size_t index);
    void setBoardPresent (std::size_t index, bool present);
    void addFault (std::size_t index, const BoardFault& fault);
    void clearFaults (std::size_t index);

private:
    using Clock = std::chrono::steady_clock;

    std::vector<uint8_t> recordReply (uint16_t command) const;
    Answer setUserName (const wire::Header&, const std::vector<uint8_t>& request);
    Answer exchangeTag (const std::vector<uint8_t>& request, Clock::time_point now);
    bool offline (Clock::time_point now);

    mutable std::mutex mutex;
    DeviceIdentity current;
    std::vector<Board> boards;
    const std::array<uint8_t, 4> boundAddress;
};
}
