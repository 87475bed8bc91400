#include "tests/ui/DialogTestSupport.h"
#include "ui/SetIP.h"

#include <stdexcept>

namespace
{
const juce::StringArray defaults { "10.10.251.1", "10.10.251.2", "10.10.251.3", "10.10.251.4" };
const juce::Colour yellow (0xffffff00);

class SetIPTest : public UiTest
{
protected:
    void SetUp() override { dialog = std::make_unique<uitest::HeadlessDialog> (screen); }
    void TearDown() override { dialog.reset(); }

    juce::TextEditor& editor (int row) { return *uitest::childNamed<juce::TextEditor> (screen, "textEditorIP" + juce::String (row)); }
    juce::Label& label (int row) { return *uitest::childNamed<juce::Label> (screen, "labelIP" + juce::String (row)); }

    juce::ToggleButton& toggle (int row)
    {
        int seen = 0;
        for (auto* child : screen.getChildren())
            if (auto* button = dynamic_cast<juce::ToggleButton*> (child))
                if (seen++ == row)
                    return *button;
        throw std::logic_error ("no such toggle");
    }

    void click (const char* text)
    {
        uitest::buttonLabelled (screen, text)->triggerClick();
        uitest::runMessages (20);
    }

    juce::StringArray rowTexts()
    {
        juce::StringArray texts;
        for (int row = 0; row < 4; ++row)
            texts.add (editor (row).getText());
        return texts;
    }

    juce::StringArray labelTexts()
    {
        juce::StringArray texts;
        for (int row = 0; row < 4; ++row)
            texts.add (label (row).getText());
        return texts;
    }

    std::vector<bool> toggleStates()
    {
        std::vector<bool> states;
        for (int row = 0; row < 4; ++row)
            states.push_back (toggle (row).getToggleState());
        return states;
    }

    static std::vector<bool> flagsOf (const juce::Array<bool>& flags)
    {
        return std::vector<bool> (flags.begin(), flags.end());
    }

    // Every row valid, with row 1 made to hold the given text.
    void okWithRow1 (const juce::String& text, bool useFlag)
    {
        editor (1).setText (text, true);
        toggle (1).setToggleState (useFlag, juce::dontSendNotification);
        click ("OK");
    }

    bool staysOpen() { return ! dialog->waitForResult (100).has_value(); }

    SetIP screen;
    std::unique_ptr<uitest::HeadlessDialog> dialog;
};
}

TEST_F (SetIPTest, LayoutOfTheRows)
{
    EXPECT_EQ (screen.getBounds(), juce::Rectangle<int> (0, 0, 395, 260));
    for (int row = 0; row < 4; ++row)
    {
        EXPECT_EQ (label (row).getBounds(), juce::Rectangle<int> (17, 27 + 48 * row, 75, 29));
        EXPECT_EQ (editor (row).getBounds(), juce::Rectangle<int> (122, 27 + 48 * row, 147, 29));
        EXPECT_EQ (toggle (row).getBounds(), juce::Rectangle<int> (294, 22 + 48 * row, 85, 40));
        EXPECT_EQ (editor (row).getComponentID(), "textEditorIP" + juce::String (row));
        EXPECT_EQ (label (row).getComponentID(), "labelIP" + juce::String (row));
        EXPECT_EQ (toggle (row).getButtonText(), "  Use IP");
    }
    EXPECT_EQ (uitest::buttonLabelled (screen, "Default")->getBounds(), juce::Rectangle<int> (17, 230, 110, 27));
    EXPECT_EQ (uitest::buttonLabelled (screen, "OK")->getBounds(), juce::Rectangle<int> (147, 230, 110, 27));
    EXPECT_EQ (uitest::buttonLabelled (screen, "Cancel")->getBounds(), juce::Rectangle<int> (267, 230, 110, 27));
}

TEST_F (SetIPTest, StartsWithTheDefaults)
{
    uitest::runMessages (20);
    EXPECT_EQ (rowTexts(), defaults);
    EXPECT_EQ (labelTexts(), juce::StringArray ({ "Device #1", "Device #2", "Device #3", "Device #4" }));
    EXPECT_EQ (toggleStates(), std::vector<bool> (4, false));
    EXPECT_EQ (screen.addresses, defaults);
    EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> (4, false));
    EXPECT_FALSE (screen.isTimerRunning (0));
}

TEST_F (SetIPTest, LoadKeepsOnlyUsableAddresses)
{
    screen.loadAddresses ({ "10.10.251.7", "10.10.251.0", "192.168.1.20", "10.0.0.1" }, { true, true, false, true });
    EXPECT_EQ (rowTexts(), juce::StringArray ({ "10.10.251.7", "10.10.251.2", "192.168.1.20", "10.0.0.1" }));
    EXPECT_EQ (toggleStates(), std::vector<bool> ({ true, false, false, true }));
    EXPECT_EQ (screen.addresses, rowTexts());
    EXPECT_EQ (flagsOf (screen.useFlags), toggleStates());

    // Short lists: the missing rows stay at their defaults, the missing flags off.
    screen.loadAddresses ({ "10.0.0.9", "10.0.0.10" }, { true });
    EXPECT_EQ (rowTexts(), juce::StringArray ({ "10.0.0.9", "10.0.0.10", "10.10.251.3", "10.10.251.4" }));
    EXPECT_EQ (toggleStates(), std::vector<bool> ({ true, false, false, false }));
    EXPECT_EQ (screen.addresses, rowTexts());

    screen.loadAddresses ({}, {});
    EXPECT_EQ (rowTexts(), defaults);
    EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> (4, false));
}

TEST_F (SetIPTest, EditorsTakeOnlyAddressCharacters)
{
    editor (0).setText ("");
    editor (0).grabKeyboardFocus();
    dialog->type ("192.168.1.20a/ 24-9999");
    EXPECT_EQ (editor (0).getText(), "192.168.1.20249");
}

TEST_F (SetIPTest, OkChecksEveryRowWhetherUsedOrNot)
{
    struct Case { const char* text; bool useFlag; bool valid; };
    const Case cases[] = {
        { "10.10.251.255", false, false },
        { "10.10.251.255", true, false },
        { "10.10.251.0", false, false },
        { "", false, false },
        { "", true, false },
        { "256.1.1.1", false, false },
        { "10.1.1", true, false },
        { "10..1.1", true, false },
        { "10.1.1.1.", true, false },
        { "192.168.0.1", true, true },
        { "192.168.0.1", false, true },
    };

    for (const auto& c : cases)
    {
        screen.loadAddresses ({ "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4" }, { true, false, true, false });
        okWithRow1 (c.text, c.useFlag);
        const auto result = dialog->waitForResult (c.valid ? 5000 : 100);
        if (c.valid)
        {
            EXPECT_EQ (result, 1) << c.text;
            EXPECT_EQ (screen.addresses, juce::StringArray ({ "10.0.0.1", c.text, "10.0.0.3", "10.0.0.4" }));
            EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> ({ true, c.useFlag, true, false }));
            dialog = std::make_unique<uitest::HeadlessDialog> (screen);
            continue;
        }

        EXPECT_FALSE (result.has_value()) << c.text;
        EXPECT_EQ (labelTexts(), juce::StringArray ({ "Device #1", "INVALID IP", "Device #3", "Device #4" })) << c.text;
        EXPECT_EQ (label (1).findColour (juce::Label::textColourId), yellow);
        EXPECT_EQ (label (0).findColour (juce::Label::textColourId), juce::Colours::white);
        EXPECT_TRUE (screen.isTimerRunning (0));
        EXPECT_EQ (screen.getTimerInterval (0), 500);
        // Nothing is stored: the lists still hold what was loaded.
        EXPECT_EQ (screen.addresses, juce::StringArray ({ "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4" }));
        EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> ({ true, false, true, false }));
    }
}

TEST_F (SetIPTest, OkStoresNormalisedAddressesAndTheToggles)
{
    for (int row = 0; row < 4; ++row)
        editor (row).setText (juce::StringArray { "010.010.251.001", "10.10.251.20", "+10.0.0.7", "192.168.001.020" }[row]);
    toggle (2).triggerClick();
    toggle (3).triggerClick();
    uitest::runMessages (20);
    click ("OK");

    EXPECT_EQ (dialog->waitForResult(), 1);
    EXPECT_EQ (screen.addresses, juce::StringArray ({ "10.10.251.1", "10.10.251.20", "10.0.0.7", "192.168.1.20" }));
    EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> ({ false, false, true, true }));
}

TEST_F (SetIPTest, InvalidRowsBlinkThenReturnToTheirNames)
{
    editor (0).setText ("10.0.0.0");
    editor (3).setText ("1.2.3");
    uitest::runMessages (20);
    click ("OK");
    ASSERT_TRUE (staysOpen());

    // Tick by tick, 500 ms apart: blank, shown, blank, then shown steadily until 4 s.
    const juce::StringArray blinking[] = {
        { "INVALID IP", "Device #2", "Device #3", "INVALID IP" },
        { "", "Device #2", "Device #3", "" },
        { "INVALID IP", "Device #2", "Device #3", "INVALID IP" },
        { "", "Device #2", "Device #3", "" },
        { "INVALID IP", "Device #2", "Device #3", "INVALID IP" },
        { "INVALID IP", "Device #2", "Device #3", "INVALID IP" },
        { "INVALID IP", "Device #2", "Device #3", "INVALID IP" },
        { "INVALID IP", "Device #2", "Device #3", "INVALID IP" },
    };
    for (int tick = 0; tick < 8; ++tick)
    {
        EXPECT_EQ (labelTexts(), blinking[tick]) << "before tick " << tick + 1;
        EXPECT_TRUE (screen.isTimerRunning (0));
        EXPECT_EQ (label (0).findColour (juce::Label::textColourId), yellow);
        screen.timerCallback (0);
    }

    EXPECT_EQ (labelTexts(), juce::StringArray ({ "Device #1", "Device #2", "Device #3", "Device #4" }));
    EXPECT_FALSE (screen.isTimerRunning (0));
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ (label (row).findColour (juce::Label::textColourId), juce::Colours::white);
}

TEST_F (SetIPTest, EditingEndsTheBlinkingAtTheNextTick)
{
    editor (2).setText ("10.0.0.255");
    uitest::runMessages (20);
    click ("OK");
    screen.timerCallback (0);
    ASSERT_EQ (label (2).getText(), "");

    editor (0).grabKeyboardFocus();
    dialog->type ("5");
    uitest::runMessages (20);
    screen.timerCallback (0);

    EXPECT_EQ (labelTexts(), juce::StringArray ({ "Device #1", "Device #2", "Device #3", "Device #4" }));
    EXPECT_EQ (label (2).findColour (juce::Label::textColourId), juce::Colours::white);
    EXPECT_FALSE (screen.isTimerRunning (0));
}

TEST_F (SetIPTest, MendedRowLosesItsMarkOnTheNextOk)
{
    editor (0).setText ("10.0.0.0");
    editor (1).setText ("10.0.0.255");
    uitest::runMessages (20);
    click ("OK");

    // Row 1 mended and OK pressed again before the tick that ends the blinking.
    editor (0).setText ("10.0.0.1", false);
    click ("OK");
    screen.timerCallback (0);
    EXPECT_EQ (labelTexts(), juce::StringArray ({ "Device #1", "", "Device #3", "Device #4" }));
    EXPECT_EQ (label (0).findColour (juce::Label::textColourId), juce::Colours::white);
}

TEST_F (SetIPTest, DefaultResetsTheRowsOnlyAndCancelKeepsTheLists)
{
    screen.loadAddresses ({ "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4" }, { true, true, false, true });
    click ("Default");
    EXPECT_EQ (rowTexts(), defaults);
    EXPECT_EQ (toggleStates(), std::vector<bool> (4, false));
    EXPECT_EQ (screen.addresses, juce::StringArray ({ "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4" }));
    EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> ({ true, true, false, true }));

    click ("Cancel");
    EXPECT_EQ (dialog->waitForResult(), 0);
    EXPECT_EQ (screen.addresses, juce::StringArray ({ "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4" }));
    EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> ({ true, true, false, true }));
}

TEST_F (SetIPTest, DefaultThenOkStoresTheDefaults)
{
    screen.loadAddresses ({ "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4" }, { true, true, true, true });
    click ("Default");
    click ("OK");
    EXPECT_EQ (dialog->waitForResult(), 1);
    EXPECT_EQ (screen.addresses, defaults);
    EXPECT_EQ (flagsOf (screen.useFlags), std::vector<bool> (4, false));
}

TEST_F (SetIPTest, ReturnMovesToTheNextRowAndRoundAgain)
{
    editor (0).grabKeyboardFocus();
    for (const auto next : { 1, 2, 3, 0 })
    {
        dialog->press (juce::KeyPress (juce::KeyPress::returnKey));
        uitest::runMessages (20);
        EXPECT_TRUE (editor (next).hasKeyboardFocus (false)) << "row " << next;
    }
    EXPECT_TRUE (staysOpen());
}

TEST_F (SetIPTest, EscapeInAnEditorLeavesTheDialogOpen)
{
    editor (2).grabKeyboardFocus();
    dialog->press (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_TRUE (staysOpen());

    // With no editor focused, the window's own Escape handling closes it.
    juce::Component::unfocusAllComponents();
    dialog->press (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_EQ (dialog->waitForResult(), 0);
}
