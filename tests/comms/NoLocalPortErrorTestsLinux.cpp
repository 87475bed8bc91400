// Linux tells its want of a local port as "address not available". The two errors that
// mean it on Windows are real failures here: a port another socket holds, and memory.

#include "comms/Platform.h"

#include <boost/asio/error.hpp>
#include <gtest/gtest.h>

TEST (NoLocalPortError, OnLinuxAddressNotAvailableAlone)
{
    EXPECT_TRUE (platform::meansNoLocalPort (make_error_code (boost::system::errc::address_not_available)));
    EXPECT_FALSE (platform::meansNoLocalPort (boost::asio::error::address_in_use));
    EXPECT_FALSE (platform::meansNoLocalPort (boost::asio::error::no_buffer_space));
}
