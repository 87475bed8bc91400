#include "discovery/LocalAddresses.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

// On Linux the addresses come from the interfaces: the namespace's one lies on loopback.
TEST (LocalAddresses, FindsTheNamespaceAddressOnLoopback)
{
    ZORV_REQUIRE_PRIVATE_NAMESPACE();
    testfolders::TemporaryHome home;
    EXPECT_EQ (getLocalIPv4Addresses(), (std::vector<std::string> { "10.200.0.1" }));
}
