#pragma once

// What the engine tests share: the compressed timing record, a recorder of the events an
// operation sends, and device records that point at a simulated device.

#include "tests/updater/CompressedTiming.h"
#include "tests/updater/ZorvUpdaterInspector.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio/ip/address_v4.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace enginetest
{
using Event = ZorvUpdater::UpdaterEvent;

// A path as the system reads it: the catalogue's entries keep their own "/" inside the text,
// which names the same file as the system's separator on Windows.
inline std::string normalPath (const std::filesystem::path& path)
{
    return path.lexically_normal().u8string();
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

// The values of the progress events, in order.
inline std::vector<float> progressOf (const std::vector<Event>& events)
{
    std::vector<float> values;
    for (const auto& e : events)
        if (e.type == ZorvUpdater::Progress)
            values.push_back (e.progress);
    return values;
}

// The log lines, each as its level, a blank and its text.
inline std::vector<std::string> logLinesOf (const std::vector<Event>& events)
{
    std::vector<std::string> lines;
    for (const auto& e : events)
        if (e.type == ZorvUpdater::LogLine)
            lines.push_back (std::to_string (e.level) + " " + e.text);
    return lines;
}

// A PIC board's flash byte by byte: blocks in address order, each from its address on, so
// that a block overwrites the padding of the one before.
inline std::map<uint32_t, uint8_t> flashOf (const zsim::BoardReport& board)
{
    std::map<uint32_t, uint8_t> flash;
    for (const auto& [address, data] : board.picMemory)
        for (std::size_t i = 0; i < data.size(); ++i)
            flash[address + (uint32_t) i] = data[i];
    return flash;
}

// Board 19 of a console: Panel 4, Ch 3, Type 9, Addr 0. Ch and Panel differ, so a request
// that swaps them is caught.
constexpr uint8_t masterFaderIndex = 19;
const PanelAddress masterFaders { 4, 3, 9, 0 };
}
