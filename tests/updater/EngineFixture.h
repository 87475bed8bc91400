#pragma once

// What the engine tests share: a door into the engine's private operations, a compressed
// timing record, a recorder of the events an operation sends, and device records that
// point at a simulated device.

#include "updater/ZorvUpdater.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio/ip/address_v4.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
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

    static void setFirmwareEntry (ZorvUpdater& engine, int deviceType, uint8_t boardIndex, const std::string& entry)
    {
        engine.firmwareFiles[(size_t) deviceType][boardIndex] = entry;
    }
};

namespace enginetest
{
using Event = ZorvUpdater::UpdaterEvent;

// Waits short enough for tests, long enough for a loaded machine: exchanges that are meant
// to time out do so in a fraction of a second, and nothing that should succeed comes near.
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

// Every event an operation sends, in order, with a wait for the one that ends it.
class EventLog
{
public:
    UpdaterEventCallback callback()
    {
        return [this] (const Event& event)
        {
            const std::lock_guard<std::mutex> lock (mutex);
            events.push_back (event);
            threads.push_back (std::this_thread::get_id());
            changed.notify_all();
        };
    }

    bool waitForFinish (std::chrono::milliseconds timeout = std::chrono::seconds (20))
    {
        std::unique_lock<std::mutex> lock (mutex);
        return changed.wait_for (lock, timeout, [this]
        {
            for (const auto& e : events)
                if (e.type == ZorvUpdater::OperationFinished)
                    return true;
            return false;
        });
    }

    std::vector<Event> all() const
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return events;
    }

    std::vector<int> types() const
    {
        const std::lock_guard<std::mutex> lock (mutex);
        std::vector<int> result;
        for (const auto& e : events)
            result.push_back (e.type);
        return result;
    }

    std::vector<std::thread::id> callingThreads() const
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return threads;
    }

private:
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<Event> events;
    std::vector<std::thread::id> threads;
};

inline DeviceRecord recordFor (const std::string& ipText, int32_t deviceType)
{
    DeviceRecord record {};
    record.deviceType = deviceType;
    record.ipv4Address = boost::asio::ip::make_address_v4 (ipText).to_bytes();
    return record;
}

inline std::unique_ptr<zsim::DeviceSimulator> startDevice (int32_t deviceType, const std::string& address)
{
    zsim::DeviceIdentity identity;
    identity.deviceType = deviceType;
    identity.name = zsim::DeviceIdentity::nameField ("Engine Test");
    identity.mac = { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E };
    auto device = std::make_unique<zsim::DeviceSimulator> (identity, address);
    EXPECT_TRUE (device->start()) << "cannot bind " << address;
    return device;
}

// The 76-byte tag request as a device receives it, from the parameter and the tag's first
// bytes (the rest of the tag zero).
inline std::vector<uint8_t> tagRequest (uint16_t parameter, std::vector<uint8_t> tag)
{
    std::vector<uint8_t> message = { 64, 0, 0, 0, 0xED, 0xAC, 0xEF, 0x0D, 3, 0,
                                     (uint8_t) parameter, (uint8_t) (parameter >> 8) };
    tag.resize (64, 0);
    message.insert (message.end(), tag.begin(), tag.end());
    return message;
}

// Board 19 of a console: Panel 4, Ch 3, Type 9, Addr 0. Ch and Panel differ, so a request
// that swaps them is caught.
constexpr uint8_t masterFaderIndex = 19;
const PanelAddress masterFaders { 4, 3, 9, 0 };
}
