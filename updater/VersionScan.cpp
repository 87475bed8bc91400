#include "updater/ZorvUpdater.h"
#include "updater/BoardTables.h"

#include <algorithm>

// The whole-device procedure: scan every board's firmware state, report what needs an
// update and, unless only the versions were asked for, update those boards one after
// another between a question and a closing box.
//
//   plan --> open --> scan --> count --nothing pending--> "up to date"
//                                |
//                                +--pending--> versions only: report, end
//                                              otherwise: question --No--> "cancelled"
//                                                            |
//                                                           Yes --> update pass --> summary, box
//
// The engine's cancel flag (set only when the engine is destroyed) ends it at the next
// check, without a closing line or box.

namespace
{
    const char* deviceNoun (int deviceType)
    {
        return deviceType == 0 ? "console" : "unit";
    }
}

bool hasPendingDependency (int deviceType, int boardIndex, const std::vector<PanelScanEntry>& entries)
{
    for (const auto& row : FirmwareDependencyTable)
    {
        if (row.deviceType != deviceType || row.boardIndex != boardIndex)
            continue;

        for (const int prerequisite : row.prerequisites)
        {
            if (prerequisite < 0 || (size_t) prerequisite >= entries.size())
                return true;

            const auto& entry = entries[(size_t) prerequisite];
            if (entry.bootMode || entry.firmwareVersion == 0)
                return true;
        }
    }
    return false;
}

int ZorvUpdater::getMasterFaderPanelType (const DeviceRecord& record)
{
    for (const uint8_t board : { uint8_t (19), uint8_t (23) })
    {
        TagReplyHead head;
        if (readDeviceId (record, getPanelAddress (record.deviceType, board), head,
                          timing.connectTimeoutMs, timing.replyTimeoutMs) == DeviceResult::Success)
            return board;
    }
    return noMasterFader;
}

int ZorvUpdater::getPanelFirmwareStatus (const DeviceRecord& record, PanelScanEntry& entry)
{
    if (cancel)
        return UpToDate;

    auto address = getPanelAddress (record.deviceType, entry.boardIndex);
    address.Type = entry.address.Type;
    bool bootMode = false;
    uint8_t version = 0;
    checkPanelInternal (record, address, bootMode, version);
    entry.bootMode = bootMode;
    entry.firmwareVersion = version;

    const bool differs = version != buildVersion (record.deviceType, entry.address.Type);
    return bootMode || differs ? UpdatePending : UpToDate;
}

std::string ZorvUpdater::formatPanelVersionLine (const DeviceRecord& record, const PanelScanEntry& entry) const
{
    return boardName (record.deviceType, entry.boardIndex) + " Version: " + std::to_string (entry.firmwareVersion)
         + (entry.bootMode ? " [BootMode]" : "")
         + " (" + std::to_string (buildVersion (record.deviceType, entry.address.Type)) + ")";
}

void ZorvUpdater::getVersionsAutoUpdateAllInternal (const DeviceRecord& record, bool versionsOnly, bool clearLog,
                                                    bool interactive, bool forceAll, const UpdaterEventCallback& callback)
{
    requireDeviceType (record.deviceType);
    const auto plan = planVersionScan (record);
    if (plan.boardCount == 0)
        return;

    std::vector<PanelScanEntry> entries ((size_t) plan.boardCount);
    openVersionScan (record, versionsOnly, clearLog, callback);
    if (! scanBoards (record, plan, forceAll, entries, callback))
        return;

    int pending = 0;
    if (! countEntries (entries, { DeviceNotFound, UpToDate }, pending))
        return;

    if (reportPending (record, pending, versionsOnly, interactive, callback))
        runUpdatePass (record, entries, pending, interactive, forceAll, callback);
}

// Which boards a device has: a console without the status byte tells by which master
// fader board answers, a V518 TRX by its option word.
ZorvUpdater::ScanPlan ZorvUpdater::planVersionScan (const DeviceRecord& record)
{
    ScanPlan plan;
    switch (record.deviceType)
    {
        case 0:
        {
            plan.boardCount = 24;
            plan.notInstalled.assign (24, false);
            if (record.statusFlag != 0)
                break;
            const int masterFaderBoard = getMasterFaderPanelType (record);
            if (masterFaderBoard == 19)
                plan.boardCount = 20;
            else if (masterFaderBoard == 23)
                plan.notInstalled[19] = true;
            break;
        }

        case 1:
            plan.boardCount = 1;
            if (record.statusFlag != 0 || record.optionWord == 0)
                break;
            plan.boardCount = 5;
            plan.notInstalled = { false,
                                  (record.optionWord & 2) == 0, (record.optionWord & 2) == 0,
                                  (record.optionWord & 8) == 0, (record.optionWord & 8) == 0 };
            break;

        case 2:
        case 3:
        case 4:
            plan.boardCount = 1;
            break;

        default:
            break;
    }
    plan.notInstalled.resize ((size_t) plan.boardCount, false);
    return plan;
}

void ZorvUpdater::openVersionScan (const DeviceRecord& record, bool versionsOnly, bool clearLog,
                                   const UpdaterEventCallback& callback)
{
    if (clearLog)
        sendClearLog (callback);
    else
        sendNewLogSection (callback);

    sendLogLine (callback, logLevel::info,
                 std::string (deviceTypeTable[record.deviceType].name) + " [" + deviceNameText (record) + "]", false);
    sendNewLogSection (callback);
    sendLogLine (callback, logLevel::info, versionsOnly ? "Version scan started" : "Auto update started", false);
    showProgressBar (callback, true);
}

// False when cancelled. A board whose prerequisites are not healthy is pending without
// being asked: it cannot be brought up to date before they are.
bool ZorvUpdater::scanBoards (const DeviceRecord& record, const ScanPlan& plan, bool forceAll,
                              std::vector<PanelScanEntry>& entries, const UpdaterEventCallback& callback)
{
    const int deviceType = record.deviceType;
    for (int i = 0; i < plan.boardCount; ++i)
    {
        if (cancel)
            return false;

        sendProgress (callback, std::min (1.0f, (float) (i + 1) / (float) plan.boardCount));

        auto& entry = entries[(size_t) i];
        entry.boardIndex = (uint8_t) i;
        entry.address = getPanelAddress (deviceType, (uint8_t) i);
        entry.bootMode = false;
        entry.firmwareVersion = 0;

        int status = UpdatePending;
        if (plan.notInstalled[(size_t) i])
            status = DeviceNotFound;
        else if (deviceType > 1 || ! hasPendingDependency (deviceType, i, entries))
            status = getPanelFirmwareStatus (record, entry);

        if (forceAll && status != DeviceNotFound)
            status = UpdatePending;
        entry.status = status;

        if (status == UpToDate)
            sendLogLine (callback, logLevel::info, "Firmware up to date: " + formatPanelVersionLine (record, entry), false);
        else if (status == UpdatePending)
            sendLogLine (callback, logLevel::warning, "Firmware update required: " + formatPanelVersionLine (record, entry), false);

        if (deviceType == 0)
            preciseSleep (timing.tickMs);
    }

    preciseSleep (deviceType == 0 ? 2 * timing.tickMs : timing.scanEndPauseMs);
    sendProgressBarState (callback, false, false, false);
    return true;
}

// Counts the entries whose status is none of the excluded ones; false when cancelled.
bool ZorvUpdater::countEntries (const std::vector<PanelScanEntry>& entries, const std::vector<int>& excluded,
                                int& count) const
{
    count = 0;
    for (const auto& entry : entries)
    {
        if (cancel)
            return false;
        if (std::find (excluded.begin(), excluded.end(), entry.status) == excluded.end())
            ++count;
    }
    return true;
}

// The scan's verdict; true when the update pass is to follow.
bool ZorvUpdater::reportPending (const DeviceRecord& record, int pending, bool versionsOnly, bool interactive,
                                 const UpdaterEventCallback& callback)
{
    const std::string scan = versionsOnly ? "Version scan" : "Auto update";
    const std::string noun = deviceNoun (record.deviceType);
    sendNewLogSection (callback);

    if (pending == 0)
    {
        sendLogLine (callback, logLevel::info, scan + " has finished", false);
        sendLogLine (callback, logLevel::info,
                     versionsOnly ? "Version scan found all devices up to date" : "This " + noun + " is already up to date",
                     false);
        return false;
    }

    const std::string devices = pending == 1 ? "1 device that needs updating"
                                             : std::to_string (pending) + " devices that need updating";
    sendLogLine (callback, logLevel::info, scan + " has found " + devices, false);
    if (versionsOnly)
        return false;

    if (interactive)
    {
        const auto question = "This " + noun + " has " + devices + ".\nDo you wish to continue?";
        const auto answer = askAndWait (callback, messageBox::iconQuestion, question, autoUpdateTitle,
                                        messageBox::buttonsYesNo, messageBox::answerNo);
        if (answer != messageBox::answerYes)
        {
            sendNewLogSection (callback);
            sendLogLine (callback, logLevel::info, "Auto Update cancelled", false);
            return false;
        }
    }
    return true;
}
