// The engine's operations started from the window's buttons against simulated boards: the
// log view and file, the two bars, the controls, the message boxes whose answers reach the
// waiting operation, the boards' memory afterwards and the re-probe after an update.

#include "tests/app/WindowFixture.h"

namespace
{
using namespace windowtest;

constexpr int channelMaster = 4;          // a PIC board: CentralProcessorPIC.hex
constexpr int channelMasterFpga = 7;      // an FPGA board: CentralProcessorFPGA.bin
constexpr int manualMasterFaders = 19;    // absent from a console with motorised faders

// The tooltip window does not tell its delay. An explicit instantiation may name a private
// member, which lets the test read the delay the window holds.
int juce::TooltipWindow::* tooltipDelayMember();

template <int juce::TooltipWindow::* member>
struct TooltipDelayAccess
{
    friend int juce::TooltipWindow::* tooltipDelayMember() { return member; }
};

template struct TooltipDelayAccess<&juce::TooltipWindow::millisecondsBeforeTipAppears>;

bool startsWith (const juce::StringArray& entries, const juce::String& prefix)
{
    for (const auto& entry : entries)
        if (entry.startsWith (prefix))
            return true;
    return false;
}

class WindowOperations : public WindowTest
{
protected:
    // A console whose Channel Master 1-8 runs version 1: one board needs an update.
    zsim::DeviceSimulator& startConsole (uint8_t statusFlag = 0)
    {
        auto setup = zsim::consoleDevice (zsim::MasterFader::Motorised, statusFlag);
        setup.boards[channelMaster].version = 1;
        return startDevice (setup, 0, "FOH Console");
    }

    // A single-board device; its board runs `version` (0: its release version).
    zsim::DeviceSimulator& startRack (uint8_t statusFlag, uint8_t version)
    {
        zsim::DeviceIdentity identity;
        identity.deviceType = 2;
        identity.statusFlag = statusFlag;
        auto setup = zsim::standardDevice (identity);
        if (version != 0)
            setup.boards[0].version = version;
        return startDevice (setup, 2, "Monitor Rack");
    }

    void listAndUnlock (int boardIndex = 0)
    {
        listDevices();
        selectDevice (1);
        unlockAdvancedOptions();
        selectBoard (boardIndex);
    }

    unsigned discoverRequests (const zsim::DeviceSimulator& device)
    {
        unsigned count = 0;
        for (const auto& request : device.requests())
            count += request.bytes.size() == 12 && request.bytes[8] == 0 ? 1u : 0u;
        return count;
    }

    // Waits for the box and checks what it says.
    ::testing::AssertionResult boxShows (const juce::String& title, const juce::String& message,
                                         juce::MessageBoxIconType icon, int buttons)
    {
        if (! runUntil ([] { return openMessageBox() != nullptr; }))
            return ::testing::AssertionFailure() << "no box";
        const auto& box = *openMessageBox();
        if (box.getName() != title || messageOf (box) != message || box.getAlertType() != icon
            || box.getNumButtons() != buttons)
            return ::testing::AssertionFailure() << "the box \"" << box.getName() << "\" says \"" << messageOf (box)
                                                 << "\" with icon " << (int) box.getAlertType() << " and "
                                                 << box.getNumButtons() << " buttons";
        return ::testing::AssertionSuccess();
    }

    // A tip on show, as when the mouse rests on a control; a box that opens hides it.
    void showTip() { inspect().tooltipWindow().displayTip (main->getScreenBounds().getCentre(), "a tip"); }
    bool tipShown() { return inspect().tooltipWindow().isVisible(); }
    int tooltipDelay() { return inspect().tooltipWindow().*tooltipDelayMember(); }

    const juce::String question = "This console has 1 device that needs updating.\nDo you wish to continue?";
};
}

TEST_F (WindowOperations, GetVersionsReportsEveryBoardAgainstItsBuildVersion)
{
    startConsole (1);
    listAndUnlock();

    ASSERT_TRUE (runOperation ("btnGetVersions", "Get Versions completed successfully"));
    const auto entries = logEntries();
    EXPECT_EQ (entries[0], "Zorv K470 Console [FOH Console]");
    EXPECT_TRUE (entries.contains ("Version scan started"));
    EXPECT_TRUE (startsWith (entries, "Firmware update required: Channel Master 1-8 Version: 1 ("));
    EXPECT_TRUE (startsWith (entries, "Firmware up to date: Monitor Interface Version: "));
    EXPECT_FALSE (inspect().progressBar1().isVisible());
    EXPECT_TRUE (byId ("btnGetVersions").isEnabled()) << "the controls are back";
    EXPECT_EQ (inspect().rescanAfterOperation(), 0);
    EXPECT_EQ (discoverRequests (*devices[0]), 1u) << "Get Versions is followed by no re-probe";
}

TEST_F (WindowOperations, CheckReportsTheBoardAndTheProcessorKeyAsksASilentBoardToo)
{
    startConsole();
    listAndUnlock (channelMaster);

    ASSERT_TRUE (runOperation ("btnCheck", "Check completed successfully"));
    EXPECT_TRUE (startsWith (logEntries(), "Channel Master 1-8 Found! Firmware version: 1 ("));
    EXPECT_TRUE (viewHas ("Processor: PIC32MZ2048EFG144"));

    // The processor key still counts with a further key held beside it.
    selectBoard (manualMasterFaders);
    struct Case { const char* held; juce::ModifierKeys keys; bool asked; };
    for (const auto& c : { Case { "no key", {}, false }, Case { "the processor key", processorKey, true },
                           Case { "the force chord", forceChord, true } })
    {
        SCOPED_TRACE (c.held);
        const auto linesBefore = logEntries().size();
        ASSERT_TRUE (runOperation ("btnCheck", "Check completed successfully", c.keys));
        const auto entries = logEntries();
        EXPECT_EQ (entries[entries.size() - (c.asked ? 2 : 1)], "Warning! Failed to connect to Master Faders [Manual]");
        EXPECT_EQ (entries.indexOf ("Processor: Original PIC32MZ2048EFG...", false, linesBefore) >= 0, c.asked);
    }
    EXPECT_EQ (openMessageBox(), nullptr) << "the processor key alone opens no box";
}

TEST_F (WindowOperations, ResetRestartsTheSelectedBoard)
{
    auto& console = startConsole();
    listAndUnlock (5);

    ASSERT_TRUE (runOperation ("btnReset", "Reset completed successfully"));
    EXPECT_TRUE (viewHas ("Device reset completed successfully"));
    EXPECT_EQ (console.board (5).count (zsim::BoardRequest::Reset), 1u);
    EXPECT_EQ (console.board (4).count (zsim::BoardRequest::Reset), 0u);
    EXPECT_FALSE (inspect().progressBar1().isVisible());
}

TEST_F (WindowOperations, UpdateProgramsTheSelectedBoardWithItsFile)
{
    auto& console = startConsole();
    listAndUnlock();

    for (const int board : { channelMaster, channelMasterFpga })
    {
        SCOPED_TRACE (board);
        selectBoard (board);
        auto& scanButton = byId ("btnScanDev");
        auto& bar = inspect().progressBar1();
        const ChangeWatch controlsOff ({ &scanButton }, [&] { return ! scanButton.isEnabled(); });
        const ChangeWatch barShown ({ &bar }, [&] { return bar.isVisible(); });
        const auto before = countInLogFile ("Update completed successfully");
        clickButton ("btnUpdate");
        ASSERT_TRUE (waitForOperationEnd ("Update completed successfully", before));

        EXPECT_TRUE (controlsOff.seen()) << "the operation disables the controls while it runs";
        EXPECT_TRUE (barShown.seen());
        EXPECT_FALSE (inspect().progressBar1().isVisible());
        EXPECT_TRUE (demofirmware::holdsImage (console.board ((std::size_t) board), images()));
        EXPECT_TRUE (startsWith (logEntries(), byId<juce::ComboBox> ("comboPanels").getText() + ": Update Successful! "));
    }
    EXPECT_EQ (console.board (5).count (zsim::BoardRequest::Erase), 0u) << "no other board is touched";
    EXPECT_EQ (discoverRequests (console), 1u) << "a record without the status byte is not probed again";
}

TEST_F (WindowOperations, AutoUpdateAnsweredYesUpdatesThePendingBoard)
{
    auto& console = startConsole();
    listAndUnlock();

    const auto before = countInLogFile ("Auto Update completed successfully");
    showTip();
    ASSERT_TRUE (tipShown());
    clickButton ("btnAutoUpdate");
    ASSERT_TRUE (boxShows ("Auto Update", question, juce::MessageBoxIconType::QuestionIcon, 2));
    EXPECT_FALSE (tipShown()) << "a box hides the tip on show";
    EXPECT_EQ (tooltipDelay(), 65535);
    EXPECT_EQ (console.board (channelMaster).count (zsim::BoardRequest::Erase), 0u) << "the operation waits";

    auto& boardBar = inspect().progressBar1();
    auto& boardsBar = inspect().progressBar2();
    const ChangeWatch bothBars ({ &boardBar, &boardsBar }, [&] { return boardBar.isVisible() && boardsBar.isVisible(); });
    ASSERT_TRUE (answerMessageBox ("Yes"));
    ASSERT_TRUE (runUntil ([] { return openMessageBox() != nullptr; }));
    EXPECT_TRUE (bothBars.seen()) << "the board's progress and the boards' progress";
    ASSERT_TRUE (boxShows ("Auto Update", "Auto Update completed successfully!\n", juce::MessageBoxIconType::InfoIcon, 1));
    EXPECT_FALSE (inspect().progressBar2().isVisible());

    ASSERT_TRUE (answerMessageBox ("OK"));
    ASSERT_TRUE (waitForOperationEnd ("Auto Update completed successfully", before));
    EXPECT_EQ (tooltipDelay(), 700) << "back to normal once the boxes are answered";
    EXPECT_TRUE (demofirmware::holdsImage (console.board (channelMaster), images()));
    for (std::size_t board = 0; board < console.boardCount(); ++board)
        EXPECT_EQ (console.board (board).count (zsim::BoardRequest::Erase), board == channelMaster ? 1u : 0u) << board;
    EXPECT_TRUE (startsWith (logEntries(), "Update Successful! Channel Master 1-8 Version: "));
}

TEST_F (WindowOperations, AutoUpdateNotAnsweredYesUpdatesNothing)
{
    auto& console = startConsole();
    listAndUnlock();

    struct Case
    {
        const char* what;
        std::function<bool()> answer;
    };
    const Case cases[] = { { "No", [] { return answerMessageBox ("No"); } },
                           { "Escape", [] { return escapeMessageBox(); } },
                           { "the box closed", [] { return closeMessageBox(); } } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto before = countInLogFile ("Auto Update completed successfully");
        clickButton ("btnAutoUpdate");
        ASSERT_TRUE (boxShows ("Auto Update", question, juce::MessageBoxIconType::QuestionIcon, 2));
        ASSERT_TRUE (c.answer());
        ASSERT_TRUE (waitForOperationEnd ("Auto Update completed successfully", before));
        EXPECT_EQ (logEntries()[logEntries().size() - 1], "Auto Update cancelled");
    }
    EXPECT_EQ (console.board (channelMaster).count (zsim::BoardRequest::Erase), 0u);
}

// A record that carries the status byte is probed again after a successful update, and the
// device list shows what the device says of itself now.
TEST_F (WindowOperations, AutoUpdateOfADeviceThatAskedForItProbesItAgain)
{
    auto& rack = startRack (1, 10);
    listAndUnlock();
    EXPECT_TRUE (byName<juce::Label> ("labelInfo").getText().contains ("Please Update Firmware!"));

    const auto before = countInLogFile ("Auto Update completed successfully");
    clickButton ("btnAutoUpdate");
    EXPECT_EQ (inspect().rescanAfterOperation(), 1);
    ASSERT_TRUE (boxShows ("Auto Update", "This unit has 1 device that needs updating.\nDo you wish to continue?",
                           juce::MessageBoxIconType::QuestionIcon, 2));
    ASSERT_TRUE (answerMessageBox ("Yes"));
    ASSERT_TRUE (boxShows ("Auto Update", "Auto Update completed successfully!\n", juce::MessageBoxIconType::InfoIcon, 1));

    auto identity = rack.identity();
    identity.statusFlag = 0;
    rack.setIdentity (identity);
    const auto probesBefore = discoverRequests (rack);
    ASSERT_TRUE (answerMessageBox ("OK"));
    ASSERT_TRUE (waitForOperationEnd ("Auto Update completed successfully", before));

    EXPECT_TRUE (demofirmware::holdsImage (rack.board (0), images()));
    EXPECT_GT (discoverRequests (rack), probesBefore);
    EXPECT_EQ (inspect().rescanAfterOperation(), 0);
    EXPECT_TRUE (byName<juce::Label> ("labelInfo").getText().endsWith ("\nOK"));
    EXPECT_EQ (byId<juce::ComboBox> ("comboBoxDev").getSelectedId(), 1);
}

TEST_F (WindowOperations, AutoUpdateThatFailsEndsWithAWarningBox)
{
    auto& rack = startRack (0, 10);
    ASSERT_TRUE (base.file().getChildFile ("HexFiles/KRD16/KRD16InterfacePIC.hex").deleteFile());
    listAndUnlock();

    for (const auto& dismiss : std::vector<std::function<bool()>> { [] { return answerMessageBox ("OK"); },
                                                                    [] { return escapeMessageBox(); } })
    {
        const auto before = countInLogFile ("Auto Update completed successfully");
        clickButton ("btnAutoUpdate");
        ASSERT_TRUE (answerMessageBox ("Yes"));
        ASSERT_TRUE (boxShows ("Auto Update", "Warning! Firmware update FAILED on 1 device!\n",
                               juce::MessageBoxIconType::WarningIcon, 1));
        ASSERT_TRUE (dismiss());
        ASSERT_TRUE (waitForOperationEnd ("Auto Update completed successfully", before));
        EXPECT_EQ (logEntries()[logEntries().size() - 1], "Warning! Firmware update FAILED on 1 device!");
    }
    EXPECT_EQ (rack.board (0).count (zsim::BoardRequest::Erase), 0u);
}

TEST_F (WindowOperations, TheForceChordUpdatesABoardThatIsUpToDate)
{
    auto& rack = startRack (0, 0);
    listAndUnlock();

    ASSERT_TRUE (runOperation ("btnAutoUpdate", "Auto Update completed successfully"));
    EXPECT_EQ (logEntries()[logEntries().size() - 1], "This unit is already up to date");
    EXPECT_EQ (openMessageBox(), nullptr);

    const auto before = countInLogFile ("Auto Update completed successfully");
    clickButton ("btnAutoUpdate", forceChord);
    ASSERT_TRUE (boxShows ("Auto Update", "This unit has 1 device that needs updating.\nDo you wish to continue?",
                           juce::MessageBoxIconType::QuestionIcon, 2));
    ASSERT_TRUE (answerMessageBox ("Yes"));
    ASSERT_TRUE (answerMessageBox ("OK"));
    ASSERT_TRUE (waitForOperationEnd ("Auto Update completed successfully", before));
    EXPECT_TRUE (demofirmware::holdsImage (rack.board (0), images()));
}

TEST_F (WindowOperations, TheBootModeControlBoxStartsWhatItsButtonSays)
{
    auto& console = startConsole();
    listAndUnlock (channelMaster);
    const juce::String finished ("Boot Mode Control completed successfully");

    // The box holds tips back while it is open; the click resets a re-probe left standing.
    const auto openBox = [&]
    {
        inspect().rescanAfterOperation() = 1;
        clickButton ("btnCheck", unlockChord);
        EXPECT_EQ (inspect().rescanAfterOperation(), 0);
        const auto shown = boxShows ("Boot Mode Control", "Select Boot Control Action for\nChannel Master 1-8",
                                     juce::MessageBoxIconType::InfoIcon, 3);
        EXPECT_EQ (tooltipDelay(), 65535);
        return shown;
    };

    showTip();
    ASSERT_TRUE (openBox());
    EXPECT_FALSE (tipShown());
    auto before = countInLogFile (finished);
    ASSERT_TRUE (answerMessageBox ("Enter Boot Mode"));
    ASSERT_TRUE (waitForOperationEnd (finished, before));
    EXPECT_EQ (tooltipDelay(), 700);
    EXPECT_TRUE (viewHas ("Device entered Boot Mode successfully"));
    EXPECT_EQ (console.board (channelMaster).state, zsim::BoardState::BootMode);

    ASSERT_TRUE (openBox());
    before = countInLogFile (finished);
    ASSERT_TRUE (answerMessageBox ("Exit Boot Mode"));
    ASSERT_TRUE (waitForOperationEnd (finished, before));
    EXPECT_EQ (tooltipDelay(), 700);
    EXPECT_TRUE (viewHas ("Device exited Boot Mode successfully"));
    EXPECT_EQ (console.board (channelMaster).state, zsim::BoardState::Running);

    for (const auto& dismiss : std::vector<std::function<bool()>> { [] { return answerMessageBox ("Cancel"); },
                                                                    [] { return escapeMessageBox(); } })
    {
        ASSERT_TRUE (openBox());
        const auto requests = console.requests().size();
        ASSERT_TRUE (dismiss());
        runFor (300);
        EXPECT_EQ (tooltipDelay(), 700);
        EXPECT_EQ (console.requests().size(), requests) << "Cancel starts nothing";
        EXPECT_EQ (countInLogFile (finished), 2);
    }

    ASSERT_TRUE (runOperation ("btnCheck", "Check completed successfully", forceChord));
    EXPECT_EQ (openMessageBox(), nullptr) << "without the third key Check checks";
}
