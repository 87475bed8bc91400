#include "tests/simulator/SimClient.h"

#include <algorithm>
#include <iterator>
#include <numeric>

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

namespace
{
// The tag bytes both directions share: 8 first, the address Ch before Panel, and the
// four bytes that differ between requests and replies.
Bytes tagMessage (uint16_t parameter, const zsim::BoardAddress& board, uint8_t byte1, uint8_t byte4, uint8_t byte5,
                  uint8_t byte8)
{
    Bytes tag (64, 0);
    tag[0] = 8;
    tag[1] = byte1;
    tag[2] = board.ch;
    tag[3] = board.panel;
    tag[4] = byte4;
    tag[5] = byte5;
    tag[6] = board.type;
    tag[7] = board.addr;
    tag[8] = byte8;
    return request (3, parameter, tag);
}
}

Bytes concat (std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& part : parts)
        all.insert (all.end(), part.begin(), part.end());
    return all;
}

Bytes zeros (std::size_t count)
{
    return Bytes (count, 0);
}

Bytes tagRequest (uint16_t parameter, const zsim::BoardAddress& board, uint8_t id, uint8_t first, uint8_t second)
{
    return tagMessage (parameter, board, id, first, second, 0);
}

Bytes identityRead (uint16_t parameter, const zsim::BoardAddress& board)     { return tagRequest (parameter, board, 4, 0x55, 0); }
Bytes enterBootMode (uint16_t parameter, const zsim::BoardAddress& board)    { return tagRequest (parameter, board, 4, 0xAA, 0); }
Bytes eraseRequest (uint16_t parameter, const zsim::BoardAddress& board)     { return tagRequest (parameter, board, 4, 0xAA, 'X'); }
Bytes programComplete (uint16_t parameter, const zsim::BoardAddress& board)  { return tagRequest (parameter, board, 6, 0, 0); }
Bytes processorQuery (uint16_t parameter, const zsim::BoardAddress& board)   { return tagRequest (parameter, board, 8, 44, 2); }
Bytes resetRequest (uint16_t parameter, const zsim::BoardAddress& board)     { return tagRequest (parameter, board, 8, 2, 2); }

Bytes programBlock (uint16_t parameter, const zsim::BoardAddress& board, uint32_t address, const Bytes& data,
                    Checksum checksum)
{
    auto bytes = tagRequest (parameter, board, 5, 0, 0);
    auto* tag = bytes.data() + 12;
    tag[0] = (uint8_t) (15 + data.size());
    tag[9] = (uint8_t) data.size();
    for (int i = 0; i < 4; ++i)
        tag[10 + i] = (uint8_t) (address >> (8 * i));
    std::copy (data.begin(), data.end(), tag + 15);

    uint8_t* from = checksum == Checksum::Record ? tag + 9 : tag + 15;
    tag[8] = (uint8_t) std::accumulate (from, tag + 15 + data.size(), 0u);
    return bytes;
}

Bytes tagReply (uint16_t parameter, const zsim::BoardAddress& board, uint8_t code, uint8_t state, uint8_t value)
{
    return tagMessage (parameter, board, code, 0, state, value);
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
