#include "tools/sim/Wire.h"

#include <algorithm>

namespace zsim::wire
{
namespace
{
    // Offsets of the record's fields; every byte between them stays zero.
    constexpr std::size_t deviceTypeAt = 12;
    constexpr std::size_t nameAt = 17;
    constexpr std::size_t macAt = 48;
    constexpr std::size_t ipv4At = 54;
    constexpr std::size_t statusAt = 58;
    constexpr std::size_t optionWordAt = 75;
    constexpr std::size_t faderWordAt = 91;
}

uint16_t getU16 (const uint8_t* at)
{
    return (uint16_t) (at[0] | (at[1] << 8));
}

uint32_t getU32 (const uint8_t* at)
{
    return (uint32_t) at[0] | ((uint32_t) at[1] << 8) | ((uint32_t) at[2] << 16) | ((uint32_t) at[3] << 24);
}

void putU16 (uint8_t* at, uint16_t value)
{
    at[0] = (uint8_t) value;
    at[1] = (uint8_t) (value >> 8);
}

void putU32 (uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = (uint8_t) (value >> (8 * i));
}

Header decodeHeader (const uint8_t* bytes)
{
    return { getU32 (bytes), getU32 (bytes + 4), getU16 (bytes + 8), getU16 (bytes + 10) };
}

void encodeHeader (uint8_t* bytes, const Header& header)
{
    putU32 (bytes, header.payloadLength);
    putU32 (bytes + 4, header.magic);
    putU16 (bytes + 8, header.command);
    putU16 (bytes + 10, header.parameter);
}

std::array<uint8_t, recordSize> encodeRecord (const DeviceIdentity& identity, uint16_t command,
                                              const std::array<uint8_t, 4>& boundAddress)
{
    std::array<uint8_t, recordSize> record {};
    const auto type = (uint32_t) identity.deviceType;

    encodeHeader (record.data(), { (uint32_t) (recordSize - headerSize), magic, command, (uint16_t) type });
    putU32 (record.data() + deviceTypeAt, type);
    std::copy (identity.name.begin(), identity.name.end(), record.begin() + nameAt);
    std::copy (identity.mac.begin(), identity.mac.end(), record.begin() + macAt);

    const auto& address = identity.ipv4 ? *identity.ipv4 : boundAddress;
    std::copy (address.begin(), address.end(), record.begin() + ipv4At);

    record[statusAt] = identity.statusFlag;
    putU32 (record.data() + optionWordAt, identity.optionWord);
    putU32 (record.data() + faderWordAt, identity.motorisedFaderWord);
    return record;
}
}
