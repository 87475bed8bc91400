#pragma once

// The bytes the engine sends to a device and how it judges what comes back. Nothing here
// touches a socket.
//
// Command 3, the tag exchange with one board: a 76-byte request and, for most requests, a
// 76-byte reply of the same shape (the 12-byte packet header, then a 64-byte tag).
//
//   tag offset   0       1    2    3      4        5        6     7     8 .. 63
//   request      length  id   Ch   Panel  first    second   Type  Addr  block (id 5) or zero
//   reply        marker  code Ch   Panel  -        state    Type  Addr  value, then unread
//
// Command 0, the discover request, is also how the engine finds a device again after an
// interface board has restarted.

#include "updater/UpdaterTypes.h"

#include <array>
#include <cstdint>

namespace tagMessage
{
    constexpr std::size_t size = 76;
    constexpr uint16_t command = 3;
    constexpr uint8_t generalTagId = 8;
    constexpr uint8_t identityTagId = 4;    // read identity, enter boot mode, erase
    constexpr uint8_t blockTagId = 5;
    constexpr uint8_t completeTagId = 6;

    constexpr uint8_t resetSubCommand = 2;
    constexpr uint8_t processorSubCommand = 44;

    constexpr uint8_t readIdentityByte = 0x55;
    constexpr uint8_t bootModeByte = 0xAA;
    constexpr uint8_t eraseByte = 'X';

    // The meaningful tag bytes from offset 4 on: the four address and parameter bytes, and
    // with a block its seven head bytes and its data.
    constexpr uint8_t plainDataLength = 4;
    constexpr uint8_t blockHeadLength = 11;

    using Message = std::array<uint8_t, size>;

    // The request for the device type's parameter, around a finished tag.
    Message request (int32_t deviceType, const TagBytes& tag);

    TagBytes generalTag (const PanelAddress& address, uint8_t subCommand);

    // A download tag; the block goes in for id 5 only.
    TagBytes downloadTag (uint8_t tagId, const PanelAddress& address, uint8_t dataLength,
                          uint8_t firstByte, uint8_t secondByte, const ProgramBlock* block);

    // A block must fit the tag and its data length must describe it, or the request would
    // carry bytes from past the block; without a block only the four plain bytes may count.
    bool downloadRequestValid (uint8_t dataLength, const ProgramBlock* block);

    bool generalReplyExpected (uint8_t subCommand);
    bool downloadReplyExpected (uint8_t tagId, uint8_t firstByte, uint8_t secondByte);

    // Magic, command 3, and the request's parameter echoed; a request for parameter 9 takes
    // any device type 0-8 back.
    bool headerAccepted (const Message& reply, uint16_t requestParameter);

    TagReplyHead head (const TagBytes& replyTag);

    // Read identity and erase: marker, code 'j' and the Ch and Panel echoes first, then the
    // Type and Addr echoes, then (erase only) the erased state.
    DeviceResult identityResult (const TagReplyHead& head, const PanelAddress& address, bool erase);

    // A program block: the checksum-error code wins over everything, any other code but 'k'
    // comes next, then the same echo checks as identityResult.
    DeviceResult programResult (const TagReplyHead& head, const PanelAddress& address);

    // The processor variant in a reply to sub-command 44, or enPICTypes_Max when the reply
    // is not a valid answer from this board.
    uint8_t processorVariant (const TagBytes& replyTag, const PanelAddress& address);
}

namespace probeReply
{
    using Bytes = std::array<uint8_t, deviceRecordSize>;

    // A discover reply is taken as the device only when its header is a discover reply and
    // its record names the device type being worked on: the record's type indexes the
    // board tables later on.
    bool accepted (const Bytes& reply, int32_t expectedDeviceType);
}
