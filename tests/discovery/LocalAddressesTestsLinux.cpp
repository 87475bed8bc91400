#include "discovery/LocalAddresses.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{
bool run (const std::string& command)
{
    return std::system ((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs the check on a thread of its own in a network namespace of its own (commands it runs
// start there too), so that the interfaces it makes touch no other test. False when no
// namespace can be made here.
template <typename Check>
bool inOwnNetwork (Check check)
{
    bool entered = false;
    std::thread ([&]
    {
        entered = ::unshare (CLONE_NEWNET) == 0;
        if (entered)
            check();
    }).join();
    return entered;
}
}

// On Linux the addresses come from the interfaces: the namespace's one lies on loopback.
TEST (LocalAddresses, FindsTheNamespaceAddressOnLoopback)
{
    ZORV_REQUIRE_PRIVATE_NAMESPACE();
    testfolders::TemporaryHome home;
    EXPECT_EQ (getLocalIPv4Addresses(), (std::vector<std::string> { "10.200.0.1" }));
}

TEST (LocalAddresses, OnlyInterfacesThatAreUpAndRunning)
{
    ZORV_REQUIRE_PRIVATE_NAMESPACE();
    testfolders::TemporaryHome home;
    const auto entered = inOwnNetwork ([]
    {
        // up with its peer down: up, but no carrier, as an unplugged card
        ASSERT_TRUE (run ("ip link add zunplugged type veth peer name zunplugged1"));
        ASSERT_TRUE (run ("ip addr add 10.201.0.1/24 dev zunplugged && ip link set zunplugged up"));
        // down altogether
        ASSERT_TRUE (run ("ip link add zdown type veth peer name zdown1"));
        ASSERT_TRUE (run ("ip addr add 10.202.0.1/24 dev zdown"));
        // up with its peer up: connected
        ASSERT_TRUE (run ("ip link add zconnected type veth peer name zconnected1"));
        ASSERT_TRUE (run ("ip addr add 10.203.0.1/24 dev zconnected && ip link set zconnected1 up && ip link set zconnected up"));

        // The kernel reports the carrier of a link that came up a moment later.
        std::vector<std::string> addresses;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (10);
        while (std::chrono::steady_clock::now() < end)
        {
            addresses = getLocalIPv4Addresses();
            if (std::find (addresses.begin(), addresses.end(), "10.203.0.1") != addresses.end())
                break;
            std::this_thread::sleep_for (std::chrono::milliseconds (20));
        }
        EXPECT_EQ (addresses, (std::vector<std::string> { "10.203.0.1" }));
    });
    if (! entered)
        GTEST_SKIP() << "no network namespace of the test's own can be made here";
}
