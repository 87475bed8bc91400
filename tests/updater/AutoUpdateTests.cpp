#include "tests/updater/OperationFixture.h"

#include <gtest/gtest.h>

#include <new>

using namespace optest;
using Inspector = ZorvUpdaterInspector;
using zsim::BoardRequest;
using zsim::MasterFader;

namespace
{
constexpr int yes = 2;
constexpr int no = 4;
constexpr int ok = 1;
const std::string finished = "Auto Update completed successfully";

std::vector<Row> autoHead (const std::string& deviceLine)
{
    return { { Kind::Clear }, { Kind::Line, 1, deviceLine }, { Kind::Section }, { Kind::Line, 1, "Auto update started" } };
}

std::vector<Row> question (const std::string& noun, int pending)
{
    const auto devices = pending == 1 ? std::string ("1 device that needs updating")
                                      : std::to_string (pending) + " devices that need updating";
    return { { Kind::Section }, { Kind::Line, 1, "Auto update has found " + devices },
             { Kind::Box, 2, "This " + noun + " has " + devices + ".\nDo you wish to continue?" },
             { Kind::Section }, { Kind::Line, 1, "Updating firmware..." }, { Kind::Section } };
}

std::vector<Row> closing (int failed)
{
    std::vector<Row> rows { { Kind::Section }, { Kind::Line, 1, "Auto Update has finished*" } };
    if (failed == 0)
    {
        rows.push_back ({ Kind::Box, 1, "Auto Update completed successfully!\n" });
        return rows;
    }
    const auto warning = failed == 1 ? std::string ("Warning! Firmware update FAILED on 1 device!")
                                     : "Warning! Firmware update FAILED on " + std::to_string (failed) + " devices!";
    rows.insert (rows.end(), { { Kind::Section }, { Kind::Line, 4, warning }, { Kind::Box, 3, warning + "\n" } });
    return rows;
}

std::vector<Row> joined (std::initializer_list<std::vector<Row>> parts)
{
    std::vector<Row> rows;
    for (const auto& part : parts)
        rows.insert (rows.end(), part.begin(), part.end());
    return rows;
}

std::vector<ZorvUpdater::UpdaterEvent> ofType (const std::vector<ZorvUpdater::UpdaterEvent>& events, int type)
{
    std::vector<ZorvUpdater::UpdaterEvent> found;
    for (const auto& e : events)
        if (e.type == type)
            found.push_back (e);
    return found;
}

bool hasEvent (const std::vector<ZorvUpdater::UpdaterEvent>& events, int type)
{
    return ! ofType (events, type).empty();
}

// A V518 TRX with its digital boards, the Digital Board one version behind.
zsim::DeviceSetup trxBehind()
{
    auto setup = zsim::trxDevice (2);
    setup.boards[1].version = 9;
    return setup;
}

const std::vector<Row> trxScanBehind = {
    { Kind::Line, 1, "Firmware up to date: Interface Processor Version: 13 (13)" },
    { Kind::Line, 3, "Firmware update required: Digital Board Version: 9 (10)" },
    { Kind::Line, 1, "Firmware up to date: Digital Board FPGA Version: 10 (10)" },
};
}

// The window answers on its own thread, some time after the box went out.
TEST_F (OperationTest, AutoUpdateAnsweredYesUpdatesThePendingBoard)
{
    startDevice (trxBehind());
    recorder.answerWith ({ { yes, std::chrono::milliseconds (100) }, { ok, std::chrono::milliseconds (50) } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto expected = joined ({ autoHead ("V518 TRX [Engine Test]"), trxScanBehind, question ("unit", 1),
                                    { { Kind::Line, 1, "Updating: Digital Board Version: 9 (10)" },
                                      { Kind::Replace, 2, "Update Successful! Digital Board Version: 10 (10)*" } },
                                    closing (0) });
    EXPECT_TRUE (sameNarrative (framed (expected, finished), recorder.rows()));
    EXPECT_TRUE (holdsFirmware (1));
    EXPECT_EQ (board (1).version, 10);
    EXPECT_EQ (board (2).count (BoardRequest::Erase), 0u);

    const auto events = recorder.all();
    const auto boxes = ofType (events, ZorvUpdater::MessageBox);
    ASSERT_EQ (boxes.size(), 2u);
    EXPECT_EQ (boxes[0].title, "Auto Update");
    EXPECT_EQ (boxes[0].buttons, 6);
    EXPECT_EQ (boxes[1].buttons, 1);
    EXPECT_NE (boxes[0].answer, nullptr);
    EXPECT_NE (boxes[1].answer, nullptr);

    const auto second = ofType (events, ZorvUpdater::SecondProgress);
    ASSERT_EQ (second.size(), 1u);
    EXPECT_FLOAT_EQ (second[0].progress, 1.0f);
    const auto secondBar = ofType (events, ZorvUpdater::SecondProgressBarState);
    ASSERT_EQ (secondBar.size(), 2u);
    EXPECT_TRUE (secondBar[0].visible && secondBar[0].resetProgress);
    EXPECT_FALSE (secondBar[1].visible || secondBar[1].resetProgress);
}

TEST_F (OperationTest, AutoUpdateAnsweredNoUpdatesNothing)
{
    startDevice (trxBehind());
    recorder.answerWith ({ { no, std::chrono::milliseconds (30) } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    auto asked = question ("unit", 1);
    asked.resize (3);
    const auto expected = joined ({ autoHead ("V518 TRX [Engine Test]"), trxScanBehind, asked,
                                    { { Kind::Section }, { Kind::Line, 1, "Auto Update cancelled" } } });
    EXPECT_TRUE (sameNarrative (framed (expected, finished), recorder.rows()));
    for (std::size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ (board (i).count (BoardRequest::EnterBootMode), 0u);
        EXPECT_EQ (board (i).count (BoardRequest::Erase), 0u);
    }
}

// Without a receiver nobody could answer: the question counts as No.
TEST_F (OperationTest, AutoUpdateWithoutCallbackAsksNothingAndUpdatesNothing)
{
    startDevice (trxBehind());
    engine->startAutoUpdate (record(), false, {});
    ASSERT_TRUE (eventually ([this] { return ! Inspector::busy (*engine); }, std::chrono::seconds (30)))
        << "the operation waits for an answer that cannot come";
    EXPECT_EQ (board (1).count (BoardRequest::IdentityRead), 1u) << "the scan ran";
    EXPECT_EQ (board (1).count (BoardRequest::EnterBootMode), 0u);
}

TEST_F (OperationTest, ForceAllUpdatesBoardsThatAreUpToDate)
{
    zsim::DeviceIdentity identity;
    identity.deviceType = 2;
    startDevice (zsim::standardDevice (identity));
    recorder.answerWith ({ { yes }, { ok } });
    engine->startAutoUpdate (record(), true, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto expected = joined ({ autoHead ("Quadrix KRD16 [Engine Test]"),
                                    { { Kind::Line, 3, "Firmware update required: Interface Processor Version: 18 (18)" } },
                                    question ("unit", 1),
                                    { { Kind::Line, 1, "Updating: Interface Processor Version: 18 (18)" },
                                      { Kind::Replace, 2, "Update Successful! Interface Processor Version: 18 (18)*" } },
                                    closing (0) });
    EXPECT_TRUE (sameNarrative (framed (expected, finished), recorder.rows()));
    EXPECT_EQ (board (0).count (BoardRequest::Erase), 1u);
    EXPECT_TRUE (holdsFirmware (0));
}

// The Digital Board does not answer the scan, so the FPGA board that needs it is pending
// unasked; both answer the re-check with their build version. Only the FPGA board is
// updated all the same.
TEST_F (OperationTest, FpgaBoardPendingInTheScanIsUpdatedWhenTheRecheckFindsItCurrent)
{
    startDevice (zsim::trxDevice (2));
    device->addFault (1, { zsim::Fault::Silence, BoardRequest::IdentityRead, 0, 1 });
    recorder.answerWith ({ { yes }, { ok } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto expected = joined ({
        autoHead ("V518 TRX [Engine Test]"),
        { { Kind::Line, 1, "Firmware up to date: Interface Processor Version: 13 (13)" },
          { Kind::Line, 3, "Firmware update required: Digital Board Version: 0 (10)" },
          { Kind::Line, 3, "Firmware update required: Digital Board FPGA Version: 0 (10)" } },
        question ("unit", 2),
        { { Kind::Line, 1, "Updating: Digital Board Version: 0 (10)" },
          { Kind::Replace, 2, "No update required - device is up to date! Digital Board Version: 10 (10)" },
          { Kind::Line, 1, "Updating: Digital Board FPGA Version: 0 (10)" },
          { Kind::Replace, 2, "Update Successful! Digital Board FPGA Version: 10 (10)*" } },
        closing (0) });
    EXPECT_TRUE (sameNarrative (framed (expected, finished), recorder.rows()));
    EXPECT_EQ (board (1).count (BoardRequest::Erase), 0u);
    EXPECT_EQ (board (2).count (BoardRequest::Erase), 1u);
    EXPECT_TRUE (holdsFirmware (2));

    std::vector<float> second;
    for (const auto& e : ofType (recorder.all(), ZorvUpdater::SecondProgress))
        second.push_back (e.progress);
    EXPECT_EQ (second, (std::vector<float> { 0.5f, 1.0f }));
}

// The board restarts into its boot loader after every programming: both tries fail, and
// the board counts once among the failures.
TEST_F (OperationTest, BoardThatFailsTwiceIsCountedOnce)
{
    startDevice (trxBehind());
    device->addFault (1, { zsim::Fault::StayInBootMode, BoardRequest::ProgramComplete, 0, zsim::BoardFault::always });
    recorder.answerWith ({ { yes }, { ok } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto expected = joined ({ autoHead ("V518 TRX [Engine Test]"), trxScanBehind, question ("unit", 1),
                                    { { Kind::Line, 1, "Updating: Digital Board Version: 9 (10)" },
                                      { Kind::Replace, 4, "Update FAILED! Device still in Boot mode! Digital Board Version: 0 [BootMode] (10)" } },
                                    closing (1) });
    EXPECT_TRUE (sameNarrative (framed (expected, finished), recorder.rows()));
    EXPECT_EQ (board (1).count (BoardRequest::Erase), 2u);
    EXPECT_EQ (board (1).count (BoardRequest::ProgramComplete), 2u);
}

namespace
{
// After the Monitor Interface board's update the console is asked again who it is; the
// fader boards it turns out not to have are skipped.
struct ReprobeCase
{
    const char* name;
    MasterFader fader;
    uint32_t faderWordAfter;
    std::vector<int> silent;      // pending in the scan because absent
    std::vector<int> skipped;     // of them, skipped by the update pass
    int probedAfter;              // the skipped board the second fader probe reads, or -1
};

std::ostream& operator<< (std::ostream& out, const ReprobeCase& c)
{
    return out << c.name;
}

const ReprobeCase reprobeCases[] = {
    { "FaderWordOne", MasterFader::Motorised, 1, { 19 }, { 19 }, -1 },
    { "ProbeFindsManualFader", MasterFader::Manual, 0, { 20, 21, 22, 23 }, { 20, 21, 22, 23 }, -1 },
    { "ProbeFindsMotorisedFader", MasterFader::Motorised, 0, { 19 }, { 19 }, 19 },
    { "ProbeFindsNoFader", MasterFader::None, 0, { 19, 23 }, {}, -1 },
};

class Reprobe : public OperationTest, public ::testing::WithParamInterface<ReprobeCase>
{
};

const char* const consoleNames[24] = {
    "Monitor Interface", "Monitor Master", "Monitor AudioBoard", "Monitor V518 AudioBoard",
    "Channel Master 1-8", "Channel Master 9-16", "Channel Master 17-24",
    "Channel Master FPGA 1-8", "Channel Master FPGA 9-16", "Channel Master FPGA 17-24",
    "Channel AudioBoard 1-4", "Channel AudioBoard 5-8", "Channel AudioBoard 9-12", "Channel AudioBoard 13-16",
    "Channel AudioBoard 17-20", "Channel AudioBoard 21-24",
    "Channel Meter 1-8", "Channel Meter 9-16", "Channel Meter 17-24",
    "Master Faders [Manual]", "Channel Faders 1-8", "Channel Faders 9-16", "Channel Faders 17-24", "Master Faders [Mot]",
};
const int consoleVersions[24] = { 12, 13, 11, 7, 14, 14, 14, 14, 14, 14, 10, 10, 10, 10, 10, 10, 5, 5, 5, 10, 11, 11, 11, 13 };

std::string versionLine (int board, int version)
{
    return std::string (consoleNames[board]) + " Version: " + std::to_string (version) + " ("
         + std::to_string (consoleVersions[board]) + ")";
}

bool listed (const std::vector<int>& boards, int board)
{
    return std::find (boards.begin(), boards.end(), board) != boards.end();
}
}

TEST_P (Reprobe, MonitorInterfaceUpdateTellsWhichFaderBoardsAreThere)
{
    const auto& c = GetParam();
    auto setup = zsim::consoleDevice (c.fader, 1);
    setup.boards[0].version = 11;
    startDevice (setup);
    const auto before = record();
    auto identity = device->identity();
    identity.motorisedFaderWord = c.faderWordAfter;
    device->setIdentity (identity);

    std::map<int, unsigned> readsBeforePass;
    recorder.onEvent ([&] (const Event& e)
    {
        if (e.text == "Updating firmware...")
            for (const int board : c.skipped)
                readsBeforePass[board] = this->board ((size_t) board).count (BoardRequest::IdentityRead);
    });
    recorder.answerWith ({ { yes }, { ok } });
    engine->startAutoUpdate (before, false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    std::vector<Row> scan, pass { { Kind::Line, 1, "Updating: " + versionLine (0, 11) },
                                  { Kind::Replace, 2, "Update Successful! " + versionLine (0, 12) + "*" } };
    scan.push_back ({ Kind::Line, 3, "Firmware update required: " + versionLine (0, 11) });
    for (int board = 1; board < 24; ++board)
    {
        if (! listed (c.silent, board))
        {
            scan.push_back ({ Kind::Line, 1, "Firmware up to date: " + versionLine (board, consoleVersions[board]) });
            continue;
        }
        scan.push_back ({ Kind::Line, 3, "Firmware update required: " + versionLine (board, 0) });
        if (listed (c.skipped, board))
        {
            pass.push_back ({ Kind::Line, 2, std::string ("No update required - not installed on this console! ") + consoleNames[board] });
            continue;
        }
        pass.push_back ({ Kind::Line, 1, "Updating: " + versionLine (board, 0) });
        pass.push_back ({ Kind::Replace, 4, "Update FAILED! " + versionLine (board, 0) });
    }

    const int failed = (int) (c.silent.size() - c.skipped.size());
    const auto expected = joined ({ autoHead ("Zorv K470 Console [Engine Test]"), scan,
                                    question ("console", 1 + (int) c.silent.size()), pass, closing (failed) });
    EXPECT_TRUE (sameNarrative (framed (expected, finished), recorder.rows()));
    for (const int board : c.skipped)
        EXPECT_EQ (this->board ((size_t) board).count (BoardRequest::IdentityRead),
                   readsBeforePass[board] + (board == c.probedAfter ? 1u : 0u))
            << "board " << board << " was asked after it was found missing";
}

INSTANTIATE_TEST_SUITE_P (AutoUpdate, Reprobe, ::testing::ValuesIn (reprobeCases),
                          [] (const ::testing::TestParamInfo<ReprobeCase>& info) { return std::string (info.param.name); });

// An allocation failure while the pass runs: the operation ends through its failure
// events, and the engine takes the next operation.
TEST_F (OperationTest, ExceptionInsideAutoUpdateEndsThroughTheFailureEnding)
{
    startDevice (trxBehind());
    recorder.onEvent ([] (const Event& e)
    {
        if (e.text.rfind ("Updating: ", 0) == 0)
            throw std::bad_alloc();
    });
    recorder.answerWith ({ { yes } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto rows = recorder.rows();
    const std::vector<Row> ending { { Kind::Line, 1, "Updating: Digital Board Version: 9 (10)" },
                                    { Kind::Line, 4, "Error: std::bad_alloc" },
                                    { Kind::Controls, 1 },
                                    { Kind::Finished, 0, "Auto Update failed" } };
    ASSERT_GE (rows.size(), ending.size());
    EXPECT_TRUE (sameNarrative (ending, std::vector<Row> (rows.end() - (std::ptrdiff_t) ending.size(), rows.end())));
    const auto events = recorder.all();
    EXPECT_EQ (ofType (events, ZorvUpdater::SecondProgressBarState).back().visible, false);
    EXPECT_EQ (board (1).count (BoardRequest::EnterBootMode), 0u);

    ASSERT_TRUE (eventually ([this] { return ! Inspector::busy (*engine); }));
    Recorder next;
    engine->startGetVersions (record(), next.callback());
    ASSERT_TRUE (next.waitForFinish());
    EXPECT_EQ (next.rows().back().text, "Get Versions completed successfully");
}

// The receiver fails after the question is on its way, and the answer comes after the
// operation has ended: it must land in a slot that still exists and must not answer the
// next operation's question.
TEST_F (OperationTest, LateAnswerToAnAbandonedQuestionIsHarmless)
{
    startDevice (trxBehind());
    recorder.onEvent ([] (const Event& e)
    {
        if (e.type == ZorvUpdater::MessageBox)
            throw std::runtime_error ("window gone");
    });
    recorder.answerWith ({ { yes, std::chrono::milliseconds (300) } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());
    EXPECT_EQ (recorder.rows().back().text, "Auto Update failed");
    ASSERT_TRUE (eventually ([this] { return ! Inspector::busy (*engine); }));

    Recorder next;
    next.answerWith ({ { no, std::chrono::milliseconds (600) } });
    engine->startAutoUpdate (record(), false, next.callback());
    ASSERT_TRUE (next.waitForFinish());
    recorder.joinAnswers();
    const auto rows = next.rows();
    ASSERT_GE (rows.size(), 3u);
    EXPECT_EQ (rows[rows.size() - 3].text, "Auto Update cancelled");
    EXPECT_EQ (board (1).count (BoardRequest::EnterBootMode), 0u);
}

TEST_F (OperationTest, DestroyingTheEngineEndsTheWaitForAnAnswer)
{
    startDevice (trxBehind());
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitFor ([] (const auto& events) { return hasEvent (events, ZorvUpdater::MessageBox); }));

    const auto start = std::chrono::steady_clock::now();
    engine.reset();
    EXPECT_LT (std::chrono::steady_clock::now() - start, std::chrono::seconds (5));

    const auto rows = recorder.rows();
    ASSERT_GE (rows.size(), 3u);
    EXPECT_EQ (rows[rows.size() - 3].text, "Auto Update cancelled");
    EXPECT_EQ (board (1).count (BoardRequest::EnterBootMode), 0u);
}

// The erase reply can no longer arrive once the network thread has stopped: the worker
// waits out that exchange's time-out and no more.
TEST_F (OperationTest, DestroyingTheEngineDuringAnEraseReturnsWithinTheEraseTimeOut)
{
    auto timing = operationTiming();
    timing.eraseReplyTimeoutMs[0] = 3000;
    engine = std::make_unique<ZorvUpdater> (base.file().getFullPathName().toStdString(), timing);

    startDevice (trxBehind());
    device->addFault (1, { zsim::Fault::SlowErase, BoardRequest::Erase, 0, zsim::BoardFault::always, 0, std::chrono::seconds (30) });
    recorder.answerWith ({ { yes } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (eventually ([this] { return board (1).count (BoardRequest::Erase) > 0; }));

    const auto start = std::chrono::steady_clock::now();
    engine.reset();
    EXPECT_LT (std::chrono::steady_clock::now() - start, std::chrono::milliseconds (3000 + 5000));
    EXPECT_EQ (board (1).count (BoardRequest::Erase), 1u) << "no erase is tried once cancelled";
}

// Even the failure events cannot be delivered: the worker must still end quietly and free
// the engine, not take the process down.
TEST_F (OperationTest, ReceiverThatAlwaysThrowsLeavesTheEngineFree)
{
    startDevice (trxBehind());
    std::atomic<int> calls { 0 };
    engine->startGetVersions (record(), [&calls] (const Event&)
    {
        ++calls;
        throw std::runtime_error ("receiver broken");
    });
    ASSERT_TRUE (eventually ([this] { return ! Inspector::busy (*engine); }));
    EXPECT_EQ (calls, 2) << "the controls event, then the failure's first event";

    engine->startGetVersions (record(), recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());
    EXPECT_EQ (recorder.rows().back().text, "Get Versions completed successfully");
}

// The board takes its firmware but then runs a version other than the build version: it
// counts as updated, with a warning.
TEST_F (OperationTest, UpdatedBoardRunningAnotherVersionIsWarnedAbout)
{
    auto setup = zsim::trxDevice (2);
    setup.boards[1].version = 8;
    setup.boards[1].newVersion = 9;
    startDevice (setup);
    recorder.answerWith ({ { yes }, { ok } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto expected = joined ({ autoHead ("V518 TRX [Engine Test]"),
                                    { { Kind::Line, 1, "Firmware up to date: Interface Processor Version: 13 (13)" },
                                      { Kind::Line, 3, "Firmware update required: Digital Board Version: 8 (10)" },
                                      { Kind::Line, 1, "Firmware up to date: Digital Board FPGA Version: 10 (10)" } },
                                    question ("unit", 1),
                                    { { Kind::Line, 1, "Updating: Digital Board Version: 8 (10)" },
                                      { Kind::Replace, 2, "Update Successful! Digital Board Version: 9 (10)*" },
                                      { Kind::Line, 3, "Warning: Digital Board firmware version (9) differs from build version (10)" } },
                                    closing (0) });
    EXPECT_TRUE (sameNarrative (framed (expected, finished), recorder.rows()));
    EXPECT_EQ (board (1).count (BoardRequest::Erase), 1u) << "an update that took is not tried again";
}
