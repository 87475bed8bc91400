#pragma once

// A simulated device: a real TCP server on one address and port that answers the device
// protocol byte for byte. It is written from the wire formats alone and shares no code with
// the application, so that a fault in the application's encoding cannot hide itself here.
// Its boards (BoardTypes.h) answer command 3 through their boot loaders.

#include "tools/sim/BoardTypes.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zsim
{
// What the device reports about itself in its 123-byte record.
struct DeviceIdentity
{
    int32_t deviceType = 0;
    std::array<uint8_t, 31> name {};                 // raw bytes of the name field
    std::array<uint8_t, 6> mac {};
    std::optional<std::array<uint8_t, 4>> ipv4;       // empty: the address the simulator is bound to
    uint8_t statusFlag = 0;
    uint32_t optionWord = 0;
    uint32_t motorisedFaderWord = 0;

    // The name field for a text: its bytes, zero-filled (cut at 31 bytes).
    static std::array<uint8_t, 31> nameField (std::string_view text);
};

// A whole device: its record and its boards. BoardLayouts.h builds the usual ones.
struct DeviceSetup
{
    DeviceIdentity identity;
    std::vector<BoardSetup> boards;     // a board is named by its index in this list
};

// How the device treats one accepted connection. Every complete request it reads is acted
// on (a rename is stored even when no answer follows); the behaviour decides only what goes
// back on the wire, for every request of the connection. A close is orderly: FIN, then the
// peer's further bytes are read and dropped, so that the peer sees end-of-stream, not a reset.
enum class Behaviour
{
    Normal,             // read the request, answer it
    Silent,             // read the request, never answer, keep the connection open
    CloseAfterAccept,   // close at once, before reading anything
    CloseAfterRequest,  // read the request, then close without answering
    ResetAfterAccept,   // abort the connection (RST) at once
    ResetAfterRequest,  // read the request, then abort (RST)
    ShortReplyHold,     // send the first `length` bytes of the reply, then keep the connection open
    ShortReplyClose,    // send the first `length` bytes of the reply, then close
    SlowReply,          // answer after `delay`
    ExtraBytes,         // send the reply followed by `extra`
    BadHeader           // answer with the reply's magic number corrupted
};

struct ConnectionScript
{
    Behaviour behaviour = Behaviour::Normal;
    std::size_t length = 60;
    std::chrono::milliseconds delay { 0 };
    std::vector<uint8_t> extra;
};

// Whether connection attempts reach the device at all.
enum class Reachability
{
    Accepting,      // listening and accepting
    Refusing,       // not listening: connects are refused at once
    Unresponsive    // listening but never completing a handshake: connects time out
};
// Unresponsive is a listener with backlog 0 that never accepts, whose single queue place is
// taken by a connection of the simulator's own: Linux then drops every further SYN, so a
// client's connect neither succeeds nor is refused but times out (checked by the tests).

struct RecordedRequest
{
    uint64_t connection = 0;                          // 1 for the first accepted connection
    std::chrono::steady_clock::time_point time;       // when the request was complete
    std::vector<uint8_t> bytes;                       // header and payload as received
};

class DeviceSimulator
{
public:
    explicit DeviceSimulator (DeviceSetup setup, std::string address = "127.0.0.1", uint16_t port = 51000);
    // A device with the standard boards of the identity's type (standardBoards).
    explicit DeviceSimulator (DeviceIdentity identity, std::string address = "127.0.0.1", uint16_t port = 51000);
    ~DeviceSimulator();

    DeviceSimulator (const DeviceSimulator&) = delete;
    DeviceSimulator& operator= (const DeviceSimulator&) = delete;

    // Binds and starts serving on a thread of its own; false when the address cannot be bound.
    bool start();
    void stop();

    // In force when it returns; connections already accepted are not touched. False when
    // the address could not be bound again: the device then refuses connections.
    bool setReachability (Reachability);

    // Scripts the next accepted connections in order, replacing scripts not yet used;
    // connections past the script use the default.
    void scriptConnections (std::vector<ConnectionScript> scripts);
    void setDefaultBehaviour (ConnectionScript script);

    // Every request read, in order, with the bytes of any request the peer left unfinished.
    // A request is recorded after the device has acted on it.
    std::vector<RecordedRequest> requests() const;
    std::size_t connectionCount() const;
    // Waits until at least `count` requests have been recorded; false on time-out.
    bool waitForRequests (std::size_t count, std::chrono::milliseconds timeout) const;

    // The identity as it stands now (a rename changes the name).
    DeviceIdentity identity() const;
    void setIdentity (const DeviceIdentity&);

    // The 123-byte record a discover request gets now.
    std::array<uint8_t, 123> record() const;

    // The boards, by their index in the setup. Changes are in force for the next request;
    // an index out of range throws std::out_of_range.
    std::size_t boardCount() const;
    BoardReport board (std::size_t index) const;
    void setBoardPresent (std::size_t index, bool present);
    void addFault (std::size_t index, const BoardFault& fault);
    void clearFaults (std::size_t index);

    const std::string& address() const;
    uint16_t port() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
}
