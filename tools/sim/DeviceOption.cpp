#include "tools/sim/DeviceOption.h"

#include <boost/asio/ip/address_v4.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

namespace zsim
{
namespace
{
    bool parseInteger (const std::string& text, long long low, long long high, long long& value)
    {
        if (text.empty())
            return false;
        char* end = nullptr;
        errno = 0;
        value = std::strtoll (text.c_str(), &end, 0);
        return errno == 0 && *end == '\0' && value >= low && value <= high;
    }

    bool parseMac (const std::string& text, std::array<uint8_t, 6>& mac)
    {
        if (text.size() != 17)
            return false;
        for (std::size_t i = 0; i < mac.size(); ++i)
        {
            if (i > 0 && text[3 * i - 1] != ':')
                return false;
            long long octet = 0;
            if (! parseInteger ("0x" + text.substr (3 * i, 2), 0, 255, octet))
                return false;
            mac[i] = (uint8_t) octet;
        }
        return true;
    }

    bool parseIpv4 (const std::string& text, std::optional<std::array<uint8_t, 4>>& ipv4)
    {
        boost::system::error_code error;
        const auto address = boost::asio::ip::make_address_v4 (text, error);
        if (! error)
            ipv4 = address.to_bytes();
        return ! error;
    }

    template <typename Field>
    bool parseNumber (const std::string& text, long long low, long long high, Field& field)
    {
        long long value = 0;
        if (! parseInteger (text, low, high, value))
            return false;
        field = (Field) value;
        return true;
    }

    bool applySetting (const std::string& key, const std::string& value, DeviceIdentity& identity)
    {
        constexpr long long u32 = std::numeric_limits<uint32_t>::max();
        constexpr long long i32Low = std::numeric_limits<int32_t>::min();
        constexpr long long i32High = std::numeric_limits<int32_t>::max();

        if (key == "type")      return parseNumber (value, i32Low, i32High, identity.deviceType);
        if (key == "status")    return parseNumber (value, 0, 255, identity.statusFlag);
        if (key == "option")    return parseNumber (value, 0, u32, identity.optionWord);
        if (key == "fader")     return parseNumber (value, 0, u32, identity.motorisedFaderWord);
        if (key == "mac")       return parseMac (value, identity.mac);
        if (key == "ip")        return parseIpv4 (value, identity.ipv4);
        if (key == "name" && value.size() <= identity.name.size())
        {
            identity.name = DeviceIdentity::nameField (value);
            return true;
        }
        return false;
    }
}

std::optional<DeviceOption> parseDeviceOption (std::string_view text, std::string& error)
{
    DeviceOption option;
    std::size_t start = 0;
    while (start <= text.size())
    {
        const auto comma = std::min (text.find (',', start), text.size());
        const std::string item (text.substr (start, comma - start));
        start = comma + 1;

        if (option.address.empty())
        {
            std::optional<std::array<uint8_t, 4>> parsed;
            if (! parseIpv4 (item, parsed))
            {
                error = "not an IPv4 address: \"" + item + "\"";
                return {};
            }
            option.address = item;
            continue;
        }

        const auto equals = item.find ('=');
        if (equals == std::string::npos
            || ! applySetting (item.substr (0, equals), item.substr (equals + 1), option.identity))
        {
            error = "bad setting: \"" + item + "\"";
            return {};
        }
    }
    return option;
}
}
