#pragma once

// The device protocol's byte layout, written from offsets: every field is put in or taken
// out byte by byte, little-endian, so that no struct layout or host byte order can creep in.

#include "tools/sim/DeviceSimulator.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zsim::wire
{
constexpr uint32_t magic = 0x0DEFACED;
constexpr std::size_t headerSize = 12;
constexpr std::size_t recordSize = 123;
constexpr std::size_t nameSize = 31;

// A payload longer than this is no request of this protocol: the connection is closed.
constexpr std::size_t maxPayload = 4096;

struct Header
{
    uint32_t payloadLength = 0;
    uint32_t magic = 0;
    uint16_t command = 0;
    uint16_t parameter = 0;
};

uint16_t getU16 (const uint8_t* at);
uint32_t getU32 (const uint8_t* at);
void putU16 (uint8_t* at, uint16_t value);
void putU32 (uint8_t* at, uint32_t value);

Header decodeHeader (const uint8_t* bytes);
void encodeHeader (uint8_t* bytes, const Header& header);

// The 123-byte record; `command` is echoed in its header, the address fills bytes 54-57
// when the identity names none.
std::array<uint8_t, recordSize> encodeRecord (const DeviceIdentity& identity, uint16_t command,
                                              const std::array<uint8_t, 4>& boundAddress);
}
