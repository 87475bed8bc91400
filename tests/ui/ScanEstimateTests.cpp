// The scan's progress estimate, tick by tick: how much of it is left when the scan ends,
// how fast that rest runs, and when the report follows.

#include "tests/ui/MainComponentFixture.h"

#include <cmath>

namespace
{
class ScanEstimate : public MainComponentTest
{
protected:
    // An automatic scan's estimate (2 passes: 6 s, 375 ticks), started afresh.
    void startEstimate()
    {
        inspect().expectedScanSeconds() = 6.0f;
        inspect().elapsedScanSeconds() = 0.0f;
        inspect().scanProgressIncrement() = 0.016f;
        inspect().progressBar1Value() = 0.0;
        main->appendLog ("Found IPs assigned to this computer: 10.0.0.5", { false, 1, true });
    }

    // Ticks until the estimate is full and no more ticks are wanted.
    int ticksToFull()
    {
        int ticks = 0;
        while (inspect().progressBar1Value() < 1.0 && ticks < 10000)
        {
            inspect().tickScanEstimate();
            ++ticks;
        }
        return ticks;
    }

    bool reported() { return logView().getText().contains ("Finished network scan"); }
};
}

TEST_F (ScanEstimate, TheRestRunsFasterOnlyWhenTheScanEndsBelowEightyFivePercent)
{
    struct Case
    {
        int ticksBeforeEnd;
        float increment;     // seconds per tick once the scan has ended
        int ticksLeft;
    };
    const Case cases[] = {
        { 188, 0.016f * (3.0f - 188 * 0.016f / 6.0f), 75 },    // ended at 50 %: 2.5 times as fast
        { 338, 0.016f, 37 },                                    // ended at 90 %: the normal pace
        { 1, 0.016f * (3.0f - 0.016f / 6.0f), 125 },            // ended at once: about three times as fast
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.ticksBeforeEnd);
        startEstimate();
        for (int i = 0; i < c.ticksBeforeEnd; ++i)
            inspect().tickScanEstimate();

        inspect().handleDiscoveryCompletion();
        EXPECT_TRUE (inspect().discoveryDoneEarly());
        EXPECT_NEAR (inspect().scanProgressIncrement(), c.increment, 1e-6f);
        EXPECT_NEAR (ticksToFull(), c.ticksLeft, 1);
        EXPECT_FALSE (inspect().discoveryDoneEarly()) << "every scan leaves the flag clear";

        EXPECT_FALSE (reported());
        runMessages (300);
        EXPECT_FALSE (reported()) << "the report waits 500 ms after the estimate's end";
        ASSERT_TRUE (waitFor ([this] { return reported(); }));
    }
}

TEST_F (ScanEstimate, AScanThatOutlastsTheEstimateIsReportedHalfASecondAfterItsEnd)
{
    startEstimate();
    EXPECT_NEAR (ticksToFull(), 375, 1) << "6 s of 16 ms ticks, summed in single precision";
    EXPECT_FALSE (inspect().discoveryDoneEarly());
    runMessages (700);
    EXPECT_FALSE (reported()) << "a full bar waits for the scan";

    inspect().handleDiscoveryCompletion();
    runMessages (300);
    EXPECT_FALSE (reported());
    ASSERT_TRUE (waitFor ([this] { return reported(); }));
    EXPECT_EQ (logView().getText().upToFirstOccurrenceOf ("\n", false, false).substring (2), "Finished network scan")
        << "the report takes the place of the last line";
}
