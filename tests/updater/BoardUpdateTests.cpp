// Whole board updates that succeed, end to end: firmware files written from random images,
// the board's memory afterwards, and every event the update sends on the way.

#include "tests/updater/UpdateFixture.h"

using namespace updatetest;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

namespace
{
std::string progressLine (int count)
{
    return "progress x" + std::to_string (count);
}

// A PIC board that runs its firmware, with its restart waits at their full length.
std::vector<std::string> picBoardUpdate (int blocks)
{
    return {
        "1 Updating firmware on Channel Master 1-8...",
        "1 Firmware file: CentralProcessorPIC.hex (14)",
        "1 Contacting device...",
        "1 Device found! Firmware version: 14",
        "1 Device is not in Boot Mode",
        "1 Entering Boot Mode...",
        "bar shown reset",
        progressLine (UpdaterTiming::restartTicks),
        "bar hidden",
        "1 Erasing device...",
        "1 Updating device...",
        "bar shown reset highlight",
        progressLine (blocks + 1),
        "1 Finishing update...",
        "bar hidden highlight",
        "1 Exiting Boot Mode...",
        "bar shown reset",
        progressLine (UpdaterTiming::restartTicks),
        "1 Contacting device...",
        "bar hidden",
        "1 Device found! Firmware version: 14",
    };
}
}

TEST_F (BoardUpdates, VerboseUpdateOfAPicBoard)
{
    writeSmallFirmware();
    start();
    EventLog log;
    EXPECT_EQ (update (picIndex, log.callback()), UpdateSuccessful);
    EXPECT_EQ (describe (log.all()), picBoardUpdate (6));

    const auto board = device->board (picIndex);
    EXPECT_EQ (board.state, zsim::BoardState::Running);
    EXPECT_EQ (board.version, 14);
    imagewalk::expectFlashHoldsImage (flashOf (board), smallImage(), imagewalk::limit2048K, 6);
}

// Without verbose the same update sends the same bar and progress events, and no line.
TEST_F (BoardUpdates, SilentUpdateOfAPicBoard)
{
    writeSmallFirmware();
    start();
    EventLog log;
    EXPECT_EQ (update (picIndex, log.callback(), false), UpdateSuccessful);
    EXPECT_TRUE (logLinesOf (log.all()).empty());
    EXPECT_EQ (describe (log.all()), withoutLogLines (picBoardUpdate (6)));
}

// No boot mode lines; the bar shows the 15 s the board is given after its erase.
TEST_F (BoardUpdates, VerboseUpdateOfAnFpgaBoard)
{
    std::mt19937 random (29);
    const auto image = testhex::randomBytes (random, 5000);
    writeFirmware ("CentralProcessorFPGA.bin", image);
    start();
    EventLog log;
    EXPECT_EQ (update (fpgaIndex, log.callback()), UpdateSuccessful);

    const int slices = (5000 + 48) / 49;
    const std::vector<std::string> expected = {
        "1 Updating firmware on Channel Master FPGA 1-8...",
        "1 Firmware file: CentralProcessorFPGA.bin (14)",
        "1 Contacting device...",
        "1 Device found! Firmware version: 14",
        "1 Erasing device...",
        "bar shown reset",
        progressLine (1499),
        "bar hidden",
        "1 Updating device...",
        "bar shown reset highlight",
        progressLine (slices + 1),
        "1 Finishing update...",
        "bar hidden highlight",
        "bar shown reset",
        progressLine (UpdaterTiming::restartTicks),
        "1 Contacting device...",
        "bar hidden",
        "1 Device found! Firmware version: 14",
    };
    EXPECT_EQ (describe (log.all()), expected);
    EXPECT_EQ (device->board (fpgaIndex).fpgaStream, image);
    EXPECT_EQ (device->board (fpgaIndex).count (BoardRequest::EnterBootMode), 0u);
}

// The device leaves the network whenever its interface board restarts; both restart waits
// end at the first probe that finds it, with a sweep of the bar.
TEST_F (BoardUpdates, InterfaceBoardTakesTheDeviceOffline)
{
    std::mt19937 random (31);
    const auto edge = imagewalk::makeEdgeImage (49, random);
    testhex::HexFileWriter hex;
    hex.recordLength = 49;
    writeFirmware ("MonInterfacePIC.hex", hex.writeBytes (edge.image));
    start();
    EventLog log;
    EXPECT_EQ (update (interfaceIndex, log.callback()), UpdateSuccessful);

    const auto lines = logLinesOf (log.all());
    EXPECT_NE (std::find (lines.begin(), lines.end(), "1 Entering Boot Mode and reconnecting..."), lines.end());
    EXPECT_NE (std::find (lines.begin(), lines.end(), "1 Exiting Boot Mode and reconnecting..."), lines.end());
    EXPECT_EQ (lines.back(), "1 Device found! Firmware version: 12");

    const auto board = device->board (interfaceIndex);
    EXPECT_EQ (board.restarts, 2u);
    EXPECT_EQ (board.state, zsim::BoardState::Running);
    imagewalk::expectFlashHoldsImage (flashOf (board), edge.image, imagewalk::limit2048K,
                                      board.count (BoardRequest::ProgramBlock));
}

// The board's own processor picks the file and the flash window.
struct HexShape
{
    int recordLength;
    bool crlf;
    bool lowerCase;
    uint8_t variant;
    const char* fileName;
    uint32_t flashLimit;
};

void PrintTo (const HexShape& shape, std::ostream* out)
{
    *out << shape.fileName << ", records of " << shape.recordLength << (shape.crlf ? ", CR LF" : ", LF")
         << (shape.lowerCase ? ", lower case" : ", upper case");
}

class HexFilesEndToEnd : public BoardUpdates, public ::testing::WithParamInterface<HexShape>
{
};

TEST_P (HexFilesEndToEnd, BoardHoldsTheImageAfterTheUpdate)
{
    const auto shape = GetParam();
    std::mt19937 random ((unsigned) shape.recordLength * 131u + shape.variant);
    const auto edge = imagewalk::makeEdgeImage (shape.recordLength, random);
    testhex::HexFileWriter hex;
    hex.recordLength = shape.recordLength;
    hex.crlf = shape.crlf;
    hex.lowerCase = shape.lowerCase;
    writeFirmware (shape.fileName, hex.writeBytes (edge.image));
    setup.boards[picIndex].variant = shape.variant;
    start();

    EventLog log;
    ASSERT_EQ (update (picIndex, log.callback(), false), UpdateSuccessful);
    const auto board = device->board (picIndex);
    EXPECT_EQ (board.rejectedBlocks, 0u);
    imagewalk::expectFlashHoldsImage (flashOf (board), edge.image, shape.flashLimit, board.count (BoardRequest::ProgramBlock));
}

INSTANTIATE_TEST_SUITE_P (
    Shapes, HexFilesEndToEnd,
    ::testing::Values (HexShape { 16, false, false, 0, "CentralProcessorPIC.hex", imagewalk::limit2048K },
                       HexShape { 13, true, true, 2, "CentralProcessorPIC_PIC32MZ1024EFG144.hex", imagewalk::limit1024K },
                       HexShape { 1, false, true, 6, "CentralProcessorPIC_PIC32MZ1024EFH100.hex", imagewalk::limit1024K },
                       HexShape { 5, true, false, 5, "CentralProcessorPIC.hex", imagewalk::limit2048K },
                       HexShape { 18, false, false, 11, "CentralProcessorPIC_PIC32MZ2048EFH100.hex", imagewalk::limit2048K },
                       HexShape { 49, true, false, 9, "CentralProcessorPIC_PIC32MZ1024EFK064.hex", imagewalk::limit1024K }),
    [] (const ::testing::TestParamInfo<HexShape>& info)
    {
        return "length" + std::to_string (info.param.recordLength) + "_variant" + std::to_string (info.param.variant);
    });

// A slice carries no address: one whose acknowledgement was lost after the board stored it
// is sent again and stored twice. The exchange cannot tell; the update counts as done as
// long as the board reports a version, which a real board does not with a broken image.
TEST_F (BoardUpdates, FpgaSliceStoredTwiceAfterALostAcknowledgement)
{
    std::mt19937 random (37);
    const auto image = testhex::randomBytes (random, 147);
    writeFirmware ("CentralProcessorFPGA.bin", image);
    start();
    device->addFault (fpgaIndex, { Fault::LostReply, BoardRequest::ProgramBlock, 1, 1 });
    EventLog log;
    EXPECT_EQ (update (fpgaIndex, log.callback()), UpdateSuccessful);
    EXPECT_EQ (device->board (fpgaIndex).fpgaStream.size(), image.size() + 49);
}
