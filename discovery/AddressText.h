#pragma once

// Address text as the user types it and as the device records hold it. Nothing here
// throws: text that does not parse gives an empty text or false.

#include <array>
#include <cstdint>
#include <string>

// The canonical dotted quad (plain decimal parts, no sign, no leading zeros), or empty.
std::string normaliseIPv4Text (const std::string& text);

// The canonical dotted quad when the socket library also accepts it, or empty.
std::string validatedIPv4Text (const std::string& text);

// Whether the address may be probed as a device: valid, and neither a network (.0) nor a
// broadcast (.255) address.
bool isUsableHostAddress (const std::string& text);

// Four address bytes, first octet first, as a dotted quad.
std::string ipv4BytesToText (const std::array<uint8_t, 4>& bytes);

// Six MAC bytes as lower-case hexadecimal pairs joined by colons.
std::string macBytesToText (const std::array<uint8_t, 6>& bytes);
