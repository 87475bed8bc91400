#pragma once

// Every wait of the update engine in one place. The defaults are the program's timing, and
// production never changes them; the engine keeps a copy made at construction. Tests hand
// in a compressed copy so that a whole board update takes seconds.
//
// Waits counted in ticks stay counted in ticks: a shorter tick shortens them all in
// proportion, and a time-out handed to a restart wait in milliseconds becomes
// time-out / nominalTickMs ticks, whatever the tick is.

struct UpdaterTiming
{
    // Device commands, in ms.
    int connectTimeoutMs = 5000;                       // attach wait and write time-out
    int replyTimeoutMs = 5000;
    int discoveryReplyTimeoutMs = 5000;                // the engine's own re-probe of a device
    int eraseReplyTimeoutMs[2] = { 15000, 25000 };     // indexed by "is an FPGA board"

    // One tick of the restart waits and of the version scan's spacing, in ms.
    double tickMs = 16;

    // Fixed pauses, in ms.
    double startPauseStepMs = 1;         // ten of them open every operation
    double bootModePollMs = 1000;        // between identity reads while a board changes mode
    double finalCheckPauseMs = 3000;     // before the last read of a board that stayed in boot mode
    double erasePauseMs = 500;
    double fpgaSettleStepMs = 10;        // 1499 of them after an FPGA erase
    double programStartPauseMs = 125;
    double finishPauseMs = 1000;
    double programCompletePauseMs = 255;
    double blockRetryPauseMs = 500;
    double localPortPollMs = 250;        // between tries of a block while this computer has no free local port
    double localPortWaitMs = 240000;     // the longest such tries go uncounted: Windows holds a closed port up to 240 s
    double answerPollMs = 100;           // while a question box waits for its answer
    double scanEndPauseMs = 200;         // after the version scan of a device other than type 0

    // Restart waits in ticks.
    static constexpr int nominalTickMs = 16;
    static constexpr int restartTicks = 1875;            // 30 s: a board that is not an interface board
    static constexpr int interfaceRestartTicks = 7500;   // 120 s: an interface board takes the device down
    static constexpr int firstProbeTick = 1562;          // an interface board is probed from about 25 s on,
    static constexpr int probeIntervalTicks = 187;       // then about every 3 s
};
