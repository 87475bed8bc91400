#include "discovery/AddressText.h"

#include <boost/asio/ip/address_v4.hpp>

#include <locale>
#include <sstream>

namespace
{
bool holdsWhitespace (const std::string& text)
{
    return text.find_first_of (" \t\n\v\f\r") != std::string::npos;
}
}

std::string normaliseIPv4Text (const std::string& text)
{
    // The stream would skip blanks before each part; a typed address with blanks is a mistake.
    if (text.empty() || holdsWhitespace (text))
        return {};

    std::istringstream in (text);
    in.imbue (std::locale::classic());
    int parts[4] {};
    char dots[3] {};
    in >> parts[0] >> dots[0] >> parts[1] >> dots[1] >> parts[2] >> dots[2] >> parts[3];
    if (in.fail() || in.peek() != std::char_traits<char>::eof())
        return {};

    for (const char dot : dots)
        if (dot != '.')
            return {};

    std::string result;
    for (int i = 0; i < 4; ++i)
    {
        // Taken as unsigned, so that a negative part fails while -0 passes as 0.
        const auto value = (uint32_t) parts[i];
        if (value > 255)
            return {};
        result += (i == 0 ? "" : ".") + std::to_string (value);
    }
    return result;
}

std::string validatedIPv4Text (const std::string& text)
{
    const auto normalised = normaliseIPv4Text (text);
    if (normalised.empty())
        return {};

    boost::system::error_code error;
    boost::asio::ip::make_address_v4 (normalised, error);
    return error ? std::string() : normalised;
}

bool isUsableHostAddress (const std::string& text)
{
    const auto validated = validatedIPv4Text (text);
    if (validated.empty())
        return false;

    boost::system::error_code error;
    const auto address = boost::asio::ip::make_address_v4 (validated, error);
    if (error)
        return false;

    const auto hostOrder = address.to_uint();
    const auto lastOctet = hostOrder & 0xFF;
    return hostOrder != 0 && hostOrder != 0xFFFFFFFF && lastOctet != 0 && lastOctet != 255;
}

std::string ipv4BytesToText (const std::array<uint8_t, 4>& bytes)
{
    return std::to_string (bytes[0]) + "." + std::to_string (bytes[1]) + "."
         + std::to_string (bytes[2]) + "." + std::to_string (bytes[3]);
}

std::string macBytesToText (const std::array<uint8_t, 6>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        if (i > 0)
            text += ':';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}
