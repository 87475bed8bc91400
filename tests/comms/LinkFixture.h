#pragma once

#include "comms/BoostSocketTCP.h"
#include "comms/GenericCommsBaseError.h"
#include "tests/support/TestNet.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio/executor_work_guard.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace aComms
{
// Reads what the link has set up on its socket, which its interface does not show.
struct BoostSocketTCPInspector
{
    static bool noDelay (BoostSocketTCP& link)
    {
        boost::asio::ip::tcp::no_delay option;
        link.socket->get_option (option);
        return option.value();
    }

    static bool nonBlocking (BoostSocketTCP& link)
    {
        return link.socket->non_blocking();
    }

    static std::size_t bytesWaiting (BoostSocketTCP& link)
    {
        return link.socket->available();
    }
};
}

namespace linktest
{
constexpr uint16_t devicePort = 51000;

// The discover request, byte by byte.
const std::vector<uint8_t> discoverRequest { 0x00, 0x00, 0x00, 0x00, 0xED, 0xAC, 0xEF, 0x0D, 0x00, 0x00, 0xFF, 0xFF };

inline long long millisecondsSince (std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds> (std::chrono::steady_clock::now() - start).count();
}

// A network context run by a thread of its own, as the link's owners run theirs, and a
// simulated device on this process's first loopback address.
class LinkFixture : public ::testing::Test
{
protected:
    ~LinkFixture() override
    {
        guard.reset();
        thread.join();
    }

    std::shared_ptr<aComms::BoostSocketTCP> makeLink()
    {
        return std::make_shared<aComms::BoostSocketTCP> (&context, aComms::BoostSocketTCP::clientMode, "Tests: link");
    }

    zsim::DeviceSimulator& startDevice (zsim::Reachability reachability = zsim::Reachability::Accepting)
    {
        device = std::make_unique<zsim::DeviceSimulator> (zsim::DeviceIdentity {}, deviceAddress, devicePort);
        device->setReachability (reachability);
        EXPECT_TRUE (device->start());
        return *device;
    }

    // A link attached to the device, which treats the first connection as scripted.
    std::shared_ptr<aComms::BoostSocketTCP> attachedLink (zsim::ConnectionScript script = {})
    {
        if (device == nullptr)
            startDevice();
        device->scriptConnections ({ script });

        auto link = makeLink();
        link->connect (devicePort, deviceAddress);
        EXPECT_TRUE (link->waitForAttach (2500));
        return link;
    }

    // Runs everything the context had queued before this call.
    void drainContext()
    {
        std::promise<void> reached;
        boost::asio::post (context, [&reached] { reached.set_value(); });
        reached.get_future().wait();
    }

    const std::string deviceAddress = testnet::loopbackAddress (0);
    boost::asio::io_context context;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> guard = boost::asio::make_work_guard (context);
    std::thread thread { [this] { context.run(); } };
    std::unique_ptr<zsim::DeviceSimulator> device;
};
}
