#include "updater/HexByte.h"

namespace
{
    int hexDigit (char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    }
}

bool parseHexByte (const char* digits, uint8_t& value)
{
    const int high = hexDigit (digits[0]);
    const int low = hexDigit (digits[1]);
    if (high < 0 || low < 0)
        return false;

    value = (uint8_t) (high * 16 + low);
    return true;
}
