#include "updater/ZorvUpdater.h"
#include "updater/DeviceMessages.h"

#include "comms/BoostSocketTCP.h"
#include "discovery/AddressText.h"

#include <algorithm>
#include <cstring>

bool ZorvUpdater::readWriteGenTags (const DeviceRecord& record, const PanelAddress& address, uint8_t subCommand,
                                    TagBytes& reply, int connectTimeoutMs, int replyTimeoutMs)
{
    return exchangeTag (record, tagMessage::generalTag (address, subCommand), tagMessage::generalReplyExpected (subCommand),
                        "ZorvUpdater: readWriteGenTags", reply, connectTimeoutMs, replyTimeoutMs)
        == DeviceResult::Success;
}

bool ZorvUpdater::readWriteDownloadTags (const DeviceRecord& record, uint8_t tagId, const PanelAddress& address,
                                         uint8_t dataLength, uint8_t firstByte, uint8_t secondByte,
                                         const ProgramBlock* block, TagBytes& reply,
                                         int connectTimeoutMs, int replyTimeoutMs)
{
    return downloadExchange (record, tagId, address, dataLength, firstByte, secondByte, block, reply,
                             connectTimeoutMs, replyTimeoutMs)
        == DeviceResult::Success;
}

DeviceResult ZorvUpdater::downloadExchange (const DeviceRecord& record, uint8_t tagId, const PanelAddress& address,
                                            uint8_t dataLength, uint8_t firstByte, uint8_t secondByte,
                                            const ProgramBlock* block, TagBytes& reply,
                                            int connectTimeoutMs, int replyTimeoutMs)
{
    if (! tagMessage::downloadRequestValid (dataLength, block))
        return DeviceResult::TransportFailed;

    return exchangeTag (record, tagMessage::downloadTag (tagId, address, dataLength, firstByte, secondByte, block),
                        tagMessage::downloadReplyExpected (tagId, firstByte, secondByte),
                        "ZorvUpdater: readWriteDownloadTags", reply, connectTimeoutMs, replyTimeoutMs);
}

// One connection per exchange: the link is dropped, and so closed, on every way out.
DeviceResult ZorvUpdater::exchangeTag (const DeviceRecord& record, const TagBytes& requestTag, bool replyExpected,
                                       const char* linkName, TagBytes& reply, int connectTimeoutMs, int replyTimeoutMs)
{
    constexpr auto failed = DeviceResult::TransportFailed;
    try
    {
        const auto request = tagMessage::request (record.deviceType, requestTag);
        const auto attempt = aComms::attachLink (ioContext, linkName, port, ipv4BytesToText (record.ipv4Address),
                                                 connectTimeoutMs);
        const auto& link = attempt.link;
        if (link == nullptr)
            return attempt.lackedLocalPort ? DeviceResult::NoLocalPort : failed;

        if (link->writeDataWithTimeout (request.data(), (int) request.size(), connectTimeoutMs) < (int) request.size())
            return failed;
        if (! replyExpected)
            return DeviceResult::Success;

        // The link reads into a buffer of its own and copies into this one only once the
        // whole reply is in, so a completion after a time-out never reaches this frame.
        tagMessage::Message answer {};
        if (link->readDataWithTimeout (answer.data(), (int) answer.size(), replyTimeoutMs) < (int) answer.size())
            return failed;

        const auto parameter = (uint16_t) record.deviceType;
        if (! tagMessage::headerAccepted (answer, parameter))
            return failed;

        std::copy (answer.begin() + packetHeaderSize, answer.end(), reply.begin());
        return DeviceResult::Success;
    }
    catch (const std::exception&)
    {
        return failed;
    }
}

DeviceResult ZorvUpdater::readDeviceId (const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head,
                                        int connectTimeoutMs, int replyTimeoutMs)
{
    TagBytes reply {};
    if (! readWriteDownloadTags (record, tagMessage::identityTagId, address, tagMessage::plainDataLength,
                                 tagMessage::readIdentityByte, 0, nullptr, reply, connectTimeoutMs, replyTimeoutMs))
        return DeviceResult::TransportFailed;

    head = tagMessage::head (reply);
    return tagMessage::identityResult (head, address, false);
}

DeviceResult ZorvUpdater::sendEnterBootMode (const DeviceRecord& record, const PanelAddress& address,
                                             int connectTimeoutMs, int replyTimeoutMs)
{
    TagBytes reply {};
    const bool sent = readWriteDownloadTags (record, tagMessage::identityTagId, address, tagMessage::plainDataLength,
                                             tagMessage::bootModeByte, 0, nullptr, reply, connectTimeoutMs, replyTimeoutMs);
    return sent ? DeviceResult::Success : DeviceResult::TransportFailed;
}

DeviceResult ZorvUpdater::eraseDevice (const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head,
                                       int connectTimeoutMs, int replyTimeoutMs)
{
    TagBytes reply {};
    if (! readWriteDownloadTags (record, tagMessage::identityTagId, address, tagMessage::plainDataLength,
                                 tagMessage::bootModeByte, tagMessage::eraseByte, nullptr, reply,
                                 connectTimeoutMs, replyTimeoutMs))
        return DeviceResult::TransportFailed;

    head = tagMessage::head (reply);
    return tagMessage::identityResult (head, address, true);
}

DeviceResult ZorvUpdater::programDevice (const DeviceRecord& record, const PanelAddress& address, uint8_t dataLength,
                                         const ProgramBlock& block, TagReplyHead& head,
                                         int connectTimeoutMs, int replyTimeoutMs)
{
    TagBytes reply {};
    const auto exchanged = downloadExchange (record, tagMessage::blockTagId, address, dataLength, 0, 0, &block, reply,
                                             connectTimeoutMs, replyTimeoutMs);
    if (exchanged != DeviceResult::Success)
        return exchanged;

    head = tagMessage::head (reply);
    return tagMessage::programResult (head, address);
}

DeviceResult ZorvUpdater::sendProgramComplete (const DeviceRecord& record, const PanelAddress& address,
                                               int connectTimeoutMs, int replyTimeoutMs)
{
    TagBytes reply {};
    return downloadExchange (record, tagMessage::completeTagId, address, tagMessage::plainDataLength, 0, 0, nullptr,
                             reply, connectTimeoutMs, replyTimeoutMs);
}

DeviceProbeResult ZorvUpdater::discoverDevice (const std::string& ipText, int32_t expectedDeviceType,
                                               int connectTimeoutMs, int replyTimeoutMs)
{
    try
    {
        const auto link = aComms::attachedLink (ioContext, "ZorvUpdater: discoverDevice", port, ipText, connectTimeoutMs);
        if (link == nullptr)
            return {};

        const auto request = makeDiscoverRequest();
        if (link->writeDataWithTimeout (request.data(), (int) request.size(), connectTimeoutMs) < (int) request.size())
            return {};

        probeReply::Bytes answer {};
        if (link->readDataWithTimeout (answer.data(), (int) answer.size(), replyTimeoutMs) < (int) answer.size())
            return {};
        if (! probeReply::accepted (answer, expectedDeviceType))
            return {};

        DeviceProbeResult result;
        result.found = true;
        std::memcpy (&result.record, answer.data(), answer.size());
        return result;
    }
    catch (const std::exception&)
    {
        return {};
    }
}
