#pragma once

// Firmware files with one malformed HEX record each: what the walk must reject, shared by
// the walk's own tests and by the whole board updates that must not touch a board for them.

#include "tests/updater/ImageWalk.h"
#include "tools/hex/HexFileWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace malformedhex
{
using imagewalk::limit1024K;
using imagewalk::limit2048K;

struct Case
{
    std::string what;
    std::string record;                       // follows a valid upper half of 0x1D00
    uint32_t flashLimit = limit2048K;
    bool lastInFile = false;                  // no end-of-file record after it
};

// A record with the hexadecimal digits of the byte at index replaced by text; index 0 is
// the count, 1 and 2 the address, 3 the type, then the data, then the checksum.
inline std::string spoiled (std::string record, std::size_t index, const std::string& text)
{
    return record.replace (1 + 2 * index, text.size(), text);
}

inline std::string twoDigits (uint8_t value)
{
    const char* digits = "0123456789ABCDEF";
    return { digits[value >> 4], digits[value & 0x0F] };
}

inline std::vector<Case> malformedRecords()
{
    const testhex::HexFileWriter hex;
    const std::vector<uint8_t> sixteen (16, 0x5A);
    const auto good = hex.record (0, 0x0100, sixteen);
    const auto checksumIndex = std::size_t (4 + 16);
    // Its bytes sum to 0x100, so its checksum is 00: a checksum that is no number must
    // not pass as 0.
    const auto sumsToZero = hex.record (0, 0x0000, { 0xFC, 0x00, 0x00, 0x00 });
    // The first data byte, 00, spelt with characters that are no digits.
    const auto zeroFirst = hex.record (0, 0x0000, { 0x00, 0x11, 0x22, 0x33 });

    return {
        { "count of 50", hex.record (0, 0x0000, std::vector<uint8_t> (50, 1)) },
        { "count of 255", hex.record (0, 0x0000, std::vector<uint8_t> (255, 1)) },
        { "wrong checksum", spoiled (good, checksumIndex, twoDigits (uint8_t (testhex::hexRecordChecksum (0, 0x0100, sixteen) + 1))) },
        { "checksum 'ZZ' where it is 00", spoiled (sumsToZero, 8, "ZZ") },
        { "checksum with a blank", spoiled (good, checksumIndex, " 4") },
        { "data digits 'xx' read as 00", spoiled (zeroFirst, 4, "xx") },
        { "data digit 'G'", spoiled (good, 5, "G") },
        { "count digit", spoiled (good, 0, "1G") },
        { "address digit", spoiled (good, 1, "-1") },
        { "type digit", spoiled (good, 3, "0 ") },
        { "line break inside the data", spoiled (good, 6, "\n") },
        { "a new record inside the data", good.substr (0, 20) + good },
        { "colon as the last byte", ":", limit2048K, true },
        { "cut in the count", ":1", limit2048K, true },
        { "cut in the address", good.substr (0, 5), limit2048K, true },
        { "cut in the data", good.substr (0, 30), limit2048K, true },
        { "cut before the checksum", good.substr (0, good.size() - 3), limit2048K, true },
        { "cut in the checksum", good.substr (0, good.size() - 2), limit2048K, true },
        { "extended address of one byte", hex.record (4, 0, { 0x1D }) },
        { "extended address of four bytes", hex.record (4, 0, { 0x1D, 0x00, 0x00, 0x00 }) },
        { "extended address without data", hex.record (4, 0, {}) },
        { "across the window's start", hex.record (4, 0, { 0x1C, 0xFF }) + hex.record (0, 0xFFF8, sixteen) },
        { "across the 1024 KB limit", hex.record (4, 0, { 0x1D, 0x0F }) + hex.record (0, 0xFFF8, sixteen), limit1024K },
        { "across the 2048 KB limit", hex.record (4, 0, { 0x1D, 0x1F }) + hex.record (0, 0xFFF0, std::vector<uint8_t> (17, 1)) },
        { "padding across the 1024 KB limit", hex.record (4, 0, { 0x1D, 0x0F }) + hex.record (0, 0xFFFB, { 1, 2, 3, 4, 5 }),
          limit1024K },
    };
}

// The whole file of a case: the upper half 0x1D00, the case's record, and the end-of-file
// record unless the case ends the file.
inline std::string fileOf (const Case& c)
{
    const testhex::HexFileWriter hex;
    return hex.record (4, 0, { 0x1D, 0x00 }) + c.record + (c.lastInFile ? std::string() : hex.record (1, 0, {}));
}
}
