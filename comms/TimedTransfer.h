#pragma once

#include <boost/asio/ip/tcp.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace aComms
{
// One read or write of a whole byte count that the caller waits for with a time-out.
//
// The bytes travel through a buffer that the transfer owns and shares with its completions,
// never through the caller's memory: a transfer that timed out may still complete on the
// network thread, and it must not reach a buffer its caller has long since reused. Once the
// caller has given up, the transfer starts no further socket call, so the caller may close
// and destroy the socket at once.
namespace timedTransfer
{
    enum class Direction
    {
        receive,
        send
    };

    struct Outcome
    {
        boost::system::error_code error;
        std::size_t count = 0;        // bytes moved before the transfer ended
        std::vector<uint8_t> bytes;   // the transfer's buffer: what was received, or sent
    };

    // The largest piece one socket call moves.
    constexpr std::size_t maxPieceSize = 65536;

    // Moves bytes.size() bytes (receive: into a buffer of that size; send: these bytes).
    // Empty when the time-out passed first; the socket's pending operations are then
    // cancelled.
    std::optional<Outcome> run (std::shared_ptr<boost::asio::ip::tcp::socket> socket,
                                Direction direction,
                                std::vector<uint8_t> bytes,
                                std::chrono::milliseconds timeout);
}
}
