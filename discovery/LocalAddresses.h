#pragma once

#include <string>
#include <vector>

// The computer's own IPv4 addresses as dotted quads, loopback ones left out, each once,
// in the system's order. Logs "No IPs assigned to this computer!" when none is left.
std::vector<std::string> getLocalIPv4Addresses();

// The same rules applied to a list of candidate addresses: 127/8 and text that is no
// IPv4 address are dropped, repeats are dropped, the order is kept, and an empty result
// is logged.
std::vector<std::string> usableLocalAddresses (const std::vector<std::string>& candidates);
