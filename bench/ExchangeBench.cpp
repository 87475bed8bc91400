// Measures how many read-identity exchanges per second the engine makes with one simulated
// device on loopback, beside a minimal loop in this same program that does nothing but
// connect, send the same 76 bytes, read 76 bytes and close, against the same device: the
// ceiling of an exchange. A third loop makes the same exchange through the link layer alone
// (connect, wait for the attach, timed write, timed read, drop), which tells the engine's
// own cost from the link's. Rounds of the three alternate, so that a busy machine weighs on
// all alike; the median rounds are compared.
//
// Run through scripts/bench: it wants the private namespace.

#include "comms/BoostSocketTCP.h"
#include "discovery/ContextRunner.h"
#include "tests/support/TestNet.h"
#include "tests/updater/ZorvUpdaterInspector.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
using boost::asio::ip::tcp;

constexpr int rounds = 7;
constexpr int exchangesPerRound = 1000;

// Board 0 of a console: Panel 2, Ch 0, Type 5, Addr 0.
const PanelAddress board { 2, 0, 5, 0 };

std::array<uint8_t, 76> readIdentityRequest()
{
    std::array<uint8_t, 76> request {};
    const uint8_t head[] = { 64, 0, 0, 0, 0xED, 0xAC, 0xEF, 0x0D, 3, 0, 0, 0,
                             8, 4, board.Ch, board.Panel, 0x55, 0, board.Type, board.Addr };
    std::copy (std::begin (head), std::end (head), request.begin());
    return request;
}

struct Round
{
    double perSecond = 0;
    int failures = 0;
};

Round engineRound (ZorvUpdater& engine, const DeviceRecord& record)
{
    Round round;
    const auto start = Clock::now();
    for (int i = 0; i < exchangesPerRound; ++i)
    {
        TagReplyHead head;
        if (ZorvUpdaterInspector::readDeviceId (engine, record, board, head) != DeviceResult::Success)
            ++round.failures;
    }
    round.perSecond = exchangesPerRound / std::chrono::duration<double> (Clock::now() - start).count();
    return round;
}

Round linkRound (boost::asio::io_context& context, const std::string& address)
{
    const auto request = readIdentityRequest();
    Round round;
    const auto start = Clock::now();
    for (int i = 0; i < exchangesPerRound; ++i)
    {
        try
        {
            auto link = std::make_shared<aComms::BoostSocketTCP> (&context, aComms::BoostSocketTCP::clientMode, "bench");
            link->connect (devicePort, address);
            link->waitForAttach (5000);
            std::array<uint8_t, 76> reply {};
            if (! link->isAttached()
                || link->writeDataWithTimeout (request.data(), (int) request.size(), 5000) != (int) request.size()
                || link->readDataWithTimeout (reply.data(), (int) reply.size(), 5000) != (int) reply.size()
                || reply[13] != 'j')
                ++round.failures;
        }
        catch (const std::exception&)
        {
            ++round.failures;
        }
    }
    round.perSecond = exchangesPerRound / std::chrono::duration<double> (Clock::now() - start).count();
    return round;
}

Round minimalRound (const tcp::endpoint& device)
{
    boost::asio::io_context io;
    const auto request = readIdentityRequest();
    Round round;
    const auto start = Clock::now();
    for (int i = 0; i < exchangesPerRound; ++i)
    {
        boost::system::error_code error;
        tcp::socket socket (io);
        std::array<uint8_t, 76> reply {};
        socket.connect (device, error);
        if (! error)
            socket.set_option (tcp::no_delay (true), error);
        if (! error)
            boost::asio::write (socket, boost::asio::buffer (request), error);
        if (! error)
            boost::asio::read (socket, boost::asio::buffer (reply), error);
        if (error || reply[13] != 'j')
            ++round.failures;
    }
    round.perSecond = exchangesPerRound / std::chrono::duration<double> (Clock::now() - start).count();
    return round;
}

double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    return values[values.size() / 2];
}
}

int main()
{
    const auto address = testnet::loopbackAddress (0);
    zsim::DeviceIdentity identity;
    identity.deviceType = 0;
    identity.name = zsim::DeviceIdentity::nameField ("Bench");
    zsim::DeviceSimulator device (identity, address);
    if (! device.start())
    {
        std::fprintf (stderr, "cannot bind %s\n", address.c_str());
        return 1;
    }

    ZorvUpdater engine ("/nonexistent");
    DeviceRecord record {};
    record.deviceType = 0;
    record.ipv4Address = boost::asio::ip::make_address_v4 (address).to_bytes();
    const tcp::endpoint endpoint (boost::asio::ip::make_address_v4 (address), devicePort);

    boost::asio::io_context linkContext;
    std::thread linkThread ([&linkContext] { runContextUntilStopped (linkContext); });

    std::printf ("read-identity exchanges with one simulated device on %s, %d rounds of %d\n",
                 address.c_str(), rounds, exchangesPerRound);
    std::vector<double> engineRates, linkRates, minimalRates;
    int failures = 0;
    for (int i = 1; i <= rounds; ++i)
    {
        const auto viaEngine = engineRound (engine, record);
        const auto viaLink = linkRound (linkContext, address);
        const auto minimal = minimalRound (endpoint);
        engineRates.push_back (viaEngine.perSecond);
        linkRates.push_back (viaLink.perSecond);
        minimalRates.push_back (minimal.perSecond);
        failures += viaEngine.failures + viaLink.failures + minimal.failures;
        std::printf ("round %d: engine %.0f/s, link alone %.0f/s, minimal loop %.0f/s (%d, %d, %d failed)\n",
                     i, viaEngine.perSecond, viaLink.perSecond, minimal.perSecond,
                     viaEngine.failures, viaLink.failures, minimal.failures);
    }
    linkContext.stop();
    linkThread.join();

    const double engineRate = median (engineRates);
    const double linkRate = median (linkRates);
    const double minimalRate = median (minimalRates);
    std::printf ("median: engine %.0f exchanges/s, link alone %.0f/s, minimal loop %.0f/s\n",
                 engineRate, linkRate, minimalRate);
    std::printf ("engine at %.1f %% of the minimal loop (target: at least 85 %%), at %.1f %% of the link alone\n",
                 100.0 * engineRate / minimalRate, 100.0 * engineRate / linkRate);
    return failures == 0 ? 0 : 1;
}
