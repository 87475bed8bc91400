#pragma once

// Small fixtures shared by the discovery tests: simulated devices with distinct identities
// and a completion callback that can be waited for.

#include "discovery/DiscoveryTypes.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio/ip/address_v4.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace discoverytest
{
inline zsim::DeviceIdentity identity (int32_t type, const std::string& name, uint8_t macTail)
{
    zsim::DeviceIdentity id;
    id.deviceType = type;
    id.name = zsim::DeviceIdentity::nameField (name);
    id.mac = { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, macTail };
    return id;
}

// A started simulator; the test fails when its address cannot be bound.
inline std::unique_ptr<zsim::DeviceSimulator> startDevice (const zsim::DeviceIdentity& id, const std::string& address)
{
    auto device = std::make_unique<zsim::DeviceSimulator> (id, address);
    EXPECT_TRUE (device->start()) << "cannot bind " << address;
    return device;
}

inline std::array<uint8_t, 4> addressBytes (const std::string& text)
{
    return boost::asio::ip::make_address_v4 (text).to_bytes();
}

// Counts the calls of a scan's completion callback.
class Completion
{
public:
    std::function<void()> callback()
    {
        return [this]
        {
            const std::lock_guard<std::mutex> lock (mutex);
            ++calls;
            changed.notify_all();
        };
    }

    bool waitForCall (std::chrono::milliseconds timeout = std::chrono::seconds (60))
    {
        std::unique_lock<std::mutex> lock (mutex);
        return changed.wait_for (lock, timeout, [this] { return calls > 0; });
    }

    int count()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return calls;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    int calls = 0;
};
}
