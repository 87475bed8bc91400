// A PIC board update with the program's own timing, as a technician's machine runs it: both
// restart waits at their full 30 s. Labelled slow: the test command runs it in the normal
// flavour alone.

#include "tests/updater/UpdateFixture.h"

using namespace updatetest;

TEST_F (BoardUpdates, PicBoardWithTheRealTiming)
{
    timing = UpdaterTiming {};
    writeSmallFirmware();
    start();

    EventLog log;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ (update (picIndex, log.callback()), UpdateSuccessful);
    EXPECT_GE (std::chrono::steady_clock::now() - started, std::chrono::seconds (60)) << "two restart waits of 30 s";

    const auto board = device->board (picIndex);
    EXPECT_EQ (board.state, zsim::BoardState::Running);
    EXPECT_EQ (board.count (zsim::BoardRequest::EnterBootMode), 1u);
    imagewalk::expectFlashHoldsImage (flashOf (board), smallImage(), imagewalk::limit2048K,
                                      board.count (zsim::BoardRequest::ProgramBlock));
    EXPECT_EQ (logLinesOf (log.all()).back(), "1 Device found! Firmware version: 14");
}
