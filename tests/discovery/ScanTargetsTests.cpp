#include "discovery/ScanTargets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

TEST (ScanTargets, AutomaticOneNetworkWithoutTheOwnAddress)
{
    const auto targets = automaticScanTargets ({ "192.168.1.20" });
    ASSERT_EQ (targets.size(), 253u);

    std::vector<std::string> expected;
    for (int host = 1; host <= 254; ++host)
        if (host != 20)
            expected.push_back ("192.168.1." + std::to_string (host));
    EXPECT_EQ (targets, expected);
}

TEST (ScanTargets, AutomaticTwoAddressesInOneNetwork)
{
    const auto targets = automaticScanTargets ({ "10.0.0.5", "10.0.0.7" });
    ASSERT_EQ (targets.size(), 506u);

    std::map<std::string, int> times;
    for (const auto& target : targets)
        ++times[target];
    EXPECT_EQ (times.size(), 254u);
    EXPECT_EQ (times["10.0.0.5"], 1);
    EXPECT_EQ (times["10.0.0.7"], 1);
    EXPECT_EQ (times["10.0.0.1"], 2);
    EXPECT_EQ (times["10.0.0.254"], 2);
    EXPECT_EQ (times.count ("10.0.0.0"), 0u);
    EXPECT_EQ (times.count ("10.0.0.255"), 0u);

    // The first address's network comes whole, then the second's.
    EXPECT_EQ (targets[252], "10.0.0.254");
    EXPECT_EQ (targets[253], "10.0.0.1");
}

TEST (ScanTargets, AutomaticSkipsUnusableLocalAddresses)
{
    const auto targets = automaticScanTargets ({ "not an address", "172.16.4.009", "", "300.1.1.1" });
    ASSERT_EQ (targets.size(), 253u);
    EXPECT_EQ (targets.front(), "172.16.4.1");
    EXPECT_EQ (std::count (targets.begin(), targets.end(), "172.16.4.9"), 0);
    EXPECT_TRUE (automaticScanTargets ({}).empty());
}

TEST (ScanTargets, Manual)
{
    struct Case
    {
        const char* what;
        std::vector<bool> enabled;
        std::vector<std::string> addresses;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases {
        { "the four-address example",
          { true, true, true, false },
          { "10.10.251.1", "10.10.251.255", "010.10.251.001", "10.10.251.4" },
          { "10.10.251.1" } },
        { "canonical form, order kept",
          { true, true, true },
          { "10.10.251.009", "10.10.251.3", " 10.10.251.5" },
          { "10.10.251.9", "10.10.251.3" } },
        { "network addresses and invalid text",
          { true, true, true, true },
          { "10.10.251.0", "0.0.0.0", "10.10.251", "" },
          {} },
        { "extra flags ignored",
          { true, true, true, true, true, true },
          { "10.10.251.1", "10.10.251.2" },
          { "10.10.251.1", "10.10.251.2" } },
        { "extra addresses ignored",
          { false, true },
          { "10.10.251.1", "10.10.251.2", "10.10.251.3" },
          { "10.10.251.2" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (manualScanTargets (c.enabled, c.addresses), c.expected) << c.what;
}
