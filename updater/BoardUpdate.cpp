#include "updater/ZorvUpdater.h"
#include "updater/BoardTables.h"
#include "updater/FirmwareImageWalker.h"

#include <cstring>
#include <filesystem>

namespace
{
    constexpr int eraseTries = 20;
    constexpr int fpgaSettleSteps = 1500;
    constexpr int picEraseRetryWaitMs = 5000;
    constexpr int fpgaEraseRetryWaitMs = 7000;

    // The smaller parts have 1024 KB of program flash; every other part, and a board that
    // named none, is taken to have 2048 KB.
    uint32_t flashLimitOf (const FirmwareFileInfo& file)
    {
        if (file.picType < enPICTypes_Max && std::strstr (picPartNames[file.picType], "PIC32MZ1024") != nullptr)
            return 0x1D100000;
        return 0x1D200000;
    }

    std::string versionText (uint8_t version)
    {
        return std::to_string (version);
    }
}

// The whole update of one board: the file, the board's state, boot mode, erase, the
// blocks, program complete, the restart and the check of what the board runs then. Every
// step logs its own failure. The file is walked whole before the board is contacted: a
// fault found while programming would leave a board that ran fine erased in its boot loader.
int ZorvUpdater::updatePanelFirmware (const DeviceRecord& record, const PanelAddress& address, const FirmwareFileInfo& file,
                                      bool verbose, const UpdaterEventCallback& callback)
{
    const int deviceType = record.deviceType;
    const auto boardIndex = findPanelIndex (record, address);
    logIfVerbose (callback, "Updating firmware on " + boardName (deviceType, boardIndex) + "...", verbose, logLevel::info);

    const auto bytes = loadFirmware (file, buildVersion (deviceType, address.Type), verbose, callback);
    if (bytes.empty())
        return FirmwareFileMissing;

    const auto kind = isFPGABoard (deviceType, address.Type) ? FirmwareImageWalker::Kind::RawImage
                                                             : FirmwareImageWalker::Kind::IntelHex;
    if (! FirmwareImageWalker::isWholeFileValid (bytes.data(), bytes.size(), kind, flashLimitOf (file)))
    {
        logInvalidFirmwareFile (callback, verbose);
        logIfVerbose (callback, "Error: Update failed!", verbose, logLevel::error);
        return UpdateFailed;
    }

    logIfVerbose (callback, "Contacting device...", verbose, logLevel::info);
    TagReplyHead head;
    switch (readIdentity (record, address, head))
    {
        case DeviceResult::Success:
            break;
        case DeviceResult::InvalidHeader:
        case DeviceResult::WrongDevice:
            logIfVerbose (callback, "Error: Failed to connect to device", verbose, logLevel::warning);
            return ConnectionProblem;
        default:
            logIfVerbose (callback, "Error: Update failed!", verbose, logLevel::error);
            return UpdateFailed;
    }
    logIfVerbose (callback, "Device found! Firmware version: " + versionText (head.value), verbose, logLevel::info);

    if (! readyForBlocks (record, address, head.state == tagCode::bootMode, verbose, callback)
        || ! programAndComplete (record, address, bytes, flashLimitOf (file), verbose, callback))
        return UpdateFailed;

    return restartAndCheck (record, address, verbose, callback);
}

// Empty when there is nothing to program, after saying why.
std::vector<uint8_t> ZorvUpdater::loadFirmware (const FirmwareFileInfo& file, uint8_t build, bool verbose,
                                                const UpdaterEventCallback& callback)
{
    if (! file.exists)
    {
        logIfVerbose (callback, "Error: Firmware file not found", verbose, logLevel::error);
        return {};
    }
    logIfVerbose (callback, "Firmware file: " + std::filesystem::u8path (file.path).filename().u8string() + " ("
                                + versionText (build) + ")", verbose, logLevel::info);

    auto bytes = readFirmwareFile (file.path, file.isImage);
    if (bytes.empty())
    {
        logIfVerbose (callback, "Error: Failed to load firmware file", verbose, logLevel::error);
        logIfVerbose (callback, "Reinstall the app and try again", verbose, logLevel::info);
    }
    return bytes;
}

void ZorvUpdater::logInvalidFirmwareFile (const UpdaterEventCallback& callback, bool verbose)
{
    logIfVerbose (callback, "Invalid firmware file", verbose, logLevel::warning);
    logIfVerbose (callback, "Reinstall the app and try again.", verbose, logLevel::info);
}

// A PIC board is put into its boot loader unless it is there already; every board is then
// erased, and an FPGA board given the time it needs after that.
bool ZorvUpdater::readyForBlocks (const DeviceRecord& record, const PanelAddress& address, bool bootMode, bool verbose,
                                  const UpdaterEventCallback& callback)
{
    const bool fpga = isFPGABoard (record.deviceType, address.Type);
    if (! fpga)
    {
        logIfVerbose (callback, bootMode ? "Device is in Boot Mode" : "Device is not in Boot Mode", verbose,
                      logLevel::info);
        if (! bootMode)
        {
            logIfVerbose (callback, isIntfBoard (record.deviceType, address) ? "Entering Boot Mode and reconnecting..."
                                                                              : "Entering Boot Mode...",
                          verbose, logLevel::info);
            if (! enterBootMode (record, address, callback))
            {
                logIfVerbose (callback, "Error: Update failed!", verbose, logLevel::error);
                return false;
            }
        }
    }

    logIfVerbose (callback, "Erasing device...", verbose, logLevel::info);
    preciseSleep (timing.erasePauseMs);
    if (! eraseWithRetries (record, address, callback))
    {
        logIfVerbose (callback, "Error: Failed to erase device", verbose, logLevel::error);
        return false;
    }
    if (fpga)
        settleAfterFpgaErase (callback);
    return true;
}

// A board that could not erase is given time to come back before the next try; there is
// nothing to wait for after the last one.
bool ZorvUpdater::eraseWithRetries (const DeviceRecord& record, const PanelAddress& address,
                                    const UpdaterEventCallback& callback)
{
    const bool fpga = isFPGABoard (record.deviceType, address.Type);
    const auto boardIndex = findPanelIndex (record, address);
    for (int attempt = 1; attempt <= eraseTries && ! cancel; ++attempt)
    {
        TagReplyHead head;
        if (eraseDevice (record, address, head, timing.connectTimeoutMs, timing.eraseReplyTimeoutMs[fpga ? 1 : 0])
            == DeviceResult::Success)
            return true;
        if (attempt < eraseTries)
            waitForDeviceRunning (record, boardIndex, fpga ? fpgaEraseRetryWaitMs : picEraseRetryWaitMs, false, callback);
    }
    return false;
}

// An FPGA board reloads its fabric after the erase; the bar shows the time it is given.
void ZorvUpdater::settleAfterFpgaErase (const UpdaterEventCallback& callback)
{
    sendProgressBarState (callback, true, true, false);
    for (int step = 1; step < fpgaSettleSteps && ! cancel; ++step)
    {
        sendProgress (callback, (float) step / (float) fpgaSettleSteps);
        preciseSleep (timing.fpgaSettleStepMs);
    }
    sendProgressBarState (callback, false, false, false);
}

// The blocks under the highlighted bar, then program complete, which also ends boot mode.
bool ZorvUpdater::programAndComplete (const DeviceRecord& record, const PanelAddress& address,
                                      const std::vector<uint8_t>& bytes, uint32_t flashLimit, bool verbose,
                                      const UpdaterEventCallback& callback)
{
    const bool fpga = isFPGABoard (record.deviceType, address.Type);
    logIfVerbose (callback, "Updating device...", verbose, logLevel::info);
    preciseSleep (timing.programStartPauseMs);
    sendProgressBarState (callback, true, true, true);
    if (! programFirmwareImage (record, address, bytes, fpga, flashLimit, verbose, callback) || cancel)
    {
        logIfVerbose (callback, "Error: Update failed!", verbose, logLevel::error);
        sendProgressBarState (callback, false, false, true);
        return false;
    }
    sendProgress (callback, 1.0f);
    logIfVerbose (callback, "Finishing update...", verbose, logLevel::info);
    preciseSleep (timing.finishPauseMs);
    sendProgressBarState (callback, false, false, true);

    if (! fpga)
        logIfVerbose (callback, isIntfBoard (record.deviceType, address) ? "Exiting Boot Mode and reconnecting..."
                                                                          : "Exiting Boot Mode...",
                      verbose, logLevel::info);
    preciseSleep (timing.programCompletePauseMs);
    if (! completeProgramming (record, address, verbose, callback))
    {
        logIfVerbose (callback, "Error: Update failed!", verbose, logLevel::error);
        return false;
    }
    return true;
}

// Program complete comes straight after the last block, when the blocks may hold every local
// port: like a block's, a try that found none is repeated until a port comes free.
bool ZorvUpdater::completeProgramming (const DeviceRecord& record, const PanelAddress& address, bool verbose,
                                       const UpdaterEventCallback& callback)
{
    LocalPortWait portWait;
    while (! cancel)
    {
        const auto result = sendProgramComplete (record, address, timing.connectTimeoutMs, timing.replyTimeoutMs);
        if (result != DeviceResult::NoLocalPort || ! awaitLocalPort (portWait, verbose, callback))
            return result == DeviceResult::Success;
    }
    return false;
}

// What the board says once it runs again. An FPGA board that reports version 0 has not
// taken its image; a PIC board that runs another version than the release's has been
// programmed all the same.
int ZorvUpdater::restartAndCheck (const DeviceRecord& record, const PanelAddress& address, bool verbose,
                                  const UpdaterEventCallback& callback)
{
    const bool fpga = isFPGABoard (record.deviceType, address.Type);
    const auto build = versionText (buildVersion (record.deviceType, address.Type));

    sendProgressBarState (callback, true, true, false);
    waitForDeviceRunning (record, findPanelIndex (record, address), 0, true, callback);
    logIfVerbose (callback, "Contacting device...", verbose, logLevel::info);
    bool bootMode = true, responded = false;
    TagReplyHead last;
    verifyBootModeExit (record, address, bootMode, responded, last);
    sendProgressBarState (callback, false, false, false);

    const auto version = versionText (last.value);
    if (! responded)
    {
        logIfVerbose (callback, "Error: Update failed!", verbose, logLevel::error);
        return UpdateFailed;
    }
    if (fpga && last.value == 0)
    {
        logIfVerbose (callback, "Device failed to update! Firmware version: " + version + ", build version: " + build,
                      verbose, logLevel::warning);
        logIfVerbose (callback, "Error: Update failed!", verbose, logLevel::error);
        return UpdateFailed;
    }
    logIfVerbose (callback, "Device found! Firmware version: " + version, verbose, logLevel::info);
    if (fpga)
        return UpdateSuccessful;

    if (bootMode)
    {
        logIfVerbose (callback, "Warning: Device still in Boot Mode! Please try again.", verbose, logLevel::warning);
        return StillInBootMode;
    }
    if (version != build)
        logIfVerbose (callback, "Warning: Firmware version (" + version + ") differs from build version " + "(" + build + ")",
                      verbose, logLevel::warning);
    return UpdateSuccessful;
}
