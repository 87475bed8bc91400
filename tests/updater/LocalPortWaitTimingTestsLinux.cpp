// The local-port waits as rows of the wait table (WaitTable.h): a computer whose local ports
// run out while it programs a board. The board's device sits across a veth pair, where a
// closed connection holds its local port for the whole TIME_WAIT; the computer's side has
// eight ports, all held by connections of the test's own until it lets one go with a reset,
// which frees its port at once. Each block then takes the port let go and leaves it in
// TIME_WAIT, so the next block finds none again.

#include "tests/updater/WaitTable.h"
#include "tests/support/VethNetworks.h"
#include "tests/updater/ImageWalk.h"

#include <boost/asio/ip/tcp.hpp>

#include <future>

namespace waittest
{
namespace
{
using Inspector = ZorvUpdaterInspector;

const PanelAddress picBoard { 0, 0, 1, 0 };

class PortShortage
{
public:
    explicit PortShortage (const UpdaterTiming& timing)
    {
        if (! networks.ready() || ! networks.setLocalPortRange (60000, 60007))
            return;
        auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
        setup.boards[picIndex].bootMode = true;
        bool started = false;
        networks.inFarNetwork ([&]
        {
            device = std::make_unique<zsim::DeviceSimulator> (setup, farAddress);
            started = device->start();
        });
        if (! started)
            return;
        engine = std::make_unique<ZorvUpdater> ("/nonexistent", timing);

        const boost::asio::ip::tcp::endpoint target (boost::asio::ip::make_address_v4 (farAddress), 51000);
        for (int i = 0; i < 8; ++i)
        {
            held.emplace_back (holding);
            boost::system::error_code error;
            held.back().connect (target, error);
            if (error)
                return;
        }
        up = true;
    }

    ~PortShortage()
    {
        if (programming.valid())
            programming.wait();
        held.clear();
        engine.reset();
        device.reset();
    }

    bool ready() const { return up; }

    // Programs `blocks` blocks in the background; the result: whether every block got through.
    void program (std::size_t blocks, const UpdaterEventCallback& callback)
    {
        std::mt19937 random (31);
        const auto file = testhex::HexFileWriter().writeBytes (
            { { imagewalk::windowStart, testhex::randomBytes (random, blocks * 16) } });
        programming = std::async (std::launch::async, [this, file, callback]
        {
            return Inspector::programFirmwareImage (*engine, enginetest::recordFor (farAddress, 0), picBoard, file, false,
                                                    imagewalk::limit2048K, true, callback);
        });
    }

    bool programmed() { return programming.get(); }

    void letOnePortGo()
    {
        if (held.empty())
            return;
        boost::system::error_code ignored;
        held.back().set_option (boost::asio::socket_base::linger (true, 0), ignored);
        held.back().close (ignored);
        held.pop_back();
    }

    // When the n-th block (from 1) reached the board; waits for it.
    std::optional<Clock::time_point> block (std::size_t n) const
    {
        if (! device->waitForRequests (n, std::chrono::seconds (10)))
            return {};
        return device->requests().at (n - 1).time;
    }

private:
    testnet::VethNetworks networks;
    const std::string farAddress = testnet::VethNetworks::farAddress;
    std::unique_ptr<zsim::DeviceSimulator> device;
    std::unique_ptr<ZorvUpdater> engine;
    boost::asio::io_context holding;
    std::vector<boost::asio::ip::tcp::socket> held;
    std::future<bool> programming;
    bool up = false;
};

std::optional<Clock::time_point> warned (const WaitFixture& f)
{
    const auto warning = lineStartingWith ("No free network port");
    if (! optest::eventually ([&] { return ! f.log.timesOf (warning).empty(); }, std::chrono::seconds (10)))
        return {};
    return f.log.timesOf (warning).front();
}

Clock::duration milliseconds (double ms)
{
    return std::chrono::duration_cast<Clock::duration> (std::chrono::duration<double, std::milli> (ms));
}

// A port comes free halfway between two of the engine's tries; each block then gets through
// at the try after it. Measured from the warning (the first block's first try), then from
// each block to the next.
Samples localPortPolls (WaitFixture& f)
{
    PortShortage shortage (f.timing);
    if (! shortage.ready())
        return {};
    shortage.program (4, f.log.callback());

    const auto first = warned (f);
    if (! first)
        return {};
    Times tries { *first };
    for (std::size_t n = 1; n <= 4; ++n)
    {
        std::this_thread::sleep_until (tries.back() + milliseconds (f.timing.localPortPollMs / 2));
        shortage.letOnePortGo();
        const auto sent = shortage.block (n);
        if (! sent)
            return {};
        tries.push_back (*sent);
    }
    EXPECT_TRUE (shortage.programmed());
    return betweenNeighbours (tries);
}

// The first block waits half the bound for its port; the second never gets one, and its wait
// is measured from its own first try, right after the first block: the bound again, whatever
// the first block waited. Once the wait is over its 65 tries count, each after a pause.
Samples secondShortage (WaitFixture& f)
{
    PortShortage shortage (f.timing);
    if (! shortage.ready())
        return {};
    shortage.program (2, f.log.callback());

    const auto first = warned (f);
    if (! first)
        return {};
    std::this_thread::sleep_until (*first + milliseconds (f.timing.localPortWaitMs / 2));
    shortage.letOnePortGo();
    const auto sent = shortage.block (1);
    if (! sent)
        return {};
    EXPECT_FALSE (shortage.programmed());

    const auto blocksDone = f.log.timesOf (ofType (ZorvUpdater::Progress));
    if (blocksDone.size() != 2)
        return {};
    return { msBetween (*sent, blocksDone[1]) - 65 * f.timing.blockRetryPauseMs };
}

const WaitCase localPortCases[] = {
    { "LocalPortPoll", "localPortPollMs", 100, 1, twiceCaught, localPortPolls,
      "awaitLocalPort: between the tries of a block while no local port is free", true },
    { "LocalPortWaitOfASecondShortage", "localPortWaitMs", 1500, 1, twiceCaught, secondShortage,
      "awaitLocalPort: a second block's wait for a port, from its own first try to its end", true },
};
}

INSTANTIATE_TEST_SUITE_P (WithoutLocalPorts, Waits, ::testing::ValuesIn (localPortCases), caseName);
}
