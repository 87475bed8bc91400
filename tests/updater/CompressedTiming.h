#pragma once

// The engine's waits compressed for tests and benchmarks: exchanges that are meant to time
// out do so in a fraction of a second, and nothing that should succeed comes near.

#include "updater/UpdaterTiming.h"

namespace enginetest
{
inline UpdaterTiming compressedTiming()
{
    UpdaterTiming timing;
    timing.connectTimeoutMs = 2000;
    timing.replyTimeoutMs = 300;
    timing.discoveryReplyTimeoutMs = 300;
    timing.eraseReplyTimeoutMs[0] = 300;
    timing.eraseReplyTimeoutMs[1] = 500;
    timing.tickMs = 1;
    timing.bootModePollMs = 10;
    timing.finalCheckPauseMs = 30;
    timing.erasePauseMs = 5;
    timing.fpgaSettleStepMs = 0.01;
    timing.programStartPauseMs = 1;
    timing.finishPauseMs = 10;
    timing.programCompletePauseMs = 3;
    timing.blockRetryPauseMs = 5;
    timing.answerPollMs = 1;
    timing.scanEndPauseMs = 2;
    return timing;
}
}
