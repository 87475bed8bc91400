// A connect that fails because this computer has no free local port, told apart from every
// other failed connect over a real veth link whose few local ports are all held by open
// connections.

#include "comms/BoostSocketTCP.h"
#include "tests/support/TestNet.h"
#include "tests/support/VethNetworks.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio/executor_work_guard.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace
{
// The near side has eight local ports; the device listens on the far side.
class LinkWithoutLocalPort : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZORV_REQUIRE_PRIVATE_NAMESPACE();
        networks = std::make_unique<testnet::VethNetworks>();
        ASSERT_TRUE (networks->ready());
        ASSERT_TRUE (networks->setLocalPortRange (60000, 60007));
        bool started = false;
        ASSERT_TRUE (networks->inFarNetwork ([&]
        {
            device = std::make_unique<zsim::DeviceSimulator> (zsim::DeviceIdentity {}, farAddress, 51000);
            started = device->start();
        }));
        ASSERT_TRUE (started);
    }

    void TearDown() override
    {
        guard.reset();
        thread.join();
        device.reset();
        networks.reset();
    }

    aComms::LinkAttempt attach (uint16_t port)
    {
        return aComms::attachLink (context, "Tests: link", port, farAddress, 2000);
    }

    std::unique_ptr<testnet::VethNetworks> networks;
    const std::string farAddress = testnet::VethNetworks::farAddress;
    boost::asio::io_context context;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> guard = boost::asio::make_work_guard (context);
    std::thread thread { [this] { context.run(); } };
    std::unique_ptr<zsim::DeviceSimulator> device;
};

TEST_F (LinkWithoutLocalPort, OnlyTheConnectThatFoundNoPortSaysSo)
{
    const auto refused = attach (51001);
    EXPECT_EQ (refused.link, nullptr);
    EXPECT_FALSE (refused.lackedLocalPort) << "a refused connect had a port";

    // The links stay open, each holding its port. Closed at once, they would hold their
    // ports only by their TIME_WAIT, which a reset from the device's side (seen now and then
    // under load) ends early.
    std::vector<std::shared_ptr<aComms::BoostSocketTCP>> open;
    for (int i = 0; i < 8; ++i)
    {
        const auto attempt = attach (51000);
        ASSERT_NE (attempt.link, nullptr) << "connect " << i;
        EXPECT_FALSE (attempt.lackedLocalPort);
        open.push_back (attempt.link);
    }

    const auto starved = attach (51000);
    EXPECT_EQ (starved.link, nullptr);
    EXPECT_TRUE (starved.lackedLocalPort);
}
}
