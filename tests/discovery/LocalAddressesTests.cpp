#include "discovery/LocalAddresses.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

namespace
{
juce::String logText (const testfolders::TemporaryHome& home)
{
    return home.appFolder().getChildFile ("ZorvUpdater.log").loadFileAsString();
}

const char* const noAddressLine = "] No IPs assigned to this computer!";
}

TEST (LocalAddresses, LoopbackAndRepeatsDroppedOrderKept)
{
    testfolders::TemporaryHome home;
    const auto addresses = usableLocalAddresses ({ "127.0.0.1", "192.168.1.20", "10.0.0.5", "127.12.0.9",
                                                   "192.168.1.20", "not an address", "10.0.0.7" });
    EXPECT_EQ (addresses, (std::vector<std::string> { "192.168.1.20", "10.0.0.5", "10.0.0.7" }));
    EXPECT_FALSE (logText (home).contains (noAddressLine));
}

TEST (LocalAddresses, NoneLeftIsLogged)
{
    testfolders::TemporaryHome home;
    EXPECT_TRUE (usableLocalAddresses ({ "127.0.0.1", "127.255.0.3" }).empty());
    EXPECT_TRUE (logText (home).contains (noAddressLine));
}
