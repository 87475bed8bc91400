#pragma once

// Test helpers for the firmware image walk: run a walk to its end keeping what it yielded,
// a PIC board's program flash that stores accepted blocks the way its boot loader does, and
// images around the flash window's edges with the check of a flash against them.

#include "tools/hex/HexFileWriter.h"
#include "updater/FirmwareImageWalker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace imagewalk
{
constexpr uint32_t limit1024K = 0x1D100000;
constexpr uint32_t limit2048K = 0x1D200000;
constexpr uint32_t windowStart = FirmwareImageWalker::flashStart;

struct WalkResult
{
    std::vector<ProgramBlock> blocks;
    std::vector<int> dataLengths;
    std::vector<double> progress;
    FirmwareImageWalker::Step end = FirmwareImageWalker::Step::Block;
};

inline WalkResult walkAll (const std::vector<uint8_t>& file, FirmwareImageWalker::Kind kind, uint32_t flashLimit)
{
    FirmwareImageWalker walker (file.data(), file.size(), kind, flashLimit);
    WalkResult result;
    // Every block consumes at least one byte of the file.
    for (std::size_t i = 0; i <= file.size() + 1; ++i)
    {
        const auto step = walker.next();
        if (step != FirmwareImageWalker::Step::Block)
        {
            result.end = step;
            EXPECT_EQ (walker.next(), step) << "the end of a walk is final";
            return result;
        }
        result.blocks.push_back (walker.block());
        result.dataLengths.push_back (walker.dataLength());
        result.progress.push_back (walker.progress());
    }
    ADD_FAILURE() << "the walk did not end";
    return result;
}

inline WalkResult walkHex (const std::string& text, uint32_t flashLimit)
{
    return walkAll (std::vector<uint8_t> (text.begin(), text.end()), FirmwareImageWalker::Kind::IntelHex, flashLimit);
}

inline uint32_t blockAddress (const ProgramBlock& block)
{
    return uint32_t (block.address[0]) | uint32_t (block.address[1]) << 8
         | uint32_t (block.address[2]) << 16 | uint32_t (block.address[3]) << 24;
}

// What the boot loader sums for a block made from a HEX record: count, address, type and
// the count data bytes.
inline uint8_t hexBlockSum (const ProgramBlock& block)
{
    unsigned sum = block.count + block.recordType;
    for (auto byte : block.address)
        sum += byte;
    for (int i = 0; i < block.count; ++i)
        sum += block.data[std::size_t (i)];
    return static_cast<uint8_t> (sum);
}

// A board stores every byte of the block, padding included, from the block's address on.
struct BoardFlash
{
    std::map<uint32_t, uint8_t> bytes;

    void store (const ProgramBlock& block)
    {
        EXPECT_EQ (block.checksum, hexBlockSum (block)) << "the board would answer with a checksum error";
        const auto start = blockAddress (block);
        for (int i = 0; i < block.count; ++i)
            bytes[start + uint32_t (i)] = block.data[std::size_t (i)];
    }
};

// Zero bytes a board receives after a record of this many data bytes.
inline uint32_t paddingAfter (int recordLength)
{
    if (recordLength >= 16 || recordLength % 4 == 0)
        return 0;
    return uint32_t (4 - recordLength % 4);
}

// Runs around both windows' edges. The runs that end at a limit end early by the padding
// of their last (full-length) record, so that its block ends exactly at the limit.
struct EdgeImage
{
    testhex::HexImage image;
    uint32_t lastRunEnd1024K = 0;
    uint32_t lastRunEnd2048K = 0;
};

inline EdgeImage makeEdgeImage (int recordLength, std::mt19937& random)
{
    using testhex::randomBytes;
    const auto length = uint32_t (recordLength);
    const auto topRun = 20 * length;
    EdgeImage edge;
    edge.lastRunEnd1024K = limit1024K - paddingAfter (recordLength);
    edge.lastRunEnd2048K = limit2048K - paddingAfter (recordLength);

    edge.image[0x00000100] = randomBytes (random, 300);                       // before any type-4 record
    edge.image[windowStart - 0x100] = randomBytes (random, 0x100);            // ends where the window starts
    edge.image[windowStart] = randomBytes (random, 4000);                     // starts with the window
    edge.image[0x1D00FF00] = randomBytes (random, 0x300);                     // across a 64 KiB boundary
    edge.image[edge.lastRunEnd1024K - topRun] = randomBytes (random, topRun);  // up to the 1024 KB limit
    edge.image[limit1024K] = randomBytes (random, 300);                       // from the 1024 KB limit on
    edge.image[edge.lastRunEnd2048K - topRun] = randomBytes (random, topRun);  // up to the 2048 KB limit
    edge.image[0x1FC00000] = randomBytes (random, 500);                       // boot flash
    return edge;
}

inline std::map<uint32_t, uint8_t> bytesInWindow (const testhex::HexImage& image, uint32_t flashLimit)
{
    std::map<uint32_t, uint8_t> inside;
    for (const auto& [start, bytes] : image)
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (start + i >= windowStart && start + i < flashLimit)
                inside[uint32_t (start + i)] = bytes[i];
    return inside;
}

// Every byte of the image inside the window is in the flash with its value; anything else
// in the flash is zero padding inside the window, at most three bytes per block.
inline void expectFlashHoldsImage (const std::map<uint32_t, uint8_t>& flash, const testhex::HexImage& image,
                                   uint32_t flashLimit, std::size_t blocks)
{
    const auto expected = bytesInWindow (image, flashLimit);
    for (const auto& [address, value] : expected)
    {
        const auto stored = flash.find (address);
        ASSERT_NE (stored, flash.end()) << std::hex << "nothing stored at " << address;
        ASSERT_EQ (stored->second, value) << std::hex << "at " << address;
    }
    std::size_t padding = 0;
    for (const auto& [address, value] : flash)
    {
        ASSERT_GE (address, windowStart);
        ASSERT_LT (address, flashLimit);
        if (expected.count (address) == 0)
        {
            ASSERT_EQ (value, 0) << std::hex << "only padding lies outside the image, at " << address;
            ++padding;
        }
    }
    EXPECT_LE (padding, 3 * blocks);
}
}
