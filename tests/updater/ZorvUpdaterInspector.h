#pragma once

// A door into the engine's private operations for the tests and the benchmarks: the
// engine names it as its friend.

#include "updater/ZorvUpdater.h"

#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

struct ZorvUpdaterInspector
{
    using Callback = UpdaterEventCallback;
    using Body = std::function<void (const Callback&)>;

    static void launch (ZorvUpdater& engine, Callback callback, Body body,
                        std::string success = "Test completed successfully", std::string failure = "Test failed")
    {
        engine.launchOperation ({ std::move (success), std::move (failure) }, std::move (callback), std::move (body));
    }

    static bool busy (const ZorvUpdater& engine) { return engine.busy; }
    static bool cancelled (const ZorvUpdater& engine) { return engine.cancel; }
    static void setCancel (ZorvUpdater& engine, bool value) { engine.cancel = value; }
    static const UpdaterTiming& timing (const ZorvUpdater& engine) { return engine.timing; }
    static std::shared_ptr<std::thread> worker (const ZorvUpdater& engine) { return engine.workerThread; }

    static void failWorkerStarts (ZorvUpdater& engine)
    {
        engine.startWorker = [] (std::function<void()>) -> std::shared_ptr<std::thread>
        {
            throw std::system_error (std::make_error_code (std::errc::resource_unavailable_try_again), "no thread");
        };
    }

    static void preciseSleep (ZorvUpdater& engine, double ms) { engine.preciseSleep (ms); }
    static void operationStartPause (ZorvUpdater& engine) { engine.operationStartPause(); }
    using SleepStatistics = ZorvUpdater::SleepStatistics;
    static SleepStatistics sleepStatistics() { return ZorvUpdater::sleepStatistics(); }

    static void failOperation (const Callback& callback, const std::exception& e, const std::string& text)
    {
        ZorvUpdater::failOperation (callback, e, text);
    }

    // The emitters, by name, for the event tests.
    static void sendClearLog (const Callback& c) { ZorvUpdater::sendClearLog (c); }
    static void sendNewLogSection (const Callback& c) { ZorvUpdater::sendNewLogSection (c); }
    static void sendLogLine (const Callback& c, int level, const std::string& text, bool replace) { ZorvUpdater::sendLogLine (c, level, text, replace); }
    static void sendProgressBarState (const Callback& c, bool v, bool r, bool h) { ZorvUpdater::sendProgressBarState (c, v, r, h); }
    static void showProgressBar (const Callback& c, bool show) { ZorvUpdater::showProgressBar (c, show); }
    static void sendProgress (const Callback& c, float p) { ZorvUpdater::sendProgress (c, p); }
    static void sendSecondProgressBarState (const Callback& c, bool show) { ZorvUpdater::sendSecondProgressBarState (c, show); }
    static void sendControlsEnabled (const Callback& c, bool enabled) { ZorvUpdater::sendControlsEnabled (c, enabled); }
    static void sendMessageBox (const Callback& c, int icon, const std::string& text, const std::string& title, int buttons, std::atomic<int>* answer)
    {
        ZorvUpdater::sendMessageBox (c, icon, text, title, buttons, answer);
    }
    static void sendOperationFinished (const Callback& c, bool success, const std::string& text) { ZorvUpdater::sendOperationFinished (c, success, text); }

    // Device commands with the engine's own time-outs.
    static bool readWriteGenTags (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                                  uint8_t subCommand, TagBytes& reply)
    {
        return engine.readWriteGenTags (record, address, subCommand, reply, engine.timing.connectTimeoutMs, engine.timing.replyTimeoutMs);
    }

    static bool readWriteDownloadTags (ZorvUpdater& engine, const DeviceRecord& record, uint8_t tagId, const PanelAddress& address,
                                       uint8_t dataLength, uint8_t first, uint8_t second, const ProgramBlock* block, TagBytes& reply)
    {
        return engine.readWriteDownloadTags (record, tagId, address, dataLength, first, second, block, reply,
                                             engine.timing.connectTimeoutMs, engine.timing.replyTimeoutMs);
    }

    static DeviceResult readDeviceId (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head)
    {
        return engine.readDeviceId (record, address, head, engine.timing.connectTimeoutMs, engine.timing.replyTimeoutMs);
    }

    static DeviceResult sendEnterBootMode (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address)
    {
        return engine.sendEnterBootMode (record, address, engine.timing.connectTimeoutMs, engine.timing.replyTimeoutMs);
    }

    static DeviceResult eraseDevice (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head)
    {
        const auto fpga = ZorvUpdater::isFPGABoard (record.deviceType, address.Type) ? 1 : 0;
        return engine.eraseDevice (record, address, head, engine.timing.connectTimeoutMs, engine.timing.eraseReplyTimeoutMs[fpga]);
    }

    static DeviceResult programDevice (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                                       uint8_t dataLength, const ProgramBlock& block, TagReplyHead& head)
    {
        return engine.programDevice (record, address, dataLength, block, head, engine.timing.connectTimeoutMs, engine.timing.replyTimeoutMs);
    }

    static DeviceResult sendProgramComplete (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address)
    {
        return engine.sendProgramComplete (record, address, engine.timing.connectTimeoutMs, engine.timing.replyTimeoutMs);
    }

    static DeviceProbeResult discoverDevice (ZorvUpdater& engine, const std::string& ipText, int32_t expectedType)
    {
        return engine.discoverDevice (ipText, expectedType, engine.timing.connectTimeoutMs, engine.timing.discoveryReplyTimeoutMs);
    }

    // Firmware files.
    static FirmwareFileInfo getFirmwareFile (ZorvUpdater& engine, const DeviceRecord& record, uint8_t boardIndex)
    {
        return engine.getFirmwareFile (record, boardIndex);
    }

    static uint8_t getPICType (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address)
    {
        return engine.getPICType (record, address);
    }

    static std::vector<uint8_t> readFirmwareFile (const std::string& path, bool binary)
    {
        return ZorvUpdater::readFirmwareFile (path, binary);
    }

    static bool isShortfallOfLineEnds (const std::string& path, std::streamoff shortfall)
    {
        return ZorvUpdater::isShortfallOfLineEnds (path, shortfall);
    }

    static void setFirmwareEntry (ZorvUpdater& engine, int deviceType, uint8_t boardIndex, const std::string& entry)
    {
        engine.firmwareFiles[(size_t) deviceType][boardIndex] = entry;
    }

    // Board procedures.
    static bool checkPanelInternal (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                                    bool& bootMode, uint8_t& version)
    {
        return engine.checkPanelInternal (record, address, bootMode, version);
    }

    static void waitForDeviceRunning (ZorvUpdater& engine, const DeviceRecord& record, uint8_t boardIndex, int timeoutMs,
                                      bool showProgress, const Callback& callback)
    {
        engine.waitForDeviceRunning (record, boardIndex, timeoutMs, showProgress, callback);
    }

    static bool enterBootMode (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                               const Callback& callback)
    {
        return engine.enterBootMode (record, address, callback);
    }

    static void verifyBootModeExit (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                                    bool& bootMode, bool& responded, TagReplyHead& lastAnswer)
    {
        engine.verifyBootModeExit (record, address, bootMode, responded, lastAnswer);
    }

    static int updatePanelFirmware (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                                    const FirmwareFileInfo& file, bool verbose, const Callback& callback)
    {
        return engine.updatePanelFirmware (record, address, file, verbose, callback);
    }

    static void logIfVerbose (const Callback& callback, const std::string& text, bool verbose, int level)
    {
        ZorvUpdater::logIfVerbose (callback, text, verbose, level);
    }

    // Programming.
    static bool programFirmwareImage (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                                      const std::vector<uint8_t>& file, bool fpga, uint32_t flashLimit, bool verbose,
                                      const Callback& callback)
    {
        return engine.programFirmwareImage (record, address, file, fpga, flashLimit, verbose, callback);
    }

    static bool programAndComplete (ZorvUpdater& engine, const DeviceRecord& record, const PanelAddress& address,
                                    const std::vector<uint8_t>& file, uint32_t flashLimit, bool verbose,
                                    const Callback& callback)
    {
        return engine.programAndComplete (record, address, file, flashLimit, verbose, callback);
    }

    // Version scan.
    static std::string formatPanelVersionLine (const ZorvUpdater& engine, const DeviceRecord& record, const PanelScanEntry& entry)
    {
        return engine.formatPanelVersionLine (record, entry);
    }
};
