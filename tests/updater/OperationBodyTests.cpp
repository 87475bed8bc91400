#include "tests/updater/OperationFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace optest;
using zsim::BoardRequest;
using zsim::Fault;
using zsim::MasterFader;

namespace
{
const std::string bootModeDone = "Boot Mode Control completed successfully";
const std::string resetDone = "Reset completed successfully";
const std::string checkDone = "Check completed successfully";
const std::string updateDone = "Update completed successfully";

// Console boards the cases use.
constexpr uint8_t channelMaster = 4;        // "Channel Master 1-8", PIC, build version 14
constexpr uint8_t channelMasterFpga = 7;    // "Channel Master FPGA 1-8", FPGA, build version 14
constexpr uint8_t manualFader = 19;         // absent from a motorised console
constexpr uint8_t motorisedFader = 23;

std::vector<float> progressOf (const std::vector<Event>& events)
{
    std::vector<float> values;
    for (const auto& e : events)
        if (e.type == ZorvUpdater::Progress)
            values.push_back (e.progress);
    return values;
}

// A step of an operation and what the device is to be like for it.
struct BodyCase
{
    const char* name;
    std::function<void (zsim::DeviceSetup&)> prepare;
    std::function<void (zsim::DeviceSimulator&)> fault;
    std::function<void (ZorvUpdater&, const DeviceRecord&, UpdaterEventCallback)> launch;
    std::vector<Row> rows;
    std::string finished;
    std::function<void (const zsim::DeviceSimulator&)> check;
};

std::ostream& operator<< (std::ostream& out, const BodyCase& c)
{
    return out << c.name;
}

auto asIs = [] (zsim::DeviceSetup&) {};
auto noFault = [] (zsim::DeviceSimulator&) {};

auto bootMode (uint8_t board, bool enter)
{
    return [board, enter] (ZorvUpdater& engine, const DeviceRecord& record, UpdaterEventCallback callback)
    {
        engine.startBootModeControl (record, board, enter, std::move (callback));
    };
}

auto reset (uint8_t board)
{
    return [board] (ZorvUpdater& engine, const DeviceRecord& record, UpdaterEventCallback callback)
    {
        engine.startResetPanel (record, board, std::move (callback));
    };
}

auto check (uint8_t board, bool forceProcessorQuery)
{
    return [board, forceProcessorQuery] (ZorvUpdater& engine, const DeviceRecord& record, UpdaterEventCallback callback)
    {
        engine.startCheckPanel (record, board, forceProcessorQuery, std::move (callback));
    };
}

auto inBootMode (uint8_t board)
{
    return [board] (zsim::DeviceSetup& setup) { setup.boards[board].bootMode = true; };
}

auto requests (std::size_t board, BoardRequest request, unsigned count)
{
    return [=] (const zsim::DeviceSimulator& device) { EXPECT_EQ (device.board (board).count (request), count); };
}

auto noExchange = [] (const zsim::DeviceSimulator& device) { EXPECT_EQ (device.connectionCount(), 0u); };

const BodyCase bodyCases[] = {
    { "BootModeOnFpgaBoard", asIs, noFault, bootMode (channelMasterFpga, true),
      { { Kind::Section }, { Kind::Line, 1, "Device is FPGA. Boot Mode control not applicable" } }, bootModeDone, noExchange },
    { "EnterWhenAlreadyInBootMode", inBootMode (channelMaster), noFault, bootMode (channelMaster, true),
      { { Kind::Section }, { Kind::Line, 1, "Entering Boot Mode Channel Master 1-8..." },
        { Kind::Line, 1, "Nothing to do - Device already in Boot Mode" } },
      bootModeDone, requests (channelMaster, BoardRequest::EnterBootMode, 0) },
    { "ExitWhenRunning", asIs, noFault, bootMode (channelMaster, false),
      { { Kind::Section }, { Kind::Line, 1, "Exiting Boot Mode Channel Master 1-8..." },
        { Kind::Line, 1, "Nothing to do - Device already not in Boot Mode" } },
      bootModeDone, requests (channelMaster, BoardRequest::ProgramComplete, 0) },
    { "EnterBootMode", asIs, noFault, bootMode (channelMaster, true),
      { { Kind::Section }, { Kind::Line, 1, "Entering Boot Mode Channel Master 1-8..." },
        { Kind::Line, 1, "Device entered Boot Mode successfully" } },
      bootModeDone, [] (const zsim::DeviceSimulator& device) { EXPECT_EQ (device.board (channelMaster).state, zsim::BoardState::BootMode); } },
    { "EnterBootModeIgnored", asIs,
      [] (zsim::DeviceSimulator& device) { device.addFault (channelMaster, { Fault::Silence, BoardRequest::EnterBootMode, 0, zsim::BoardFault::always }); },
      bootMode (channelMaster, true),
      { { Kind::Section }, { Kind::Line, 1, "Entering Boot Mode Channel Master 1-8..." },
        { Kind::Line, 3, "Warning! Failed to enter Boot Mode" } },
      bootModeDone, requests (channelMaster, BoardRequest::IdentityRead, 22) },
    { "BootModeOnMissingBoard", asIs, noFault, bootMode (manualFader, true),
      { { Kind::Section }, { Kind::Line, 1, "Entering Boot Mode Master Faders [Manual]..." },
        { Kind::Line, 3, "Warning! Failed to connect to Master Faders [Manual]" } },
      bootModeDone, requests (manualFader, BoardRequest::EnterBootMode, 0) },
    { "ExitBootMode", inBootMode (channelMaster), noFault, bootMode (channelMaster, false),
      { { Kind::Section }, { Kind::Line, 1, "Exiting Boot Mode Channel Master 1-8..." },
        { Kind::Line, 1, "Verifying device has exited Boot Mode..." },
        { Kind::Line, 1, "Device exited Boot Mode successfully" } },
      bootModeDone, [] (const zsim::DeviceSimulator& device) { EXPECT_EQ (device.board (channelMaster).state, zsim::BoardState::Running); } },
    { "ExitBootModeStaysInIt", inBootMode (channelMaster),
      [] (zsim::DeviceSimulator& device) { device.addFault (channelMaster, { Fault::StayInBootMode, BoardRequest::ProgramComplete }); },
      bootMode (channelMaster, false),
      { { Kind::Section }, { Kind::Line, 1, "Exiting Boot Mode Channel Master 1-8..." },
        { Kind::Line, 1, "Verifying device has exited Boot Mode..." },
        { Kind::Line, 3, "Warning! Device still in Boot Mode" } },
      bootModeDone, requests (channelMaster, BoardRequest::IdentityRead, 3) },
    { "ExitBootModeUnverified", inBootMode (channelMaster),
      [] (zsim::DeviceSimulator& device)
      {
          device.addFault (channelMaster, { Fault::StayInBootMode, BoardRequest::ProgramComplete });
          device.addFault (channelMaster, { Fault::Silence, BoardRequest::IdentityRead, 2, 1 });
      },
      bootMode (channelMaster, false),
      { { Kind::Section }, { Kind::Line, 1, "Exiting Boot Mode Channel Master 1-8..." },
        { Kind::Line, 1, "Verifying device has exited Boot Mode..." },
        { Kind::Line, 3, "Warning! Device still in Boot Mode" } },
      bootModeDone, requests (channelMaster, BoardRequest::IdentityRead, 3) },

    { "ResetBoard", asIs, noFault, reset (channelMaster),
      { { Kind::Section }, { Kind::Line, 1, "Resetting Channel Master 1-8..." },
        { Kind::Line, 1, "Device reset completed successfully" } },
      resetDone, [] (const zsim::DeviceSimulator& device)
      {
          EXPECT_EQ (device.board (channelMaster).count (BoardRequest::Reset), 1u);
          EXPECT_EQ (device.board (channelMaster).count (BoardRequest::IdentityRead), 0u) << "only fader boards are asked first";
          EXPECT_EQ (device.board (channelMaster).restarts, 1u);
      } },
    { "ResetMissingFaderBoard", asIs, noFault, reset (manualFader),
      { { Kind::Section }, { Kind::Line, 1, "Resetting Master Faders [Manual]..." },
        { Kind::Line, 3, "Warning! Failed to connect to Master Faders [Manual]" } },
      resetDone, requests (manualFader, BoardRequest::Reset, 0) },
    { "ResetFittedFaderBoard", asIs, noFault, reset (motorisedFader),
      { { Kind::Section }, { Kind::Line, 1, "Resetting Master Faders [Mot]..." },
        { Kind::Line, 1, "Device reset completed successfully" } },
      resetDone, [] (const zsim::DeviceSimulator& device)
      {
          EXPECT_EQ (device.board (motorisedFader).count (BoardRequest::IdentityRead), 1u);
          EXPECT_EQ (device.board (motorisedFader).count (BoardRequest::Reset), 1u);
      } },
    { "ResetRefused", asIs, [] (zsim::DeviceSimulator& device) { device.setReachability (zsim::Reachability::Refusing); },
      reset (channelMaster),
      { { Kind::Section }, { Kind::Line, 1, "Resetting Channel Master 1-8..." },
        { Kind::Line, 3, "Warning! Failed to Reset Channel Master 1-8" } },
      resetDone, noExchange },

    { "CheckFpgaWithoutFirmware", [] (zsim::DeviceSetup& setup) { setup.boards[channelMasterFpga].version = 0; }, noFault,
      check (channelMasterFpga, true),
      { { Kind::Section }, { Kind::Line, 1, "Contacting Channel Master FPGA 1-8..." },
        { Kind::Line, 3, "Warning! Channel Master FPGA 1-8 requires firmware update! Firmware version: 0 (14)" } },
      checkDone, requests (channelMasterFpga, BoardRequest::ProcessorQuery, 0) },
    { "CheckFpga", [] (zsim::DeviceSetup& setup) { setup.boards[channelMasterFpga].version = 13; }, noFault,
      check (channelMasterFpga, false),
      { { Kind::Section }, { Kind::Line, 1, "Contacting Channel Master FPGA 1-8..." },
        { Kind::Line, 1, "Channel Master FPGA 1-8 Found! Firmware version: 13 (14)" } },
      checkDone, requests (channelMasterFpga, BoardRequest::ProcessorQuery, 0) },
    { "CheckPicInBootMode", [] (zsim::DeviceSetup& setup)
      {
          setup.boards[channelMaster].bootMode = true;
          setup.boards[channelMaster].variant = 2;
      },
      noFault, check (channelMaster, false),
      { { Kind::Section }, { Kind::Line, 1, "Contacting Channel Master 1-8..." },
        { Kind::Line, 3, "Warning! Channel Master 1-8 in Boot Mode! Firmware version: 14 (14)" },
        { Kind::Line, 1, "Processor: PIC32MZ1024EFG144" } },
      checkDone, requests (channelMaster, BoardRequest::ProcessorQuery, 1) },
    { "CheckPicWithUnknownProcessor", [] (zsim::DeviceSetup& setup) { setup.boards[channelMaster].variant = 12; }, noFault,
      check (channelMaster, false),
      { { Kind::Section }, { Kind::Line, 1, "Contacting Channel Master 1-8..." },
        { Kind::Line, 1, "Channel Master 1-8 Found! Firmware version: 14 (14)" },
        { Kind::Line, 1, "Processor: Original PIC32MZ2048EFG..." } },
      checkDone, requests (channelMaster, BoardRequest::ProcessorQuery, 10) },
    { "CheckMissingBoard", asIs, noFault, check (manualFader, false),
      { { Kind::Section }, { Kind::Line, 1, "Contacting Master Faders [Manual]..." },
        { Kind::Line, 3, "Warning! Failed to connect to Master Faders [Manual]" } },
      checkDone, requests (manualFader, BoardRequest::IdentityRead, 1) },
    { "CheckMissingBoardAskingForTheProcessor", asIs, noFault, check (manualFader, true),
      { { Kind::Section }, { Kind::Line, 1, "Contacting Master Faders [Manual]..." },
        { Kind::Line, 3, "Warning! Failed to connect to Master Faders [Manual]" },
        { Kind::Line, 1, "Processor: Original PIC32MZ2048EFG..." } },
      checkDone, requests (manualFader, BoardRequest::IdentityRead, 2) },
};

class OperationBodies : public OperationTest, public ::testing::WithParamInterface<BodyCase>
{
};
}

TEST_P (OperationBodies, LogWhatHappenedAtTheBoard)
{
    const auto& c = GetParam();
    auto setup = zsim::consoleDevice (MasterFader::Motorised);
    c.prepare (setup);
    startDevice (setup);
    const auto console = record();
    c.fault (*device);

    c.launch (*engine, console, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());
    EXPECT_TRUE (sameNarrative (framed (c.rows, c.finished), recorder.rows()));
    c.check (*device);
}

INSTANTIATE_TEST_SUITE_P (Operations, OperationBodies, ::testing::ValuesIn (bodyCases),
                          [] (const ::testing::TestParamInfo<BodyCase>& info) { return std::string (info.param.name); });

// The bar goes up for the restart wait and comes down after it; nothing waits when the
// board is not reset.
TEST_F (OperationTest, ResetShowsTheRestartWait)
{
    startDevice (zsim::consoleDevice (MasterFader::Motorised));
    engine->startResetPanel (record(), channelMaster, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto events = recorder.all();
    const auto progress = progressOf (events);
    ASSERT_EQ (progress.size(), (std::size_t) UpdaterTiming::restartTicks);
    EXPECT_FLOAT_EQ (progress.back(), 1.0f);
    std::vector<Event> bars;
    for (const auto& e : events)
        if (e.type == ZorvUpdater::ProgressBarState)
            bars.push_back (e);
    ASSERT_EQ (bars.size(), 2u);
    EXPECT_TRUE (bars[0].visible && bars[0].resetProgress && ! bars[0].highlight);
    EXPECT_FALSE (bars[1].visible || bars[1].resetProgress || bars[1].highlight);
}

// The exit command cannot reach the board: the identity read is answered slowly, and the
// device stops taking connections meanwhile.
TEST_F (OperationTest, ExitBootModeWhenTheCommandCannotBeSent)
{
    auto timing = operationTiming();
    timing.replyTimeoutMs = 5000;
    engine = std::make_unique<ZorvUpdater> (base.file().getFullPathName().toStdString(), timing);

    auto setup = zsim::consoleDevice (MasterFader::Motorised);
    setup.boards[channelMaster].bootMode = true;
    startDevice (setup);
    device->scriptConnections ({ { zsim::Behaviour::SlowReply, 60, std::chrono::milliseconds (1500) } });

    engine->startBootModeControl (record(), channelMaster, false, recorder.callback());
    ASSERT_TRUE (device->waitForRequests (1, std::chrono::seconds (20)));
    device->setReachability (zsim::Reachability::Refusing);
    ASSERT_TRUE (recorder.waitForFinish());

    EXPECT_TRUE (sameNarrative (framed ({ { Kind::Section }, { Kind::Line, 1, "Exiting Boot Mode Channel Master 1-8..." },
                                          { Kind::Line, 3, "Warning! Failed to send exit Boot Mode command" } },
                                        bootModeDone),
                                recorder.rows()));
    EXPECT_TRUE (progressOf (recorder.all()).empty()) << "no wait for a board that got no command";
    EXPECT_EQ (board (channelMaster).count (BoardRequest::ProgramComplete), 0u);
}

TEST_F (OperationTest, UpdateOfABoardThatDoesNotAnswer)
{
    startDevice (zsim::consoleDevice (MasterFader::Motorised));
    engine->startUpdatePanel (record(), manualFader, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    EXPECT_TRUE (sameNarrative (framed ({ { Kind::Section }, { Kind::Line, 1, "Updating firmware on Master Faders [Manual]..." },
                                          { Kind::Line, 4, "Master Faders [Manual]: Device not found! *" } },
                                        updateDone),
                                recorder.rows()));
    EXPECT_EQ (board (manualFader).count (BoardRequest::Erase), 0u);
}

// The update's own lines are the board procedure's; the body adds the result line.
TEST_F (OperationTest, UpdateProgramsTheBoardAndLogsTheResult)
{
    auto setup = zsim::trxDevice (2);
    setup.boards[1].version = 9;
    startDevice (setup);
    engine->startUpdatePanel (record(), 1, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto rows = recorder.rows();
    ASSERT_GE (rows.size(), 5u);
    EXPECT_EQ (rows[1].kind, Kind::Section);
    EXPECT_EQ (rows[2].text, "Updating firmware on Digital Board...");
    const std::vector<Row> ending (rows.end() - 3, rows.end());
    EXPECT_TRUE (sameNarrative ({ { Kind::Line, 2, "Digital Board: Update Successful! *" }, { Kind::Controls, 1 },
                                  { Kind::Finished, 1, updateDone } },
                                ending));
    const auto& result = rows[rows.size() - 3].text;
    EXPECT_TRUE (result == "Digital Board: Update Successful! " || result.find ("Successful!  [") != std::string::npos) << result;
    EXPECT_TRUE (holdsFirmware (1));
    EXPECT_EQ (board (1).version, 10);
}

TEST_F (OperationTest, UpdateWithTheFirmwareFileMissing)
{
    startDevice (zsim::trxDevice (2));
    std::filesystem::remove (std::filesystem::u8path (base.file().getFullPathName().toStdString()) / "HexFiles" / "V518TRX"
                             / "V518TRXDigitalPIC.hex");
    engine->startUpdatePanel (record(), 1, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto rows = recorder.rows();
    ASSERT_GE (rows.size(), 3u);
    EXPECT_TRUE (sameNarrative ({ { Kind::Line, 4, "Digital Board: Update firmware file missing! *" } }, { rows[rows.size() - 3] }));
    EXPECT_EQ (board (1).count (BoardRequest::Erase), 0u);
}
