#include "discovery/LocalAddresses.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

namespace
{
// What resolving the computer's own name gives, asked of Winsock directly.
std::vector<std::string> hostNameAddresses()
{
    WSADATA data {};
    if (::WSAStartup (MAKEWORD (2, 2), &data) != 0)
        return {};

    std::vector<std::string> addresses;
    char name[256] {};
    addrinfo hints {};
    hints.ai_family = AF_INET;
    addrinfo* list = nullptr;
    if (::gethostname (name, sizeof (name)) == 0 && ::getaddrinfo (name, nullptr, &hints, &list) == 0)
    {
        for (auto* entry = list; entry != nullptr; entry = entry->ai_next)
        {
            char text[INET_ADDRSTRLEN] {};
            const auto* address = reinterpret_cast<const sockaddr_in*> (entry->ai_addr);
            if (::inet_ntop (AF_INET, &address->sin_addr, text, sizeof (text)) != nullptr)
                addresses.emplace_back (text);
        }
        ::freeaddrinfo (list);
    }
    ::WSACleanup();
    return addresses;
}
}

// On Windows the addresses come from a lookup of the computer's own name.
TEST (LocalAddresses, AreThoseOfTheHostName)
{
    testfolders::TemporaryHome home;
    EXPECT_EQ (getLocalIPv4Addresses(), usableLocalAddresses (hostNameAddresses()));
}
