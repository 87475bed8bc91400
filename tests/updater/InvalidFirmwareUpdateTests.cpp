// A firmware file that cannot be programmed whole never reaches the board: the update ends
// before the board is contacted, and the board goes on running the firmware it had.

#include "tests/updater/MalformedHex.h"
#include "tests/updater/OperationFixture.h"
#include "tests/updater/UpdateFixture.h"

using namespace updatetest;
using zsim::BoardRequest;

namespace
{
constexpr uint8_t oldVersion = 13;   // one behind the Channel Master's build version 14

void writeAt (const std::string& path, const std::string& text)
{
    const auto file = std::filesystem::u8path (path);
    std::filesystem::create_directories (file.parent_path());
    std::ofstream (file, std::ios::binary) << text;
}

struct BoardProcessor
{
    uint8_t variant;
    uint32_t flashLimit;
};

class InvalidFirmwareUpdates : public BoardUpdates, public ::testing::WithParamInterface<BoardProcessor>
{
protected:
    InvalidFirmwareUpdates()
    {
        setup.boards[picIndex].version = oldVersion;
        setup.boards[picIndex].variant = GetParam().variant;
    }
};
}

TEST_P (InvalidFirmwareUpdates, BoardKeepsRunningItsOldFirmware)
{
    start();
    const auto path = Inspector::getFirmwareFile (*engine, console, picIndex).path;
    const auto fileName = std::filesystem::u8path (path).filename().u8string();
    int tried = 0;
    for (const auto& c : malformedhex::malformedRecords())
    {
        if (c.flashLimit != GetParam().flashLimit)
            continue;
        ++tried;
        writeAt (path, malformedhex::fileOf (c));
        const auto file = Inspector::getFirmwareFile (*engine, console, picIndex);
        const auto requestsBefore = device->requests().size();

        EventLog log;
        EXPECT_EQ (update (picIndex, file, log.callback()), UpdateFailed) << c.what;
        const std::vector<std::string> expected = {
            "1 Updating firmware on Channel Master 1-8...",
            "1 Firmware file: " + fileName + " (14)",
            "3 Invalid firmware file",
            "1 Reinstall the app and try again.",
            "4 Error: Update failed!",
        };
        EXPECT_EQ (describe (log.all()), expected) << c.what;
        EXPECT_EQ (device->requests().size(), requestsBefore) << c.what << ": the board was contacted";

        const auto board = device->board (picIndex);
        EXPECT_EQ (board.state, zsim::BoardState::Running) << c.what;
        EXPECT_EQ (board.version, oldVersion) << c.what;
    }
    EXPECT_GT (tried, 0);
}

INSTANTIATE_TEST_SUITE_P (Flashes, InvalidFirmwareUpdates,
                          ::testing::Values (BoardProcessor { 0, imagewalk::limit2048K },
                                             BoardProcessor { 2, imagewalk::limit1024K }),
                          [] (const ::testing::TestParamInfo<BoardProcessor>& info)
                          {
                              return "variant" + std::to_string (info.param.variant);
                          });

namespace
{
using namespace optest;

// A Quadrix KRD16 one version behind, whose firmware file has one data byte changed in
// its middle record with the record's checksum left as it was.
class CorruptFileOperations : public OperationTest
{
protected:
    CorruptFileOperations()
    {
        auto setup = zsim::standardDevice (identity());
        setup.boards[0].version = 17;
        startDevice (setup);

        std::mt19937 random (16);
        auto text = testhex::HexFileWriter().write ({ { 0x1D000000u, testhex::randomBytes (random, 1024) } });
        const auto middle = text.find (':', text.size() / 2);
        auto& digit = text[middle + 9];
        digit = digit == '0' ? '1' : '0';
        writeAt (ZorvUpdaterInspector::getFirmwareFile (*engine, record(), 0).path, text);
    }

    static zsim::DeviceIdentity identity()
    {
        zsim::DeviceIdentity krd16;
        krd16.deviceType = 2;
        return krd16;
    }

    void expectUntouched() const
    {
        const auto report = board (0);
        EXPECT_EQ (report.state, zsim::BoardState::Running);
        EXPECT_EQ (report.version, 17);
        for (const auto request : { BoardRequest::EnterBootMode, BoardRequest::Erase, BoardRequest::ProgramBlock,
                                    BoardRequest::ProgramComplete, BoardRequest::Reset })
            EXPECT_EQ (report.count (request), 0u) << (int) request;
    }
};
}

TEST_F (CorruptFileOperations, UpdateEndsWithTheBoardUntouched)
{
    engine->startUpdatePanel (record(), 0, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const std::vector<Row> body = {
        { Kind::Section },
        { Kind::Line, 1, "Updating firmware on Interface Processor..." },
        { Kind::Line, 1, "Firmware file: KRD16InterfacePIC.hex (18)" },
        { Kind::Line, 3, "Invalid firmware file" },
        { Kind::Line, 1, "Reinstall the app and try again." },
        { Kind::Line, 4, "Error: Update failed!" },
        { Kind::Line, 4, "Interface Processor: Update FAILED! *" },
    };
    EXPECT_TRUE (sameNarrative (framed (body, "Update completed successfully"), recorder.rows()));
    expectUntouched();
}

// Both tries of the pass end before the board is contacted.
TEST_F (CorruptFileOperations, AutoUpdateNeverErasesTheBoard)
{
    recorder.answerWith ({ { 2 }, { 1 } });
    engine->startAutoUpdate (record(), false, recorder.callback());
    ASSERT_TRUE (recorder.waitForFinish());

    const auto rows = recorder.rows();
    EXPECT_NE (std::find_if (rows.begin(), rows.end(), [] (const Row& row)
               {
                   return row.kind == Kind::Replace && row.text == "Update FAILED! Interface Processor Version: 17 (18)";
               }), rows.end());
    expectUntouched();
}
