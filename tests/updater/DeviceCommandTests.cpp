#include "tests/updater/EngineFixture.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;

namespace
{
using Clock = std::chrono::steady_clock;
constexpr auto generous = std::chrono::seconds (20);

ProgramBlock blockOf (uint8_t count)
{
    ProgramBlock block;
    block.checksum = 0x5A;
    block.count = count;
    block.address = { 0x00, 0x40, 0x00, 0x1D };
    for (std::size_t i = 0; i < std::min<std::size_t> (count, block.data.size()); ++i)
        block.data[i] = (uint8_t) (i + 1);
    return block;
}

class DeviceCommands : public ::testing::Test
{
protected:
    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> device = startDevice (0, address);
    ZorvUpdater engine { "/nonexistent", compressedTiming() };
    DeviceRecord console = recordFor (address, 0);
};
}

// Every command on the wire for a board whose Ch and Panel differ, one connection each.
// The device reads each request and hangs up, so no command waits for a reply.
TEST_F (DeviceCommands, RequestBytesForTheMasterFaderBoard)
{
    device->setDefaultBehaviour ({ zsim::Behaviour::CloseAfterRequest });
    const auto& a = masterFaders;
    TagReplyHead head;
    TagBytes reply {};
    const auto block = blockOf (3);

    EXPECT_EQ (Inspector::readDeviceId (engine, console, a, head), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::sendEnterBootMode (engine, console, a), DeviceResult::Success);
    EXPECT_EQ (Inspector::eraseDevice (engine, console, a, head), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::programDevice (engine, console, a, 14, block, head), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::sendProgramComplete (engine, console, a), DeviceResult::Success);
    EXPECT_TRUE (Inspector::readWriteGenTags (engine, console, a, 2, reply));
    EXPECT_FALSE (Inspector::readWriteGenTags (engine, console, a, 44, reply));

    ASSERT_TRUE (device->waitForRequests (7, generous));
    const auto requests = device->requests();
    const std::vector<std::vector<uint8_t>> expected =
    {
        tagRequest (0, { 8, 4, 3, 4, 0x55, 0, 9, 0 }),
        tagRequest (0, { 8, 4, 3, 4, 0xAA, 0, 9, 0 }),
        tagRequest (0, { 8, 4, 3, 4, 0xAA, 'X', 9, 0 }),
        tagRequest (0, { 18, 5, 3, 4, 0, 0, 9, 0, 0x5A, 3, 0x00, 0x40, 0x00, 0x1D, 0, 1, 2, 3 }),
        tagRequest (0, { 8, 6, 3, 4, 0, 0, 9, 0 }),
        tagRequest (0, { 8, 8, 3, 4, 2, 2, 9, 0 }),
        tagRequest (0, { 8, 8, 3, 4, 44, 2, 9, 0 }),
    };
    ASSERT_EQ (requests.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ (requests[i].bytes, expected[i]) << "request " << i;
        EXPECT_EQ (requests[i].connection, i + 1) << "each exchange has a connection of its own";
    }
}

TEST_F (DeviceCommands, ParameterIsTheRecordsDeviceType)
{
    device->setDefaultBehaviour ({ zsim::Behaviour::CloseAfterRequest });
    EXPECT_EQ (Inspector::sendProgramComplete (engine, recordFor (address, 7), { 0, 0, 1, 0 }), DeviceResult::Success);
    ASSERT_TRUE (device->waitForRequests (1, generous));
    EXPECT_EQ (device->requests()[0].bytes, tagRequest (7, { 8, 6, 0, 0, 0, 0, 1, 0 }));
}

// A request that would not fit the tag, or whose length does not describe its block,
// never leaves the engine.
TEST_F (DeviceCommands, MalformedDownloadRequestsOpenNoConnection)
{
    TagReplyHead head;
    TagBytes reply {};
    EXPECT_EQ (Inspector::programDevice (engine, console, masterFaders, 11, blockOf (0), head), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::programDevice (engine, console, masterFaders, 61, blockOf (50), head), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::programDevice (engine, console, masterFaders, 27, blockOf (40), head), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::programDevice (engine, console, masterFaders, 65, blockOf (16), head), DeviceResult::TransportFailed);
    EXPECT_FALSE (Inspector::readWriteDownloadTags (engine, console, 4, masterFaders, 5, 0x55, 0, nullptr, reply));

    std::this_thread::sleep_for (std::chrono::milliseconds (100));
    EXPECT_EQ (device->connectionCount(), 0u);
}

// A reset is written and left: nothing is read, however long the device stays silent.
TEST_F (DeviceCommands, ResetDoesNotWaitForAReply)
{
    auto timing = compressedTiming();
    timing.replyTimeoutMs = 60000;
    ZorvUpdater patient ("/nonexistent", timing);
    device->setDefaultBehaviour ({ zsim::Behaviour::Silent });

    TagBytes reply {};
    reply.fill (0xEE);
    const auto start = Clock::now();
    EXPECT_TRUE (Inspector::readWriteGenTags (patient, console, masterFaders, 2, reply));
    EXPECT_LT (Clock::now() - start, std::chrono::seconds (30));
    EXPECT_EQ (reply[0], 0xEE) << "the caller's buffer is untouched";
    EXPECT_EQ (Inspector::sendEnterBootMode (patient, console, masterFaders), DeviceResult::Success);
    EXPECT_LT (Clock::now() - start, std::chrono::seconds (30));
}

TEST_F (DeviceCommands, UnreachableDeviceFailsEveryCommand)
{
    device->setReachability (zsim::Reachability::Refusing);
    TagReplyHead head;
    TagBytes reply {};
    EXPECT_EQ (Inspector::readDeviceId (engine, console, masterFaders, head), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::sendEnterBootMode (engine, console, masterFaders), DeviceResult::TransportFailed);
    EXPECT_EQ (Inspector::sendProgramComplete (engine, console, masterFaders), DeviceResult::TransportFailed);
    EXPECT_FALSE (Inspector::readWriteGenTags (engine, console, masterFaders, 2, reply));
    EXPECT_FALSE (Inspector::discoverDevice (engine, address, 0).found);
}

TEST_F (DeviceCommands, ProbeFindsTheDeviceBeingWorkedOn)
{
    const auto result = Inspector::discoverDevice (engine, address, 0);
    ASSERT_TRUE (result.found);
    EXPECT_EQ (std::memcmp (&result.record, device->record().data(), sizeof (DeviceRecord)), 0);

    const auto requests = device->requests();
    ASSERT_EQ (requests.size(), 1u);
    EXPECT_EQ (requests[0].bytes, (std::vector<uint8_t> { 0, 0, 0, 0, 0xED, 0xAC, 0xEF, 0x0D, 0, 0, 0xFF, 0xFF }));
}

// Whatever the reason, a device that is not found comes back as an all-zero record.
TEST_F (DeviceCommands, ProbeRejections)
{
    const DeviceRecord zero {};
    const auto expectNotFound = [&] (int32_t expectedType, const char* why)
    {
        const auto result = Inspector::discoverDevice (engine, address, expectedType);
        EXPECT_FALSE (result.found) << why;
        EXPECT_EQ (std::memcmp (&result.record, &zero, sizeof (DeviceRecord)), 0) << why;
    };

    expectNotFound (1, "another device type than the one being updated");

    auto identity = device->identity();
    identity.deviceType = 65539;   // its header parameter is the low half, 3
    device->setIdentity (identity);
    expectNotFound (65539, "a type beyond the tables");
    expectNotFound (3, "a type whose low half matches");

    identity.deviceType = 9;
    device->setIdentity (identity);
    expectNotFound (9, "parameter 9");

    identity.deviceType = 0;
    device->setIdentity (identity);
    device->scriptConnections ({ { zsim::Behaviour::BadHeader },
                                 { zsim::Behaviour::ShortReplyClose, 122 },
                                 { zsim::Behaviour::CloseAfterRequest } });
    expectNotFound (0, "bad magic");
    expectNotFound (0, "122 bytes");
    expectNotFound (0, "no reply");
    EXPECT_TRUE (Inspector::discoverDevice (engine, address, 0).found);
}

// A reply that comes after the time-out finds the exchange over: it reaches no buffer of
// the engine's (the sanitizer builds watch the worker's dead stack frames) and spoils no
// later exchange.
TEST_F (DeviceCommands, LateReplyReachesNothing)
{
    auto timing = compressedTiming();
    timing.replyTimeoutMs = 200;
    ZorvUpdater hasty ("/nonexistent", timing);
    const PanelAddress monitorInterface { 2, 0, 5, 0 };
    device->scriptConnections ({ { zsim::Behaviour::SlowReply, 60, std::chrono::milliseconds (400) } });

    TagReplyHead head;
    head.value = 0xEE;
    EXPECT_EQ (Inspector::readDeviceId (hasty, console, monitorInterface, head), DeviceResult::TransportFailed);
    EXPECT_EQ (head.value, 0xEE);
    std::this_thread::sleep_for (std::chrono::milliseconds (400));

    EXPECT_EQ (Inspector::readDeviceId (hasty, console, monitorInterface, head), DeviceResult::Success);
    EXPECT_EQ (head.code, 'j');
}
