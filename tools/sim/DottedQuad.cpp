#include "tools/sim/DottedQuad.h"

namespace zsim
{
std::optional<std::array<uint8_t, 4>> parseDottedQuad (const std::string& text)
{
    std::array<uint8_t, 4> bytes {};
    std::size_t position = 0;
    for (std::size_t part = 0; part < bytes.size(); ++part)
    {
        if (part > 0 && (position >= text.size() || text[position++] != '.'))
            return {};

        int value = 0;
        std::size_t digits = 0;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9' && digits < 4)
        {
            value = value * 10 + (text[position++] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return {};
        bytes[part] = (uint8_t) value;
    }
    if (position != text.size())
        return {};
    return bytes;
}
}
