#include "tests/updater/EngineFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;

namespace
{
using Clock = std::chrono::steady_clock;

double millisecondsSince (Clock::time_point start)
{
    return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
}

bool sameStatistics (const Inspector::SleepStatistics& a, const Inspector::SleepStatistics& b)
{
    return a.estimate == b.estimate && a.mean == b.mean && a.m2 == b.m2 && a.count == b.count;
}
}

TEST (PreciseSleep, LastsAtLeastItsLengthAndLearnsFromLongWaits)
{
    ZorvUpdater engine ("/nonexistent");
    const auto before = Inspector::sleepStatistics();

    const auto start = Clock::now();
    Inspector::preciseSleep (engine, 16);
    EXPECT_GE (millisecondsSince (start), 16.0);

    const auto after = Inspector::sleepStatistics();
    EXPECT_GT (after.count, before.count) << "a 16 ms wait sleeps at least one 1 ms step";
    EXPECT_GT (after.estimate, 0.0);
    EXPECT_GE (after.estimate, after.mean) << "mean plus one deviation";
}

// A wait no longer than one expected sleep step is spun whole and teaches nothing.
TEST (PreciseSleep, ShortWaitIsSpunWithoutTouchingTheStatistics)
{
    ZorvUpdater engine ("/nonexistent");
    const auto before = Inspector::sleepStatistics();
    const double ms = before.estimate * 1000.0 / 2;

    const auto start = Clock::now();
    Inspector::preciseSleep (engine, ms);
    EXPECT_GE (millisecondsSince (start), ms);

    EXPECT_TRUE (sameStatistics (before, Inspector::sleepStatistics()));
}

TEST (PreciseSleep, CancelledWaitEndsAtOnce)
{
    ZorvUpdater engine ("/nonexistent");
    Inspector::setCancel (engine, true);
    const auto before = Inspector::sleepStatistics();

    const auto start = Clock::now();
    Inspector::preciseSleep (engine, 600000);
    Inspector::operationStartPause (engine);
    EXPECT_LT (millisecondsSince (start), 10000.0);
    EXPECT_TRUE (sameStatistics (before, Inspector::sleepStatistics()));
}

TEST (PreciseSleep, StartPauseIsTenSteps)
{
    auto timing = compressedTiming();
    timing.startPauseStepMs = 3;
    ZorvUpdater engine ("/nonexistent", timing);

    const auto start = Clock::now();
    Inspector::operationStartPause (engine);
    EXPECT_GE (millisecondsSince (start), 30.0);
}

// The statistics belong to the process; engines that sleep at once share them safely.
TEST (PreciseSleep, EnginesSleepingTogetherShareTheStatistics)
{
    const auto before = Inspector::sleepStatistics();
    std::vector<std::unique_ptr<ZorvUpdater>> engines;
    std::vector<std::thread> sleepers;
    for (int i = 0; i < 4; ++i)
        engines.push_back (std::make_unique<ZorvUpdater> ("/nonexistent"));
    for (auto& engine : engines)
        sleepers.emplace_back ([&engine]
        {
            for (int i = 0; i < 5; ++i)
                Inspector::preciseSleep (*engine, 8);
        });
    for (auto& sleeper : sleepers)
        sleeper.join();

    const auto after = Inspector::sleepStatistics();
    EXPECT_GT (after.count, before.count);
    EXPECT_TRUE (std::isfinite (after.estimate));
    EXPECT_GT (after.estimate, 0.0);
}
