#include "comms/Platform.h"

#include <boost/asio/error.hpp>

namespace platform
{
bool meansNoLocalPort (const boost::system::error_code& error)
{
    return error == boost::asio::error::address_in_use || error == boost::asio::error::no_buffer_space;
}
}
