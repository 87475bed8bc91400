#include "updater/ZorvUpdater.h"
#include "updater/BoardTables.h"
#include "updater/DeviceMessages.h"

#include <stdexcept>

// The six operations: what each launcher hands to the common frame, and the bodies that
// run inside it on the worker. A body turns every outcome at the board into log lines and
// still ends with the operation's success event; only an exception ends it otherwise.

namespace
{
    std::string decimal (uint8_t value)
    {
        return std::to_string ((int) value);
    }
}

// The launchers take any record and board index; a body that finds them outside the tables
// ends through the common failure ending instead of reading past a table.
void ZorvUpdater::requireDeviceType (int deviceType)
{
    if (deviceType < 0 || deviceType >= deviceTypeCount)
        throw std::out_of_range ("Unknown device type " + std::to_string (deviceType));
}

const std::string& ZorvUpdater::boardName (int deviceType, uint8_t boardIndex) const
{
    requireDeviceType (deviceType);
    const auto& names = boardNames.at ((size_t) deviceType);
    if (boardIndex >= names.size())
        throw std::out_of_range (std::string (deviceTypeTable[deviceType].name) + " has no board "
                                 + std::to_string ((int) boardIndex));
    return names[boardIndex];
}

void ZorvUpdater::startGetVersions (DeviceRecord record, UpdaterEventCallback callback)
{
    launchOperation ({ "Get Versions completed successfully", "Get Versions failed" }, std::move (callback),
                     [this, record] (const UpdaterEventCallback& c) { getVersions (record, c); });
}

void ZorvUpdater::startAutoUpdate (DeviceRecord record, bool forceAll, UpdaterEventCallback callback)
{
    launchOperation ({ "Auto Update completed successfully", "Auto Update failed" }, std::move (callback),
                     [this, record, forceAll] (const UpdaterEventCallback& c) { autoUpdate (record, forceAll, c); });
}

void ZorvUpdater::startUpdatePanel (DeviceRecord record, uint8_t boardIndex, UpdaterEventCallback callback)
{
    launchOperation ({ "Update completed successfully", "Update failed" }, std::move (callback),
                     [this, record, boardIndex] (const UpdaterEventCallback& c) { updatePanel (record, boardIndex, c); });
}

void ZorvUpdater::startCheckPanel (DeviceRecord record, uint8_t boardIndex, bool forceProcessorQuery,
                                   UpdaterEventCallback callback)
{
    launchOperation ({ "Check completed successfully", "Check failed" }, std::move (callback),
                     [this, record, boardIndex, forceProcessorQuery] (const UpdaterEventCallback& c)
                     {
                         checkPanel (record, boardIndex, forceProcessorQuery, c);
                     });
}

void ZorvUpdater::startResetPanel (DeviceRecord record, uint8_t boardIndex, UpdaterEventCallback callback)
{
    launchOperation ({ "Reset completed successfully", "Reset failed" }, std::move (callback),
                     [this, record, boardIndex] (const UpdaterEventCallback& c) { resetPanel (record, boardIndex, c); });
}

void ZorvUpdater::startBootModeControl (DeviceRecord record, uint8_t boardIndex, bool enter, UpdaterEventCallback callback)
{
    launchOperation ({ "Boot Mode Control completed successfully", "Boot Mode Control failed" }, std::move (callback),
                     [this, record, boardIndex, enter] (const UpdaterEventCallback& c)
                     {
                         bootModeControl (record, boardIndex, enter, c);
                     });
}

void ZorvUpdater::bootModeControl (const DeviceRecord& record, uint8_t boardIndex, bool enter,
                                   const UpdaterEventCallback& callback)
{
    const auto name = boardName (record.deviceType, boardIndex);
    const auto address = getPanelAddress (record.deviceType, boardIndex);
    sendNewLogSection (callback);

    if (isFPGABoard (record.deviceType, address.Type))
    {
        sendLogLine (callback, logLevel::info, "Device is FPGA. Boot Mode control not applicable", false);
        return;
    }

    sendLogLine (callback, logLevel::info, std::string (enter ? "Entering" : "Exiting") + " Boot Mode " + name + "...", false);
    bool inBootMode = false;
    uint8_t version = 0;
    if (! checkPanelInternal (record, address, inBootMode, version))
    {
        sendLogLine (callback, logLevel::warning, "Warning! Failed to connect to " + name, false);
        return;
    }

    if (enter == inBootMode)
    {
        sendLogLine (callback, logLevel::info,
                     std::string ("Nothing to do - Device already ") + (enter ? "in" : "not in") + " Boot Mode", false);
        return;
    }

    if (! enter)
    {
        leaveBootMode (record, boardIndex, address, callback);
        return;
    }

    if (enterBootMode (record, address, callback))
        sendLogLine (callback, logLevel::info, "Device entered Boot Mode successfully", false);
    else
        sendLogLine (callback, logLevel::warning, "Warning! Failed to enter Boot Mode", false);
}

// The program-complete command takes a PIC board out of its boot loader; the board then
// restarts, and only its answers afterwards tell whether it left.
void ZorvUpdater::leaveBootMode (const DeviceRecord& record, uint8_t boardIndex, const PanelAddress& address,
                                 const UpdaterEventCallback& callback)
{
    if (sendProgramComplete (record, address, timing.connectTimeoutMs, timing.replyTimeoutMs) != DeviceResult::Success)
    {
        sendLogLine (callback, logLevel::warning, "Warning! Failed to send exit Boot Mode command", false);
        return;
    }

    sendProgressBarState (callback, true, true, false);
    waitForDeviceRunning (record, boardIndex, 0, true, callback);
    sendLogLine (callback, logLevel::info, "Verifying device has exited Boot Mode...", false);

    bool stillInBootMode = true;
    bool responded = false;
    TagReplyHead last;
    verifyBootModeExit (record, address, stillInBootMode, responded, last);

    if (stillInBootMode || ! responded)
        sendLogLine (callback, logLevel::warning, "Warning! Device still in Boot Mode", false);
    else
        sendLogLine (callback, logLevel::info, "Device exited Boot Mode successfully", false);
    sendProgressBarState (callback, false, false, false);
}

// The two master fader boards are alternatives: the one a console lacks is not reset.
void ZorvUpdater::resetPanel (const DeviceRecord& record, uint8_t boardIndex, const UpdaterEventCallback& callback)
{
    const auto name = boardName (record.deviceType, boardIndex);
    const auto address = getPanelAddress (record.deviceType, boardIndex);
    sendNewLogSection (callback);
    sendLogLine (callback, logLevel::info, "Resetting " + name + "...", false);

    if (boardIndex == 19 || boardIndex == 23)
    {
        TagReplyHead head;
        if (readDeviceId (record, address, head, timing.connectTimeoutMs, timing.replyTimeoutMs) != DeviceResult::Success)
        {
            sendLogLine (callback, logLevel::warning, "Warning! Failed to connect to " + name, false);
            return;
        }
    }

    TagBytes reply {};
    if (! readWriteGenTags (record, address, tagMessage::resetSubCommand, reply, timing.connectTimeoutMs, timing.replyTimeoutMs))
    {
        sendLogLine (callback, logLevel::warning, "Warning! Failed to Reset " + name, false);
        return;
    }

    sendProgressBarState (callback, true, true, false);
    waitForDeviceRunning (record, boardIndex, 0, true, callback);
    sendProgressBarState (callback, false, false, false);
    sendLogLine (callback, logLevel::info, "Device reset completed successfully", false);
}

// Shows the board's version beside its build version without judging it, and the
// processor of every PIC board that answers.
void ZorvUpdater::checkPanel (const DeviceRecord& record, uint8_t boardIndex, bool forceProcessorQuery,
                              const UpdaterEventCallback& callback)
{
    const auto name = boardName (record.deviceType, boardIndex);
    const auto address = getPanelAddress (record.deviceType, boardIndex);
    const bool fpga = isFPGABoard (record.deviceType, address.Type);
    sendNewLogSection (callback);
    sendLogLine (callback, logLevel::info, "Contacting " + name + "...", false);

    bool inBootMode = false;
    uint8_t version = 0;
    if (! checkPanelInternal (record, address, inBootMode, version))
    {
        sendLogLine (callback, logLevel::warning, "Warning! Failed to connect to " + name, false);
        if (! forceProcessorQuery)
            return;
    }
    else
    {
        const auto versionText = "Firmware version: " + decimal (version) + " ("
                               + decimal (buildVersion (record.deviceType, address.Type)) + ")";
        if (fpga && version == 0)
            sendLogLine (callback, logLevel::warning, "Warning! " + name + " requires firmware update! " + versionText, false);
        else if (! fpga && inBootMode)
            sendLogLine (callback, logLevel::warning, "Warning! " + name + " in Boot Mode! " + versionText, false);
        else
            sendLogLine (callback, logLevel::info, name + " Found! " + versionText, false);
    }

    if (fpga)
        return;

    const auto variant = getPICType (record, address);
    sendLogLine (callback, logLevel::info,
                 std::string ("Processor: ") + (variant < enPICTypes_Max ? picPartNames[variant] : "Original PIC32MZ2048EFG..."),
                 false);
}

void ZorvUpdater::updatePanel (const DeviceRecord& record, uint8_t boardIndex, const UpdaterEventCallback& callback)
{
    const auto name = boardName (record.deviceType, boardIndex);
    const auto address = getPanelAddress (record.deviceType, boardIndex);
    const auto file = getFirmwareFile (record, boardIndex);
    sendNewLogSection (callback);
    const auto start = std::chrono::steady_clock::now();

    int result = DeviceNotFound;
    bool inBootMode = false;
    uint8_t version = 0;
    if (checkPanelInternal (record, address, inBootMode, version))
        result = updatePanelFirmware (record, address, file, true, callback);
    else
        sendLogLine (callback, logLevel::info, "Updating firmware on " + name + "...", false);

    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds> (std::chrono::steady_clock::now() - start).count();
    sendLogLine (callback, updateResultLogLevel (result), name + ": " + updateResultText (result) + formatDuration (ms), false);
}

void ZorvUpdater::getVersions (const DeviceRecord& record, const UpdaterEventCallback& callback)
{
    getVersionsAutoUpdateAllInternal (record, true, true, false, false, callback);
}

void ZorvUpdater::autoUpdate (const DeviceRecord& record, bool forceAll, const UpdaterEventCallback& callback)
{
    getVersionsAutoUpdateAllInternal (record, false, true, true, forceAll, callback);
}
