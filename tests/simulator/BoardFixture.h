#pragma once

// A console with the manual master fader board, served on a loopback address of the test's
// own, and the requests the board tests send it. Board 19 (Panel 4, Ch 3, Type 9) is the
// asymmetric one: a reply or request with Ch and Panel swapped names no board.

#include "tests/simulator/SimClient.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace simtest
{
const milliseconds replyWait { 2000 };
const milliseconds quietWait { 200 };

constexpr uint16_t consoleType = 0;
constexpr std::size_t faderIndex = 19;
constexpr zsim::BoardAddress faders { 4, 3, 9, 0 };
constexpr std::size_t fpgaIndex = 8;
constexpr zsim::BoardAddress fpga { 0, 1, 4, 0 };
constexpr std::size_t interfaceIndex = 0;
constexpr zsim::BoardAddress monitorInterface { 2, 0, 5, 0 };

// Board 19 runs version 3, takes version 10 when programmed and reports variant 7.
inline zsim::DeviceSetup consoleSetup()
{
    auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
    setup.boards[faderIndex].version = 3;
    setup.boards[faderIndex].newVersion = 10;
    setup.boards[faderIndex].variant = 7;
    zsim::setBoardTimes (setup, milliseconds (150), milliseconds (30));
    return setup;
}

class BoardFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        start (consoleSetup());
    }

    void start (zsim::DeviceSetup setup)
    {
        sim.reset();
        sim = std::make_unique<zsim::DeviceSimulator> (std::move (setup), address);
        ASSERT_TRUE (sim->start());
    }

    Received ask (const Bytes& request, std::size_t count = 76, milliseconds wait = replyWait) const
    {
        return exchange (address, request, count, wait);
    }

    // Sends a request that gets no answer and waits until the device has acted on it.
    void tell (const Bytes& request) const
    {
        const auto before = sim->requests().size();
        Client client;
        ASSERT_FALSE (client.connect (address, replyWait));
        ASSERT_FALSE (client.send (request));
        ASSERT_TRUE (sim->waitForRequests (before + 1, replyWait));
    }

    // The request was read and nothing came back while the connection stayed open.
    bool unanswered (const Bytes& request) const
    {
        const auto received = ask (request, 1, quietWait);
        return received.bytes.empty() && received.error == boost::asio::error::timed_out;
    }

    Bytes reply (const zsim::BoardAddress& board, uint8_t code, uint8_t state, uint8_t value) const
    {
        return tagReply (consoleType, board, code, state, value);
    }

    zsim::BoardState state (std::size_t index) const
    {
        return sim->board (index).state;
    }

    bool waitForState (std::size_t index, zsim::BoardState wanted, milliseconds timeout = replyWait) const
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (state (index) != wanted)
        {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for (milliseconds (5));
        }
        return true;
    }

    // Takes the board through enter boot mode and erase, so that it takes blocks.
    void eraseBoard (const zsim::BoardAddress& board, std::size_t index)
    {
        tell (enterBootMode (consoleType, board));
        ASSERT_TRUE (waitForState (index, zsim::BoardState::BootMode));
        ASSERT_EQ (ask (eraseRequest (consoleType, board)).bytes, reply (board, 'j', 'Y', 0));
    }

    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> sim;
};
}
