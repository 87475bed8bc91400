#include "discovery/ScanTargets.h"
#include "discovery/AddressText.h"

#include <boost/asio/ip/address_v4.hpp>

#include <algorithm>

namespace
{
// The address bytes of a text that validates, or false.
bool parseValidated (const std::string& text, std::string& validated, boost::asio::ip::address_v4::bytes_type& bytes)
{
    validated = validatedIPv4Text (text);
    if (validated.empty())
        return false;

    boost::system::error_code error;
    bytes = boost::asio::ip::make_address_v4 (validated, error).to_bytes();
    return ! error;
}
}

std::vector<std::string> automaticScanTargets (const std::vector<std::string>& localAddresses)
{
    std::vector<std::string> targets;
    for (const auto& local : localAddresses)
    {
        try
        {
            std::string validated;
            boost::asio::ip::address_v4::bytes_type bytes;
            if (! parseValidated (local, validated, bytes))
                continue;

            const auto prefix = std::to_string (bytes[0]) + "." + std::to_string (bytes[1]) + "."
                              + std::to_string (bytes[2]) + ".";
            for (int host = 1; host <= 254; ++host)
                if (host != bytes[3])
                    targets.push_back (prefix + std::to_string (host));
        }
        catch (const std::exception&)
        {
            // One address that cannot be expanded leaves the other networks to scan.
        }
    }
    return targets;
}

std::vector<std::string> manualScanTargets (const std::vector<bool>& enabled, const std::vector<std::string>& addresses)
{
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < enabled.size() && i < addresses.size(); ++i)
    {
        std::string validated;
        boost::asio::ip::address_v4::bytes_type bytes;
        if (! enabled[i] || ! parseValidated (addresses[i], validated, bytes))
            continue;
        if (bytes[3] == 0 || bytes[3] == 255)
            continue;
        if (std::find (targets.begin(), targets.end(), validated) == targets.end())
            targets.push_back (validated);
    }
    return targets;
}
