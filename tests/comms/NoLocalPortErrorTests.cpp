// A connect that fails because this computer has no free local port is told apart from
// every other failed connect by its error, which differs between the systems.

#include "comms/BoostSocketTCP.h"

#include <boost/asio/error.hpp>
#include <gtest/gtest.h>

namespace
{
namespace error = boost::asio::error;
using boost::system::error_code;

struct ErrorCase
{
    error_code error;
    bool noLocalPort;
};

// Linux's "address not available" is its want of a local port; on Windows the same error
// names a bad remote address, and the want of a port comes as one of two others.
TEST (NoLocalPortError, OnlyTheSystemsOwnShortageErrorsCount)
{
   #if defined (_WIN32)
    const bool linuxError = false, windowsErrors = true;
   #else
    const bool linuxError = true, windowsErrors = false;
   #endif
    for (const auto& c : { ErrorCase { make_error_code (boost::system::errc::address_not_available), linuxError },
                           ErrorCase { error::address_in_use, windowsErrors },
                           ErrorCase { error::no_buffer_space, windowsErrors },
                           ErrorCase { error::connection_refused, false },
                           ErrorCase { error::timed_out, false },
                           ErrorCase { error::host_unreachable, false },
                           ErrorCase { error::operation_aborted, false },
                           ErrorCase { error_code(), false } })
        EXPECT_EQ (aComms::meansNoLocalPort (c.error), c.noLocalPort) << c.error.message();
}
}
