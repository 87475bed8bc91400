// Random images written as Intel HEX files in many shapes: what the walk yields, stored the
// way a board stores it, must be exactly the image's bytes inside the flash window.

#include "tests/support/HexFileWriter.h"
#include "tests/updater/ImageWalk.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace imagewalk;
using testhex::HexFileWriter;
using testhex::HexImage;
using testhex::randomBytes;

namespace
{
constexpr uint32_t windowStart = 0x1D000000;

// Zero bytes a board receives after a record of this many data bytes.
uint32_t paddingAfter (int recordLength)
{
    if (recordLength >= 16 || recordLength % 4 == 0)
        return 0;
    return uint32_t (4 - recordLength % 4);
}

// Runs around both windows' edges. The runs that end at a limit end early by the padding
// of their last (full-length) record, so that its block ends exactly at the limit.
struct EdgeImage
{
    HexImage image;
    uint32_t lastRunEnd1024K = 0;
    uint32_t lastRunEnd2048K = 0;
};

EdgeImage makeEdgeImage (int recordLength, std::mt19937& random)
{
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

std::map<uint32_t, uint8_t> bytesInWindow (const HexImage& image, uint32_t flashLimit)
{
    std::map<uint32_t, uint8_t> inside;
    for (const auto& [start, bytes] : image)
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (start + i >= windowStart && start + i < flashLimit)
                inside[uint32_t (start + i)] = bytes[i];
    return inside;
}

using Shape = std::tuple<int, uint32_t, bool, bool>;   // record length, flash limit, CR LF, lower case

std::string shapeName (const ::testing::TestParamInfo<Shape>& info)
{
    const auto [recordLength, flashLimit, crlf, lowerCase] = info.param;
    return "length" + std::to_string (recordLength) + (flashLimit == limit1024K ? "_1024K" : "_2048K")
         + (crlf ? "_CRLF" : "_LF") + (lowerCase ? "_lower" : "_upper");
}
}

class RandomHexImage : public ::testing::TestWithParam<Shape>
{
};

TEST_P (RandomHexImage, ProgramsExactlyTheImageInsideTheWindow)
{
    const auto [recordLength, flashLimit, crlf, lowerCase] = GetParam();
    std::mt19937 random (uint32_t (recordLength) * 7919u + flashLimit + (crlf ? 2u : 0u) + (lowerCase ? 1u : 0u));
    const auto edge = makeEdgeImage (recordLength, random);

    HexFileWriter hex;
    hex.recordLength = recordLength;
    hex.crlf = crlf;
    hex.lowerCase = lowerCase;
    const auto text = hex.write (edge.image);

    const auto walk = walkHex (text, flashLimit);
    ASSERT_EQ (walk.end, FirmwareImageWalker::Step::End);

    BoardFlash flash;
    for (std::size_t i = 0; i < walk.blocks.size(); ++i)
    {
        const auto& block = walk.blocks[i];
        EXPECT_EQ (block.recordType, 0);
        EXPECT_EQ (walk.dataLengths[i], block.count + 11);
        flash.store (block);
    }

    const auto expected = bytesInWindow (edge.image, flashLimit);
    for (const auto& [address, value] : expected)
    {
        const auto stored = flash.bytes.find (address);
        ASSERT_NE (stored, flash.bytes.end()) << std::hex << "nothing stored at " << address;
        ASSERT_EQ (stored->second, value) << std::hex << "at " << address;
    }
    std::size_t padding = 0;
    for (const auto& [address, value] : flash.bytes)
    {
        ASSERT_GE (address, windowStart);
        ASSERT_LT (address, flashLimit);
        if (expected.count (address) == 0)
        {
            ASSERT_EQ (value, 0) << std::hex << "only padding lies outside the image, at " << address;
            ++padding;
        }
    }
    EXPECT_LE (padding, 3 * walk.blocks.size());

    // Progress never goes back and ends at the checksum of the last record sent.
    ASSERT_FALSE (walk.progress.empty());
    for (std::size_t i = 1; i < walk.progress.size(); ++i)
        EXPECT_LE (walk.progress[i - 1], walk.progress[i]);
    EXPECT_GT (walk.progress.front(), 0.0);
    const auto lastRunEnd = flashLimit == limit1024K ? edge.lastRunEnd1024K : edge.lastRunEnd2048K;
    const auto lastStart = lastRunEnd - uint32_t (recordLength);
    const auto& lastRun = edge.image.at (lastRunEnd - 20 * uint32_t (recordLength));
    const auto lastLine = hex.record (0, uint16_t (lastStart & 0xFFFF),
                                      std::vector<uint8_t> (lastRun.end() - recordLength, lastRun.end()));
    const auto lastLineAt = text.rfind (lastLine);
    ASSERT_NE (lastLineAt, std::string::npos);
    const auto checksumAt = lastLineAt + 9 + 2 * std::size_t (recordLength);
    EXPECT_DOUBLE_EQ (walk.progress.back(), double (checksumAt) / double (text.size()));
}

INSTANTIATE_TEST_SUITE_P (Shapes, RandomHexImage,
                          ::testing::Combine (::testing::Values (1, 5, 13, 16, 18, 49),
                                              ::testing::Values (limit1024K, limit2048K),
                                              ::testing::Bool(),
                                              ::testing::Bool()),
                          shapeName);
