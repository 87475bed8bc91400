#include "bench/MinimalExchange.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

#include <algorithm>

namespace benchloop
{
bool minimalExchange (boost::asio::io_context& context, const boost::asio::ip::tcp::endpoint& device,
                      const Message& request, uint8_t expectedCode)
{
    using boost::asio::ip::tcp;
    boost::system::error_code error;
    tcp::socket socket (context);
    Message reply {};
    socket.connect (device, error);
    if (! error)
        socket.set_option (tcp::no_delay (true), error);
    if (! error)
        boost::asio::write (socket, boost::asio::buffer (request), error);
    if (! error)
        boost::asio::read (socket, boost::asio::buffer (reply), error);
    return ! error && reply[13] == expectedCode;
}

double quantile (std::vector<double> values, double q)
{
    if (values.empty())
        return 0.0;
    std::sort (values.begin(), values.end());
    return values[(std::size_t) (q * (double) (values.size() - 1))];
}

Message tagRequest (std::initializer_list<uint8_t> tagHead)
{
    Message request {};
    const uint8_t header[] = { 64, 0, 0, 0, 0xED, 0xAC, 0xEF, 0x0D, 3, 0, 0, 0 };
    std::copy (std::begin (header), std::end (header), request.begin());
    std::copy (tagHead.begin(), tagHead.end(), request.begin() + sizeof (header));
    return request;
}
}
