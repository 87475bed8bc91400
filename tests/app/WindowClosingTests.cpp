// Closing the window while the engine works or waits: the main component goes, the engine
// stops its operation, and nothing that arrives afterwards reaches what is gone.

#include "tests/app/WindowFixture.h"

namespace
{
using namespace windowtest;

class WindowClosing : public WindowTest
{
protected:
    zsim::DeviceSimulator& startConsole()
    {
        auto setup = zsim::consoleDevice (zsim::MasterFader::Motorised);
        setup.boards[4].version = 1;
        auto& console = startDevice (setup, 0, "FOH Console");
        listDevices();
        selectDevice (1);
        unlockAdvancedOptions();
        return console;
    }
};
}

TEST_F (WindowClosing, DuringAnUpdateTheOperationStopsBeforeTheWindowIsGone)
{
    auto& console = startConsole();
    constexpr std::size_t fpgaBoard = 7;
    console.addFault (fpgaBoard, { zsim::Fault::Silence, zsim::BoardRequest::Erase, 0, zsim::BoardFault::always });
    selectBoard ((int) fpgaBoard);
    const auto finishedBefore = countInLogFile ("Update completed successfully");

    clickButton ("btnUpdate");
    ASSERT_TRUE (runUntil ([&] { return console.board (fpgaBoard).count (zsim::BoardRequest::Erase) > 0; }));
    closeWindow();

    const auto requests = console.requests().size();
    runFor (500);
    EXPECT_EQ (console.requests().size(), requests) << "the operation ended with the window";
    EXPECT_EQ (countInLogFile ("Update completed successfully"), finishedBefore) << "its last events found no window";
}

// The answer slot belongs to the engine, which is gone once the window is: an answer given
// afterwards must not be stored.
TEST_F (WindowClosing, WithTheQuestionOpenTheOperationStopsAndALateAnswerIsDropped)
{
    auto& console = startConsole();
    clickButton ("btnAutoUpdate");
    ASSERT_TRUE (runUntil ([] { return openMessageBox() != nullptr; }));

    closeWindow();
    ASSERT_NE (openMessageBox(), nullptr) << "the box outlives the window";
    ASSERT_TRUE (answerMessageBox ("Yes"));
    runFor (300);
    EXPECT_EQ (openMessageBox(), nullptr);
    EXPECT_EQ (console.board (4).count (zsim::BoardRequest::Erase), 0u);
}
