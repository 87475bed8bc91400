#include "discovery/NetworkDiscovery.h"
#include "tests/discovery/SimulatedDevices.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace discoverytest;

namespace
{
std::vector<uint8_t> headerBytes (uint8_t length, uint8_t command, uint16_t parameter)
{
    return { length, 0x00, 0x00, 0x00, 0xED, 0xAC, 0xEF, 0x0D,
             command, 0x00, (uint8_t) parameter, (uint8_t) (parameter >> 8) };
}
}

TEST (DeviceCommands, DiscoverSendsTheRequestAndStoresTheWholeRecord)
{
    auto id = identity (5, "Stage Left", 0x01);
    id.statusFlag = 1;
    id.optionWord = 8;
    id.motorisedFaderWord = 1;
    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (id, address);

    NetworkDiscovery discovery;
    ASSERT_TRUE (discovery.discoverDevice (address));

    const auto requests = device->requests();
    ASSERT_EQ (requests.size(), 1u);
    EXPECT_EQ (requests[0].bytes, headerBytes (0, 0, 0xFFFF));

    const auto devices = discovery.getDevices();
    ASSERT_EQ (devices.size(), 1u);
    const auto& record = devices[0];
    EXPECT_EQ (std::memcmp (&record, device->record().data(), sizeof (DeviceRecord)), 0);
    EXPECT_EQ ((int32_t) record.deviceType, 5);
    EXPECT_EQ (deviceNameText (record), "Stage Left");
    EXPECT_EQ (record.macAddress, id.mac);
    EXPECT_EQ (record.ipv4Address, addressBytes (address));
    EXPECT_EQ (record.statusFlag, 1);
    EXPECT_EQ ((uint32_t) record.optionWord, 8u);
    EXPECT_EQ ((uint32_t) record.motorisedFaderWord, 1u);
}

// Any 123 bytes make a device; anything less stores nothing, for a rename as for a probe.
TEST (DeviceCommands, ReplyIsStoredOnlyWhenWhole)
{
    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (identity (2, "Box", 0x02), address);

    using zsim::Behaviour;
    struct Case { const char* what; zsim::ConnectionScript script; bool stored; };
    const std::vector<Case> cases {
        { "normal reply", { Behaviour::Normal }, true },
        { "reply with a corrupted header", { Behaviour::BadHeader }, true },
        { "reply followed by more bytes", { Behaviour::ExtraBytes, 60, {}, { 1, 2, 3 } }, true },
        { "100 bytes, then close", { Behaviour::ShortReplyClose, 100 }, false },
        { "close after the request", { Behaviour::CloseAfterRequest }, false },
        { "reset after the request", { Behaviour::ResetAfterRequest }, false },
        { "close after accept", { Behaviour::CloseAfterAccept }, false },
    };

    for (const bool rename : { false, true })
    {
        for (const auto& c : cases)
        {
            SCOPED_TRACE (std::string (rename ? "setUserName: " : "discoverDevice: ") + c.what);
            NetworkDiscovery discovery;
            device->scriptConnections ({ c.script });
            const bool result = rename ? discovery.setUserName (address, "Box", 2) : discovery.discoverDevice (address);
            EXPECT_EQ (result, c.stored);
            EXPECT_EQ (discovery.getDevices().size(), c.stored ? 1u : 0u);
        }
    }
}

TEST (DeviceCommands, NobodyListening)
{
    const auto address = testnet::loopbackAddress (3);
    NetworkDiscovery discovery;
    EXPECT_FALSE (discovery.discoverDevice (address));
    EXPECT_FALSE (discovery.setUserName (address, "Name", 1));
    EXPECT_FALSE (discovery.Identify (address, 1));
    EXPECT_FALSE (discovery.discoverDevice ("10.10.251"));
    EXPECT_TRUE (discovery.getDevices().empty());
}

TEST (DeviceCommands, SetUserNameSendsAtMostThirtyBytesAndAZero)
{
    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (identity (3, "Old", 0x03), address);
    const std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";

    struct Case { std::string name; std::string sent; };
    for (const auto& c : { Case { forty, forty.substr (0, 30) }, Case { "", "" } })
    {
        SCOPED_TRACE ("name: \"" + c.name + "\"");
        NetworkDiscovery discovery;
        const auto before = device->requests().size();
        ASSERT_TRUE (discovery.setUserName (address, c.name, 3));

        auto expected = headerBytes (31, 1, 3);
        expected.insert (expected.end(), c.sent.begin(), c.sent.end());
        expected.resize (43, 0);
        const auto requests = device->requests();
        ASSERT_EQ (requests.size(), before + 1);
        EXPECT_EQ (requests.back().bytes, expected);

        const auto devices = discovery.getDevices();
        ASSERT_EQ (devices.size(), 1u);
        EXPECT_EQ (deviceNameText (devices[0]), c.sent);
    }
}

TEST (DeviceCommands, IdentifySendsItsRequestAndStoresNothing)
{
    const auto address = testnet::loopbackAddress (0);
    const auto device = startDevice (identity (7, "Remote", 0x04), address);

    NetworkDiscovery discovery;
    ASSERT_TRUE (discovery.Identify (address, 7));
    ASSERT_TRUE (device->waitForRequests (1, std::chrono::seconds (5)));
    EXPECT_EQ (device->requests()[0].bytes, headerBytes (0, 2, 7));
    EXPECT_TRUE (discovery.getDevices().empty());
}

TEST (DeviceCommands, OneRecordPerMacAtTheFirstPosition)
{
    const auto first = startDevice (identity (1, "first", 0x10), testnet::loopbackAddress (0));
    const auto other = startDevice (identity (4, "other", 0x20), testnet::loopbackAddress (1));
    const auto second = startDevice (identity (1, "second", 0x10), testnet::loopbackAddress (2));

    NetworkDiscovery discovery;
    ASSERT_TRUE (discovery.discoverDevice (first->address()));
    ASSERT_TRUE (discovery.discoverDevice (other->address()));
    ASSERT_TRUE (discovery.discoverDevice (second->address()));

    const auto devices = discovery.getDevices();
    ASSERT_EQ (devices.size(), 2u);
    EXPECT_EQ (deviceNameText (devices[0]), "second");
    EXPECT_EQ (devices[0].ipv4Address, addressBytes (second->address()));
    EXPECT_EQ (deviceNameText (devices[1]), "other");
}
