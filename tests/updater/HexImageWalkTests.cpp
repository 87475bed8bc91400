// Random images written as Intel HEX files in many shapes: what the walk yields, stored the
// way a board stores it, must be exactly the image's bytes inside the flash window.

#include "tests/updater/ImageWalk.h"
#include "tools/hex/HexFileWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace imagewalk;
using testhex::HexFileWriter;

namespace
{
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

    expectFlashHoldsImage (flash.bytes, edge.image, flashLimit, walk.blocks.size());

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
