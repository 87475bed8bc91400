#include "comms/Platform.h"

#include <boost/system/errc.hpp>

namespace platform
{
bool meansNoLocalPort (const boost::system::error_code& error)
{
    return error == boost::system::errc::address_not_available;
}
}
