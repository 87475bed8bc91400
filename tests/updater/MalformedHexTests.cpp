// Firmware files that must not reach a board: every one ends the walk as an invalid file
// before the faulty record yields a block.

#include "tests/updater/MalformedHex.h"

#include <gtest/gtest.h>

using namespace imagewalk;
using namespace malformedhex;
using testhex::HexFileWriter;

namespace
{
const HexFileWriter hex;
}

TEST (MalformedHex, EachFaultEndsTheWalkWithoutABlock)
{
    for (const auto& c : malformedRecords())
    {
        const auto walk = walkHex (fileOf (c), c.flashLimit);
        EXPECT_EQ (walk.end, FirmwareImageWalker::Step::InvalidFile) << c.what;
        EXPECT_TRUE (walk.blocks.empty()) << c.what;
    }
}

TEST (MalformedHex, TheSameRecordsAreFineWhenWellFormed)
{
    // The well-formed neighbours of the faults above, so that each fault, not its setting,
    // is what fails.
    const std::vector<uint8_t> sixteen (16, 0x5A);
    const std::vector<std::pair<std::string, std::string>> records {
        { "count of 49", hex.record (0, 0x0000, std::vector<uint8_t> (49, 1)) },
        { "checksum 00", hex.record (0, 0x0000, { 0xFC, 0x00, 0x00, 0x00 }) },
        { "lower-case digits", ":10010000" + std::string (32, 'a') + "4f\n" },   // 16 bytes of 0xAA
        { "ends at the end of the file without a line end", hex.record (0, 0x0100, sixteen).substr (0, 43) },
    };
    for (const auto& [what, record] : records)
    {
        const auto walk = walkHex (hex.record (4, 0, { 0x1D, 0x00 }) + record, limit2048K);
        EXPECT_EQ (walk.end, FirmwareImageWalker::Step::End) << what;
        EXPECT_EQ (walk.blocks.size(), 1u) << what;
    }
}

// The judgement before a board is touched: a fault anywhere fails the whole file, even one
// that a walk would reach only after it had yielded blocks to send.
TEST (MalformedHex, WholeFileJudgementFailsAFaultAfterGoodRecords)
{
    const auto goodRecords = hex.record (0, 0x0000, std::vector<uint8_t> (16, 0x11))
                           + hex.record (0, 0x0010, std::vector<uint8_t> (16, 0x22));
    for (const auto& c : malformedRecords())
    {
        auto late = c;
        late.record = goodRecords + c.record;
        const auto text = fileOf (late);
        const std::vector<uint8_t> bytes (text.begin(), text.end());
        EXPECT_EQ (walkHex (text, c.flashLimit).blocks.size(), 2u) << c.what;
        EXPECT_FALSE (FirmwareImageWalker::isWholeFileValid (bytes.data(), bytes.size(), FirmwareImageWalker::Kind::IntelHex,
                                                             c.flashLimit)) << c.what;
    }

    const auto text = hex.record (4, 0, { 0x1D, 0x00 }) + goodRecords + hex.record (1, 0, {});
    const std::vector<uint8_t> valid (text.begin(), text.end());
    EXPECT_TRUE (FirmwareImageWalker::isWholeFileValid (valid.data(), valid.size(), FirmwareImageWalker::Kind::IntelHex,
                                                        limit2048K));
}

TEST (MalformedHex, WholeFileJudgementOfRawImages)
{
    const std::vector<uint8_t> image (100, 0xA5);
    EXPECT_TRUE (FirmwareImageWalker::isWholeFileValid (image.data(), image.size(), FirmwareImageWalker::Kind::RawImage,
                                                        limit2048K));
    EXPECT_FALSE (FirmwareImageWalker::isWholeFileValid (image.data(), 0, FirmwareImageWalker::Kind::RawImage, limit2048K))
        << "an empty image would leave an erased board empty";
}
