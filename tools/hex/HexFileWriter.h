#pragma once

// Intel HEX text from a memory image, for tests, benchmarks and demos that need firmware
// files whose programmed result they can compare with the image. It needs nothing but the
// standard library, so that the fuzz build can use it for its seed corpus.

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace testhex
{
// Runs of bytes keyed by their start address. Runs should not overlap; a run may cross
// 64 KiB boundaries.
using HexImage = std::map<uint32_t, std::vector<uint8_t>>;

// Writes a run as data records of recordLength bytes (shorter at the end of a run and
// before a 64 KiB boundary), an extended linear address record (type 4) before the first
// record whose upper address half differs from the one in force (0 at the start of a
// file), and the end-of-file record last.
struct HexFileWriter
{
    int recordLength = 16;      // 1 to 255; the programming step takes at most 49
    bool crlf = false;          // CR LF line ends instead of LF
    bool lowerCase = false;     // hexadecimal digits a-f instead of A-F

    std::string write (const HexImage& image) const;

    // The file's bytes, as a read of the whole file gives them.
    std::vector<uint8_t> writeBytes (const HexImage& image) const;

    // One record line: ':', count, address, type, data and checksum, then the line end.
    std::string record (uint8_t type, uint16_t address, const std::vector<uint8_t>& data) const;
};

// Bytes for a test image, each of the 256 values equally likely.
std::vector<uint8_t> randomBytes (std::mt19937& random, std::size_t count);

// The two's complement of the 8-bit sum of a record's bytes (count, address, type, data).
uint8_t hexRecordChecksum (uint8_t type, uint16_t address, const std::vector<uint8_t>& data);
}
