#include "updater/DeviceMessages.h"
#include "tests/updater/EngineFixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace enginetest;

namespace
{
std::vector<uint8_t> bytesOf (const tagMessage::Message& message)
{
    return { message.begin(), message.end() };
}

TagBytes replyTag (std::vector<uint8_t> head)
{
    TagBytes tag {};
    std::copy (head.begin(), head.end(), tag.begin());
    return tag;
}

// A reply header: magic, command and parameter as given.
tagMessage::Message replyHeader (uint32_t magic, uint16_t command, uint16_t parameter)
{
    tagMessage::Message reply {};
    reply[0] = 64;
    for (int i = 0; i < 4; ++i)
        reply[(size_t) (4 + i)] = (uint8_t) (magic >> (8 * i));
    reply[8] = (uint8_t) command;
    reply[9] = (uint8_t) (command >> 8);
    reply[10] = (uint8_t) parameter;
    reply[11] = (uint8_t) (parameter >> 8);
    return reply;
}

ProgramBlock blockOf (uint8_t count)
{
    ProgramBlock block;
    block.checksum = 0xC5;
    block.count = count;
    block.address = { 0x10, 0x20, 0x00, 0x1D };
    block.recordType = 0;
    for (uint8_t i = 0; i < count; ++i)
        block.data[i] = (uint8_t) (0xA0 + i);
    return block;
}
}

// Ch goes before Panel on the wire: board 19 has Ch 3 and Panel 4.
TEST (TagRequests, BytesForTheMasterFaderBoard)
{
    using namespace tagMessage;
    const auto& a = masterFaders;

    EXPECT_EQ (bytesOf (request (0, generalTag (a, processorSubCommand))), tagRequest (0, { 8, 8, 3, 4, 44, 2, 9, 0 }));
    EXPECT_EQ (bytesOf (request (0, generalTag (a, resetSubCommand))), tagRequest (0, { 8, 8, 3, 4, 2, 2, 9, 0 }));
    EXPECT_EQ (bytesOf (request (0, downloadTag (4, a, 4, 0x55, 0, nullptr))), tagRequest (0, { 8, 4, 3, 4, 0x55, 0, 9, 0 }));
    EXPECT_EQ (bytesOf (request (0, downloadTag (4, a, 4, 0xAA, 0, nullptr))), tagRequest (0, { 8, 4, 3, 4, 0xAA, 0, 9, 0 }));
    EXPECT_EQ (bytesOf (request (0, downloadTag (4, a, 4, 0xAA, 'X', nullptr))), tagRequest (0, { 8, 4, 3, 4, 0xAA, 0x58, 9, 0 }));
    EXPECT_EQ (bytesOf (request (0, downloadTag (6, a, 4, 0, 0, nullptr))), tagRequest (0, { 8, 6, 3, 4, 0, 0, 9, 0 }));

    const auto block = blockOf (5);
    EXPECT_EQ (bytesOf (request (0, downloadTag (5, a, 16, 0, 0, &block))),
               tagRequest (0, { 20, 5, 3, 4, 0, 0, 9, 0, 0xC5, 5, 0x10, 0x20, 0x00, 0x1D, 0, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4 }));
}

TEST (TagRequests, ParameterIsTheLowHalfOfTheDeviceType)
{
    const auto tag = tagMessage::generalTag ({ 0, 0, 1, 0 }, 44);
    EXPECT_EQ (bytesOf (tagMessage::request (7, tag)), tagRequest (7, { 8, 8, 0, 0, 44, 2, 1, 0 }));
    EXPECT_EQ (bytesOf (tagMessage::request (0x12345, tag)), tagRequest (0x2345, { 8, 8, 0, 0, 44, 2, 1, 0 }));
}

// With 49 data bytes the block ends exactly at the tag's last byte.
TEST (TagRequests, FullBlockFillsTheTag)
{
    const auto block = blockOf (49);
    const auto tag = tagMessage::downloadTag (5, masterFaders, 60, 0, 0, &block);
    EXPECT_EQ (tag[0], 64);
    EXPECT_EQ (tag[15], 0xA0);
    EXPECT_EQ (tag[63], 0xA0 + 48);
}

// Ids 4 and 6 carry no block even when one is handed in; the bytes of a block beyond its
// count are never sent.
TEST (TagRequests, OnlyTheBlockTagCarriesBlockBytes)
{
    auto block = blockOf (3);
    block.data[3] = 0xEE;
    const auto identity = tagMessage::downloadTag (4, masterFaders, 4, 0x55, 0, &block);
    EXPECT_EQ (std::count (identity.begin() + 8, identity.end(), 0), 56);

    const auto program = tagMessage::downloadTag (5, masterFaders, 14, 0, 0, &block);
    EXPECT_EQ (program[17], 0xA2);
    EXPECT_EQ (program[18], 0);
}

TEST (TagRequests, DownloadRequestsThatCannotBeSentWhole)
{
    struct Case { int count; int dataLength; bool valid; };
    for (const auto& c : { Case { 1, 12, true }, Case { 16, 27, true }, Case { 49, 60, true },
                           Case { 0, 11, false }, Case { 0, 0, false },
                           Case { 50, 61, false }, Case { 60, 64, false }, Case { 255, 10, false },
                           Case { 16, 26, false }, Case { 16, 28, false }, Case { 16, 64, false },
                           Case { 1, 65, false } })
    {
        auto block = blockOf (0);
        block.count = (uint8_t) c.count;
        EXPECT_EQ (tagMessage::downloadRequestValid ((uint8_t) c.dataLength, &block), c.valid)
            << "count " << c.count << ", data length " << c.dataLength;
    }

    for (int length = 0; length <= 4; ++length)
        EXPECT_TRUE (tagMessage::downloadRequestValid ((uint8_t) length, nullptr)) << length;
    EXPECT_FALSE (tagMessage::downloadRequestValid (5, nullptr));
    EXPECT_FALSE (tagMessage::downloadRequestValid (64, nullptr));
}

TEST (TagRequests, WhichRequestsAreAnswered)
{
    EXPECT_FALSE (tagMessage::generalReplyExpected (2));
    EXPECT_TRUE (tagMessage::generalReplyExpected (44));
    EXPECT_TRUE (tagMessage::generalReplyExpected (0));

    struct Case { uint8_t id, first, second; bool answered; };
    for (const auto& c : { Case { 4, 0x55, 0, true }, Case { 4, 0x55, 'X', true },
                           Case { 4, 0xAA, 'X', true }, Case { 4, 0xAA, 0, false }, Case { 4, 0xAA, 'Y', false },
                           Case { 4, 0, 0, false }, Case { 5, 0, 0, true }, Case { 6, 0, 0, false } })
        EXPECT_EQ (tagMessage::downloadReplyExpected (c.id, c.first, c.second), c.answered)
            << (int) c.id << " " << (int) c.first << " " << (int) c.second;
}

TEST (TagReplies, HeaderRules)
{
    using tagMessage::headerAccepted;
    EXPECT_TRUE (headerAccepted (replyHeader (0x0DEFACED, 3, 0), 0));
    EXPECT_TRUE (headerAccepted (replyHeader (0x0DEFACED, 3, 4), 4));
    EXPECT_FALSE (headerAccepted (replyHeader (0x0DEFACED, 3, 1), 0));
    EXPECT_FALSE (headerAccepted (replyHeader (0x0DEFACED, 0, 0), 0));
    EXPECT_FALSE (headerAccepted (replyHeader (0x0DEFACEE, 3, 0), 0));
    EXPECT_FALSE (headerAccepted (replyHeader (0xEDACEF0D, 3, 0), 0));

    for (uint16_t parameter = 0; parameter <= 8; ++parameter)
        EXPECT_TRUE (headerAccepted (replyHeader (0x0DEFACED, 3, parameter), 9)) << parameter;
    for (const uint16_t parameter : { 9, 10, 0x100, 0xFFFF })
        EXPECT_FALSE (headerAccepted (replyHeader (0x0DEFACED, 3, parameter), 9)) << parameter;
    EXPECT_TRUE (headerAccepted (replyHeader (0x0DEFACED, 3, 10), 10)) << "only 9 is widened";
}

TEST (TagReplies, IdentityAndEraseResults)
{
    const auto a = masterFaders;
    struct Case { std::vector<uint8_t> head; DeviceResult identity; DeviceResult erase; };
    const std::vector<Case> cases =
    {
        { { 1, 'j', 3, 4, 0, 'Y', 9, 0, 7 }, DeviceResult::Success, DeviceResult::Success },
        { { 1, 'j', 3, 4, 0, 'V', 9, 0, 7 }, DeviceResult::Success, DeviceResult::EraseFailed },
        { { 0, 'j', 3, 4, 0, 'Y', 9, 0, 7 }, DeviceResult::InvalidHeader, DeviceResult::InvalidHeader },
        { { 1, 'k', 3, 4, 0, 'Y', 9, 0, 7 }, DeviceResult::InvalidHeader, DeviceResult::InvalidHeader },
        { { 1, 'j', 4, 3, 0, 'Y', 9, 0, 7 }, DeviceResult::InvalidHeader, DeviceResult::InvalidHeader },
        { { 1, 'j', 3, 4, 0, 'Y', 11, 0, 7 }, DeviceResult::WrongDevice, DeviceResult::WrongDevice },
        { { 1, 'j', 3, 4, 0, 'Y', 9, 1, 7 }, DeviceResult::WrongDevice, DeviceResult::WrongDevice },
        { { 1, 'j', 3, 4, 0, 'V', 11, 0, 7 }, DeviceResult::WrongDevice, DeviceResult::WrongDevice },
        { { 1, 'k', 3, 4, 0, 'V', 11, 0, 7 }, DeviceResult::InvalidHeader, DeviceResult::InvalidHeader },
    };
    for (const auto& c : cases)
    {
        const auto head = tagMessage::head (replyTag (c.head));
        EXPECT_EQ (tagMessage::identityResult (head, a, false), c.identity) << ::testing::PrintToString (c.head);
        EXPECT_EQ (tagMessage::identityResult (head, a, true), c.erase) << ::testing::PrintToString (c.head);
    }
}

TEST (TagReplies, ProgramResults)
{
    const auto a = masterFaders;
    struct Case { std::vector<uint8_t> head; DeviceResult result; };
    const std::vector<Case> cases =
    {
        { { 1, 'k', 3, 4, 0, 0, 9, 0 }, DeviceResult::Success },
        { { 1, 'm', 3, 4, 0, 0, 9, 0 }, DeviceResult::DownloadError },
        { { 0, 'm', 0, 0, 0, 0, 0, 0 }, DeviceResult::DownloadError },
        { { 1, 'j', 3, 4, 0, 0, 9, 0 }, DeviceResult::DownloadInvalidResponse },
        { { 0, 'j', 4, 3, 0, 0, 9, 0 }, DeviceResult::DownloadInvalidResponse },
        { { 0, 'k', 3, 4, 0, 0, 9, 0 }, DeviceResult::InvalidHeader },
        { { 1, 'k', 4, 3, 0, 0, 9, 0 }, DeviceResult::InvalidHeader },
        { { 1, 'k', 3, 4, 0, 0, 9, 1 }, DeviceResult::WrongDevice },
        { { 1, 'k', 3, 4, 0, 0, 11, 0 }, DeviceResult::WrongDevice },
    };
    for (const auto& c : cases)
        EXPECT_EQ (tagMessage::programResult (tagMessage::head (replyTag (c.head)), a), c.result)
            << ::testing::PrintToString (c.head);
}

TEST (TagReplies, ProcessorVariant)
{
    const auto a = masterFaders;
    struct Case { std::vector<uint8_t> head; int variant; };
    const std::vector<Case> cases =
    {
        { { 1, 'o', 3, 4, 0, 0, 9, 0, 2 }, 2 },
        { { 1, 'o', 3, 4, 0, 0, 9, 0, 0 }, 0 },
        { { 1, 'o', 3, 4, 0, 0, 9, 0, 11 }, 11 },
        { { 1, 'o', 3, 4, 0, 0, 9, 0, 12 }, 12 },
        { { 1, 'o', 3, 4, 0, 0, 9, 0, 200 }, 12 },
        { { 1, 'j', 3, 4, 0, 0, 9, 0, 2 }, 12 },
        { { 0, 'o', 3, 4, 0, 0, 9, 0, 2 }, 12 },
        { { 1, 'o', 4, 3, 0, 0, 9, 0, 2 }, 12 },
        { { 1, 'o', 3, 4, 0, 0, 11, 0, 2 }, 12 },
        { { 1, 'o', 3, 4, 0, 0, 9, 1, 2 }, 12 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (tagMessage::processorVariant (replyTag (c.head), a), c.variant) << ::testing::PrintToString (c.head);
}

TEST (ProbeReplies, AcceptedOnlyForTheDeviceBeingWorkedOn)
{
    const auto reply = [] (uint32_t magic, uint16_t command, uint16_t parameter, int32_t deviceType)
    {
        probeReply::Bytes bytes {};
        const auto header = replyHeader (magic, command, parameter);
        std::copy (header.begin(), header.begin() + 12, bytes.begin());
        for (int i = 0; i < 4; ++i)
            bytes[(size_t) (12 + i)] = (uint8_t) ((uint32_t) deviceType >> (8 * i));
        return bytes;
    };

    EXPECT_TRUE (probeReply::accepted (reply (0x0DEFACED, 0, 0, 0), 0));
    EXPECT_TRUE (probeReply::accepted (reply (0x0DEFACED, 0, 8, 8), 8));
    EXPECT_TRUE (probeReply::accepted (reply (0x0DEFACED, 0, 3, 1), 1)) << "the parameter is only bounded";
    EXPECT_FALSE (probeReply::accepted (reply (0x0DEFACED, 0, 9, 0), 0));
    EXPECT_FALSE (probeReply::accepted (reply (0x0DEFACED, 0, 0xFFFF, 0), 0));
    EXPECT_FALSE (probeReply::accepted (reply (0x0DEFACED, 1, 0, 0), 0));
    EXPECT_FALSE (probeReply::accepted (reply (0x0DEFACEE, 0, 0, 0), 0));
    EXPECT_FALSE (probeReply::accepted (reply (0x0DEFACED, 0, 3, 3), 0)) << "another device type";
    EXPECT_FALSE (probeReply::accepted (reply (0x0DEFACED, 0, 3, 65539), 65539)) << "a type beyond the tables";
    EXPECT_FALSE (probeReply::accepted (reply (0x0DEFACED, 0, 0, -1), -1));
}
