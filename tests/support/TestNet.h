#pragma once

#include <string>

namespace testnet
{
// A loopback address of this test process's own: 127.H.L.(index + 1), where H.L comes
// from the process id, so that tests running side by side never share an address.
// index: 0 to 253.
std::string loopbackAddress (int index);

// True when the process sees no network interface but loopback ones, that is inside a
// private network namespace where nothing can leave the machine.
bool insidePrivateNamespace();

// The message a test prints when it skips for want of a private namespace.
const char* namespaceSkipReason();
}

// Skips the calling test unless it runs inside a private network namespace.
#define ZORV_REQUIRE_PRIVATE_NAMESPACE()                                  \
    do {                                                                  \
        if (! testnet::insidePrivateNamespace())                          \
            GTEST_SKIP() << testnet::namespaceSkipReason();              \
    } while (false)
