#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zsim
{
// Four decimal numbers 0-255 joined by dots, nothing else. The system's own parsers differ:
// Winsock takes "10.1.2" as 10.1.0.2, which would let a mistyped address bind somewhere else.
std::optional<std::array<uint8_t, 4>> parseDottedQuad (const std::string& text);
}
