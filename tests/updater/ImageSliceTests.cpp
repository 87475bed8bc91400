// FPGA images go out as slices of 49 bytes.

#include "tests/updater/ImageWalk.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace imagewalk;

namespace
{
std::vector<uint8_t> patternImage (std::size_t size)
{
    std::vector<uint8_t> image (size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<uint8_t> (i * 37 + 11);
    return image;
}

WalkResult walkImage (const std::vector<uint8_t>& image)
{
    return walkAll (image, FirmwareImageWalker::Kind::RawImage, limit1024K);
}
}

TEST (ImageSlice, HundredBytesAsFortyNineFortyNineTwo)
{
    const auto walk = walkImage (patternImage (100));
    ASSERT_EQ (walk.end, FirmwareImageWalker::Step::End);
    ASSERT_EQ (walk.blocks.size(), 3u);
    EXPECT_EQ (walk.blocks[0].count, 49);
    EXPECT_EQ (walk.blocks[1].count, 49);
    EXPECT_EQ (walk.blocks[2].count, 2);
    EXPECT_EQ (walk.dataLengths, (std::vector<int> { 60, 60, 13 }));
    EXPECT_DOUBLE_EQ (walk.progress[0], 0.49);
    EXPECT_DOUBLE_EQ (walk.progress[1], 0.98);
    EXPECT_EQ (walk.progress[2], 1.0);
}

TEST (ImageSlice, SlicesReassembleTheImage)
{
    for (std::size_t size : { 1u, 48u, 49u, 50u, 98u, 147u, 1000u })
    {
        const auto image = patternImage (size);
        const auto walk = walkImage (image);
        ASSERT_EQ (walk.end, FirmwareImageWalker::Step::End) << size;
        ASSERT_EQ (walk.blocks.size(), (size + 48) / 49) << size << " bytes: no empty slice at the end";

        std::vector<uint8_t> joined;
        for (std::size_t i = 0; i < walk.blocks.size(); ++i)
        {
            const auto& block = walk.blocks[i];
            const auto first = block.data.begin();
            const auto sum = std::accumulate (first, first + block.count, 0u);
            EXPECT_EQ (block.checksum, uint8_t (sum)) << size;
            EXPECT_EQ (block.address, (std::array<uint8_t, 4> { 0xFF, 0xFF, 0x00, 0x00 })) << size;
            EXPECT_EQ (block.recordType, 0xFF) << size;
            EXPECT_DOUBLE_EQ (walk.progress[i], std::min (1.0, double (49 * (i + 1)) / double (size))) << size;
            joined.insert (joined.end(), first, first + block.count);
        }
        EXPECT_EQ (joined, image) << size;
        EXPECT_EQ (walk.progress.back(), 1.0) << size;
    }
}

TEST (ImageSlice, TextIsSlicedNotParsed)
{
    const std::string text = ":020000041D00DD\n:00000001FF\n";
    const auto walk = walkAll (std::vector<uint8_t> (text.begin(), text.end()), FirmwareImageWalker::Kind::RawImage, limit1024K);
    ASSERT_EQ (walk.blocks.size(), 1u);
    EXPECT_EQ (walk.blocks[0].count, text.size());
}

TEST (ImageSlice, EmptyImageIsInvalid)
{
    const auto walk = walkImage ({});
    EXPECT_EQ (walk.end, FirmwareImageWalker::Step::InvalidFile);
    EXPECT_TRUE (walk.blocks.empty());
}
