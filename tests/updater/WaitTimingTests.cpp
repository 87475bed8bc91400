// Every wait of the engine's timing at each place it is spent (WaitTable.h says how a row
// is judged). The time-outs are spent wherever an exchange expects an answer; where none is
// expected (the boot mode command, program complete, the reset) the reply time-out handed
// over is never waited for.

#include "tests/updater/WaitTable.h"

#include <algorithm>
#include <sstream>
#include <type_traits>

namespace waittest
{
namespace
{
struct TimingField
{
    const char* name;
    double (*get) (const UpdaterTiming&);
    void (*set) (UpdaterTiming&, double);
};

template <auto member>
double read (const UpdaterTiming& timing)
{
    return (double) (timing.*member);
}

template <auto member>
void write (UpdaterTiming& timing, double value)
{
    using Value = std::remove_reference_t<decltype (timing.*member)>;
    timing.*member = (Value) value;
}

template <int index>
double readErase (const UpdaterTiming& timing)
{
    return timing.eraseReplyTimeoutMs[index];
}

template <int index>
void writeErase (UpdaterTiming& timing, double value)
{
    timing.eraseReplyTimeoutMs[index] = (int) value;
}

const TimingField timingFields[] = {
    { "connectTimeoutMs", read<&UpdaterTiming::connectTimeoutMs>, write<&UpdaterTiming::connectTimeoutMs> },
    { "replyTimeoutMs", read<&UpdaterTiming::replyTimeoutMs>, write<&UpdaterTiming::replyTimeoutMs> },
    { "discoveryReplyTimeoutMs", read<&UpdaterTiming::discoveryReplyTimeoutMs>, write<&UpdaterTiming::discoveryReplyTimeoutMs> },
    { "eraseReplyTimeoutMs[0]", readErase<0>, writeErase<0> },
    { "eraseReplyTimeoutMs[1]", readErase<1>, writeErase<1> },
    { "tickMs", read<&UpdaterTiming::tickMs>, write<&UpdaterTiming::tickMs> },
    { "startPauseStepMs", read<&UpdaterTiming::startPauseStepMs>, write<&UpdaterTiming::startPauseStepMs> },
    { "bootModePollMs", read<&UpdaterTiming::bootModePollMs>, write<&UpdaterTiming::bootModePollMs> },
    { "finalCheckPauseMs", read<&UpdaterTiming::finalCheckPauseMs>, write<&UpdaterTiming::finalCheckPauseMs> },
    { "erasePauseMs", read<&UpdaterTiming::erasePauseMs>, write<&UpdaterTiming::erasePauseMs> },
    { "fpgaSettleStepMs", read<&UpdaterTiming::fpgaSettleStepMs>, write<&UpdaterTiming::fpgaSettleStepMs> },
    { "programStartPauseMs", read<&UpdaterTiming::programStartPauseMs>, write<&UpdaterTiming::programStartPauseMs> },
    { "finishPauseMs", read<&UpdaterTiming::finishPauseMs>, write<&UpdaterTiming::finishPauseMs> },
    { "programCompletePauseMs", read<&UpdaterTiming::programCompletePauseMs>, write<&UpdaterTiming::programCompletePauseMs> },
    { "blockRetryPauseMs", read<&UpdaterTiming::blockRetryPauseMs>, write<&UpdaterTiming::blockRetryPauseMs> },
    { "localPortPollMs", read<&UpdaterTiming::localPortPollMs>, write<&UpdaterTiming::localPortPollMs> },
    { "localPortWaitMs", read<&UpdaterTiming::localPortWaitMs>, write<&UpdaterTiming::localPortWaitMs> },
    { "answerPollMs", read<&UpdaterTiming::answerPollMs>, write<&UpdaterTiming::answerPollMs> },
    { "scanEndPauseMs", read<&UpdaterTiming::scanEndPauseMs>, write<&UpdaterTiming::scanEndPauseMs> },
};

const TimingField& fieldNamed (const std::string& name)
{
    const auto found = std::find_if (std::begin (timingFields), std::end (timingFields),
                                     [&] (const TimingField& f) { return name == f.name; });
    if (found == std::end (timingFields))
        throw std::invalid_argument ("no timing field " + name);
    return *found;
}

// Another field spent in the row's place must land below the lower bound or above the
// upper one: at most half the row's value, or at least its value times the tolerance.
::testing::AssertionResult setApart (const UpdaterTiming& timing, const WaitCase& c)
{
    for (const auto& other : timingFields)
    {
        const double v = other.get (timing);
        if (other.name != std::string (c.field) && v > c.value / 2 && v < c.value * c.tolerance)
            return ::testing::AssertionFailure() << other.name << " (" << v << " ms) is too close to " << c.field
                                                 << " (" << c.value << " ms)";
    }
    return ::testing::AssertionSuccess();
}

std::string listed (const Samples& samples)
{
    std::ostringstream out;
    for (const auto s : samples)
        out << " " << s;
    return out.str();
}

constexpr double connect = 700;     // the connect time-out under test; every other time-out is 300
constexpr double reply = 600;       // a reply time-out under test

const WaitCase waitCases[] = {
    // The tick, at the four places it is spent.
    { "TickOfARestartWait", "tickMs", 16, 1, stretchCaught, restartWaitTicks,
      "waitForDeviceRunning: each tick of a board's restart wait, between its progress events" },
    { "TickOfTheSweep", "tickMs", 1, 1, stretchCaught, sweepTicks,
      "sweepProgressToEnd: each step after an interface board was found, between its progress events" },
    { "TickAfterEachConsoleBoard", "tickMs", 16, 1, stretchCaught, consoleScanSpacing,
      "scanBoards: a console board's scan line to the next board's progress" },
    { "TicksEndingAConsoleScan", "tickMs", 16, 3, stretchCaught, consoleScanEnd,
      "scanBoards: the last console board's line to the bar hidden, its own tick and the end's two" },

    // Fixed pauses.
    { "ScanEndPauseOfAnotherType", "scanEndPauseMs", 100, 1, twiceCaught, unitScanEnd,
      "scanBoards: the last line of a type 2 scan to the bar hidden" },
    { "StartPauseSteps", "startPauseStepMs", 10, 10, twiceCaught, operationStarts,
      "operationStartPause: a launch to the operation's first event, ten steps" },
    { "BootModePollEntering", "bootModePollMs", 100, 1, twiceCaught, bootModeEntryPolls,
      "enterBootMode: between the reads of a board that stays running" },
    { "BootModePollLeaving", "bootModePollMs", 100, 1, twiceCaught, bootModeExitReads,
      "verifyBootModeExit: after a read of 'V', before the last read" },
    { "FinalCheckPause", "finalCheckPauseMs", 100, 1, twiceCaught, bootModeExitReads,
      "verifyBootModeExit: before the last read of a board still in boot mode" },
    { "ErasePause", "erasePauseMs", 100, 1, twiceCaught, readToErase,
      "readyForBlocks: the read before the erase to the erase" },
    { "FpgaSettleStep", "fpgaSettleStepMs", 1, 1, twiceCaught, fpgaSettleSteps,
      "settleAfterFpgaErase: each step after an FPGA board's erase, between its progress events" },
    { "ProgramStartPause", "programStartPauseMs", 100, 1, twiceCaught, eraseToBlock,
      "programAndComplete: the erase to the first block" },
    { "FinishPause", "finishPauseMs", 100, 1, twiceCaught, blockToComplete,
      "programAndComplete: the last block to program complete, before the bar goes" },
    { "ProgramCompletePause", "programCompletePauseMs", 100, 1, twiceCaught, blockToComplete,
      "programAndComplete: the last block to program complete, after the bar went" },
    { "BlockRetryPause", "blockRetryPauseMs", 100, 1, twiceCaught, blockRetries,
      "sendProgramBlock: a refused block to its next try" },
    { "AnswerPoll", "answerPollMs", 150, 1, twiceCaught, questionBoxAnswers,
      "askAndWait: a question answered halfway to the second look, to the next event" },

    // The connect time-out, at every exchange that hands it over.
    { "ConnectOfACheck", "connectTimeoutMs", connect, 1, twiceCaught, checkConnect,
      "readIdentity: a check's read" },
    { "ConnectOfAProbe", "connectTimeoutMs", connect, 1, twiceCaught, probeConnect,
      "waitForDeviceRunning: the probe of an interface board" },
    { "ConnectOfTheBootModeCommand", "connectTimeoutMs", connect, 1, twiceCaught, enterBootModeConnect,
      "enterBootMode: the boot mode command" },
    { "ConnectOfAnErase", "connectTimeoutMs", connect, 1, twiceCaught, eraseConnect,
      "eraseWithRetries: the erase" },
    { "ConnectOfABlock", "connectTimeoutMs", connect, 1, twiceCaught, blockConnect,
      "sendProgramBlock: a block" },
    { "ConnectOfProgramComplete", "connectTimeoutMs", connect, 1, twiceCaught, programCompleteConnect,
      "completeProgramming: program complete after the blocks" },
    { "ConnectOfAMasterFaderProcessorRead", "connectTimeoutMs", connect, 1, twiceCaught, masterFaderProcessorReadConnect,
      "getPICType: the read of a master fader board" },
    { "ConnectOfAProcessorQuery", "connectTimeoutMs", connect, 1, twiceCaught, processorQueryConnect,
      "getPICType: the processor query" },
    { "ConnectOfLeavingBootMode", "connectTimeoutMs", connect, 1, twiceCaught, exitBootModeConnect,
      "leaveBootMode: program complete" },
    { "ConnectOfAMasterFaderResetRead", "connectTimeoutMs", connect, 1, twiceCaught, masterFaderResetReadConnect,
      "resetPanel: the read of a master fader board" },
    { "ConnectOfAReset", "connectTimeoutMs", connect, 1, twiceCaught, resetConnect,
      "resetPanel: the reset" },
    { "ConnectOfTheMasterFaderProbes", "connectTimeoutMs", connect, 2, twiceCaught, masterFaderProbeConnect,
      "getMasterFaderPanelType: both reads" },
    { "ConnectOfTheRediscovery", "connectTimeoutMs", connect, 1, twiceCaught, rediscoveryConnect,
      "probeAfterMonitorInterface: the probe" },

    // The reply time-outs, at every exchange that waits for an answer.
    { "ReplyOfABootModeRead", "replyTimeoutMs", reply, 1, twiceCaught, bootModeEntryReadReply,
      "readIdentity: a read after the boot mode command" },
    { "ReplyOfAPicErase", "eraseReplyTimeoutMs[0]", reply, 1, twiceCaught, picEraseReply,
      "eraseWithRetries: a PIC board's erase" },
    { "ReplyOfAnFpgaErase", "eraseReplyTimeoutMs[1]", reply, 1, twiceCaught, fpgaEraseReply,
      "eraseWithRetries: an FPGA board's erase" },
    { "ReplyOfAMasterFaderProcessorRead", "replyTimeoutMs", reply, 1, twiceCaught, masterFaderProcessorReadReply,
      "getPICType: the read of a master fader board" },
    { "ReplyOfProcessorQueries", "replyTimeoutMs", reply, 2, twiceCaught, processorQueryReply,
      "getPICType: two processor queries" },
    { "ReplyOfABlock", "replyTimeoutMs", reply, 1, twiceCaught, blockReply,
      "sendProgramBlock: a block" },
    { "ReplyOfAMasterFaderResetRead", "replyTimeoutMs", reply, 1, twiceCaught, masterFaderResetReadReply,
      "resetPanel: the read of a master fader board" },
    { "ReplyOfTheMasterFaderProbe", "replyTimeoutMs", reply, 1, twiceCaught, masterFaderProbeReply,
      "getMasterFaderPanelType: the read of the manual master fader board" },
    { "ReplyOfAProbe", "discoveryReplyTimeoutMs", reply, 1, twiceCaught, probeReply,
      "waitForDeviceRunning: the probe of an interface board" },
    { "ReplyOfTheRediscovery", "discoveryReplyTimeoutMs", reply, 1, twiceCaught, rediscoveryReply,
      "probeAfterMonitorInterface: the probe" },
};
}

std::ostream& operator<< (std::ostream& out, const WaitCase& c)
{
    return out << c.name;
}

UpdaterTiming quietTiming()
{
    UpdaterTiming timing;
    timing.connectTimeoutMs = 3000;
    timing.replyTimeoutMs = 300;
    timing.discoveryReplyTimeoutMs = 300;
    timing.eraseReplyTimeoutMs[0] = 300;
    timing.eraseReplyTimeoutMs[1] = 300;
    timing.tickMs = 0.02;
    timing.startPauseStepMs = 0.2;
    timing.bootModePollMs = 5;
    timing.finalCheckPauseMs = 5;
    timing.erasePauseMs = 5;
    timing.fpgaSettleStepMs = 0.01;
    timing.programStartPauseMs = 5;
    timing.finishPauseMs = 5;
    timing.programCompletePauseMs = 5;
    timing.blockRetryPauseMs = 2;
    timing.localPortPollMs = 5;
    timing.localPortWaitMs = 3000;
    timing.answerPollMs = 5;
    timing.scanEndPauseMs = 5;
    return timing;
}

UpdaterTiming timingFor (const WaitCase& c)
{
    auto timing = quietTiming();
    fieldNamed (c.field).set (timing, c.value);
    return timing;
}

std::string caseName (const ::testing::TestParamInfo<WaitCase>& info)
{
    return info.param.name;
}

TEST_P (Waits, SpentWhereTheyArePrescribed)
{
    const auto& c = GetParam();
    SCOPED_TRACE (c.place);
    ASSERT_TRUE (setApart (timing, c));
    if (c.ownNetworks)
        ZORV_REQUIRE_PRIVATE_NAMESPACE();

    const auto samples = c.scenario (*this);
    ASSERT_FALSE (samples.empty()) << "nothing measured";
    const double shortest = *std::min_element (samples.begin(), samples.end());
    const double expected = c.span * c.value;
    EXPECT_GE (shortest, expected) << c.field << ", measured (ms):" << listed (samples);
    EXPECT_LT (shortest, expected * c.tolerance) << c.field << ", measured (ms):" << listed (samples);
}

INSTANTIATE_TEST_SUITE_P (Everywhere, Waits, ::testing::ValuesIn (waitCases), caseName);
}
