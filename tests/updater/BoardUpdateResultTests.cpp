// What a board update returns when the file, the board or the network lets it down, and the
// lines it ends with. Most boards here wait in their boot loader from the start, which
// spares the update its boot mode step.

#include "tests/updater/UpdateFixture.h"

using namespace updatetest;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

namespace
{
std::vector<std::string> lastLines (const EventLog& log, std::size_t count)
{
    const auto lines = logLinesOf (log.all());
    return { lines.end() - (std::ptrdiff_t) std::min (count, lines.size()), lines.end() };
}

// Calls `action` on the worker at the nth log line with this text.
UpdaterEventCallback onLine (EventLog& log, std::string text, int nth, std::function<void()> action)
{
    auto seen = std::make_shared<int> (0);
    return [text, nth, action, seen, record = log.callback()] (const Event& e)
    {
        record (e);
        if (e.type == ZorvUpdater::LogLine && e.text == text && ++*seen == nth)
            action();
    };
}

class BoardUpdateResults : public BoardUpdates
{
protected:
    BoardUpdateResults()
    {
        for (const auto index : { picIndex, fpgaIndex })
            setup.boards[index].bootMode = true;
        writeSmallFirmware();
    }

    unsigned received (uint8_t boardIndex, BoardRequest request) const
    {
        return device->board (boardIndex).count (request);
    }

    EventLog log;
};
}

// A file that is missing or empty ends the update before anything goes to the device.
TEST_F (BoardUpdateResults, FirmwareFileMissingOrEmpty)
{
    start();
    writeFirmware ("Empty.hex", {});
    FirmwareFileInfo missing { false, false, enPICTypes_Max, (consoleFolder() / "Gone.hex").u8string() };
    FirmwareFileInfo empty { true, false, enPICTypes_Max, (consoleFolder() / "Empty.hex").u8string() };

    EXPECT_EQ (update (picIndex, missing, log.callback()), FirmwareFileMissing);
    EXPECT_EQ (logLinesOf (log.all()), (std::vector<std::string> { "1 Updating firmware on Channel Master 1-8...",
                                                                   "4 Error: Firmware file not found" }));
    EventLog emptyLog;
    EXPECT_EQ (update (picIndex, empty, emptyLog.callback()), FirmwareFileMissing);
    EXPECT_EQ (logLinesOf (emptyLog.all()), (std::vector<std::string> { "1 Updating firmware on Channel Master 1-8...",
                                                                        "1 Firmware file: Empty.hex (14)",
                                                                        "4 Error: Failed to load firmware file",
                                                                        "1 Reinstall the app and try again" }));
    EXPECT_TRUE (device->requests().empty());
}

TEST_F (BoardUpdateResults, SilentBoard)
{
    start();
    device->addFault (picIndex, { Fault::Silence, BoardRequest::IdentityRead, 0, BoardFault::always });
    EXPECT_EQ (update (picIndex, log.callback()), UpdateFailed);
    EXPECT_EQ (lastLines (log, 2), (std::vector<std::string> { "1 Contacting device...", "4 Error: Update failed!" }));
    EXPECT_EQ (received (picIndex, BoardRequest::Erase), 0u);
}

// An answer from the wrong board, or one that is no valid identity answer.
TEST_F (BoardUpdateResults, WrongEcho)
{
    start();
    for (const auto fault : { Fault::WrongCh, Fault::WrongType, Fault::WrongCode })
    {
        EventLog caseLog;
        const auto file = Inspector::getFirmwareFile (*engine, console, picIndex);
        device->addFault (picIndex, { fault, BoardRequest::IdentityRead, 0, 1, 'k' });
        EXPECT_EQ (update (picIndex, file, caseLog.callback()), ConnectionProblem) << (int) fault;
        EXPECT_EQ (lastLines (caseLog, 2), (std::vector<std::string> { "1 Contacting device...",
                                                                       "3 Error: Failed to connect to device" }));
    }
    EXPECT_EQ (received (picIndex, BoardRequest::Erase), 0u);
}

TEST_F (BoardUpdateResults, BootModeNeverReached)
{
    setup.boards[picIndex].bootMode = false;
    start();
    device->addFault (picIndex, { Fault::Silence, BoardRequest::EnterBootMode });
    EXPECT_EQ (update (picIndex, log.callback()), UpdateFailed);
    EXPECT_EQ (lastLines (log, 2), (std::vector<std::string> { "1 Entering Boot Mode...", "4 Error: Update failed!" }));
    EXPECT_EQ (received (picIndex, BoardRequest::Erase), 0u);
}

// Twenty erase tries, with a wait for the board between them.
TEST_F (BoardUpdateResults, NineteenEraseFailuresAndThenSuccess)
{
    start();
    device->addFault (picIndex, { Fault::EraseFails, BoardRequest::Erase, 0, 19 });
    EXPECT_EQ (update (picIndex, log.callback()), UpdateSuccessful);
    EXPECT_EQ (received (picIndex, BoardRequest::Erase), 20u);
    const auto lines = logLinesOf (log.all());
    EXPECT_NE (std::find (lines.begin(), lines.end(), "1 Device is in Boot Mode"), lines.end());
    EXPECT_EQ (received (picIndex, BoardRequest::EnterBootMode), 0u);
}

TEST_F (BoardUpdateResults, TwentyEraseFailures)
{
    start();
    device->addFault (picIndex, { Fault::EraseFails, BoardRequest::Erase, 0, BoardFault::always });
    EXPECT_EQ (update (picIndex, log.callback()), UpdateFailed);
    EXPECT_EQ (lastLines (log, 2), (std::vector<std::string> { "1 Erasing device...", "4 Error: Failed to erase device" }));
    EXPECT_EQ (received (picIndex, BoardRequest::Erase), 20u);
    EXPECT_EQ (received (picIndex, BoardRequest::ProgramBlock), 0u);
    EXPECT_EQ (progressOf (log.all()).size(), 0u) << "the waits between the tries show no progress";
}

// An erase answered after its time-out counts as failed; the next try goes through.
TEST_F (BoardUpdateResults, SlowErase)
{
    start();
    device->addFault (picIndex, { Fault::SlowErase, BoardRequest::Erase, 0, 1, 0, std::chrono::milliseconds (1500) });
    EXPECT_EQ (update (picIndex, log.callback()), UpdateSuccessful);
    EXPECT_EQ (received (picIndex, BoardRequest::Erase), 2u);
}

// The board never hears program complete: it stays in its boot loader.
TEST_F (BoardUpdateResults, ProgramCompleteLost)
{
    start();
    device->addFault (picIndex, { Fault::Silence, BoardRequest::ProgramComplete });
    EXPECT_EQ (update (picIndex, log.callback()), StillInBootMode);
    EXPECT_EQ (lastLines (log, 3), (std::vector<std::string> { "1 Contacting device...",
                                                               "1 Device found! Firmware version: 0",
                                                               "3 Warning: Device still in Boot Mode! Please try again." }));
}

// The device stops taking connections just before program complete.
TEST_F (BoardUpdateResults, ProgramCompleteCannotBeSent)
{
    start();
    const auto callback = onLine (log, "Finishing update...", 1,
                                  [this] { device->setReachability (zsim::Reachability::Refusing); });
    EXPECT_EQ (update (picIndex, callback), UpdateFailed);
    EXPECT_EQ (lastLines (log, 2), (std::vector<std::string> { "1 Exiting Boot Mode...", "4 Error: Update failed!" }));
    EXPECT_EQ (received (picIndex, BoardRequest::ProgramComplete), 0u);
}

TEST_F (BoardUpdateResults, BoardRestartsIntoItsBootLoader)
{
    start();
    device->addFault (picIndex, { Fault::StayInBootMode, BoardRequest::ProgramComplete });
    EXPECT_EQ (update (picIndex, log.callback()), StillInBootMode);
    EXPECT_EQ (lastLines (log, 1), (std::vector<std::string> { "3 Warning: Device still in Boot Mode! Please try again." }));
    EXPECT_EQ (device->board (picIndex).state, zsim::BoardState::BootMode);
}

TEST_F (BoardUpdateResults, NoAnswerAfterTheRestart)
{
    start();
    const auto callback = onLine (log, "Contacting device...", 2, [this]
    {
        device->addFault (picIndex, { Fault::Close, BoardRequest::IdentityRead, 0, BoardFault::always });
    });
    EXPECT_EQ (update (picIndex, callback), UpdateFailed);
    EXPECT_EQ (lastLines (log, 2), (std::vector<std::string> { "1 Contacting device...", "4 Error: Update failed!" }));
}

// A PIC board that runs another version than the release's has still been updated.
TEST_F (BoardUpdateResults, VersionDiffersFromTheBuildVersion)
{
    setup.boards[picIndex].newVersion = 99;
    start();
    EXPECT_EQ (update (picIndex, log.callback()), UpdateSuccessful);
    EXPECT_EQ (lastLines (log, 2), (std::vector<std::string> {
        "1 Device found! Firmware version: 99", "3 Warning: Firmware version (99) differs from build version (14)" }));
}

// An FPGA board passes with any version but 0.
TEST_F (BoardUpdateResults, FpgaBoardVersions)
{
    setup.boards[fpgaIndex].newVersion = 0;
    start();
    EXPECT_EQ (update (fpgaIndex, log.callback()), UpdateFailed);
    EXPECT_EQ (lastLines (log, 2), (std::vector<std::string> {
        "3 Device failed to update! Firmware version: 0, build version: 14", "4 Error: Update failed!" }));
}

TEST_F (BoardUpdateResults, FpgaBoardWithAnotherVersion)
{
    setup.boards[fpgaIndex].newVersion = 3;
    start();
    EXPECT_EQ (update (fpgaIndex, log.callback()), UpdateSuccessful);
    EXPECT_EQ (lastLines (log, 1), (std::vector<std::string> { "1 Device found! Firmware version: 3" }));
}

// A record with a wrong checksum ends the update before the board is contacted, even one
// that waits in its boot loader, which an erase would have emptied.
TEST_F (BoardUpdateResults, InvalidFirmwareFile)
{
    auto text = testhex::HexFileWriter().write (smallImage());
    text[text.find ('\n') - 1] ^= 1;
    writeFirmware ("CentralProcessorPIC.hex", { text.begin(), text.end() });
    start();
    EXPECT_EQ (update (picIndex, log.callback()), UpdateFailed);
    EXPECT_EQ (describe (log.all()), (std::vector<std::string> { "1 Updating firmware on Channel Master 1-8...",
                                                                 "1 Firmware file: CentralProcessorPIC.hex (14)",
                                                                 "3 Invalid firmware file",
                                                                 "1 Reinstall the app and try again.",
                                                                 "4 Error: Update failed!" }));
    EXPECT_EQ (device->board (picIndex).state, zsim::BoardState::BootMode);
    EXPECT_EQ (received (picIndex, BoardRequest::IdentityRead), 0u);
    EXPECT_EQ (received (picIndex, BoardRequest::Erase), 0u);
}
