#include "tools/hex/HexFileWriter.h"

#include <algorithm>
#include <stdexcept>

namespace testhex
{
namespace
{
void appendByte (std::string& text, uint8_t value, bool lowerCase)
{
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    text += digits[value >> 4];
    text += digits[value & 0x0F];
}
}

std::vector<uint8_t> randomBytes (std::mt19937& random, std::size_t count)
{
    std::uniform_int_distribution<int> byte (0, 255);
    std::vector<uint8_t> bytes (count);
    for (auto& b : bytes)
        b = static_cast<uint8_t> (byte (random));
    return bytes;
}

uint8_t hexRecordChecksum (uint8_t type, uint16_t address, const std::vector<uint8_t>& data)
{
    std::size_t sum = data.size() + (address >> 8) + (address & 0xFF) + type;
    for (auto byte : data)
        sum += byte;
    return static_cast<uint8_t> (0x100 - (sum & 0xFF));
}

std::string HexFileWriter::record (uint8_t type, uint16_t address, const std::vector<uint8_t>& data) const
{
    if (data.size() > 255)
        throw std::invalid_argument ("a HEX record holds at most 255 data bytes");

    std::string line = ":";
    appendByte (line, static_cast<uint8_t> (data.size()), lowerCase);
    appendByte (line, static_cast<uint8_t> (address >> 8), lowerCase);
    appendByte (line, static_cast<uint8_t> (address & 0xFF), lowerCase);
    appendByte (line, type, lowerCase);
    for (auto byte : data)
        appendByte (line, byte, lowerCase);
    appendByte (line, hexRecordChecksum (type, address, data), lowerCase);
    line += crlf ? "\r\n" : "\n";
    return line;
}

std::string HexFileWriter::write (const HexImage& image) const
{
    if (recordLength < 1 || recordLength > 255)
        throw std::invalid_argument ("record length must be 1 to 255");

    std::string text;
    uint32_t upperInForce = 0;
    for (const auto& [start, bytes] : image)
    {
        std::size_t offset = 0;
        while (offset < bytes.size())
        {
            const uint64_t address = uint64_t (start) + offset;
            if (address > 0xFFFFFFFFu)
                throw std::invalid_argument ("image runs past the 32-bit address space");

            const auto upper = static_cast<uint32_t> (address >> 16);
            const auto lower = static_cast<uint16_t> (address & 0xFFFF);
            if (upper != upperInForce)
            {
                text += record (4, 0, { static_cast<uint8_t> (upper >> 8), static_cast<uint8_t> (upper & 0xFF) });
                upperInForce = upper;
            }

            const auto toBoundary = std::size_t (0x10000 - lower);
            const auto length = std::min ({ std::size_t (recordLength), bytes.size() - offset, toBoundary });
            const auto first = bytes.begin() + std::ptrdiff_t (offset);
            text += record (0, lower, std::vector<uint8_t> (first, first + std::ptrdiff_t (length)));
            offset += length;
        }
    }
    text += record (1, 0, {});
    return text;
}

std::vector<uint8_t> HexFileWriter::writeBytes (const HexImage& image) const
{
    const auto text = write (image);
    return std::vector<uint8_t> (text.begin(), text.end());
}
}
