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

    constexpr uint8_t generalTag = 8;
    constexpr uint8_t downloadTag = 4;
    constexpr uint8_t blockTag = 5;
    constexpr uint8_t completeTag = 6;
    constexpr uint8_t plainTagLength = 8;

    bool zeroFrom (const std::array<uint8_t, tagSize>& bytes, std::size_t from)
    {
        return std::all_of (bytes.begin() + (std::ptrdiff_t) from, bytes.end(), [] (uint8_t b) { return b == 0; });
    }

    // Every tag but a program block is eight bytes long and zero after them; a block's own
    // length and content are for the board to judge.
    std::optional<BoardRequest> classify (const std::array<uint8_t, tagSize>& t)
    {
        const auto first = t[tag::first];
        const auto second = t[tag::second];
        if (t[tag::id] == blockTag && first == 0 && second == 0)
            return BoardRequest::ProgramBlock;
        if (t[tag::length] != plainTagLength || ! zeroFrom (t, tag::checksum))
            return {};

        switch (t[tag::id])
        {
            case generalTag:
                if (second == 2 && first == 44)     return BoardRequest::ProcessorQuery;
                if (second == 2 && first == 2)      return BoardRequest::Reset;
                return {};
            case downloadTag:
                if (first == 0x55 && second == 0)   return BoardRequest::IdentityRead;
                if (first == 0xAA && second == 0)   return BoardRequest::EnterBootMode;
                if (first == 0xAA && second == 'X') return BoardRequest::Erase;
                return {};
            case completeTag:
                if (first == 0 && second == 0)      return BoardRequest::ProgramComplete;
                return {};
            default:
                return {};
        }
    }
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

std::optional<TagRequest> decodeTagRequest (const std::vector<uint8_t>& message)
{
    if (message.size() != headerSize + tagSize)
        return {};

    TagRequest request;
    std::copy (message.begin() + headerSize, message.end(), request.tag.begin());
    const auto& t = request.tag;
    request.address = { t[tag::panel], t[tag::ch], t[tag::type], t[tag::addr] };
    request.request = classify (t);
    return request;
}

// On the wire Ch comes before Panel, in replies as in requests.
std::vector<uint8_t> encodeTagReply (const TagReply& reply)
{
    std::vector<uint8_t> bytes (headerSize + tagSize, 0);
    encodeHeader (bytes.data(), { (uint32_t) tagSize, magic, reply.command, reply.parameter });

    auto* t = bytes.data() + headerSize;
    t[tag::length] = reply.length;
    t[tag::code] = reply.code;
    t[tag::ch] = reply.echo.ch;
    t[tag::panel] = reply.echo.panel;
    t[tag::state] = reply.state;
    t[tag::type] = reply.echo.type;
    t[tag::addr] = reply.echo.addr;
    t[tag::value] = reply.value;
    return bytes;
}
}
