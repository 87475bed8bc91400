#include "discovery/Platform.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/host_name.hpp>
#include <boost/asio/ip/tcp.hpp>

namespace platform
{
// Windows resolves its own host name to the addresses of all its adapters, so the lookup
// lists the interfaces' addresses without an adapter query. The context lives only for
// the lookup.
std::vector<std::string> interfaceIPv4Addresses()
{
    std::vector<std::string> addresses;
    try
    {
        boost::asio::io_context context;
        boost::asio::ip::tcp::resolver resolver (context);
        for (const auto& entry : resolver.resolve (boost::asio::ip::host_name(), ""))
        {
            const auto address = entry.endpoint().address();
            if (address.is_v4())
                addresses.push_back (address.to_v4().to_string());
        }
    }
    catch (const std::exception&)
    {
        // The addresses gathered so far are still the computer's.
    }
    return addresses;
}

// Windows sockets are kernel handles, not C runtime file descriptors: no per-process limit
// like Linux's open-file limit applies to them, so there is nothing to raise.
void raiseOpenFileLimit()
{
}
}
