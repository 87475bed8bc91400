#include "discovery/Platform.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/resource.h>

#include <mutex>

namespace platform
{
std::vector<std::string> interfaceIPv4Addresses()
{
    std::vector<std::string> addresses;
    ifaddrs* list = nullptr;
    if (::getifaddrs (&list) != 0)
        return addresses;

    for (auto* entry = list; entry != nullptr; entry = entry->ifa_next)
    {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_UP) == 0)
            continue;

        char text[INET_ADDRSTRLEN] {};
        const auto* address = reinterpret_cast<const sockaddr_in*> (entry->ifa_addr);
        if (::inet_ntop (AF_INET, &address->sin_addr, text, sizeof (text)) != nullptr)
            addresses.emplace_back (text);
    }

    ::freeifaddrs (list);
    return addresses;
}

void raiseOpenFileLimit()
{
    static std::once_flag once;
    std::call_once (once, []
    {
        rlimit limit {};
        if (::getrlimit (RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max)
        {
            limit.rlim_cur = limit.rlim_max;
            ::setrlimit (RLIMIT_NOFILE, &limit);
        }
    });
}
}
