#include "updater/ZorvUpdater.h"
#include "updater/BoardTables.h"

#include "discovery/AddressText.h"

#include <algorithm>

namespace
{
    constexpr int bootModeReads = 20;   // identity reads while a board changes mode

    // An interface board is looked for from about 25 s on, then about every 3 s.
    bool isProbeTick (int tick)
    {
        return tick >= UpdaterTiming::firstProbeTick
            && (tick - UpdaterTiming::firstProbeTick) % UpdaterTiming::probeIntervalTicks == 0;
    }

    int restartTicks (bool interface, int timeoutMs)
    {
        if (interface)
            return UpdaterTiming::interfaceRestartTicks;
        return timeoutMs > 0 ? timeoutMs / UpdaterTiming::nominalTickMs : UpdaterTiming::restartTicks;
    }
}

DeviceResult ZorvUpdater::readIdentity (const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head)
{
    return readDeviceId (record, address, head, timing.connectTimeoutMs, timing.replyTimeoutMs);
}

bool ZorvUpdater::checkPanelInternal (const DeviceRecord& record, const PanelAddress& address, bool& bootMode,
                                      uint8_t& version)
{
    bootMode = false;
    version = 0;

    TagReplyHead head;
    if (readIdentity (record, address, head) != DeviceResult::Success)
        return false;

    bootMode = head.state == tagCode::bootMode;
    version = head.value;
    return true;
}

// A board that restarts is given its full time: only an interface board, which takes the
// device's network interface down with it, is looked for, and may end the wait early.
void ZorvUpdater::waitForDeviceRunning (const DeviceRecord& record, uint8_t boardIndex, int timeoutMs, bool showProgress,
                                        const UpdaterEventCallback& callback)
{
    const auto address = getPanelAddress (record.deviceType, boardIndex);
    const bool interface = isIntfBoard (record.deviceType, address);
    const auto ipText = ipv4BytesToText (record.ipv4Address);
    const int ticks = restartTicks (interface, timeoutMs);

    for (int tick = 1; tick <= ticks && ! cancel; ++tick)
    {
        if (showProgress)
            sendProgress (callback, std::min (1.0f, (float) tick / (float) ticks));
        preciseSleep (timing.tickMs);

        if (interface && isProbeTick (tick) && ! cancel
            && discoverDevice (ipText, record.deviceType, timing.connectTimeoutMs, timing.discoveryReplyTimeoutMs).found)
        {
            sweepProgressToEnd ((double) tick / ticks, showProgress, callback);
            return;
        }
    }
}

void ZorvUpdater::sweepProgressToEnd (double fraction, bool showProgress, const UpdaterEventCallback& callback)
{
    while (fraction < 1.0 && ! cancel)
    {
        fraction += 0.01;
        if (showProgress)
            sendProgress (callback, (float) std::min (1.0, fraction));
        preciseSleep (timing.tickMs);
    }
}

// FPGA boards take their firmware without a boot mode step.
bool ZorvUpdater::enterBootMode (const DeviceRecord& record, const PanelAddress& address,
                                 const UpdaterEventCallback& callback)
{
    const auto boardIndex = findPanelIndex (record, address);

    TagReplyHead head;
    if (readIdentity (record, address, head) != DeviceResult::Success)
        return false;
    if (isFPGABoard (record.deviceType, address.Type) || head.state == tagCode::bootMode)
        return true;

    if (sendEnterBootMode (record, address, timing.connectTimeoutMs, timing.replyTimeoutMs) != DeviceResult::Success)
        return false;

    sendProgressBarState (callback, true, true, false);
    waitForDeviceRunning (record, boardIndex, 0, true, callback);

    bool inBootMode = false;
    for (int attempt = 0; attempt < bootModeReads && ! cancel; ++attempt)
    {
        if (readIdentity (record, address, head) == DeviceResult::Success && head.state == tagCode::bootMode)
        {
            inBootMode = true;
            break;
        }
        preciseSleep (timing.bootModePollMs);
    }

    sendProgressBarState (callback, false, false, false);
    return inBootMode;
}

// A first answer of 'W' means the board has left boot mode. Any other first answer, or no
// answer in all the tries, leads to one last read a little later, in which only 'V' keeps
// the board in boot mode. lastAnswer holds the last answer that came.
void ZorvUpdater::verifyBootModeExit (const DeviceRecord& record, const PanelAddress& address, bool& bootMode,
                                      bool& responded, TagReplyHead& lastAnswer)
{
    TagReplyHead head;
    if (! bootMode)
    {
        responded = readIdentity (record, address, head) == DeviceResult::Success;
        if (responded)
            lastAnswer = head;
        return;
    }

    responded = false;
    for (int attempt = 0; attempt < bootModeReads && ! responded && ! cancel; ++attempt)
    {
        if (readIdentity (record, address, head) == DeviceResult::Success)
        {
            responded = true;
            lastAnswer = head;
            bootMode = head.state != tagCode::running;
            if (! bootMode)
                return;
        }
        preciseSleep (timing.bootModePollMs);
    }

    if (! bootMode || cancel)
        return;

    responded = false;
    preciseSleep (timing.finalCheckPauseMs);
    if (cancel)
        return;
    if (readIdentity (record, address, head) == DeviceResult::Success)
    {
        responded = true;
        lastAnswer = head;
        bootMode = head.state == tagCode::bootMode;
    }
}

void ZorvUpdater::logIfVerbose (const UpdaterEventCallback& callback, const std::string& text, bool verbose, int level)
{
    if (verbose)
        sendLogLine (callback, level, text, false);
}
