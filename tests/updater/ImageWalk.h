#pragma once

// Test helpers for the firmware image walk: run a walk to its end keeping what it yielded,
// and a PIC board's program flash that stores accepted blocks the way its boot loader does.

#include "updater/FirmwareImageWalker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace imagewalk
{
constexpr uint32_t limit1024K = 0x1D100000;
constexpr uint32_t limit2048K = 0x1D200000;

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
}
