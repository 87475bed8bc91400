#pragma once

// The two-digit reader of Intel HEX text. It stands alone, needing nothing but the
// language, so that the fuzz build compiles it instrumented with the image walk.

#include <cstdint>

// Two hexadecimal digits of either case; false, with value untouched, for anything else.
bool parseHexByte (const char* digits, uint8_t& value);
