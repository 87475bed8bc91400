// The scan as the window runs it, against simulated devices on the test's own network.

#include "tests/app/WindowFixture.h"

namespace
{
using namespace windowtest;

class WindowScan : public WindowTest
{
protected:
    // The three kinds of device the window lists, on 10.200.0.10 to .12, and one of a type
    // it does not list on .13.
    void startThreeDevicesAndAStranger()
    {
        startDevice (zsim::trxDevice (2), 1, "Stage Rack");
        startDevice (zsim::consoleDevice (zsim::MasterFader::Motorised), 0, "FOH Console");
        zsim::DeviceIdentity single;
        single.deviceType = 2;
        startDevice (zsim::standardDevice (single), 2, "Monitor Rack");
        zsim::DeviceIdentity stranger;
        stranger.deviceType = 12;
        startDevice ({ stranger, {} }, 3, "Stranger");
    }

    bool scanRunning() { return byId<juce::Button> ("btnScanDev").getButtonText() == "Scanning"; }

    // Runs the scan to its report, checking on the way that the bar only moves forward.
    void waitForReport()
    {
        double last = 0.0;
        bool forwardOnly = true;
        ASSERT_TRUE (runUntil ([&]
        {
            const auto value = inspect().progressBar1Value();
            forwardOnly = forwardOnly && value >= last;
            last = value;
            return ! scanRunning();
        }, 120000));
        EXPECT_TRUE (forwardOnly);
        EXPECT_FALSE (inspect().progressBar1().isVisible());
    }

    void expectControlsEnabled (bool enabled)
    {
        for (const auto* id : { "btnScanDev", "btnSetIP", "comboBoxDev" })
            EXPECT_EQ (byId (id).isEnabled(), enabled) << id;
    }
};
}

TEST_F (WindowScan, AutomaticScanListsTheDevicesOfTheLocalNetwork)
{
    startThreeDevicesAndAStranger();
    inspect().advancedUnlocked() = true;
    listDevices();
    clickButton ("btnAdvanced");
    ASSERT_TRUE (byId<juce::Button> ("btnAdvanced").getToggleState());

    clickButton ("btnScanDev");

    ASSERT_TRUE (scanRunning());
    EXPECT_EQ (logEntries(), juce::StringArray ({ "Scanning for Zorv Products...",
                                                  "Found IPs assigned to this computer: 10.200.0.1" }));
    EXPECT_TRUE (inspect().progressBar1().isVisible());
    EXPECT_EQ (inspect().discovery().getPasses(), 2);
    EXPECT_FLOAT_EQ (inspect().expectedScanSeconds(), 6.0f);
    expectControlsEnabled (false);
    EXPECT_FALSE (byId<juce::Button> ("btnAdvanced").getToggleState()) << "a scan turns the Advanced switch off";
    EXPECT_EQ (byId<juce::ComboBox> ("comboBoxDev").getNumItems(), 0);
    EXPECT_EQ (byId<juce::ComboBox> ("comboPanels").getNumItems(), 0);

    clickButton ("btnAbout");
    EXPECT_EQ (openDialog ("About"), nullptr) << "every button waits while a scan runs";

    waitForReport();
    EXPECT_EQ (logEntries(), juce::StringArray ({ "Scanning for Zorv Products...",
                                                  "Finished network scan",
                                                  "Zorv Products found: 3",
                                                  "#1: Type: Zorv K470 Console | IP: 10.200.0.10",
                                                  "#2: Type: V518 TRX | IP: 10.200.0.11",
                                                  "#3: Type: Quadrix KRD16 | IP: 10.200.0.12" }));
    EXPECT_TRUE (logFileHas ("Found IPs assigned to this computer: 10.200.0.1")) << "the file keeps the replaced line";
    EXPECT_EQ (byId<juce::Button> ("btnScanDev").getButtonText(), "Scan");
    expectControlsEnabled (true);
    EXPECT_FALSE (byId<juce::Button> ("btnAdvanced").getToggleState());
    EXPECT_FALSE (byId ("btnUpdate").isEnabled()) << "the advanced controls wait for the switch, even unlocked";

    runFor (50);
    auto& deviceBox = byId<juce::ComboBox> ("comboBoxDev");
    EXPECT_EQ (deviceBox.getNumItems(), 3);
    EXPECT_EQ (deviceBox.getText(), "FOH Console");
    EXPECT_EQ (byId<juce::ComboBox> ("comboPanels").getItemText (0), "Monitor Interface");
}

TEST_F (WindowScan, ManualScanProbesTheAddressesSetInTheDialogInFourPasses)
{
    startThreeDevicesAndAStranger();

    clickButton ("btnSetIP");
    auto* dialog = waitForDialog ("Set Manual IP Addresses for Scanning");
    ASSERT_NE (dialog, nullptr);
    auto& content = *dialog->getContentComponent();
    const juce::StringArray rows { "10.200.0.10", "10.10.251.2", "10.200.0.12", "10.200.0.11" };
    std::vector<juce::ToggleButton*> toggles;
    for (auto* child : content.getChildren())
        if (auto* toggle = dynamic_cast<juce::ToggleButton*> (child))
            toggles.push_back (toggle);
    ASSERT_EQ (toggles.size(), 4u);
    for (int row = 0; row < 4; ++row)
    {
        dynamic_cast<juce::TextEditor&> (*content.findChildWithID ("textEditorIP" + juce::String (row))).setText (rows[row]);
        toggles[(std::size_t) row]->setToggleState (row == 0 || row == 2, juce::sendNotificationSync);
    }
    click (*findButton (content, "OK"));
    ASSERT_TRUE (runUntil ([] { return openDialog ("Set Manual IP Addresses for Scanning") == nullptr; }, 5000));
    EXPECT_EQ (inspect().manualScanIPs(), rows);
    EXPECT_TRUE (inspect().userSettings().getFile().loadFileAsString().contains ("10.200.0.12"));

    clickButton ("btnScanDev");
    EXPECT_EQ (logEntries(), juce::StringArray ({ "Scanning for Zorv Products...",
                                                  "Found IPs assigned to this computer: 10.200.0.1",
                                                  "Manual IP Scan Enabled",
                                                  "Scanning IPs: 10.200.0.10, 10.200.0.12" }));
    EXPECT_EQ (inspect().discovery().getPasses(), 4);
    EXPECT_FLOAT_EQ (inspect().expectedScanSeconds(), 13.0f);

    waitForReport();
    EXPECT_EQ (logEntries(), juce::StringArray ({ "Scanning for Zorv Products...",
                                                  "Found IPs assigned to this computer: 10.200.0.1",
                                                  "Manual IP Scan Enabled",
                                                  "Finished network scan",
                                                  "Zorv Products found: 2",
                                                  "#1: Type: Zorv K470 Console | IP: 10.200.0.10",
                                                  "#2: Type: Quadrix KRD16 | IP: 10.200.0.12" }));
    EXPECT_EQ (devices[0]->connectionCount(), 0u) << "the device at an address not switched on is left alone";
}

TEST_F (WindowScan, ScanThatFindsNothingSaysHowLongToWait)
{
    clickButton ("btnScanDev");
    waitForReport();
    EXPECT_EQ (logEntries(), juce::StringArray ({ "Scanning for Zorv Products...",
                                                  "Finished network scan",
                                                  "No Zorv Products found",
                                                  "If a device was recently powered on, please wait 90 seconds before "
                                                  "scanning again" }));
    EXPECT_EQ (byId<juce::ComboBox> ("comboBoxDev").getNumItems(), 0);
    EXPECT_FALSE (byId ("btnAutoUpdate").isEnabled());
}

TEST_F (WindowScan, NoScanWithoutAnAddressToScanFrom)
{
    struct Case
    {
        const char* what;
        bool ownAddress;
        bool manualFlag;
        juce::StringArray entries;
    };
    const Case cases[] = {
        { "no address of the computer's own", false, false,
          { "Scanning for Zorv Products...", "No IPs assigned to this computer. Check network connection." } },
        { "manual scan of a broadcast address only", true, true,
          { "Scanning for Zorv Products...", "Found IPs assigned to this computer: 10.200.0.1",
            "No valid manual IPs found. Check Set IP settings." } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        if (! c.ownAddress)
        {
            ASSERT_TRUE (apptest::setOwnAddressPresent (false));
        }
        inspect().manualScanIPs().set (1, "10.10.251.255");
        inspect().manualScanFlags().set (1, c.manualFlag);

        clickButton ("btnScanDev");
        EXPECT_EQ (logEntries(), c.entries);
        EXPECT_TRUE (inspect().discovery().isIdle());
        EXPECT_FALSE (inspect().progressBar1().isVisible());
        EXPECT_EQ (byId<juce::Button> ("btnScanDev").getButtonText(), "Scan");
        expectControlsEnabled (true);
        if (! c.ownAddress)
        {
            ASSERT_TRUE (apptest::setOwnAddressPresent (true));
        }
    }
}

// The discovery calls its completion at once when its scan thread cannot start; the report
// then says that the scan failed, not that nothing answered. A thread that has been kept
// from starting threads stays so, so the window runs on a message thread of its own here.
class WindowScanWithoutThreads : public WindowScan
{
protected:
    void SetUp() override
    {
        ZORV_REQUIRE_DISPLAY();
        if (! apptest::enterOwnNetwork())
            GTEST_SKIP() << "no network namespace of the test's own can be made here";
    }
};

TEST_F (WindowScanWithoutThreads, ScanWhoseThreadCannotStartIsReportedAsFailed)
{
    bool blocked = false;
    std::thread messageThread ([this, &blocked]
    {
        start();
        startThreeDevicesAndAStranger();
        runFor (100);   // the framework's timer thread is running before thread starts stop

        const auto noneFoundBefore = countInLogFile ("No Zorv Products found");
        apptest::ThreadStartBlocker blocker;
        blocked = blocker.blocking();
        if (blocked)
        {
            clickButton ("btnScanDev");
            waitForReport();
            EXPECT_EQ (logEntries(), juce::StringArray ({ "Scanning for Zorv Products...",
                                                          "Network scan failed: the scan could not be started" }));
            EXPECT_EQ (countInLogFile ("No Zorv Products found"), noneFoundBefore);
            expectControlsEnabled (true);
            EXPECT_EQ (devices[0]->connectionCount(), 0u);
        }
        finish();
    });
    messageThread.join();

    if (! blocked)
        GTEST_SKIP() << "thread starts cannot be blocked here";
}

TEST_F (WindowScan, ClosingTheWindowDuringAScanEndsCleanly)
{
    startThreeDevicesAndAStranger();
    const auto reportsBefore = countInLogFile ("Finished network scan");
    clickButton ("btnScanDev");
    ASSERT_TRUE (scanRunning());

    closeWindow();
    runFor (1000);   // a completion or report still on its way finds no window
    EXPECT_EQ (countInLogFile ("Finished network scan"), reportsBefore);
}
