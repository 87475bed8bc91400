#include "tests/support/TestNet.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <unistd.h>

#include <cstring>

namespace testnet
{
std::string loopbackAddress (int index)
{
    const auto pid = (unsigned) ::getpid();
    return "127." + std::to_string ((pid >> 8) & 0xFF) + "." + std::to_string (pid & 0xFF)
         + "." + std::to_string (index + 1);
}

bool insidePrivateNamespace()
{
    ifaddrs* list = nullptr;
    if (::getifaddrs (&list) != 0)
        return false;

    bool onlyLoopback = true;
    for (auto* entry = list; entry != nullptr; entry = entry->ifa_next)
        if ((entry->ifa_flags & IFF_LOOPBACK) == 0)
            onlyLoopback = false;

    ::freeifaddrs (list);
    return onlyLoopback;
}

const char* namespaceSkipReason()
{
    return "this test reaches addresses outside 127/8 and runs only inside a private network "
           "namespace (run it through scripts/test, which makes one)";
}
}
