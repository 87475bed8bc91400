#include "ui/NameScreen.h"

#include "ui/DialogButton.h"
#include "ui/Typefaces.h"

namespace
{
constexpr int passwordMode = 1;

constexpr int focusTimer = 0;
constexpr int headerTimer = 1;
constexpr int focusDelayMs = 10;
constexpr int invalidPasswordShowMs = 2500;

// The characters a new device name may hold; the editor drops any other typed or pasted.
const char* const nameCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-. ";

const juce::StringArray acceptedPasswords { "Lumo?Pickaxe", "wev" };

const juce::Colour background (0xff353535);
}

NameScreen::NameScreen (int screenMode)
    : mode (screenMode)
{
    juce::LookAndFeel::getDefaultLookAndFeel().setDefaultSansSerifTypeface (robotoRegularTypeface());
    const auto roboto19 = juce::Font (robotoRegularTypeface()).withHeight (19.0f);

    addAndMakeVisible (okButton);
    styleDialogButton (okButton, *this);
    okButton.setBounds (41, 104, 152, 27);

    addAndMakeVisible (cancelButton);
    styleDialogButton (cancelButton, *this);
    cancelButton.setBounds (248, 104, 152, 27);

    addAndMakeVisible (headerLabel);
    headerLabel.setText (headerText(), juce::dontSendNotification);
    headerLabel.setFont (roboto19);
    headerLabel.setJustificationType (juce::Justification::centredLeft);
    headerLabel.setColour (juce::Label::backgroundColourId, background);
    headerLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    headerLabel.setMinimumHorizontalScale (1.0f);
    headerLabel.setWantsKeyboardFocus (false);
    headerLabel.setBounds (39, 19, 370, 24);

    addAndMakeVisible (nameEditor);
    nameEditor.addListener (this);
    nameEditor.setFont (roboto19);
    nameEditor.setColour (juce::TextEditor::backgroundColourId, background);
    nameEditor.setColour (juce::TextEditor::textColourId, juce::Colours::white);
    nameEditor.setColour (juce::TextEditor::outlineColourId, background.brighter (0.2f));
    nameEditor.setColour (juce::TextEditor::focusedOutlineColourId, background.brighter (0.4f));
    nameEditor.setColour (juce::TextEditor::highlightColourId, juce::Colour (0xff1c4d7f));
    nameEditor.setMultiLine (false);
    nameEditor.setReturnKeyStartsNewLine (false);
    nameEditor.setReadOnly (false);
    nameEditor.setCaretVisible (true);
    nameEditor.setPopupMenuEnabled (true);
    nameEditor.setSelectAllWhenFocused (true);
    nameEditor.setBounds (headerLabel.getX() + 4, headerLabel.getBottom() + 7, 357, 29);

    if (mode == passwordMode)
    {
        nameEditor.setPasswordCharacter ((juce::juce_wchar) 0x2022);
    }
    else
    {
        nameEditor.setInputRestrictions (maxNameLength, nameCharacters);
        nameEditor.setTooltip ("Rename device (max " + juce::String (maxNameLength)
                               + " alpha-numeric, underscore, hyphen, period, and space characters only)");
    }

    setSize (442, 141);
    startTimer (focusTimer, focusDelayMs);
}

NameScreen::~NameScreen()
{
    stopTimer (focusTimer);
    stopTimer (headerTimer);
}

void NameScreen::paint (juce::Graphics& g)
{
    g.fillAll (background);
}

void NameScreen::resized()
{
}

void NameScreen::setCurrentName (const juce::String& name)
{
    newName = name;
    nameEditor.setText (name, false);
}

void NameScreen::checkAndAccept()
{
    if (mode == passwordMode)
    {
        if (acceptedPasswords.contains (nameEditor.getText()))
        {
            endDialog (1);
            return;
        }
        headerLabel.setText ("Invalid password. Contact Support for access", juce::dontSendNotification);
        startTimer (headerTimer, invalidPasswordShowMs);
        return;
    }

    newName = nameEditor.getText();
    if (newName.length() <= maxNameLength)
        endDialog (1);
}

void NameScreen::timerCallback (int timerID)
{
    if (timerID == focusTimer)
    {
        stopTimer (focusTimer);
        nameEditor.grabKeyboardFocus();
    }
    else if (timerID == headerTimer)
    {
        stopTimer (headerTimer);
        nameEditor.grabKeyboardFocus();
        headerLabel.setText (headerText(), juce::dontSendNotification);
    }
}

void NameScreen::textEditorReturnKeyPressed (juce::TextEditor&)
{
    checkAndAccept();
}

void NameScreen::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    endDialog (0);
}

void NameScreen::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        checkAndAccept();
    else if (button == &cancelButton)
        endDialog (0);
}

void NameScreen::buttonStateChanged (juce::Button*)
{
}

void NameScreen::endDialog (int result)
{
    getTopLevelComponent()->exitModalState (result);
}

juce::String NameScreen::headerText() const
{
    return mode == passwordMode ? "Advanced Options Password" : "Name";
}
