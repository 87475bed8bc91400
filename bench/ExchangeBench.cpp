// Measures how many read-identity exchanges per second the engine makes with one simulated
// device on loopback, beside a minimal loop in this same program that does nothing but
// connect, send the same 76 bytes, read 76 bytes and close, against the same device: the
// ceiling of an exchange. A third loop makes the same exchange through the link layer alone
// (connect, wait for the attach, timed write, timed read, drop), which tells the engine's
// own cost from the link's.
//
// The three take turns in short blocks, so that a machine whose load comes and goes weighs
// on all three alike; the rates are the totals, and the ratio per block shows the spread.
// The run stays at 3000 connections: many more leave so many closed connections waiting out
// their TIME_WAIT that every connect slows down, whichever loop makes it.
//
// Run through scripts/bench: it wants the private namespace.

#include "bench/MinimalExchange.h"
#include "comms/BoostSocketTCP.h"
#include "discovery/ContextRunner.h"
#include "tests/support/TestNet.h"
#include "tests/updater/ZorvUpdaterInspector.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
using boost::asio::ip::tcp;

constexpr int blocks = 20;
constexpr int exchangesPerBlock = 50;

// Board 0 of a console: Panel 2, Ch 0, Type 5, Addr 0.
const PanelAddress board { 2, 0, 5, 0 };
using Reply = benchloop::Message;

Reply readIdentityRequest()
{
    return benchloop::tagRequest ({ 8, 4, board.Ch, board.Panel, 0x55, 0, board.Type, board.Addr });
}

bool viaEngine (ZorvUpdater& engine, const DeviceRecord& record)
{
    TagReplyHead head;
    return ZorvUpdaterInspector::readDeviceId (engine, record, board, head) == DeviceResult::Success;
}

bool viaLink (boost::asio::io_context& context, const std::string& address, const Reply& request)
{
    try
    {
        auto link = std::make_shared<aComms::BoostSocketTCP> (&context, aComms::BoostSocketTCP::clientMode, "bench");
        link->connect (devicePort, address);
        link->waitForAttach (5000);
        Reply reply {};
        return link->isAttached()
            && link->writeDataWithTimeout (request.data(), (int) request.size(), 5000) == (int) request.size()
            && link->readDataWithTimeout (reply.data(), (int) reply.size(), 5000) == (int) reply.size()
            && reply[13] == 'j';
    }
    catch (const std::exception&)
    {
        return false;
    }
}

struct Loop
{
    const char* name;
    std::function<bool()> exchange;
    double seconds = 0;
    int failures = 0;

    double runBlock()
    {
        const auto start = Clock::now();
        for (int i = 0; i < exchangesPerBlock; ++i)
            if (! exchange())
                ++failures;
        const double spent = std::chrono::duration<double> (Clock::now() - start).count();
        seconds += spent;
        return spent;
    }

    double rate() const { return blocks * exchangesPerBlock / seconds; }
};
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

    boost::asio::io_context linkContext;
    std::thread linkThread ([&linkContext] { runContextUntilStopped (linkContext); });
    boost::asio::io_context plainContext;
    const tcp::endpoint endpoint (boost::asio::ip::make_address_v4 (address), devicePort);
    const auto request = readIdentityRequest();

    Loop engineLoop { "engine", [&] { return viaEngine (engine, record); } };
    Loop linkLoop { "link alone", [&] { return viaLink (linkContext, address, request); } };
    Loop minimalLoop { "minimal loop", [&] { return benchloop::minimalExchange (plainContext, endpoint, request, 'j'); } };

    std::printf ("read-identity exchanges with one simulated device on %s: %d blocks of %d per loop, in turn\n",
                 address.c_str(), blocks, exchangesPerBlock);
    std::vector<double> engineToMinimal, engineToLink;
    for (int i = 0; i < blocks; ++i)
    {
        const double e = engineLoop.runBlock();
        const double l = linkLoop.runBlock();
        const double m = minimalLoop.runBlock();
        engineToMinimal.push_back (m / e);
        engineToLink.push_back (l / e);
    }
    linkContext.stop();
    linkThread.join();

    for (const auto* loop : { &engineLoop, &linkLoop, &minimalLoop })
        std::printf ("%-12s %6.0f exchanges/s (%.1f us each, %d failed)\n",
                     loop->name, loop->rate(), 1e6 / loop->rate(), loop->failures);
    std::printf ("engine at %.1f %% of the minimal loop (target: at least 85 %%); per block: median %.1f %%, "
                 "quartiles %.1f-%.1f %%\n", 100.0 * engineLoop.rate() / minimalLoop.rate(),
                 100.0 * benchloop::quantile (engineToMinimal, 0.5), 100.0 * benchloop::quantile (engineToMinimal, 0.25),
                 100.0 * benchloop::quantile (engineToMinimal, 0.75));
    std::printf ("engine at %.1f %% of the link alone; per block: median %.1f %%\n",
                 100.0 * engineLoop.rate() / linkLoop.rate(), 100.0 * benchloop::quantile (engineToLink, 0.5));

    const int failures = engineLoop.failures + linkLoop.failures + minimalLoop.failures;
    return failures == 0 ? 0 : 1;
}
