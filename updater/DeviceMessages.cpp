#include "updater/DeviceMessages.h"
#include "updater/BoardTables.h"

#include <algorithm>

namespace
{
    uint16_t read16 (const uint8_t* at)
    {
        return (uint16_t) (at[0] | (at[1] << 8));
    }

    uint32_t read32 (const uint8_t* at)
    {
        return (uint32_t) at[0] | ((uint32_t) at[1] << 8) | ((uint32_t) at[2] << 16) | ((uint32_t) at[3] << 24);
    }

    bool sectionEchoed (const TagReplyHead& head, const PanelAddress& address)
    {
        return head.marker != 0 && head.Ch == address.Ch && head.Panel == address.Panel;
    }

    bool boardEchoed (const TagReplyHead& head, const PanelAddress& address)
    {
        return head.Type == address.Type && head.Addr == address.Addr;
    }

    TagBytes addressedTag (uint8_t length, uint8_t id, const PanelAddress& address, uint8_t first, uint8_t second)
    {
        TagBytes tag {};
        tag[0] = length;
        tag[1] = id;
        tag[2] = address.Ch;
        tag[3] = address.Panel;
        tag[4] = first;
        tag[5] = second;
        tag[6] = address.Type;
        tag[7] = address.Addr;
        return tag;
    }
}

namespace tagMessage
{
Message request (int32_t deviceType, const TagBytes& tag)
{
    Message message {};
    putPacketHeader (message.data(), (uint32_t) tag.size(), command, (uint16_t) deviceType);
    std::copy (tag.begin(), tag.end(), message.begin() + packetHeaderSize);
    return message;
}

TagBytes generalTag (const PanelAddress& address, uint8_t subCommand)
{
    return addressedTag (8, generalTagId, address, subCommand, 2);
}

TagBytes downloadTag (uint8_t tagId, const PanelAddress& address, uint8_t dataLength,
                      uint8_t firstByte, uint8_t secondByte, const ProgramBlock* block)
{
    auto tag = addressedTag ((uint8_t) (4 + dataLength), tagId, address, firstByte, secondByte);
    if (tagId == blockTagId && block != nullptr)
    {
        tag[8] = block->checksum;
        tag[9] = block->count;
        std::copy (block->address.begin(), block->address.end(), tag.begin() + 10);
        tag[14] = block->recordType;
        std::copy_n (block->data.begin(), block->count, tag.begin() + 15);
    }
    return tag;
}

bool downloadRequestValid (uint8_t dataLength, const ProgramBlock* block)
{
    if (block == nullptr)
        return dataLength <= plainDataLength;
    return block->count >= 1 && block->count <= ProgramBlock::maxCount && dataLength == block->count + blockHeadLength;
}

bool generalReplyExpected (uint8_t subCommand)
{
    return subCommand != resetSubCommand;
}

bool downloadReplyExpected (uint8_t tagId, uint8_t firstByte, uint8_t secondByte)
{
    if (tagId == blockTagId)
        return true;
    if (tagId != identityTagId)
        return false;
    return firstByte == readIdentityByte || (firstByte == bootModeByte && secondByte == eraseByte);
}

bool headerAccepted (const Message& reply, uint16_t requestParameter)
{
    const uint16_t parameter = read16 (reply.data() + 10);
    const bool parameterMatches = requestParameter == deviceTypeCount ? parameter < deviceTypeCount
                                                                      : parameter == requestParameter;
    return read32 (reply.data() + 4) == packetMagic && read16 (reply.data() + 8) == command && parameterMatches;
}

TagReplyHead head (const TagBytes& tag)
{
    return { tag[0], tag[1], tag[2], tag[3], tag[4], tag[5], tag[6], tag[7], tag[8] };
}

DeviceResult identityResult (const TagReplyHead& head, const PanelAddress& address, bool erase)
{
    if (head.code != tagCode::identity || ! sectionEchoed (head, address))
        return DeviceResult::InvalidHeader;
    if (! boardEchoed (head, address))
        return DeviceResult::WrongDevice;
    if (erase && head.state != tagCode::erased)
        return DeviceResult::EraseFailed;
    return DeviceResult::Success;
}

DeviceResult programResult (const TagReplyHead& head, const PanelAddress& address)
{
    if (head.code == tagCode::blockChecksumError)
        return DeviceResult::DownloadError;
    if (head.code != tagCode::blockAccepted)
        return DeviceResult::DownloadInvalidResponse;
    if (! sectionEchoed (head, address))
        return DeviceResult::InvalidHeader;
    if (! boardEchoed (head, address))
        return DeviceResult::WrongDevice;
    return DeviceResult::Success;
}

uint8_t processorVariant (const TagBytes& tag, const PanelAddress& address)
{
    const auto reply = head (tag);
    const bool valid = reply.code == tagCode::processor && sectionEchoed (reply, address)
                    && boardEchoed (reply, address) && reply.value < enPICTypes_Max;
    return valid ? reply.value : (uint8_t) enPICTypes_Max;
}
}

namespace probeReply
{
bool accepted (const Bytes& reply, int32_t expectedDeviceType)
{
    const int32_t deviceType = (int32_t) read32 (reply.data() + 12);
    return read32 (reply.data() + 4) == packetMagic
        && read16 (reply.data() + 8) == enCommandDiscover
        && read16 (reply.data() + 10) < deviceTypeCount
        && deviceType >= 0 && deviceType < deviceTypeCount
        && deviceType == expectedDeviceType;
}
}
