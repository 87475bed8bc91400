// The buttons that open dialogs or talk to a device directly: rename, identify, the manual
// addresses, the Advanced Options switch with its password and chord, and About.

#include "tests/app/WindowFixture.h"
#include "ui/NameScreen.h"

namespace
{
using namespace windowtest;

std::vector<uint8_t> headerBytes (uint8_t length, uint8_t command, uint16_t parameter)
{
    return { length, 0x00, 0x00, 0x00, 0xED, 0xAC, 0xEF, 0x0D, command, 0x00, (uint8_t) parameter, (uint8_t) (parameter >> 8) };
}

bool received (const zsim::DeviceSimulator& device, const std::vector<uint8_t>& bytes)
{
    for (const auto& request : device.requests())
        if (request.bytes == bytes)
            return true;
    return false;
}

class WindowButtons : public WindowTest
{
protected:
    // A console (item 1) and a single-board device (item 2), listed, the second selected.
    void startTwoDevices()
    {
        startDevice (zsim::consoleDevice (zsim::MasterFader::Motorised), 0, "FOH Console");
        zsim::DeviceIdentity single;
        single.deviceType = 2;
        startDevice (zsim::standardDevice (single), 2, "Monitor Rack");
        listDevices();
        selectDevice (2);
    }

    zsim::DeviceSimulator& rack() { return *devices[1]; }

    juce::TextEditor& editorOf (juce::DialogWindow& dialog, const juce::String& name)
    {
        for (auto* child : dialog.getContentComponent()->getChildren())
            if (child->getName() == name)
                if (auto* editor = dynamic_cast<juce::TextEditor*> (child))
                    return *editor;
        throw std::runtime_error ("no editor " + name.toStdString());
    }

    bool dialogClosed (const juce::String& title)
    {
        return runUntil ([&] { return openDialog (title) == nullptr; }, 5000);
    }

    // Opens the password dialog and enters the text; the dialog's title when it is still open.
    void enterPassword (const juce::String& text)
    {
        clickButton ("btnAdvanced");
        auto* dialog = waitForDialog ("Advanced Options Password");
        ASSERT_NE (dialog, nullptr);
        editorOf (*dialog, "newNameEdit").setText (text);
        click (*findButton (*dialog, "OK"));
    }

    bool advancedAreaEnabled()
    {
        for (const auto* id : { "comboPanels", "btnGetVersions", "btnReset", "btnCheck", "btnUpdate" })
            if (! byId (id).isEnabled())
                return false;
        return true;
    }
};
}

TEST_F (WindowButtons, RenameSendsTheNewNameToTheDeviceSelectedWhenTheDialogOpened)
{
    startTwoDevices();
    const auto title = "Rename Device (IP: " + juce::String (deviceAddress (2)) + ")";

    clickButton ("btnRenameDev");
    auto* dialog = waitForDialog (title);
    ASSERT_NE (dialog, nullptr);
    auto& editor = editorOf (*dialog, "newNameEdit");
    EXPECT_EQ (editor.getText(), "Monitor Rack");

    selectDevice (1);   // the dialog works on what it kept when it opened
    editor.setText ("Side Fill");
    click (*findButton (*dialog, "OK"));
    ASSERT_TRUE (dialogClosed (title));

    auto expected = headerBytes (31, 1, 2);
    for (const char c : std::string ("Side Fill"))
        expected.push_back ((uint8_t) c);
    expected.resize (43, 0);
    EXPECT_TRUE (received (rack(), expected));
    EXPECT_EQ (juce::String (reinterpret_cast<const char*> (rack().identity().name.data())), "Side Fill");
    EXPECT_EQ (byId<juce::ComboBox> ("comboBoxDev").getItemText (1), "Side Fill") << "the list is refreshed";
    EXPECT_EQ (byId<juce::ComboBox> ("comboBoxDev").getSelectedId(), 1) << "and keeps what is selected";
}

TEST_F (WindowButtons, RenameWithoutANewNameSendsNothing)
{
    startTwoDevices();
    const auto title = "Rename Device (IP: " + juce::String (deviceAddress (2)) + ")";

    struct Case
    {
        const char* what;
        juce::String text;
        const char* button;
    };
    const Case cases[] = { { "the same name", "Monitor Rack", "OK" },
                           { "an empty name", "", "OK" },
                           { "a new name, cancelled", "Side Fill", "Cancel" } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto before = rack().requests().size();
        clickButton ("btnRenameDev");
        auto* dialog = waitForDialog (title);
        ASSERT_NE (dialog, nullptr);
        editorOf (*dialog, "newNameEdit").setText (c.text);
        click (*findButton (*dialog, c.button));
        ASSERT_TRUE (dialogClosed (title));
        runFor (100);
        EXPECT_EQ (rack().requests().size(), before);
    }

    clickButton ("btnRenameDev");
    auto* dialog = waitForDialog (title);
    ASSERT_NE (dialog, nullptr);
    static_cast<juce::Component*> (dialog)->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_TRUE (dialogClosed (title)) << "Escape closes the dialog";
}

TEST_F (WindowButtons, IdentifyAsksTheSelectedDevice)
{
    startTwoDevices();
    clickButton ("btnIdDev");
    ASSERT_TRUE (rack().waitForRequests (2, std::chrono::seconds (10)));
    EXPECT_EQ (rack().requests().back().bytes, headerBytes (0, 2, 2));
}

TEST_F (WindowButtons, ThePasswordUnlocksTheAdvancedOptionsUntilTheEnd)
{
    startTwoDevices();
    EXPECT_TRUE (byId ("btnAdvanced").isEnabled());
    EXPECT_FALSE (advancedAreaEnabled());

    enterPassword ("Wev");
    EXPECT_NE (openDialog ("Advanced Options Password"), nullptr) << "a wrong password keeps the dialog open";
    click (*findButton (*openDialog ("Advanced Options Password"), "Cancel"));
    ASSERT_TRUE (dialogClosed ("Advanced Options Password"));
    EXPECT_FALSE (inspect().advancedUnlocked());
    EXPECT_FALSE (byId<juce::Button> ("btnAdvanced").getToggleState());

    enterPassword ("wev");
    ASSERT_TRUE (dialogClosed ("Advanced Options Password"));
    EXPECT_TRUE (inspect().advancedUnlocked());
    EXPECT_TRUE (byId<juce::Button> ("btnAdvanced").getToggleState());
    EXPECT_TRUE (advancedAreaEnabled());

    for (const bool on : { false, true, false })
    {
        clickButton ("btnAdvanced");
        runFor (50);
        EXPECT_EQ (openDialog ("Advanced Options Password"), nullptr) << "no password once unlocked";
        EXPECT_EQ (byId<juce::Button> ("btnAdvanced").getToggleState(), on);
        EXPECT_EQ (advancedAreaEnabled(), on);
    }
}

TEST_F (WindowButtons, TheUnlockChordOpensTheAdvancedOptionsWithoutThePassword)
{
    startTwoDevices();

    clickButton ("btnAdvanced", forceChord);
    auto* dialog = waitForDialog ("Advanced Options Password");
    ASSERT_NE (dialog, nullptr) << "two of the three keys are not the chord";
    static_cast<juce::Component*> (dialog)->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    ASSERT_TRUE (dialogClosed ("Advanced Options Password"));
    EXPECT_FALSE (inspect().advancedUnlocked());

    clickButton ("btnAdvanced", unlockChord);
    runFor (50);
    EXPECT_EQ (openDialog ("Advanced Options Password"), nullptr);
    EXPECT_TRUE (inspect().advancedUnlocked());
    EXPECT_TRUE (advancedAreaEnabled());

    clickButton ("btnAdvanced", unlockChord);
    EXPECT_FALSE (byId<juce::Button> ("btnAdvanced").getToggleState()) << "a switch that is on goes off, chord or not";
    clickButton ("btnAdvanced");
    EXPECT_TRUE (byId<juce::Button> ("btnAdvanced").getToggleState());
}

TEST_F (WindowButtons, CancelledManualAddressesLeaveTheListsAndTheFileAlone)
{
    const auto before = inspect().manualScanIPs();
    const auto settings = inspect().userSettings().getFile();
    const auto fileBefore = settings.loadFileAsString();
    clickButton ("btnSetIP");
    auto* dialog = waitForDialog ("Set Manual IP Addresses for Scanning");
    ASSERT_NE (dialog, nullptr);
    dynamic_cast<juce::TextEditor&> (*dialog->getContentComponent()->findChildWithID ("textEditorIP0")).setText ("10.200.0.99");
    click (*findButton (*dialog, "Cancel"));
    ASSERT_TRUE (dialogClosed ("Set Manual IP Addresses for Scanning"));

    EXPECT_EQ (inspect().manualScanIPs(), before);
    EXPECT_EQ (settings.loadFileAsString(), fileBefore);
}

TEST_F (WindowButtons, AboutShowsItsScreenAndEscapeClosesIt)
{
    clickButton ("btnAbout");
    auto* dialog = waitForDialog ("About");
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (dialog->getContentComponent()->getBounds(), juce::Rectangle<int> (845, 275)) << "the window fits its content";
    const auto offset = dialog->getScreenBounds().getCentre() - main->getScreenBounds().getCentre();
    EXPECT_LE (std::abs (offset.x) + std::abs (offset.y), 2) << "centred on the main window";

    static_cast<juce::Component*> (dialog)->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_TRUE (dialogClosed ("About"));
}
