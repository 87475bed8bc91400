#include "tests/simulator/SimClient.h"
#include "tests/support/TestNet.h"
#include "tools/sim/DeviceSimulator.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace
{
const milliseconds replyWait { 2000 };
const milliseconds quietWait { 300 };

Bytes text (const std::string& s)
{
    return { s.begin(), s.end() };
}

zsim::DeviceIdentity consoleIdentity()
{
    zsim::DeviceIdentity identity;
    identity.deviceType = 3;
    identity.name = zsim::DeviceIdentity::nameField ("Console");
    identity.mac = { 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e };
    identity.statusFlag = 1;
    identity.optionWord = 0x11223344;
    identity.motorisedFaderWord = 0x01020304;
    return identity;
}

// The record of consoleIdentity() served from 127.H.L.1, written out field by field.
Bytes consoleRecord (uint8_t command, const std::array<uint8_t, 4>& address, const Bytes& name)
{
    return concat ({ { 111, 0, 0, 0, 0xED, 0xAC, 0xEF, 0x0D, command, 0, 3, 0 },
                     { 3, 0, 0, 0 },
                     zeros (1),
                     name,
                     { 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e },
                     { address.begin(), address.end() },
                     { 1 },
                     zeros (16),
                     { 0x44, 0x33, 0x22, 0x11 },
                     zeros (12),
                     { 0x04, 0x03, 0x02, 0x01 },
                     zeros (28) });
}

class DeviceAnswers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (sim.start());
    }

    std::array<uint8_t, 4> boundAddress() const
    {
        return boost::asio::ip::make_address_v4 (address).to_bytes();
    }

    const std::string address = testnet::loopbackAddress (0);
    zsim::DeviceSimulator sim { consoleIdentity(), address };
};
}

TEST_F (DeviceAnswers, DiscoverGetsTheRecordByteForByte)
{
    const auto expected = consoleRecord (0, boundAddress(), concat ({ text ("Console"), zeros (24) }));
    ASSERT_EQ (expected.size(), 123u);

    const auto reply = exchange (address, discoverRequest(), 123, replyWait);
    EXPECT_FALSE (reply.error);
    EXPECT_EQ (reply.bytes, expected);
    EXPECT_EQ (bytesOf (sim.record()), expected);
}

TEST_F (DeviceAnswers, IdentityFieldsReachTheirOffsets)
{
    auto identity = consoleIdentity();
    identity.deviceType = -2;
    identity.name = zsim::DeviceIdentity::nameField ("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567");
    identity.ipv4 = std::array<uint8_t, 4> { 10, 200, 0, 77 };
    sim.setIdentity (identity);

    const auto reply = exchange (address, discoverRequest(), 123, replyWait).bytes;
    ASSERT_EQ (reply.size(), 123u);
    EXPECT_EQ (Bytes (reply.begin() + 10, reply.begin() + 16), Bytes ({ 0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF }));
    EXPECT_EQ (Bytes (reply.begin() + 17, reply.begin() + 48), text ("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"));
    EXPECT_EQ (Bytes (reply.begin() + 54, reply.begin() + 58), Bytes ({ 10, 200, 0, 77 }));
}

TEST_F (DeviceAnswers, RenameIsStoredAndAnsweredWithTheNewName)
{
    const auto newName = concat ({ text ("Studio B"), zeros (23) });
    const auto reply = exchange (address, request (1, 3, newName), 123, replyWait);

    EXPECT_FALSE (reply.error);
    EXPECT_EQ (reply.bytes, consoleRecord (1, boundAddress(), newName));
    EXPECT_EQ (bytesOf (sim.identity().name), newName);
    EXPECT_EQ (exchange (address, discoverRequest(), 123, replyWait).bytes, consoleRecord (0, boundAddress(), newName));
}

TEST_F (DeviceAnswers, RenameOfTheWrongLengthChangesNothing)
{
    for (const auto length : { 30, 32 })
    {
        const auto reply = exchange (address, request (1, 3, Bytes (length, 'x')), 123, quietWait);
        EXPECT_EQ (reply.error, boost::asio::error::timed_out) << length;
        EXPECT_TRUE (reply.bytes.empty()) << length;
    }
    EXPECT_EQ (sim.identity().name, consoleIdentity().name);
}

// Requests that get no answer are still read whole and recorded.
TEST_F (DeviceAnswers, UnansweredRequestsAreRecorded)
{
    Bytes badMagic = discoverRequest();
    badMagic[4] = 0xEE;
    const std::vector<Bytes> requests { request (2, 3), request (7, 0, { 1, 2, 3 }), badMagic };

    for (const auto& sent : requests)
    {
        const auto reply = exchange (address, sent, 1, quietWait);
        EXPECT_EQ (reply.error, boost::asio::error::timed_out);
        EXPECT_TRUE (reply.bytes.empty());
    }

    ASSERT_TRUE (sim.waitForRequests (requests.size(), replyWait));
    const auto recorded = sim.requests();
    for (std::size_t i = 0; i < requests.size(); ++i)
    {
        EXPECT_EQ (recorded[i].bytes, requests[i]);
        EXPECT_EQ (recorded[i].connection, i + 1);
    }
}

TEST_F (DeviceAnswers, OneConnectionServesRequestAfterRequest)
{
    Client client;
    ASSERT_FALSE (client.connect (address, replyWait));
    client.send (concat ({ discoverRequest(), request (2, 3), discoverRequest() }));

    const auto reply = client.receive (246, replyWait);
    EXPECT_FALSE (reply.error);
    EXPECT_EQ (reply.bytes, concat ({ bytesOf (sim.record()),
                                      bytesOf (sim.record()) }));
    ASSERT_TRUE (sim.waitForRequests (3, replyWait));
    EXPECT_EQ (sim.requests()[2].connection, 1u);
}

TEST_F (DeviceAnswers, PeerClosingMidRequestLeavesItsBytesRecorded)
{
    const auto discover = discoverRequest();
    const auto rename = request (1, 3, zeros (31));
    const std::vector<Bytes> partials { Bytes (discover.begin(), discover.begin() + 7),
                                        Bytes (rename.begin(), rename.begin() + 20) };
    for (const auto& partial : partials)
    {
        Client client;
        ASSERT_FALSE (client.connect (address, replyWait));
        client.send (partial);
        client.shutdownSending();
        EXPECT_EQ (client.receive (1, replyWait).error, boost::asio::error::eof);
    }

    ASSERT_TRUE (sim.waitForRequests (2, replyWait));
    EXPECT_EQ (sim.requests()[0].bytes, partials[0]);
    EXPECT_EQ (sim.requests()[1].bytes, partials[1]);
}

TEST_F (DeviceAnswers, PayloadLengthIsCappedAt4096)
{
    Client accepted;
    ASSERT_FALSE (accepted.connect (address, replyWait));
    accepted.send (request (9, 0, Bytes (4096, 0xAB)));
    EXPECT_EQ (accepted.receive (1, quietWait).error, boost::asio::error::timed_out);

    Client refused;
    ASSERT_FALSE (refused.connect (address, replyWait));
    const auto header = request (9, 0, Bytes (4097, 0xAB));
    refused.send (Bytes (header.begin(), header.begin() + 12));
    const auto ending = refused.receive (1, replyWait);
    EXPECT_TRUE (ending.error == boost::asio::error::eof || ending.error == boost::asio::error::connection_reset);

    ASSERT_TRUE (sim.waitForRequests (2, replyWait));
    EXPECT_EQ (sim.requests()[0].bytes.size(), 12u + 4096u);
    EXPECT_EQ (sim.requests()[1].bytes, Bytes (header.begin(), header.begin() + 12));
}
