#pragma once

// The addresses a scan probes, built before its first pass.

#include <string>
#include <vector>

// Every host 1 to 254 of each local address's /24 network except that address itself,
// network by network in the order given. Two local addresses in one network give its
// hosts twice. A local address that is no IPv4 address is skipped.
std::vector<std::string> automaticScanTargets (const std::vector<std::string>& localAddresses);

// The enabled addresses (flags past the end of the address list are ignored) that are
// valid, end neither in 0 nor in 255, in canonical form, each once, in their order.
std::vector<std::string> manualScanTargets (const std::vector<bool>& enabled, const std::vector<std::string>& addresses);
