#include "tests/ui/DialogTestSupport.h"
#include "ui/NameScreen.h"

namespace
{
const juce::String renameTooltip ("Rename device (max 29 alpha-numeric, underscore, hyphen, period, and space "
                                  "characters only)");
const juce::String invalidPassword ("Invalid password. Contact Support for access");

class NameScreenTest : public UiTest
{
protected:
    // A screen in its dialog, its start-up focus given, as 10 ms after opening.
    void open (int mode, const juce::String& currentName)
    {
        dialog.reset();
        screen = std::make_unique<NameScreen> (mode);
        screen->setCurrentName (currentName);
        dialog = std::make_unique<uitest::HeadlessDialog> (*screen);
        screen->timerCallback (0);
    }

    void TearDown() override
    {
        dialog.reset();
        screen.reset();
    }

    juce::TextEditor& editor() { return *uitest::childNamed<juce::TextEditor> (*screen, "newNameEdit"); }
    juce::Label& header() { return *uitest::childNamed<juce::Label> (*screen, "newNameHeader"); }
    juce::Button& button (const char* text) { return *uitest::buttonLabelled (*screen, text); }

    // The dialog is still open after everything the last action posted has run.
    bool staysOpen() { return ! dialog->waitForResult (100).has_value(); }

    std::unique_ptr<NameScreen> screen;
    std::unique_ptr<uitest::HeadlessDialog> dialog;
};
}

TEST_F (NameScreenTest, LayoutOfBothModes)
{
    for (const auto mode : { 0, 1 })
    {
        NameScreen screen (mode);
        EXPECT_EQ (screen.getBounds(), juce::Rectangle<int> (0, 0, 442, 141));
        const auto* label = uitest::childNamed<juce::Label> (screen, "newNameHeader");
        auto* edit = uitest::childNamed<juce::TextEditor> (screen, "newNameEdit");
        ASSERT_NE (label, nullptr);
        ASSERT_NE (edit, nullptr);
        EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (39, 19, 370, 24));
        EXPECT_EQ (edit->getBounds(), juce::Rectangle<int> (43, 50, 357, 29));
        EXPECT_EQ (uitest::buttonLabelled (screen, "OK")->getBounds(), juce::Rectangle<int> (41, 104, 152, 27));
        EXPECT_EQ (uitest::buttonLabelled (screen, "Cancel")->getBounds(), juce::Rectangle<int> (248, 104, 152, 27));
        EXPECT_EQ (label->getText(), mode == 0 ? "Name" : "Advanced Options Password");
        EXPECT_EQ (edit->getTooltip(), mode == 0 ? renameTooltip : juce::String());
        EXPECT_EQ (edit->getPasswordCharacter(), mode == 0 ? 0 : 0x2022);
        EXPECT_TRUE (screen.isTimerRunning (0));
        EXPECT_EQ (screen.getTimerInterval (0), 10);
    }
}

TEST_F (NameScreenTest, RenameKeepsOnlyNameCharactersUpTo29)
{
    open (0, "");
    dialog->type ("Stage#Rack/\xc3\xa9 _1-2.3!");
    EXPECT_EQ (editor().getText(), "StageRack _1-2.3");

    dialog->type ("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ (editor().getText(), "StageRack _1-2.3abcdefghijklm");
    EXPECT_EQ (editor().getText().length(), 29);

    editor().setText ("");
    editor().insertTextAtCaret ("Pasted: name\twith (tabs) & 40 characters!!");
    // A single-line editor turns the tab into a blank before the filter sees it.
    EXPECT_EQ (editor().getText(), "Pasted namewith tabs  40 char");
}

TEST_F (NameScreenTest, FocusAfterOpeningSelectsTheCurrentName)
{
    open (0, "FOH Console");
    EXPECT_FALSE (screen->isTimerRunning (0));
    EXPECT_TRUE (editor().hasKeyboardFocus (false));

    dialog->type ("M");
    EXPECT_EQ (editor().getText(), "M");
}

TEST_F (NameScreenTest, RenameOkAndReturnAccept)
{
    open (0, "FOH Console");
    dialog->type ("Monitors");
    button ("OK").triggerClick();
    EXPECT_EQ (dialog->waitForResult(), 1);
    EXPECT_EQ (screen->newName, "Monitors");

    open (0, "FOH Console");
    dialog->type ("Stage Left");
    dialog->press (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_EQ (dialog->waitForResult(), 1);
    EXPECT_EQ (screen->newName, "Stage Left");

    // An empty name is accepted; the caller then leaves the device alone.
    open (0, "FOH Console");
    dialog->press (juce::KeyPress (juce::KeyPress::deleteKey));
    button ("OK").triggerClick();
    EXPECT_EQ (dialog->waitForResult(), 1);
    EXPECT_EQ (screen->newName, "");
}

TEST_F (NameScreenTest, CancelAndEscapeEndWithZero)
{
    open (0, "FOH Console");
    button ("Cancel").triggerClick();
    EXPECT_EQ (dialog->waitForResult(), 0);

    open (1, "");
    dialog->type ("wev");
    dialog->press (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_EQ (dialog->waitForResult(), 0);
}

TEST_F (NameScreenTest, NameLongerThanTheLimitIsNotAccepted)
{
    // Only a current name put in by the caller can be this long: typing stops at 29.
    const juce::String longName ("A device name of thirty-five letters");
    open (0, longName);
    button ("OK").triggerClick();
    dialog->press (juce::KeyPress (juce::KeyPress::endKey));
    dialog->press (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_TRUE (staysOpen());
    EXPECT_EQ (editor().getText(), longName);

    // 29 characters counted as characters, not bytes.
    open (0, juce::String::repeatedString (juce::String::fromUTF8 ("\xc3\xa9"), 29));
    button ("OK").triggerClick();
    EXPECT_EQ (dialog->waitForResult(), 1);
}

TEST_F (NameScreenTest, BothPasswordsOpenExactly)
{
    for (const auto* password : { "Lumo?Pickaxe", "wev" })
    {
        open (1, "");
        dialog->type (password);
        EXPECT_EQ (editor().getText(), password);
        dialog->press (juce::KeyPress (juce::KeyPress::returnKey));
        EXPECT_EQ (dialog->waitForResult(), 1) << password;
    }
}

TEST_F (NameScreenTest, WrongPasswordShowsTheHeaderFor2500Ms)
{
    for (const auto* attempt : { "lumo?pickaxe", "WEV", " wev", "wev ", "Lumo?Pickax", "" })
    {
        open (1, "");
        dialog->type (attempt);
        button ("OK").triggerClick();
        EXPECT_TRUE (staysOpen()) << attempt;
        EXPECT_EQ (header().getText(), invalidPassword) << attempt;
        EXPECT_EQ (editor().getText(), attempt);
        EXPECT_TRUE (screen->isTimerRunning (1));
        EXPECT_EQ (screen->getTimerInterval (1), 2500);
    }

    // The focus left the editor meanwhile; the restore gives it back.
    juce::Component::unfocusAllComponents();
    ASSERT_FALSE (editor().hasKeyboardFocus (false));
    screen->timerCallback (1);
    EXPECT_FALSE (screen->isTimerRunning (1));
    EXPECT_EQ (header().getText(), "Advanced Options Password");
    EXPECT_TRUE (editor().hasKeyboardFocus (false));

    // Any number of attempts: the next one may still be right.
    dialog->type ("wev");
    dialog->press (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_EQ (dialog->waitForResult(), 1);
}

TEST_F (NameScreenTest, HeaderComesBackByItself)
{
    open (1, "");
    dialog->type ("guess");
    dialog->press (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_TRUE (staysOpen());
    EXPECT_EQ (header().getText(), invalidPassword);

    const auto end = juce::Time::getMillisecondCounter() + 20000;
    while (screen->isTimerRunning (1) && juce::Time::getMillisecondCounter() < end)
        uitest::runMessages (50);
    EXPECT_EQ (header().getText(), "Advanced Options Password");
}

TEST_F (NameScreenTest, PasswordShowsBulletsThatTheFontDraws)
{
    open (1, "");
    dialog->type ("wev");
    EXPECT_EQ (editor().getPasswordCharacter(), 0x2022);

    // The editor's face must hold the bullet itself: nothing falls back to another font.
    juce::Array<int> glyphs;
    juce::Array<float> offsets;
    editor().getFont().getGlyphPositions (juce::String::charToString (0x2022), glyphs, offsets);
    ASSERT_EQ (glyphs.size(), 1);
    EXPECT_GT (glyphs[0], 0);

    const auto font = editor().getFont();
    const auto image = uitest::render (30, 30, [&] (juce::Graphics& g)
    {
        g.setColour (juce::Colours::white);
        g.setFont (font);
        g.drawText (juce::String::charToString (0x2022), 0, 0, 30, 30, juce::Justification::centred);
    });
    EXPECT_GT (uitest::maxAlpha (image), 200);
}
