#pragma once

// A plain client for talking to the simulator over real sockets, with every wait bounded.

#include <boost/asio.hpp>

#include <chrono>
#include <cstdint>
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
