// The erase's own waits, seen from the device: how long a board that failed an erase is
// given before the next try, and which reply time-out each kind of board gets.

#include "tests/updater/UpdateFixture.h"
#include "tools/sim/Wire.h"

#include <algorithm>

using namespace updatetest;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

namespace
{
class EraseRetryTiming : public BoardUpdates
{
protected:
    EraseRetryTiming()
    {
        for (const auto index : { picIndex, fpgaIndex })
            setup.boards[index].bootMode = true;
        zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (0));
        writeSmallFirmware();
    }

    using TimePoint = std::chrono::steady_clock::time_point;

    std::vector<TimePoint> timesOf (BoardRequest kind) const
    {
        std::vector<TimePoint> times;
        for (const auto& request : device->requests())
        {
            const auto tag = zsim::wire::decodeTagRequest (request.bytes);
            if (tag && tag->request == kind)
                times.push_back (request.time);
        }
        return times;
    }

    static double msBetween (TimePoint from, TimePoint to)
    {
        return std::chrono::duration<double, std::milli> (to - from).count();
    }

    // The shortest time from one request of a kind to the next.
    double shortestGap (BoardRequest kind) const
    {
        const auto times = timesOf (kind);
        double shortest = 1e9;
        for (std::size_t i = 1; i < times.size(); ++i)
            shortest = std::min (shortest, msBetween (times[i - 1], times[i]));
        return shortest;
    }

    // From program complete to the identity read that follows the board's restart wait.
    double restartGap() const
    {
        const auto complete = timesOf (BoardRequest::ProgramComplete).at (0);
        for (const auto read : timesOf (BoardRequest::IdentityRead))
            if (read > complete)
                return msBetween (complete, read);
        return 0;
    }

    EventLog log;
};
}

// The waits are 5000 ms for a PIC board and 7000 ms for an FPGA board, counted in 16 ms
// ticks: 312 and 437 ticks, that is 312 and 437 ms of compressed 1 ms ticks. A busy machine
// stretches every tick, so the upper side is judged against the restart wait of the same
// run, 1875 ticks on the same clock: 312 / 1875 and 437 / 1875 of it.
TEST_F (EraseRetryTiming, WaitBetweenFailedTriesByKindOfBoard)
{
    ASSERT_EQ (timing.tickMs, 1);
    struct Case { uint8_t board; double waitMs; };
    for (const auto& c : { Case { picIndex, 312 }, Case { fpgaIndex, 437 } })
    {
        SCOPED_TRACE ((int) c.board);
        device.reset();
        start();
        device->addFault (c.board, { Fault::EraseFails, BoardRequest::Erase, 0, 3 });
        EXPECT_EQ (update (c.board, log.callback()), UpdateSuccessful);
        ASSERT_EQ (timesOf (BoardRequest::Erase).size(), 4u);

        const auto gap = shortestGap (BoardRequest::Erase);
        EXPECT_GE (gap, c.waitMs);
        // Between two erases lies the failed try's own exchange as well as the wait; on a
        // loaded machine that exchange costs as much as one program block's.
        const auto exchange = shortestGap (BoardRequest::ProgramBlock);
        EXPECT_LT ((gap - exchange) / restartGap(), c.waitMs / 1875 * 1.15)
            << gap << " ms, one exchange " << exchange << " ms, against a restart wait of " << restartGap() << " ms";
    }
}

// A 400 ms erase lies beyond the compressed PIC time-out (300 ms) and within the FPGA one
// (500 ms): the PIC board tries again, the FPGA board takes the first answer.
TEST_F (EraseRetryTiming, EraseTimeOutByKindOfBoard)
{
    ASSERT_EQ (timing.eraseReplyTimeoutMs[0], 300);
    ASSERT_EQ (timing.eraseReplyTimeoutMs[1], 500);
    struct Case { uint8_t board; std::size_t erases; };
    for (const auto& c : { Case { picIndex, 2 }, Case { fpgaIndex, 1 } })
    {
        SCOPED_TRACE ((int) c.board);
        device.reset();
        start();
        device->addFault (c.board, { Fault::SlowErase, BoardRequest::Erase, 0, 1, 0, std::chrono::milliseconds (400) });
        EXPECT_EQ (update (c.board, log.callback()), UpdateSuccessful);
        EXPECT_EQ (timesOf (BoardRequest::Erase).size(), c.erases);
    }
}
