#include "tests/updater/EngineFixture.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

namespace
{
constexpr auto generous = std::chrono::seconds (20);
constexpr std::size_t picIndex = 4;                  // Channel Master 1-8: Panel 0, Ch 0, Type 1
const PanelAddress picBoard { 0, 0, 1, 0 };
constexpr std::size_t fpgaIndex = 7;                 // its FPGA: Type 4
const PanelAddress fpgaBoard { 0, 0, 4, 0 };

// One Intel HEX record's worth of data at a flash address; its checksum covers count,
// address, record type and data.
ProgramBlock picBlock (uint32_t address, uint8_t count)
{
    ProgramBlock block;
    block.count = count;
    for (int i = 0; i < 4; ++i)
        block.address[(size_t) i] = (uint8_t) (address >> (8 * i));
    for (uint8_t i = 0; i < count; ++i)
        block.data[i] = (uint8_t) (0x30 + i);
    unsigned sum = count + block.recordType;
    for (const auto b : block.address)
        sum += b;
    for (uint8_t i = 0; i < count; ++i)
        sum += block.data[i];
    block.checksum = (uint8_t) sum;
    return block;
}

// A slice of a raw image; its checksum covers the data alone.
ProgramBlock fpgaSlice (uint8_t count)
{
    ProgramBlock block;
    block.count = count;
    block.address = { 0xFF, 0xFF, 0x00, 0x00 };
    block.recordType = 0xFF;
    for (uint8_t i = 0; i < count; ++i)
        block.data[i] = (uint8_t) (200 - i);
    block.checksum = (uint8_t) std::accumulate (block.data.begin(), block.data.begin() + count, 0u);
    return block;
}

// A console with the manual master fader board, whose boards restart and erase quickly.
class BoardExchanges : public ::testing::Test
{
protected:
    BoardExchanges()
    {
        auto setup = zsim::consoleDevice (zsim::MasterFader::Manual);
        zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (20));
        device = std::make_unique<zsim::DeviceSimulator> (setup, address);
        EXPECT_TRUE (device->start());
    }

    // Reads the board until it reports the state, as a board procedure would.
    bool waitForState (const PanelAddress& board, uint8_t state)
    {
        const auto end = std::chrono::steady_clock::now() + generous;
        while (std::chrono::steady_clock::now() < end)
        {
            TagReplyHead head;
            if (Inspector::readDeviceId (engine, console, board, head) == DeviceResult::Success && head.state == state)
                return true;
            std::this_thread::sleep_for (std::chrono::milliseconds (20));
        }
        return false;
    }

    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> device;
    ZorvUpdater engine { "/nonexistent", compressedTiming() };
    DeviceRecord console = recordFor (address, 0);
};
}

TEST_F (BoardExchanges, IdentityOfARunningBoard)
{
    TagReplyHead head;
    ASSERT_EQ (Inspector::readDeviceId (engine, console, masterFaders, head), DeviceResult::Success);
    EXPECT_NE (head.marker, 0);
    EXPECT_EQ (head.code, 'j');
    EXPECT_EQ (head.Ch, 3);
    EXPECT_EQ (head.Panel, 4);
    EXPECT_EQ (head.state, 'W');
    EXPECT_EQ (head.Type, 9);
    EXPECT_EQ (head.Addr, 0);
    EXPECT_EQ (head.value, device->board (masterFaderIndex).version);
}

// A reply that is not a reply to this request fails the exchange itself; a reply from the
// wrong board is judged by the command.
TEST_F (BoardExchanges, IdentityReadResults)
{
    struct Case { Fault fault; uint16_t value; DeviceResult result; };
    for (const auto& c : { Case { Fault::WrongParameter, 1, DeviceResult::TransportFailed },
                           Case { Fault::WrongCommand, 4, DeviceResult::TransportFailed },
                           Case { Fault::ShortReply, 75, DeviceResult::TransportFailed },
                           Case { Fault::Close, 0, DeviceResult::TransportFailed },
                           Case { Fault::ZeroFirstByte, 0, DeviceResult::InvalidHeader },
                           Case { Fault::WrongCode, 'k', DeviceResult::InvalidHeader },
                           Case { Fault::WrongCh, 0, DeviceResult::InvalidHeader },
                           Case { Fault::WrongPanel, 0, DeviceResult::InvalidHeader },
                           Case { Fault::WrongType, 0, DeviceResult::WrongDevice },
                           Case { Fault::WrongAddr, 0, DeviceResult::WrongDevice } })
    {
        device->addFault (masterFaderIndex, { c.fault, BoardRequest::IdentityRead, 0, 1, c.value });
        TagReplyHead head;
        EXPECT_EQ (Inspector::readDeviceId (engine, console, masterFaders, head), c.result) << (int) c.fault;
    }
}

// A request for parameter 9 takes the reply of any device type 0-8.
TEST_F (BoardExchanges, RequestForParameterNineTakesAnyDeviceType)
{
    const auto typeNine = recordFor (address, 9);
    TagReplyHead head;
    EXPECT_EQ (Inspector::readDeviceId (engine, typeNine, masterFaders, head), DeviceResult::Success);

    device->addFault (masterFaderIndex, { Fault::WrongParameter, BoardRequest::IdentityRead, 0, 1, 8 });
    EXPECT_EQ (Inspector::readDeviceId (engine, typeNine, masterFaders, head), DeviceResult::Success);
    device->addFault (masterFaderIndex, { Fault::WrongParameter, BoardRequest::IdentityRead, 0, 1, 9 });
    EXPECT_EQ (Inspector::readDeviceId (engine, typeNine, masterFaders, head), DeviceResult::TransportFailed);
}

// The boot loader of a PIC board through all five download commands.
TEST_F (BoardExchanges, PicBoardThroughItsBootLoader)
{
    EXPECT_EQ (Inspector::sendEnterBootMode (engine, console, picBoard), DeviceResult::Success);
    ASSERT_TRUE (waitForState (picBoard, 'V'));

    TagReplyHead head;
    ASSERT_EQ (Inspector::eraseDevice (engine, console, picBoard, head), DeviceResult::Success);
    EXPECT_EQ (head.state, 'Y');

    const auto block = picBlock (0x1D000000, 16);
    EXPECT_EQ (Inspector::programDevice (engine, console, picBoard, 27, block, head), DeviceResult::Success);
    EXPECT_EQ (head.code, 'k');
    auto spoilt = picBlock (0x1D000010, 5);
    ++spoilt.checksum;
    EXPECT_EQ (Inspector::programDevice (engine, console, picBoard, 16, spoilt, head), DeviceResult::DownloadError);

    const auto stored = device->board (picIndex).picMemory;
    ASSERT_EQ (stored.count (0x1D000000), 1u);
    EXPECT_EQ (stored.at (0x1D000000), std::vector<uint8_t> (block.data.begin(), block.data.begin() + 16));
    EXPECT_EQ (stored.size(), 1u);

    EXPECT_EQ (Inspector::sendProgramComplete (engine, console, picBoard), DeviceResult::Success);
    EXPECT_TRUE (waitForState (picBoard, 'W'));
    EXPECT_EQ (device->board (picIndex).restarts, 2u);
}

TEST_F (BoardExchanges, ProgramResults)
{
    EXPECT_EQ (Inspector::sendEnterBootMode (engine, console, picBoard), DeviceResult::Success);
    ASSERT_TRUE (waitForState (picBoard, 'V'));

    const auto block = picBlock (0x1D000100, 8);
    struct Case { std::vector<Fault> faults; uint16_t value; DeviceResult result; };
    for (const auto& c : { Case { { Fault::ChecksumError, Fault::ZeroFirstByte }, 0, DeviceResult::DownloadError },
                           Case { { Fault::WrongCode }, 'j', DeviceResult::DownloadInvalidResponse },
                           Case { { Fault::ZeroFirstByte }, 0, DeviceResult::InvalidHeader },
                           Case { { Fault::WrongPanel }, 0, DeviceResult::InvalidHeader },
                           Case { { Fault::WrongAddr }, 0, DeviceResult::WrongDevice },
                           Case { { Fault::WrongParameter }, 5, DeviceResult::TransportFailed } })
    {
        for (const auto fault : c.faults)
            device->addFault (picIndex, { fault, BoardRequest::ProgramBlock, 0, 1, c.value });
        TagReplyHead head;
        EXPECT_EQ (Inspector::programDevice (engine, console, picBoard, 19, block, head), c.result) << (int) c.faults[0];
    }
}

// 49 data bytes fill the tag to its last byte; the board stores them all.
TEST_F (BoardExchanges, FullSliceReachesAnFpgaBoard)
{
    TagReplyHead head;
    ASSERT_EQ (Inspector::eraseDevice (engine, console, fpgaBoard, head), DeviceResult::Success);
    const auto slice = fpgaSlice (49);
    EXPECT_EQ (Inspector::programDevice (engine, console, fpgaBoard, 60, slice, head), DeviceResult::Success);
    EXPECT_EQ (device->board (fpgaIndex).fpgaStream, std::vector<uint8_t> (slice.data.begin(), slice.data.end()));
}

TEST_F (BoardExchanges, EraseThatDoesNotEraseFails)
{
    device->addFault (fpgaIndex, { Fault::EraseFails, BoardRequest::Erase });
    TagReplyHead head;
    EXPECT_EQ (Inspector::eraseDevice (engine, console, fpgaBoard, head), DeviceResult::EraseFailed);
    EXPECT_EQ (head.code, 'j');
    EXPECT_EQ (Inspector::eraseDevice (engine, console, fpgaBoard, head), DeviceResult::Success);
}

TEST_F (BoardExchanges, ResetRestartsTheBoardWithoutAReply)
{
    TagBytes reply {};
    EXPECT_TRUE (Inspector::readWriteGenTags (engine, console, masterFaders, 2, reply));
    ASSERT_TRUE (device->waitForRequests (1, generous));
    EXPECT_EQ (device->board (masterFaderIndex).count (BoardRequest::Reset), 1u);
    EXPECT_EQ (device->board (masterFaderIndex).restarts, 1u);
}
