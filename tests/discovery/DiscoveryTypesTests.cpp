#include "discovery/DiscoveryTypes.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<uint8_t> bytesOf (const uint8_t* data, std::size_t size)
{
    return std::vector<uint8_t> (data, data + size);
}

std::vector<uint8_t> header (uint8_t length, uint8_t command, uint16_t parameter)
{
    return { length, 0x00, 0x00, 0x00, 0xED, 0xAC, 0xEF, 0x0D,
             command, 0x00, (uint8_t) parameter, (uint8_t) (parameter >> 8) };
}
}

TEST (DeviceRequests, DiscoverAndIdentifyBytes)
{
    const auto discover = makeDiscoverRequest();
    EXPECT_EQ (bytesOf (discover.data(), discover.size()),
               (std::vector<uint8_t> { 0, 0, 0, 0, 0xED, 0xAC, 0xEF, 0x0D, 0, 0, 0xFF, 0xFF }));

    for (const uint16_t parameter : { 0, 8, 0x1234 })
    {
        const auto identify = makeIdentifyRequest (parameter);
        EXPECT_EQ (bytesOf (identify.data(), identify.size()), header (0, 2, parameter));
    }
}

TEST (DeviceRequests, SetUserNameCutsToThirtyBytesAndEndsInZero)
{
    const std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    struct Case { std::string name; std::string sent; };
    for (const auto& c : { Case { forty, forty.substr (0, 30) },
                           Case { forty.substr (0, 31), forty.substr (0, 30) },
                           Case { forty.substr (0, 30), forty.substr (0, 30) },
                           Case { "Stage", "Stage" },
                           Case { "", "" } })
    {
        const auto request = makeSetUserNameRequest (c.name, 3);
        auto expected = header (31, 1, 3);
        expected.insert (expected.end(), c.sent.begin(), c.sent.end());
        expected.resize (43, 0);
        EXPECT_EQ (bytesOf (request.data(), request.size()), expected) << "name: " << c.name;
    }
}

TEST (DeviceRecordName, ReadStopsAtZeroAndNeverPassesTheField)
{
    DeviceRecord record {};
    record.deviceName.fill ('N');
    record.macAddress.fill ('M');
    EXPECT_EQ (deviceNameText (record), std::string (31, 'N'));

    record.deviceName[5] = 0;
    EXPECT_EQ (deviceNameText (record), "NNNNN");

    record.deviceName.fill (0);
    EXPECT_EQ (deviceNameText (record), "");
}
