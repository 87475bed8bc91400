#include "updater/ZorvUpdater.h"
#include "updater/BoardTables.h"

#include "discovery/AddressText.h"

#include <algorithm>

// The update pass of Auto Update: the pending boards one after another in board order, each
// checked again first, tried at most twice, then checked once more; the summary and the
// closing box at the end.

namespace
{
    int64_t millisecondsSince (std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds> (std::chrono::steady_clock::now() - start).count();
    }

    bool scannedAndPending (const PanelScanEntry& entry)
    {
        return entry.status != DeviceNotFound && entry.status != UpToDate;
    }
}

void ZorvUpdater::runUpdatePass (const DeviceRecord& record, std::vector<PanelScanEntry>& entries, int pending,
                                 bool interactive, bool forceAll, const UpdaterEventCallback& callback)
{
    const auto start = std::chrono::steady_clock::now();
    sendNewLogSection (callback);
    sendLogLine (callback, logLevel::info, "Updating firmware...", false);
    sendNewLogSection (callback);
    sendSecondProgressBarState (callback, true);

    int started = 0;
    MasterFaderProbe probe;
    for (auto& entry : entries)
    {
        if (cancel)
            return;
        if (! scannedAndPending (entry))
            continue;

        ++started;
        UpdaterEvent progress;
        progress.type = SecondProgress;
        progress.progress = std::min (1.0f, (float) started / (float) pending);
        sendEvent (callback, progress);

        if (! updateScannedBoard (record, entry, forceAll, probe, callback))
            return;
    }

    if (cancel)
        return;
    sendSecondProgressBarState (callback, false);
    closeAutoUpdate (entries, start, interactive, callback);
}

// One pending board of the pass; false when cancelled.
bool ZorvUpdater::updateScannedBoard (const DeviceRecord& record, PanelScanEntry& entry, bool forceAll,
                                      MasterFaderProbe& probe, const UpdaterEventCallback& callback)
{
    const auto& name = boardName (record.deviceType, entry.boardIndex);
    const int board = entry.boardIndex;
    if (probe.rediscovered && ((probe.masterFaderBoard == 23 && board == 19)
                               || (probe.masterFaderBoard == 19 && board >= 20 && board <= 23)))
    {
        entry.status = DeviceNotFound;
        sendLogLine (callback, logLevel::success, "No update required - not installed on this console! " + name, false);
        return true;
    }

    sendLogLine (callback, logLevel::info, "Updating: " + formatPanelVersionLine (record, entry), false);
    const int recheck = getPanelFirmwareStatus (record, entry);
    const bool fpgaPending = isFPGABoard (record.deviceType, entry.address.Type) && entry.status == UpdatePending;
    if (recheck != UpdatePending && ! forceAll && ! fpgaPending)
    {
        entry.status = UpToDate;
        sendLogLine (callback, logLevel::success,
                     "No update required - device is up to date! " + formatPanelVersionLine (record, entry), true);
        return true;
    }

    if (cancel)
        return false;
    const auto start = std::chrono::steady_clock::now();
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        if (cancel)
            return false;
        if (processPanelUpdate (record, entry, callback))
            break;
    }

    reportBoardUpdate (record, entry, millisecondsSince (start), callback);
    if (entry.status == UpdateSuccessful && record.deviceType == 0 && board == 0 && record.statusFlag != 0)
        probe = probeAfterMonitorInterface (record);
    return true;
}

void ZorvUpdater::reportBoardUpdate (const DeviceRecord& record, const PanelScanEntry& entry, int64_t ms,
                                     const UpdaterEventCallback& callback)
{
    const auto versionLine = formatPanelVersionLine (record, entry);
    if (entry.status != UpdateSuccessful)
    {
        sendLogLine (callback, updateResultLogLevel (entry.status), updateResultText (entry.status) + versionLine, true);
        return;
    }

    sendLogLine (callback, logLevel::success, "Update Successful! " + versionLine + formatDuration (ms), true);
    const int build = buildVersion (record.deviceType, entry.address.Type);
    if (entry.firmwareVersion != build)
        sendLogLine (callback, logLevel::warning,
                     "Warning: " + boardName (record.deviceType, entry.boardIndex) + " firmware version ("
                         + std::to_string (entry.firmwareVersion) + ") " + "differs from build version " + "("
                         + std::to_string (build) + ")",
                     false);
}

// The Monitor Interface board's restart brings the console's record up to date: the
// motorised fader word, or else the master fader board that answers, tells which fader
// boards the console really has.
ZorvUpdater::MasterFaderProbe ZorvUpdater::probeAfterMonitorInterface (const DeviceRecord& record)
{
    const auto found = discoverDevice (ipv4BytesToText (record.ipv4Address), record.deviceType,
                                       timing.connectTimeoutMs, timing.discoveryReplyTimeoutMs);
    if (! found.found)
        return {};

    MasterFaderProbe probe;
    probe.rediscovered = true;
    probe.masterFaderBoard = found.record.motorisedFaderWord == 1 ? 23 : getMasterFaderPanelType (found.record);
    return probe;
}

void ZorvUpdater::closeAutoUpdate (const std::vector<PanelScanEntry>& entries, std::chrono::steady_clock::time_point start,
                                   bool interactive, const UpdaterEventCallback& callback)
{
    int failed = 0;
    if (! countEntries (entries, { UpdateSuccessful, DeviceNotFound, UpToDate }, failed))
        return;

    sendNewLogSection (callback);
    sendLogLine (callback, logLevel::info, "Auto Update has finished" + formatDuration (millisecondsSince (start)), false);

    int icon = messageBox::iconInformation;
    std::string text = "Auto Update completed successfully!\n";
    if (failed > 0)
    {
        const std::string warning = failed == 1 ? "Warning! Firmware update FAILED on 1 device!"
                                                : "Warning! Firmware update FAILED on " + std::to_string (failed) + " devices!";
        sendNewLogSection (callback);
        sendLogLine (callback, logLevel::error, warning, false);
        icon = messageBox::iconWarning;
        text = warning + "\n";
    }

    if (interactive)
        askAndWait (callback, icon, text, autoUpdateTitle, messageBox::buttonsOk, messageBox::answerOk);
}

// One try at one board; the check afterwards decides what the try was worth.
bool ZorvUpdater::processPanelUpdate (const DeviceRecord& record, PanelScanEntry& entry, const UpdaterEventCallback& callback)
{
    const auto file = getFirmwareFile (record, entry.boardIndex);
    entry.status = updatePanelFirmware (record, entry.address, file, false, callback);

    if (cancel)
        return false;

    bool bootMode = false;
    uint8_t version = 0;
    if (! checkPanelInternal (record, entry.address, bootMode, version))
        return false;

    entry.bootMode = bootMode;
    entry.firmwareVersion = version;

    switch (entry.status)
    {
        case UpdateSuccessful:
            return true;
        case ConnectionProblem:
        case DeviceNotFound:
        case FirmwareFileMissing:
            return false;
        default:
            break;
    }
    if (bootMode)
    {
        entry.status = StillInBootMode;
        return false;
    }
    if (entry.status != UpdateFailed)
    {
        entry.status = UpdateSuccessful;
        return true;
    }
    return false;
}
