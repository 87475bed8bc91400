// How single Intel HEX records become blocks: padding, addressing, the window and progress.

#include "tests/updater/ImageWalk.h"
#include "tools/hex/HexFileWriter.h"

#include <gtest/gtest.h>

using namespace imagewalk;
using testhex::HexFileWriter;

namespace
{
const HexFileWriter hex;

std::string upperHalf (uint8_t high, uint8_t low)
{
    return hex.record (4, 0, { high, low });
}

std::vector<uint8_t> countingBytes (int count, uint8_t first = 1)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back (static_cast<uint8_t> (first + i));
    return bytes;
}
}

TEST (HexRecord, FiveBytesGoOutAsEightWithTheChecksumOverThePadding)
{
    const auto walk = walkHex (upperHalf (0x1D, 0x00) + hex.record (0, 0x0010, { 1, 2, 3, 4, 5 }) + hex.record (1, 0, {}),
                               limit1024K);
    ASSERT_EQ (walk.end, FirmwareImageWalker::Step::End);
    ASSERT_EQ (walk.blocks.size(), 1u);
    const auto& block = walk.blocks[0];
    EXPECT_EQ (block.count, 8);
    EXPECT_EQ (walk.dataLengths[0], 19);
    EXPECT_EQ (block.address, (std::array<uint8_t, 4> { 0x10, 0x00, 0x00, 0x1D }));
    EXPECT_EQ (block.recordType, 0);
    EXPECT_EQ (std::vector<uint8_t> (block.data.begin(), block.data.begin() + 8),
               (std::vector<uint8_t> { 1, 2, 3, 4, 5, 0, 0, 0 }));
    // 8 + 0x10 + 0x1D + (1 + 2 + 3 + 4 + 5)
    EXPECT_EQ (block.checksum, 68);
}

TEST (HexRecord, CountsBelowSixteenArePaddedToWholeWords)
{
    const std::vector<std::pair<int, int>> sentCounts {
        { 1, 4 }, { 2, 4 }, { 3, 4 }, { 4, 4 }, { 5, 8 }, { 7, 8 }, { 8, 8 }, { 9, 12 },
        { 12, 12 }, { 13, 16 }, { 15, 16 }, { 16, 16 }, { 17, 17 }, { 18, 18 }, { 19, 19 }, { 49, 49 }
    };
    for (const auto& [count, sent] : sentCounts)
    {
        // A long record first, so that stale bytes would show in the short one's padding.
        const auto walk = walkHex (upperHalf (0x1D, 0x00) + hex.record (0, 0x1000, std::vector<uint8_t> (49, 0xEE))
                                       + hex.record (0, 0x0000, countingBytes (count)),
                                   limit2048K);
        ASSERT_EQ (walk.blocks.size(), 2u) << count;
        const auto& block = walk.blocks[1];
        EXPECT_EQ (block.count, sent) << count;
        EXPECT_EQ (walk.dataLengths[1], sent + 11) << count;
        auto expected = countingBytes (count);
        expected.resize (std::size_t (sent), 0);
        EXPECT_EQ (std::vector<uint8_t> (block.data.begin(), block.data.begin() + sent), expected) << count;
        EXPECT_EQ (block.checksum, hexBlockSum (block)) << count;
    }
}

TEST (HexRecord, UpperHalfComesFromTheLastExtendedLinearAddress)
{
    const auto walk = walkHex (hex.record (0, 0x0000, { 0xA1 })            // upper half 0: below the window
                                   + upperHalf (0x1D, 0x00)
                                   + hex.record (0, 0x0000, { 0xB1 })
                                   + hex.record (5, 0, { 0x9D, 0, 0x10, 0 })  // start address: no effect
                                   + hex.record (0, 0x0004, { 0xB2 })
                                   + upperHalf (0x1D, 0x01)
                                   + hex.record (0, 0x0008, { 0xC1 })
                                   + hex.record (1, 0, {}),
                               limit1024K);
    ASSERT_EQ (walk.end, FirmwareImageWalker::Step::End);
    ASSERT_EQ (walk.blocks.size(), 3u);
    EXPECT_EQ (blockAddress (walk.blocks[0]), 0x1D000000u);
    EXPECT_EQ (walk.blocks[0].data[0], 0xB1);
    EXPECT_EQ (blockAddress (walk.blocks[1]), 0x1D000004u);
    EXPECT_EQ (walk.blocks[1].data[0], 0xB2);
    EXPECT_EQ (blockAddress (walk.blocks[2]), 0x1D010008u);
    EXPECT_EQ (walk.blocks[2].data[0], 0xC1);
}

TEST (HexRecord, WindowDependsOnTheFlashLimit)
{
    struct Case
    {
        const char* what;
        uint8_t high, low;
        uint16_t address;
        int count;
        uint32_t flashLimit;
        std::size_t blocks;
    };
    const std::vector<Case> cases {
        { "first byte of the window", 0x1D, 0x00, 0x0000, 16, limit1024K, 1 },
        { "just below the window", 0x1C, 0xFF, 0xFFF0, 16, limit2048K, 0 },
        { "last 16 bytes under 1024 KB", 0x1D, 0x0F, 0xFFF0, 16, limit1024K, 1 },
        { "1024 KB limit itself", 0x1D, 0x10, 0x0000, 16, limit1024K, 0 },
        { "1024 KB limit with the 2048 KB part", 0x1D, 0x10, 0x0000, 16, limit2048K, 1 },
        { "across the 1024 KB limit with the 2048 KB part", 0x1D, 0x0F, 0xFFF8, 16, limit2048K, 1 },
        { "last 4 bytes under 2048 KB", 0x1D, 0x1F, 0xFFFC, 4, limit2048K, 1 },
        { "2048 KB limit itself", 0x1D, 0x20, 0x0000, 16, limit2048K, 0 },
        { "boot flash", 0x1F, 0xC0, 0x0000, 16, limit2048K, 0 },
        { "top of the address space", 0xFF, 0xFF, 0xFFF0, 16, limit2048K, 0 },
    };
    for (const auto& c : cases)
    {
        const auto walk = walkHex (upperHalf (c.high, c.low) + hex.record (0, c.address, countingBytes (c.count)), c.flashLimit);
        EXPECT_EQ (walk.end, FirmwareImageWalker::Step::End) << c.what;
        EXPECT_EQ (walk.blocks.size(), c.blocks) << c.what;
    }
}

TEST (HexRecord, NothingToSendIsSuccess)
{
    const std::vector<std::string> files {
        "",
        "no records here\n",
        upperHalf (0x1D, 0x00) + hex.record (0, 0x0010, {}) + hex.record (1, 0, {}),   // a data record without data
        hex.record (0, 0x0000, countingBytes (16)) + hex.record (1, 0, {}),
        hex.record (1, 0, {}),
    };
    for (const auto& file : files)
    {
        const auto walk = walkHex (file, limit2048K);
        EXPECT_EQ (walk.end, FirmwareImageWalker::Step::End) << file;
        EXPECT_TRUE (walk.blocks.empty()) << file;
    }
}

TEST (HexRecord, TextBetweenRecordsIsSkipped)
{
    const auto records = std::vector<std::string> { upperHalf (0x1D, 0x00), hex.record (0, 0x0000, countingBytes (16)),
                                                    hex.record (0, 0x0010, countingBytes (3)), hex.record (1, 0, {}) };
    std::string plain, noisy = "; made by hand\r\n";
    for (const auto& record : records)
    {
        plain += record;
        noisy += "  \t" + record.substr (0, record.size() - 1) + "\r\n\r\n";
    }
    noisy += "trailing words";

    const auto clean = walkHex (plain, limit1024K);
    const auto other = walkHex (noisy, limit1024K);
    ASSERT_EQ (other.end, FirmwareImageWalker::Step::End);
    ASSERT_EQ (other.blocks.size(), clean.blocks.size());
    for (std::size_t i = 0; i < clean.blocks.size(); ++i)
    {
        EXPECT_EQ (other.blocks[i].count, clean.blocks[i].count);
        EXPECT_EQ (other.blocks[i].address, clean.blocks[i].address);
        EXPECT_EQ (other.blocks[i].data, clean.blocks[i].data);
    }
}

TEST (HexRecord, ProgressIsTheChecksumPositionOverTheFileSize)
{
    const auto first = upperHalf (0x1D, 0x00);
    const auto second = hex.record (0, 0x0000, countingBytes (4));
    const auto third = hex.record (0, 0x0004, countingBytes (2));
    const auto file = first + second + third + hex.record (1, 0, {});
    const auto walk = walkHex (file, limit1024K);
    ASSERT_EQ (walk.progress.size(), 2u);
    EXPECT_DOUBLE_EQ (walk.progress[0], double (first.size() + 9 + 8) / double (file.size()));
    EXPECT_DOUBLE_EQ (walk.progress[1], double (first.size() + second.size() + 9 + 4) / double (file.size()));
}

TEST (HexRecord, BlocksBeforeABadRecordComeFirst)
{
    auto bad = hex.record (0, 0x0020, countingBytes (16));
    bad[bad.size() - 2] = bad[bad.size() - 2] == '0' ? '1' : '0';
    const auto walk = walkHex (upperHalf (0x1D, 0x00) + hex.record (0, 0x0000, countingBytes (16)) + bad
                                   + hex.record (0, 0x0040, countingBytes (16)),
                               limit1024K);
    EXPECT_EQ (walk.blocks.size(), 1u);
    EXPECT_EQ (walk.end, FirmwareImageWalker::Step::InvalidFile);
}
