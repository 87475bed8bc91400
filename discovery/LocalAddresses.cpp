#include "discovery/LocalAddresses.h"
#include "discovery/Platform.h"
#include "logging/AppLogger.h"

#include <boost/asio/ip/address_v4.hpp>

#include <algorithm>

std::vector<std::string> getLocalIPv4Addresses()
{
    return usableLocalAddresses (platform::interfaceIPv4Addresses());
}

std::vector<std::string> usableLocalAddresses (const std::vector<std::string>& candidates)
{
    std::vector<std::string> addresses;
    try
    {
        for (const auto& candidate : candidates)
        {
            boost::system::error_code error;
            const auto address = boost::asio::ip::make_address_v4 (candidate, error);
            if (error || address.to_bytes()[0] == 127)
                continue;

            const auto text = address.to_string();
            if (std::find (addresses.begin(), addresses.end(), text) == addresses.end())
                addresses.push_back (text);
        }
    }
    catch (const std::exception&)
    {
        // The addresses gathered so far are still the computer's.
    }

    if (addresses.empty())
        AppLogger::instance().log ("No IPs assigned to this computer!");
    return addresses;
}
