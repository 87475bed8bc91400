#include "tests/simulator/SimClient.h"
#include "tests/support/TestNet.h"
#include "tools/sim/DeviceSimulator.h"

#include <gtest/gtest.h>

#include <memory>

using namespace simtest;
using zsim::Reachability;

namespace
{
const milliseconds replyWait { 2000 };

zsim::DeviceIdentity identity()
{
    zsim::DeviceIdentity identity;
    identity.deviceType = 2;
    identity.mac = { 1, 2, 3, 4, 5, 6 };
    return identity;
}

bool answersDiscover (const std::string& address)
{
    return exchange (address, discoverRequest(), 123, replyWait).bytes.size() == 123;
}

// One client of many, all driven by the same context.
struct ParallelProbe
{
    explicit ParallelProbe (boost::asio::io_context& io) : socket (io) {}

    void start (const boost::asio::ip::tcp::endpoint& target)
    {
        socket.async_connect (target, [this] (const boost::system::error_code& error)
        {
            if (error)
                return;
            boost::asio::async_write (socket, boost::asio::buffer (request), [this] (const boost::system::error_code& e, std::size_t)
            {
                if (! e)
                    boost::asio::async_read (socket, boost::asio::buffer (reply),
                                             [this] (const boost::system::error_code& r, std::size_t) { answered = ! r; });
            });
        });
    }

    boost::asio::ip::tcp::socket socket;
    const Bytes request = discoverRequest();
    std::array<uint8_t, 123> reply {};
    bool answered = false;
};
}

TEST (SimulatorReachability, RefusingRefusesAtOnce)
{
    const auto address = testnet::loopbackAddress (0);
    zsim::DeviceSimulator sim (identity(), address);
    sim.setReachability (Reachability::Refusing);
    ASSERT_TRUE (sim.start());

    Client client;
    EXPECT_EQ (client.connect (address, replyWait), boost::asio::error::connection_refused);

    ASSERT_TRUE (sim.setReachability (Reachability::Accepting));
    EXPECT_TRUE (answersDiscover (address));
}

TEST (SimulatorReachability, UnresponsiveLetsConnectsTimeOut)
{
    const auto address = testnet::loopbackAddress (0);
    zsim::DeviceSimulator sim (identity(), address);
    ASSERT_TRUE (sim.start());
    ASSERT_TRUE (sim.setReachability (Reachability::Unresponsive));

    for (int attempt = 0; attempt < 2; ++attempt)
    {
        const auto begun = std::chrono::steady_clock::now();
        Client client;
        EXPECT_EQ (client.connect (address, milliseconds (300)), boost::asio::error::timed_out);
        EXPECT_GE (std::chrono::steady_clock::now() - begun, milliseconds (300));
    }
    EXPECT_EQ (sim.connectionCount(), 0u);

    ASSERT_TRUE (sim.setReachability (Reachability::Accepting));
    EXPECT_TRUE (answersDiscover (address));
}

TEST (SimulatorLifecycle, StartFailsWhereNothingCanBeBound)
{
    const auto address = testnet::loopbackAddress (0);
    zsim::DeviceSimulator first (identity(), address);
    ASSERT_TRUE (first.start());

    zsim::DeviceSimulator second (identity(), address);
    EXPECT_FALSE (second.start());
    zsim::DeviceSimulator unparsable (identity(), "127.0.0");
    EXPECT_FALSE (unparsable.start());
}

TEST (SimulatorLifecycle, StopEndsHeldConnectionsAndStartServesAgain)
{
    const auto address = testnet::loopbackAddress (0);
    zsim::DeviceSimulator sim (identity(), address);
    sim.scriptConnections ({ { zsim::Behaviour::Silent } });
    ASSERT_TRUE (sim.start());

    Client held;
    ASSERT_FALSE (held.connect (address, replyWait));
    held.send (discoverRequest());
    ASSERT_TRUE (sim.waitForRequests (1, replyWait));

    sim.stop();
    EXPECT_NE (held.receive (1, replyWait).error, boost::asio::error::timed_out);
    Client refused;
    EXPECT_EQ (refused.connect (address, replyWait), boost::asio::error::connection_refused);

    ASSERT_TRUE (sim.start());
    EXPECT_TRUE (answersDiscover (address));
}

TEST (SimulatorLoad, ThreeHundredParallelConnectionsAllAnswered)
{
    const auto address = testnet::loopbackAddress (0);
    zsim::DeviceSimulator sim (identity(), address);
    ASSERT_TRUE (sim.start());

    boost::asio::io_context io;
    const boost::asio::ip::tcp::endpoint target (boost::asio::ip::make_address_v4 (address), 51000);
    std::vector<std::unique_ptr<ParallelProbe>> probes;
    for (int i = 0; i < 300; ++i)
    {
        probes.push_back (std::make_unique<ParallelProbe> (io));
        probes.back()->start (target);
    }
    io.run_for (std::chrono::seconds (20));

    int answered = 0;
    for (const auto& probe : probes)
        if (probe->answered && probe->reply == sim.record())
            ++answered;
    EXPECT_EQ (answered, 300);
    EXPECT_EQ (sim.connectionCount(), 300u);
    EXPECT_EQ (sim.requests().size(), 300u);
}
