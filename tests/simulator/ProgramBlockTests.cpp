#include "tests/simulator/BoardFixture.h"

#include <numeric>

using namespace simtest;

namespace
{
Bytes counting (std::size_t count, uint8_t first)
{
    Bytes bytes (count);
    std::iota (bytes.begin(), bytes.end(), first);
    return bytes;
}

Bytes withTagByte (Bytes bytes, std::size_t tagOffset, uint8_t value)
{
    bytes[12 + tagOffset] = value;
    return bytes;
}

class ProgramBlocks : public BoardFixture
{
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        eraseBoard (faders, faderIndex);
        eraseBoard (fpga, fpgaIndex);
    }

    Bytes picBlock (uint32_t at, const Bytes& data, Checksum checksum = Checksum::Record) const
    {
        return programBlock (consoleType, faders, at, data, checksum);
    }

    Bytes fpgaSlice (const Bytes& data, Checksum checksum = Checksum::Data) const
    {
        return programBlock (consoleType, fpga, 0xFFFF, data, checksum);
    }
};
}

// A PIC board checks a block as a HEX record (count to data), an FPGA board as an image
// slice (data alone); either rejects a block whose length, count or tail is wrong.
TEST_F (ProgramBlocks, EachBoardKindChecksItsOwnRule)
{
    const auto record = picBlock (0x1D000000, counting (16, 1));
    const auto slice = fpgaSlice (counting (49, 7));
    struct Case { const char* name; zsim::BoardAddress board; Bytes block; uint8_t code; };
    const Case cases[] {
        { "PIC record sum",          faders, record,                                             'k' },
        { "PIC data sum",            faders, picBlock (0x1D000000, counting (16, 1), Checksum::Data), 'm' },
        { "PIC checksum off by one", faders, withTagByte (record, 8, (uint8_t) (record[20] + 1)), 'm' },
        { "PIC one byte",            faders, picBlock (0x1D000100, { 0xAB }),                    'k' },
        { "FPGA data sum, 49 bytes", fpga,   slice,                                              'k' },
        { "FPGA record sum",         fpga,   fpgaSlice (counting (49, 7), Checksum::Record),     'm' },
        { "count 0",                 faders, withTagByte (withTagByte (record, 9, 0), 0, 15),   'm' },
        { "count 50",                fpga,   withTagByte (withTagByte (slice, 9, 50), 0, 65),   'm' },
        { "tag length one short",    faders, withTagByte (record, 0, 30),                        'm' },
        { "byte after the data",     faders, withTagByte (record, 40, 1),                        'm' },
    };
    for (const auto& c : cases)
        EXPECT_EQ (ask (c.block).bytes, reply (c.board, c.code, 'V', 0)) << c.name;

    EXPECT_EQ (sim->board (faderIndex).rejectedBlocks, 5u);
    EXPECT_EQ (sim->board (fpgaIndex).rejectedBlocks, 2u);
}

// A block sent again to the same address replaces itself; an erase clears the memory.
TEST_F (ProgramBlocks, PicBlocksLandAtTheirAddress)
{
    const std::map<uint32_t, Bytes> image {
        { 0x1D000000, counting (16, 0) }, { 0x1D000010, counting (16, 16) }, { 0x1D1FFFF0, { 9, 9, 9, 9 } } };
    ASSERT_EQ (ask (picBlock (0x1D000000, Bytes (16, 0xEE))).bytes, reply (faders, 'k', 'V', 0));
    for (const auto& [at, data] : image)
        ASSERT_EQ (ask (picBlock (at, data)).bytes, reply (faders, 'k', 'V', 0));

    EXPECT_EQ (sim->board (faderIndex).picMemory, image);
    EXPECT_EQ (state (faderIndex), zsim::BoardState::Programmed);

    ASSERT_EQ (ask (eraseRequest (consoleType, faders)).bytes, reply (faders, 'j', 'Y', 0));
    EXPECT_TRUE (sim->board (faderIndex).picMemory.empty());
}

TEST_F (ProgramBlocks, FpgaSlicesAreAppendedInOrder)
{
    const auto image = counting (100, 0);
    for (std::size_t at = 0; at < image.size(); at += 49)
    {
        const Bytes slice (image.begin() + (std::ptrdiff_t) at, image.begin() + (std::ptrdiff_t) std::min<std::size_t> (at + 49, 100));
        ASSERT_EQ (ask (fpgaSlice (slice)).bytes, reply (fpga, 'k', 'V', 0));
    }
    EXPECT_EQ (sim->board (fpgaIndex).fpgaStream, image);
    EXPECT_EQ (sim->board (fpgaIndex).count (zsim::BoardRequest::ProgramBlock), 3u);
}
