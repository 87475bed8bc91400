#pragma once

// A plain client for talking to the simulator over real sockets, with every wait bounded,
// and the requests it sends, built from their byte offsets.

#include "tools/sim/BoardTypes.h"

#include <boost/asio.hpp>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace simtest
{
using Bytes = std::vector<uint8_t>;
using std::chrono::milliseconds;

// A request: the 12-byte header (payload length taken from the payload) and the payload.
Bytes request (uint16_t command, uint16_t parameter, const Bytes& payload = {});
Bytes discoverRequest();

Bytes concat (std::initializer_list<Bytes> parts);
Bytes zeros (std::size_t count);

// Command 3: a 64-byte tag for one board, whose address goes on the wire Ch first, then Panel.
Bytes tagRequest (uint16_t parameter, const zsim::BoardAddress& board, uint8_t id, uint8_t first, uint8_t second);
Bytes identityRead (uint16_t parameter, const zsim::BoardAddress& board);
Bytes enterBootMode (uint16_t parameter, const zsim::BoardAddress& board);
Bytes eraseRequest (uint16_t parameter, const zsim::BoardAddress& board);
Bytes programComplete (uint16_t parameter, const zsim::BoardAddress& board);
Bytes processorQuery (uint16_t parameter, const zsim::BoardAddress& board);
Bytes resetRequest (uint16_t parameter, const zsim::BoardAddress& board);

// What a program block's checksum covers: a HEX record's count, address, type and data, or
// an image slice's data alone.
enum class Checksum { Record, Data };
Bytes programBlock (uint16_t parameter, const zsim::BoardAddress& board, uint32_t address, const Bytes& data,
                    Checksum checksum);

// A reply as a sound board sends it.
Bytes tagReply (uint16_t parameter, const zsim::BoardAddress& board, uint8_t code, uint8_t state, uint8_t value);

template <typename Container>
Bytes bytesOf (const Container& container)
{
    return Bytes (std::begin (container), std::end (container));
}

struct Received
{
    Bytes bytes;
    boost::system::error_code error;    // timed_out when the wait ended first
};

class Client
{
public:
    boost::system::error_code connect (const std::string& address, milliseconds timeout, uint16_t port = 51000);
    boost::system::error_code send (const Bytes& bytes);
    void shutdownSending();

    // Reads until `count` bytes arrived, the stream ended, or `wait` passed.
    Received receive (std::size_t count, milliseconds wait);

private:
    boost::asio::io_context io;
    boost::asio::ip::tcp::socket socket { io };
};

// Connects, sends one request and reads up to `count` bytes of its answer.
Received exchange (const std::string& address, const Bytes& bytes, std::size_t count, milliseconds wait);
}
