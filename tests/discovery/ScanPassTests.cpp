#include "discovery/AddressText.h"
#include "discovery/NetworkDiscovery.h"
#include "tests/discovery/SimulatedDevices.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <map>

using namespace discoverytest;
using std::chrono::steady_clock;

namespace
{
NetworkDiscovery::AddressSource ownAddress (const std::string& address)
{
    return [address] { return std::vector<std::string> { address }; };
}

std::map<std::string, DeviceRecord> byMac (const std::vector<DeviceRecord>& devices)
{
    std::map<std::string, DeviceRecord> records;
    for (const auto& record : devices)
        records.emplace (macBytesToText (record.macAddress), record);
    return records;
}
}

TEST (ScanPasses, EndsOnceEveryTargetAnswered)
{
    Completion done;
    const auto a = startDevice (identity (1, "a", 0x01), testnet::loopbackAddress (0));
    const auto b = startDevice (identity (2, "b", 0x02), testnet::loopbackAddress (1));

    auto discovery = std::make_unique<NetworkDiscovery>();
    const auto start = steady_clock::now();
    ASSERT_TRUE (discovery->startDiscovery (true, { true, true }, { a->address(), b->address() }, 4, done.callback()));
    ASSERT_TRUE (done.waitForCall());
    const auto elapsed = steady_clock::now() - start;

    EXPECT_TRUE (discovery->isIdle());
    EXPECT_EQ (discovery->getDevices().size(), 2u);
    EXPECT_EQ (a->connectionCount(), 1u);
    EXPECT_EQ (b->connectionCount(), 1u);

    // One pause before pass 2, which finds nothing to probe and ends the scan; four
    // passes would have paused three times.
    EXPECT_GE (elapsed, std::chrono::milliseconds (950));
    EXPECT_LT (elapsed, std::chrono::milliseconds (2500));

    discovery.reset();
    EXPECT_EQ (done.count(), 1);
}

TEST (ScanPasses, LaterPassesProbeOnlyWhatWasNotFound)
{
    Completion done;
    const auto steady = startDevice (identity (1, "steady", 0x01), testnet::loopbackAddress (0));
    const auto late = startDevice (identity (2, "late", 0x02), testnet::loopbackAddress (1));
    late->scriptConnections ({ zsim::ConnectionScript { zsim::Behaviour::CloseAfterRequest } });

    NetworkDiscovery discovery;
    ASSERT_TRUE (discovery.startDiscovery (true, { true, true }, { steady->address(), late->address() }, 3, done.callback()));
    ASSERT_TRUE (done.waitForCall());

    EXPECT_EQ (steady->connectionCount(), 1u);
    EXPECT_EQ (late->connectionCount(), 2u);
    const auto devices = discovery.getDevices();
    ASSERT_EQ (devices.size(), 2u);
    EXPECT_EQ (deviceNameText (devices[0]), "steady");
    EXPECT_EQ (deviceNameText (devices[1]), "late");
}

// The local address 127.H.L.1 makes 127.H.L.2-254 the targets: every one is local.
TEST (ScanPasses, AutomaticScanProbesTheOwnNetworkButNotTheOwnAddress)
{
    Completion done;
    const auto own = startDevice (identity (0, "own", 0x01), testnet::loopbackAddress (0));
    const auto low = startDevice (identity (1, "low", 0x02), testnet::loopbackAddress (1));
    const auto high = startDevice (identity (2, "high", 0x03), testnet::loopbackAddress (253));

    NetworkDiscovery discovery (ownAddress (own->address()));
    ASSERT_TRUE (discovery.startDiscovery (false, {}, {}, 2, done.callback()));
    ASSERT_TRUE (done.waitForCall());

    EXPECT_EQ (own->connectionCount(), 0u);
    EXPECT_EQ (low->connectionCount(), 1u);
    EXPECT_EQ (high->connectionCount(), 1u);

    const auto records = byMac (discovery.getDevices());
    ASSERT_EQ (records.size(), 2u);
    EXPECT_EQ (deviceNameText (records.at ("00:1a:2b:3c:4d:02")), "low");
    EXPECT_EQ (deviceNameText (records.at ("00:1a:2b:3c:4d:03")), "high");
}

TEST (ScanPasses, AutomaticScanOfTheNamespaceNetwork)
{
    ZORV_REQUIRE_PRIVATE_NAMESPACE();
    Completion done;

    struct Expected { std::string address; int32_t type; std::string name; uint8_t mac; };
    const std::vector<Expected> expected {
        { "10.200.0.2", 0, "Console", 0x11 },
        { "10.200.0.42", 1, "Stage box", 0x12 },
        { "10.200.0.99", 4, "Rack", 0x13 },
        { "10.200.0.254", 8, "Remote", 0x14 },
    };
    std::vector<std::unique_ptr<zsim::DeviceSimulator>> devices;
    for (const auto& e : expected)
        devices.push_back (startDevice (identity (e.type, e.name, e.mac), e.address));
    const auto own = startDevice (identity (0, "own", 0x10), "10.200.0.1");

    // The namespace's address as the computer's own, through the address seam: on Windows the
    // addresses come from the host name, which names no such network here.
    NetworkDiscovery discovery ([] { return std::vector<std::string> { "10.200.0.1" }; });
    ASSERT_TRUE (discovery.startDiscovery (false, {}, {}, 2, done.callback()));
    ASSERT_TRUE (done.waitForCall());

    EXPECT_EQ (own->connectionCount(), 0u);
    const auto records = byMac (discovery.getDevices());
    ASSERT_EQ (records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        const auto& record = records.at (macBytesToText (identity (0, "", expected[i].mac).mac));
        EXPECT_EQ (ipv4BytesToText (record.ipv4Address), expected[i].address);
        EXPECT_EQ ((int32_t) record.deviceType, expected[i].type);
        EXPECT_EQ (deviceNameText (record), expected[i].name);
        EXPECT_EQ (devices[i]->connectionCount(), 1u);
    }
}
