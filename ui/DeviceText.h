#pragma once

#include "discovery/DiscoveryTypes.h"

#include <juce_core/juce_core.h>

#include <string>

// Texts the window shows from bytes that came off the network: nothing here trusts them.

// Bytes that should be UTF-8 as text: well-formed UTF-8 reads as such, anything else
// reads byte by byte as Latin-1, so that no byte sequence can break the text.
juce::String textFromBytes (const std::string& bytes);

// The device's name: its name field up to the first zero byte, never past the field, read
// as textFromBytes reads it. Control characters show as blanks, so that a name keeps to
// one line.
juce::String deviceNameForDisplay (const DeviceRecord& record);

// The display name of a device type in the device-type table; empty for a number that
// has no row there.
juce::String deviceTypeDisplayName (int32_t deviceType);

// Whether the bytes are well-formed UTF-8: shortest forms only, no surrogates, nothing
// above U+10FFFF.
bool isWellFormedUtf8 (const std::string& bytes);
