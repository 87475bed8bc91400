#include "tests/comms/LinkFixture.h"

#include <future>
#include <string>

using linktest::devicePort;
using linktest::millisecondsSince;
using Clock = std::chrono::steady_clock;

class LinkAttach : public linktest::LinkFixture
{
};

TEST_F (LinkAttach, ListeningPeerAttachesWithNagleOffAndBlockingMode)
{
    startDevice();
    auto link = makeLink();

    EXPECT_FALSE (link->connect (devicePort, deviceAddress));
    EXPECT_TRUE (link->waitForAttach (2500));
    EXPECT_TRUE (link->isAttached());
    EXPECT_TRUE (aComms::BoostSocketTCPInspector::noDelay (*link));
    EXPECT_FALSE (aComms::BoostSocketTCPInspector::nonBlocking (*link));

    // Once attached, asking again answers from the flag instead of the spent result.
    EXPECT_TRUE (link->waitForAttach (0));
}

TEST_F (LinkAttach, RefusedConnectFailsFastAndItsResultIsTakenOnce)
{
    startDevice (zsim::Reachability::Refusing);
    auto link = makeLink();

    const auto start = Clock::now();
    EXPECT_FALSE (link->connect (devicePort, deviceAddress));
    EXPECT_FALSE (link->waitForAttach (2500));
    EXPECT_LT (millisecondsSince (start), 1500);
    EXPECT_FALSE (link->isAttached());

    EXPECT_THROW (link->waitForAttach (100), std::future_error);
}

TEST_F (LinkAttach, UnresponsivePeerTimesOutAndTheAttemptGoesOn)
{
    startDevice (zsim::Reachability::Unresponsive);
    auto link = makeLink();
    link->connect (devicePort, deviceAddress);

    // A time-out leaves the attempt's result to come, so a second wait waits again.
    for (int round = 0; round < 2; ++round)
    {
        const auto start = Clock::now();
        EXPECT_FALSE (link->waitForAttach (300));
        const auto waited = millisecondsSince (start);
        EXPECT_GE (waited, 290);
        EXPECT_LT (waited, 2300);
        EXPECT_FALSE (link->isAttached());
    }
}

TEST_F (LinkAttach, UnparsableAddressFailsAtOnce)
{
    for (const std::string address : { "127.0.1", "127.0.0.256", "127.0.0.1.5", "device", " 127.0.0.1" })
    {
        SCOPED_TRACE (address);
        auto link = makeLink();

        const auto start = Clock::now();
        EXPECT_FALSE (link->connect (devicePort, address));
        EXPECT_FALSE (link->waitForAttach (2500));
        EXPECT_LT (millisecondsSince (start), 500);
        EXPECT_FALSE (link->isAttached());
        EXPECT_THROW (link->waitForAttach (0), std::future_error);
    }
}

TEST_F (LinkAttach, WaitWithoutConnectHasNoResult)
{
    auto link = makeLink();
    EXPECT_THROW (link->waitForAttach (0), std::future_error);
}

TEST_F (LinkAttach, LinkNotOwnedBySharedPointerFailsItsAttempt)
{
    startDevice();
    aComms::BoostSocketTCP link (&context, aComms::BoostSocketTCP::clientMode, "Tests: unowned");

    EXPECT_FALSE (link.connect (devicePort, deviceAddress));
    EXPECT_FALSE (link.waitForAttach (0));
    EXPECT_FALSE (link.isAttached());
}

TEST_F (LinkAttach, DestroyingALinkWithItsConnectPendingIsHarmless)
{
    startDevice (zsim::Reachability::Unresponsive);
    std::weak_ptr<aComms::BoostSocketTCP> watcher;
    {
        auto link = makeLink();
        watcher = link;
        link->connect (devicePort, deviceAddress);
    }

    // The cancelled connect completes after its link has gone and must find nothing to touch.
    drainContext();
    EXPECT_TRUE (watcher.expired());
}

TEST_F (LinkAttach, DisconnectClearsTheFlagAndCanBeRepeated)
{
    auto link = attachedLink();
    ASSERT_TRUE (link->isAttached());

    link->disconnect();
    EXPECT_FALSE (link->isAttached());
    link->disconnect();
    EXPECT_FALSE (link->isAttached());

    uint8_t byte = 0;
    EXPECT_THROW (link->writeData (&byte, 1), aComms::GenericCommsBaseError);
}
