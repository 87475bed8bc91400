#pragma once

// The scenarios of the wait table, each reaching one place where a wait is spent. Each
// returns the spans it measured there, in milliseconds: from the device's side (the times
// its requests arrived) where the device sees the wait, from the engine's side (the times
// its events arrived) where it does not.

#include "tests/updater/WaitFixture.h"

namespace waittest
{
// Restart waits and the version scan, event to event.
Samples restartWaitTicks (WaitFixture&);            // a board's restart wait: one progress event per tick
Samples sweepTicks (WaitFixture&);                  // the sweep after an interface board was found
Samples consoleScanSpacing (WaitFixture&);          // a console's scan: a board's line to the next board's progress
Samples consoleScanEnd (WaitFixture&);              // a console's scan: the last board's line to the bar hidden
Samples unitScanEnd (WaitFixture&);                 // the same for a device of another type

// Pauses of a board update and of boot mode, request to request.
Samples bootModeEntryPolls (WaitFixture&);          // a board that ignores the command: between its 20 reads
Samples bootModeExitReads (WaitFixture&);           // a board still in boot mode: its first read to its last
Samples readToErase (WaitFixture&);                 // the read before the erase to the erase
Samples fpgaSettleSteps (WaitFixture&);             // an FPGA board after its erase: one progress event per step
Samples eraseToBlock (WaitFixture&);                // a PIC board's erase to its first block
Samples blockToComplete (WaitFixture&);             // the last block to program complete
Samples blockRetries (WaitFixture&);                // a block the board refused to the same block again

// Pauses of operations, event to event.
Samples questionBoxAnswers (WaitFixture&);          // a box answered halfway to the first poll, to the next event
Samples operationStarts (WaitFixture&);             // a launch to the operation's first event

// Time-outs of exchanges with a device that lets connects time out (connect) or with a
// board that gives no answer (reply).
Samples checkConnect (WaitFixture&);
Samples probeConnect (WaitFixture&);
Samples enterBootModeConnect (WaitFixture&);
Samples eraseConnect (WaitFixture&);
Samples blockConnect (WaitFixture&);
Samples programCompleteConnect (WaitFixture&);
Samples masterFaderProcessorReadConnect (WaitFixture&);
Samples processorQueryConnect (WaitFixture&);
Samples exitBootModeConnect (WaitFixture&);
Samples masterFaderResetReadConnect (WaitFixture&);
Samples resetConnect (WaitFixture&);
Samples masterFaderProbeConnect (WaitFixture&);
Samples rediscoveryConnect (WaitFixture&);

Samples bootModeEntryReadReply (WaitFixture&);
Samples picEraseReply (WaitFixture&);
Samples fpgaEraseReply (WaitFixture&);
Samples masterFaderProcessorReadReply (WaitFixture&);
Samples processorQueryReply (WaitFixture&);
Samples blockReply (WaitFixture&);
Samples masterFaderResetReadReply (WaitFixture&);
Samples masterFaderProbeReply (WaitFixture&);
Samples probeReply (WaitFixture&);
Samples rediscoveryReply (WaitFixture&);
}
