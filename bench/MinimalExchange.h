#pragma once

// The ceiling of one device exchange, for the benchmarks to measure the engine against: a
// blocking connect, one request written, one reply read, the socket closed; nothing else.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace benchloop
{
using Message = std::array<uint8_t, 76>;

// True when the whole reply came and carries `expectedCode` as its reply code.
bool minimalExchange (boost::asio::io_context& context, const boost::asio::ip::tcp::endpoint& device,
                      const Message& request, uint8_t expectedCode);

// The value below which the fraction q of the values lie (0.5: the median), for the spread
// of the ratios of the turns a benchmark's loops take.
double quantile (std::vector<double> values, double q);

// A tag request for a board of a console: the header of command 3, then the tag's first bytes.
Message tagRequest (std::initializer_list<uint8_t> tagHead);
}
