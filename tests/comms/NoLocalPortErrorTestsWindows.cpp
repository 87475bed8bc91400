// Windows tells its want of a local port as "address in use" or "no buffer space"; its
// "address not available" names a remote address that cannot be reached, a real failure.

#include "comms/Platform.h"

#include <boost/asio/error.hpp>
#include <gtest/gtest.h>

TEST (NoLocalPortError, OnWindowsAddressInUseOrNoBufferSpace)
{
    EXPECT_TRUE (platform::meansNoLocalPort (boost::asio::error::address_in_use));
    EXPECT_TRUE (platform::meansNoLocalPort (boost::asio::error::no_buffer_space));
    EXPECT_FALSE (platform::meansNoLocalPort (make_error_code (boost::system::errc::address_not_available)));
}
