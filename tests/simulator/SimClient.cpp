#include "tests/simulator/SimClient.h"

#include <algorithm>
#include <iterator>

namespace simtest
{
namespace
{
    using boost::system::error_code;

    // Runs the client's pending operation for at most `wait`; on time-out cancels it and
    // lets its handler see the cancellation.
    bool runFor (boost::asio::io_context& io, boost::asio::ip::tcp::socket& socket, milliseconds wait)
    {
        io.restart();
        io.run_for (wait);
        if (io.stopped())
            return true;
        socket.cancel();
        io.restart();
        io.run();
        return false;
    }
}

Bytes request (uint16_t command, uint16_t parameter, const Bytes& payload)
{
    const auto length = (uint32_t) payload.size();
    const uint8_t header[] { (uint8_t) length, (uint8_t) (length >> 8), (uint8_t) (length >> 16), (uint8_t) (length >> 24),
                             0xED, 0xAC, 0xEF, 0x0D,
                             (uint8_t) command, (uint8_t) (command >> 8),
                             (uint8_t) parameter, (uint8_t) (parameter >> 8) };
    Bytes bytes (sizeof (header) + payload.size());
    std::copy (std::begin (header), std::end (header), bytes.begin());
    std::copy (payload.begin(), payload.end(), bytes.begin() + sizeof (header));
    return bytes;
}

Bytes discoverRequest()
{
    return request (0, 0xFFFF);
}

error_code Client::connect (const std::string& address, milliseconds timeout, uint16_t port)
{
    error_code result = boost::asio::error::timed_out;
    const boost::asio::ip::tcp::endpoint target (boost::asio::ip::make_address_v4 (address), port);
    socket.async_connect (target, [&] (const error_code& error)
                          {
                              if (error != boost::asio::error::operation_aborted)
                                  result = error;
                          });
    if (! runFor (io, socket, timeout))
        socket.close();
    return result;
}

error_code Client::send (const Bytes& bytes)
{
    error_code error;
    boost::asio::write (socket, boost::asio::buffer (bytes), error);
    return error;
}

void Client::shutdownSending()
{
    socket.shutdown (boost::asio::ip::tcp::socket::shutdown_send);
}

Received Client::receive (std::size_t count, milliseconds wait)
{
    Received received;
    received.error = boost::asio::error::timed_out;
    received.bytes.resize (count);
    boost::asio::async_read (socket, boost::asio::buffer (received.bytes),
                             [&] (const error_code& error, std::size_t got)
                             {
                                 received.bytes.resize (got);
                                 if (error != boost::asio::error::operation_aborted)
                                     received.error = error;
                             });
    runFor (io, socket, wait);
    return received;
}

Received exchange (const std::string& address, const Bytes& bytes, std::size_t count, milliseconds wait)
{
    Client client;
    if (const auto error = client.connect (address, milliseconds (2000)))
        return { {}, error };
    client.send (bytes);
    return client.receive (count, wait);
}
}
