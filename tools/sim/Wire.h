#pragma once

// The device protocol's byte layout, written from offsets: every field is put in or taken
// out byte by byte, little-endian, so that no struct layout or host byte order can creep in.

#include "tools/sim/DeviceSimulator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zsim::wire
{
constexpr uint32_t magic = 0x0DEFACED;
constexpr std::size_t headerSize = 12;
constexpr std::size_t recordSize = 123;
constexpr std::size_t nameSize = 31;

constexpr uint16_t tagCommand = 3;
constexpr std::size_t tagSize = 64;

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

// Offsets inside the 64-byte tag of command 3 (message offset = 12 + tag offset).
namespace tag
{
    constexpr std::size_t length = 0;
    constexpr std::size_t id = 1;
    constexpr std::size_t ch = 2;
    constexpr std::size_t panel = 3;
    constexpr std::size_t first = 4;     // download tags: first parameter; general tag: sub-command
    constexpr std::size_t second = 5;
    constexpr std::size_t type = 6;
    constexpr std::size_t addr = 7;
    constexpr std::size_t checksum = 8;  // program block from here on
    constexpr std::size_t count = 9;
    constexpr std::size_t address = 10;
    constexpr std::size_t recordType = 14;
    constexpr std::size_t data = 15;
    constexpr std::size_t maxData = tagSize - data;

    // In a reply
    constexpr std::size_t code = 1;
    constexpr std::size_t state = 5;
    constexpr std::size_t value = 8;
}

// A command 3 request taken apart: which board, and which request when it is one the
// boards understand (none: the tag is malformed or names no known request).
struct TagRequest
{
    BoardAddress address;
    std::optional<BoardRequest> request;
    std::array<uint8_t, tagSize> tag {};
};

// Empty when the message is no whole command 3 request (its payload is not one tag).
std::optional<TagRequest> decodeTagRequest (const std::vector<uint8_t>& message);

struct TagReply
{
    uint16_t command = tagCommand;
    uint16_t parameter = 0;
    uint8_t length = 8;         // tag byte 0, the tag length: non-zero in every sound reply
    uint8_t code = 0;
    BoardAddress echo;
    uint8_t state = 0;
    uint8_t value = 0;
};

std::vector<uint8_t> encodeTagReply (const TagReply& reply);
}
