// A connect that fails because this computer has no free local port is told apart from
// every other failed connect by its error, which differs between the systems
// (NoLocalPortErrorTestsLinux.cpp, NoLocalPortErrorTestsWindows.cpp). These failures mean
// the device or the network on both.

#include "comms/Platform.h"

#include <boost/asio/error.hpp>
#include <gtest/gtest.h>

TEST (NoLocalPortError, FailuresOfTheDeviceOrNetworkNeverCount)
{
    namespace error = boost::asio::error;
    for (const auto& e : { boost::system::error_code (error::connection_refused),
                           boost::system::error_code (error::timed_out),
                           boost::system::error_code (error::host_unreachable),
                           boost::system::error_code (error::network_unreachable),
                           boost::system::error_code (error::operation_aborted),
                           boost::system::error_code() })
        EXPECT_FALSE (platform::meansNoLocalPort (e)) << e.message();
}
