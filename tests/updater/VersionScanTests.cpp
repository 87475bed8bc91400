#include "tests/updater/OperationFixture.h"
#include "updater/BoardTables.h"
#include "updater/DeviceCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace optest;
using Inspector = ZorvUpdaterInspector;

namespace
{
const StdDeviceCatalogue& catalogue()
{
    static const auto names = toStdDeviceCatalogue();
    return names;
}

const std::string& boardName (int type, int board)
{
    return catalogue().boardNames[(size_t) type][(size_t) board];
}

int buildVersion (int type, int board)
{
    return buildVersionTable[type][getPanelAddress (type, (uint8_t) board).Type];
}

std::string answeringLine (int type, int board)
{
    const auto version = std::to_string (buildVersion (type, board));
    return "Firmware up to date: " + boardName (type, board) + " Version: " + version + " (" + version + ")";
}

std::string silentLine (int type, int board)
{
    return "Firmware update required: " + boardName (type, board) + " Version: 0 (" + std::to_string (buildVersion (type, board)) + ")";
}

std::vector<Row> scanHead (int type)
{
    return { { Kind::Clear }, { Kind::Line, 1, std::string (deviceTypeTable[type].name) + " [Engine Test]" },
             { Kind::Section }, { Kind::Line, 1, "Version scan started" } };
}

std::vector<Row> scanSummary (int pending)
{
    if (pending == 0)
        return { { Kind::Section }, { Kind::Line, 1, "Version scan has finished" },
                 { Kind::Line, 1, "Version scan found all devices up to date" } };
    const auto found = pending == 1 ? std::string ("1 device that needs updating")
                                    : std::to_string (pending) + " devices that need updating";
    return { { Kind::Section }, { Kind::Line, 1, "Version scan has found " + found } };
}

std::vector<int> range (int first, int last)
{
    std::vector<int> boards;
    for (int i = first; i <= last; ++i)
        boards.push_back (i);
    return boards;
}

bool contains (const std::vector<int>& boards, int board)
{
    return std::find (boards.begin(), boards.end(), board) != boards.end();
}

// One row of the board-set table: the device, the boards the scan reports, those of them
// that do not answer, and the master fader boards the probe reads before the scan.
struct BoardSetCase
{
    const char* name;
    std::function<zsim::DeviceSetup()> setup;
    std::vector<int> scanned;
    std::vector<int> silent;
    std::vector<int> probed;
};

std::ostream& operator<< (std::ostream& out, const BoardSetCase& c)
{
    return out << c.name;
}

zsim::DeviceSetup singleBoard (int type)
{
    zsim::DeviceIdentity identity;
    identity.deviceType = type;
    return zsim::standardDevice (identity);
}

std::vector<int> without (std::vector<int> boards, int board)
{
    boards.erase (std::remove (boards.begin(), boards.end(), board), boards.end());
    return boards;
}

using zsim::MasterFader;
const BoardSetCase boardSets[] = {
    { "ConsoleWithStatusByte", [] { return zsim::consoleDevice (MasterFader::Motorised, 1); }, range (0, 23), { 19 }, {} },
    { "ConsoleManualFader", [] { return zsim::consoleDevice (MasterFader::Manual); }, range (0, 19), {}, { 19 } },
    { "ConsoleMotorisedFader", [] { return zsim::consoleDevice (MasterFader::Motorised); }, without (range (0, 23), 19), {}, { 19, 23 } },
    { "ConsoleNoFaderAnswers", [] { return zsim::consoleDevice (MasterFader::None); }, range (0, 23), { 19, 23 }, { 19, 23 } },
    { "TrxBothOptions", [] { return zsim::trxDevice (0xA); }, range (0, 4), {}, {} },
    { "TrxDigitalOption", [] { return zsim::trxDevice (2); }, range (0, 2), {}, {} },
    { "TrxAdatOption", [] { return zsim::trxDevice (8); }, { 0, 3, 4 }, {}, {} },
    { "TrxWithStatusByte", [] { return zsim::trxDevice (0xA, 1); }, { 0 }, {}, {} },
    { "TrxNoOptions", [] { return zsim::trxDevice (0); }, { 0 }, {}, {} },
    { "Krd16", [] { return singleBoard (2); }, { 0 }, {}, {} },
    { "Tx640", [] { return singleBoard (3); }, { 0 }, {}, {} },
    { "Krd24", [] { return singleBoard (4); }, { 0 }, {}, {} },
};

class BoardSets : public OperationTest, public ::testing::WithParamInterface<BoardSetCase>
{
};
}

TEST (PendingDependency, ReadsThePrerequisitesOfTheTable)
{
    const auto healthy = [] (int count)
    {
        std::vector<PanelScanEntry> entries ((size_t) count);
        for (auto& entry : entries)
            entry.firmwareVersion = 9;
        return entries;
    };

    auto console = healthy (24);
    EXPECT_FALSE (hasPendingDependency (0, 16, console));
    console[10].firmwareVersion = 0;
    EXPECT_TRUE (hasPendingDependency (0, 16, console)) << "board 10 at version 0, board 4 healthy";
    EXPECT_FALSE (hasPendingDependency (0, 17, console));

    auto noAnswers = std::vector<PanelScanEntry> (24);
    EXPECT_FALSE (hasPendingDependency (0, 0, noAnswers)) << "the Monitor Interface board depends on nothing";
    EXPECT_FALSE (hasPendingDependency (2, 0, noAnswers));
    EXPECT_FALSE (hasPendingDependency (8, 0, noAnswers));

    auto trx = healthy (5);
    trx[3].bootMode = true;
    EXPECT_TRUE (hasPendingDependency (1, 4, trx));
    EXPECT_FALSE (hasPendingDependency (1, 2, trx));
    EXPECT_TRUE (hasPendingDependency (1, 2, healthy (1))) << "a prerequisite not scanned yet counts as silent";
}

TEST_P (BoardSets, ScanReportsTheBoardsTheDeviceHas)
{
    const auto& c = GetParam();
    startDevice (c.setup());
    const auto device = record();
    const int type = device.deviceType;

    engine->startGetVersions (device, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    auto expected = scanHead (type);
    for (const int board : c.scanned)
        expected.push_back (contains (c.silent, board) ? Row { Kind::Line, 3, silentLine (type, board) }
                                                       : Row { Kind::Line, 1, answeringLine (type, board) });
    const auto summary = scanSummary ((int) c.silent.size());
    expected.insert (expected.end(), summary.begin(), summary.end());
    EXPECT_TRUE (sameNarrative (framed (expected, "Get Versions completed successfully"), recorder.rows()));

    for (int board = 0; board < (int) this->device->boardCount(); ++board)
    {
        const unsigned reads = (contains (c.scanned, board) ? 1u : 0u) + (contains (c.probed, board) ? 1u : 0u);
        EXPECT_EQ (this->board ((size_t) board).count (zsim::BoardRequest::IdentityRead), reads) << "board " << board;
    }
}

INSTANTIATE_TEST_SUITE_P (VersionScan, BoardSets, ::testing::ValuesIn (boardSets),
                          [] (const ::testing::TestParamInfo<BoardSetCase>& info) { return std::string (info.param.name); });

TEST_F (OperationTest, RemoteTypesAreNotScannedAtAll)
{
    for (int type = 5; type <= 8; ++type)
    {
        startDevice (singleBoard (type));
        Recorder events;
        engine->startGetVersions (record(), events.callback());
        ASSERT_TRUE (events.waitForFinish());
        EXPECT_TRUE (sameNarrative (framed ({}, "Get Versions completed successfully"), events.rows()));
        EXPECT_EQ (events.all().size(), 3u) << "no progress either";
        EXPECT_EQ (device->connectionCount(), 0u);
        // The engine is free again only once the worker is past its final event: a launch
        // before that would be turned away.
        ASSERT_TRUE (eventually ([this] { return ! Inspector::busy (*engine); }));
    }
}

TEST_F (OperationTest, GetVersionsWithNothingPendingShowsAndHidesTheBar)
{
    startDevice (singleBoard (2));
    engine->startGetVersions (record(), recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    using U = ZorvUpdater;
    std::vector<int> types;
    for (const auto& e : recorder.all())
        types.push_back (e.type);
    EXPECT_EQ (types, (std::vector<int> { U::ControlsEnabled, U::ClearLog, U::LogLine, U::NewLogSection, U::LogLine,
                                          U::ProgressBarState, U::Progress, U::LogLine, U::ProgressBarState,
                                          U::NewLogSection, U::LogLine, U::LogLine, U::ControlsEnabled, U::OperationFinished }));
    const auto events = recorder.all();
    EXPECT_TRUE (events[5].visible && events[5].resetProgress && ! events[5].highlight);
    EXPECT_FLOAT_EQ (events[6].progress, 1.0f);
    EXPECT_FALSE (events[8].visible || events[8].resetProgress || events[8].highlight);
    EXPECT_EQ (events[7].text, "Firmware up to date: Interface Processor Version: 18 (18)");
    EXPECT_EQ (events[11].text, "Version scan found all devices up to date");
}

// Board 3 is in boot mode, so board 4, which needs it, is pending without being asked.
TEST_F (OperationTest, GetVersionsWithTwoPendingReportsThemAndEnds)
{
    auto setup = zsim::trxDevice (0xA);
    setup.boards[3].bootMode = true;
    startDevice (setup);

    engine->startGetVersions (record(), recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    auto expected = scanHead (1);
    expected.insert (expected.end(), {
        { Kind::Line, 1, answeringLine (1, 0) },
        { Kind::Line, 1, answeringLine (1, 1) },
        { Kind::Line, 1, answeringLine (1, 2) },
        { Kind::Line, 3, "Firmware update required: Digital ADAT Board Version: 4 [BootMode] (4)" },
        { Kind::Line, 3, "Firmware update required: Digital ADAT Board FPGA Version: 0 (4)" },
        { Kind::Section },
        { Kind::Line, 1, "Version scan has found 2 devices that need updating" } });
    EXPECT_TRUE (sameNarrative (framed (expected, "Get Versions completed successfully"), recorder.rows()));
    EXPECT_EQ (board (4).count (zsim::BoardRequest::IdentityRead), 0u);

    std::vector<float> progress;
    for (const auto& e : recorder.all())
        if (e.type == ZorvUpdater::Progress)
            progress.push_back (e.progress);
    EXPECT_EQ (progress, (std::vector<float> { 0.2f, 0.4f, 0.6f, 0.8f, 1.0f }));
}

TEST_F (OperationTest, VersionLineNamesTheBoardItsStateAndItsBuildVersion)
{
    startDevice (singleBoard (4));
    PanelScanEntry entry;
    entry.address = getPanelAddress (4, 0);
    entry.firmwareVersion = 12;
    entry.bootMode = true;
    EXPECT_EQ (Inspector::formatPanelVersionLine (*engine, record(), entry), "Interface Processor Version: 12 [BootMode] (14)");
    entry.bootMode = false;
    EXPECT_EQ (Inspector::formatPanelVersionLine (*engine, record(), entry), "Interface Processor Version: 12 (14)");
}

// The device name comes off the network: a name that fills its whole field without a
// closing zero still ends with the field.
TEST_F (OperationTest, DeviceNameInTheLogHeadStopsAtItsField)
{
    auto setup = singleBoard (2);
    startDevice (setup);
    auto identity = device->identity();
    identity.name.fill ('N');
    device->setIdentity (identity);

    engine->startGetVersions (record(), recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());
    EXPECT_EQ (recorder.rows().at (2).text, "Quadrix KRD16 [" + std::string (31, 'N') + "]");
}
