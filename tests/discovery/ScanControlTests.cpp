#include "discovery/NetworkDiscovery.h"
#include "tests/discovery/SimulatedDevices.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace discoverytest;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

namespace
{
zsim::ConnectionScript slowReply (milliseconds delay)
{
    zsim::ConnectionScript script;
    script.behaviour = zsim::Behaviour::SlowReply;
    script.delay = delay;
    return script;
}
}

TEST (ScanStart, BusyDiscoveryRejectsAndDropsTheCallback)
{
    Completion first;
    Completion rejected;
    Completion again;
    const auto device = startDevice (identity (1, "slow", 0x01), testnet::loopbackAddress (0));
    device->setDefaultBehaviour (slowReply (milliseconds (400)));
    const std::vector<std::string> addresses { device->address() };

    auto discovery = std::make_unique<NetworkDiscovery>();
    ASSERT_TRUE (discovery->startDiscovery (true, { true }, addresses, 1, first.callback()));
    EXPECT_FALSE (discovery->isIdle());
    EXPECT_FALSE (discovery->startDiscovery (true, { true }, addresses, 1, rejected.callback()));
    EXPECT_FALSE (discovery->startDiscovery (true, { true }, addresses, 0, rejected.callback()));
    ASSERT_TRUE (first.waitForCall());

    // Idle again: the next scan is accepted.
    EXPECT_TRUE (discovery->startDiscovery (true, { true }, addresses, 1, again.callback()));
    ASSERT_TRUE (again.waitForCall());

    discovery.reset();
    EXPECT_EQ (first.count(), 1);
    EXPECT_EQ (rejected.count(), 0);
    EXPECT_EQ (again.count(), 1);
    EXPECT_EQ (device->connectionCount(), 2u);
}

TEST (ScanStart, ZeroPassesCallBackAtOnce)
{
    Completion done;
    const auto device = startDevice (identity (1, "idle", 0x01), testnet::loopbackAddress (0));

    NetworkDiscovery discovery;
    EXPECT_FALSE (discovery.startDiscovery (true, { true }, { device->address() }, 0, done.callback()));
    EXPECT_EQ (done.count(), 1);
    EXPECT_TRUE (discovery.isIdle());
    EXPECT_FALSE (device->waitForRequests (1, milliseconds (200)));
}

TEST (ScanStart, NoTargetsEndsTheScanAtOnce)
{
    struct Case { const char* what; bool manual; std::vector<bool> enabled; std::vector<std::string> addresses; };
    for (const auto& c : { Case { "manual, none usable", true, { false, true, true }, { "10.10.251.1", "10.10.251.255", "x" } },
                           Case { "automatic, no local address", false, {}, {} } })
    {
        SCOPED_TRACE (c.what);
        Completion done;
        NetworkDiscovery discovery ([] { return std::vector<std::string>(); });
        EXPECT_TRUE (discovery.startDiscovery (c.manual, c.enabled, c.addresses, 2, done.callback()));
        ASSERT_TRUE (done.waitForCall (milliseconds (900)));
        EXPECT_TRUE (discovery.isIdle());
        EXPECT_TRUE (discovery.getDevices().empty());
    }
}

TEST (ScanStart, OfScansRacingToStartExactlyOneStarts)
{
    constexpr int rounds = 8;
    constexpr int racers = 8;
    std::vector<std::unique_ptr<Completion>> completions;
    for (int i = 0; i < rounds * racers; ++i)
        completions.push_back (std::make_unique<Completion>());

    const auto device = startDevice (identity (1, "slow", 0x01), testnet::loopbackAddress (0));
    device->setDefaultBehaviour (slowReply (milliseconds (200)));
    const std::vector<std::string> addresses { device->address() };

    auto discovery = std::make_unique<NetworkDiscovery>();
    for (int round = 0; round < rounds; ++round)
    {
        std::atomic<int> ready { 0 };
        std::vector<int> started (racers, 0);
        std::vector<std::thread> threads;
        for (int i = 0; i < racers; ++i)
            threads.emplace_back ([&, i]
            {
                ++ready;
                while (ready.load() < racers)
                    std::this_thread::yield();
                auto& completion = *completions[(std::size_t) (round * racers + i)];
                started[(std::size_t) i] = discovery->startDiscovery (true, { true }, addresses, 1, completion.callback());
            });
        for (auto& thread : threads)
            thread.join();

        ASSERT_EQ (std::count (started.begin(), started.end(), 1), 1) << "round " << round;
        const auto winner = std::find (started.begin(), started.end(), 1) - started.begin();
        ASSERT_TRUE (completions[(std::size_t) (round * racers + winner)]->waitForCall());
    }

    discovery.reset();
    int calls = 0;
    for (const auto& completion : completions)
        calls += completion->count();
    EXPECT_EQ (calls, rounds);
}

TEST (ScanLifetime, DestructionDuringAPassWaitsForItsProbesAndStartsNoOther)
{
    Completion done;
    const auto device = startDevice (identity (1, "mute", 0x01), testnet::loopbackAddress (0));
    device->setDefaultBehaviour ({ zsim::Behaviour::Silent });

    auto discovery = std::make_unique<NetworkDiscovery>();
    ASSERT_TRUE (discovery->startDiscovery (true, { true }, { device->address() }, 3, done.callback()));
    ASSERT_TRUE (device->waitForRequests (1, std::chrono::seconds (5)));

    const auto start = steady_clock::now();
    discovery.reset();
    const auto elapsed = steady_clock::now() - start;

    // The probe waited out its 2.5 s reply time-out; a second pass would have added a
    // 1 s pause and another probe.
    EXPECT_GE (elapsed, milliseconds (1500));
    EXPECT_LT (elapsed, milliseconds (3400));
    EXPECT_EQ (device->connectionCount(), 1u);
    EXPECT_EQ (done.count(), 1);
}

// The pause between passes is waited out in 10 ms steps that each look at cancel, so a
// destruction in the middle of it is not kept waiting for the rest of the second.
TEST (ScanLifetime, DestructionDuringThePauseEndsItAtOnce)
{
    Completion done;
    const auto device = startDevice (identity (1, "quick", 0x01), testnet::loopbackAddress (0));
    auto discovery = std::make_unique<NetworkDiscovery>();
    ASSERT_TRUE (discovery->startDiscovery (true, { true }, { device->address() }, 3, done.callback()));

    const auto until = steady_clock::now() + std::chrono::seconds (5);
    while (discovery->getDevices().empty() && steady_clock::now() < until)
        std::this_thread::sleep_for (milliseconds (1));
    ASSERT_EQ (discovery->getDevices().size(), 1u);
    // Well inside the 1000 ms pause that follows the first pass.
    std::this_thread::sleep_for (milliseconds (300));
    ASSERT_EQ (done.count(), 0) << "the scan is still pausing";

    const auto start = steady_clock::now();
    discovery.reset();
    const auto elapsed = steady_clock::now() - start;

    EXPECT_LT (elapsed, milliseconds (40));
    EXPECT_EQ (done.count(), 1);
    EXPECT_EQ (device->connectionCount(), 1u);
}
