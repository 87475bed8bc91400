#include "tests/updater/ZorvUpdaterInspector.h"
#include "updater/UpdaterTiming.h"

#include <gtest/gtest.h>

// Every other engine test runs on compressed timing; this is the one place that holds the
// program's own waits to the numbers the devices were built for.

namespace
{
struct Pause
{
    const char* name;
    double UpdaterTiming::*field;
    double ms;
};

const Pause pauses[] =
{
    { "tick", &UpdaterTiming::tickMs, 16 },
    { "start pause step", &UpdaterTiming::startPauseStepMs, 1 },
    { "boot mode poll", &UpdaterTiming::bootModePollMs, 1000 },
    { "final check pause", &UpdaterTiming::finalCheckPauseMs, 3000 },
    { "erase pause", &UpdaterTiming::erasePauseMs, 500 },
    { "FPGA settle step", &UpdaterTiming::fpgaSettleStepMs, 10 },
    { "program start pause", &UpdaterTiming::programStartPauseMs, 125 },
    { "finish pause", &UpdaterTiming::finishPauseMs, 1000 },
    { "program complete pause", &UpdaterTiming::programCompletePauseMs, 255 },
    { "block retry pause", &UpdaterTiming::blockRetryPauseMs, 500 },
    { "local port poll", &UpdaterTiming::localPortPollMs, 250 },
    { "local port wait", &UpdaterTiming::localPortWaitMs, 240000 },
    { "answer poll", &UpdaterTiming::answerPollMs, 100 },
    { "scan end pause", &UpdaterTiming::scanEndPauseMs, 200 },
};

void expectProductionValues (const UpdaterTiming& timing)
{
    for (const auto& pause : pauses)
        EXPECT_EQ (timing.*pause.field, pause.ms) << pause.name;

    EXPECT_EQ (timing.connectTimeoutMs, 5000);
    EXPECT_EQ (timing.replyTimeoutMs, 5000);
    EXPECT_EQ (timing.discoveryReplyTimeoutMs, 5000);
    EXPECT_EQ (timing.eraseReplyTimeoutMs[0], 15000) << "PIC erase";
    EXPECT_EQ (timing.eraseReplyTimeoutMs[1], 25000) << "FPGA erase";
}
}

TEST (ProductionTiming, DefaultRecordHoldsTheDevicesWaits)
{
    expectProductionValues (UpdaterTiming {});
}

TEST (ProductionTiming, EngineBuiltWithoutATimingUsesTheDefaults)
{
    ZorvUpdater engine ("/nonexistent");
    expectProductionValues (ZorvUpdaterInspector::timing (engine));
}

TEST (ProductionTiming, RestartWaitsInTicks)
{
    EXPECT_EQ (UpdaterTiming::nominalTickMs, 16);
    EXPECT_EQ (UpdaterTiming::restartTicks, 1875);
    EXPECT_EQ (UpdaterTiming::interfaceRestartTicks, 7500);
    EXPECT_EQ (UpdaterTiming::firstProbeTick, 1562);
    EXPECT_EQ (UpdaterTiming::probeIntervalTicks, 187);
}
