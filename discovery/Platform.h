#pragma once

#include <string>
#include <vector>

// Where the discovery meets the operating system.
namespace platform
{
    // The IPv4 addresses of the interfaces that are up and running (connected), as dotted
    // quads, in the system's order; loopback ones included. Empty when the interfaces cannot
    // be listed. On Windows, the addresses the computer's host name resolves to.
    std::vector<std::string> interfaceIPv4Addresses();

    // Lets the process open as many files as the system allows it (the soft limit raised
    // to the hard one): a scan holds one socket per probe, hundreds per local network.
    // Acts on the first call only; nothing to do on Windows.
    void raiseOpenFileLimit();
}
