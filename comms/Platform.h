#pragma once

#include <boost/system/error_code.hpp>

// Where the link meets the operating system (comms/PlatformLinux.cpp, comms/PlatformWindows.cpp).
namespace platform
{
    // Whether a connect failed for want of a free local port. Linux reports it as "address
    // not available"; Windows, where that error means a bad remote address, as "address in
    // use" or "no buffer space".
    bool meansNoLocalPort (const boost::system::error_code& error);
}
