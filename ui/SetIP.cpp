#include "ui/SetIP.h"

#include "discovery/AddressText.h"
#include "ui/DialogButton.h"
#include "ui/Typefaces.h"
#include "ui/UIColours.h"

namespace
{
constexpr int blinkTimer = 0;
constexpr int blinkTickMs = 500;
// Eight ticks: blank and shown twice, then shown steadily until the labels return at 4 s.
constexpr int blinkTicks = 8;
constexpr int steadyFromTick = 3;

constexpr int rowPitch = 48;
constexpr int rowTop = 27;
constexpr int buttonTop = 230;

const juce::String invalidText ("INVALID IP");
const juce::Colour background (0xff353535);
const juce::Colour invalidColour (0xffffff00);

juce::String defaultAddress (int row)
{
    return "10.10.251." + juce::String (row + 1);
}

juce::String rowName (int row)
{
    return "Device #" + juce::String (row + 1);
}

bool isUsable (const juce::String& address)
{
    return isUsableHostAddress (address.toStdString());
}
}

SetIP::SetIP()
{
    juce::LookAndFeel::getDefaultLookAndFeel().setDefaultSansSerifTypeface (robotoRegularTypeface());

    for (int row = 0; row < rowCount; ++row)
        createRow (row);

    createButton (defaultButton, { 17, buttonTop, buttonWidth, buttonHeight });
    defaultButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff3c3c3c).brighter (0.05f));
    defaultButton.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff191919).brighter (0.1f));
    createButton (okButton, { defaultButton.getRight() + 20, buttonTop, buttonWidth, buttonHeight });
    createButton (cancelButton, { okButton.getRight() + 10, buttonTop, buttonWidth, buttonHeight });

    setSize (395, 260);
    setDefaults();
}

SetIP::~SetIP()
{
    stopTimer (blinkTimer);
}

void SetIP::createRow (int row)
{
    const auto top = rowTop + rowPitch * row;

    auto& label = rowLabels[(size_t) row];
    addAndMakeVisible (label);
    label.setName ("labelIP" + juce::String (row));
    label.setComponentID (label.getName());
    label.setText (rowName (row), juce::dontSendNotification);
    label.setFont (juce::Font (robotoRegularTypeface()).withHeight (17.0f));
    label.setColour (juce::Label::backgroundColourId, background);
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setJustificationType (juce::Justification::centredLeft);
    label.setWantsKeyboardFocus (false);
    label.setBounds (17, top, 75, 29);

    auto& editor = addressEditors[(size_t) row];
    addAndMakeVisible (editor);
    editor.setName ("textEditorIP" + juce::String (row));
    editor.setComponentID (editor.getName());
    editor.addListener (this);
    editor.setFont (juce::Font (robotoMonoRegularTypeface()).withHeight (19.0f));
    editor.setColour (juce::TextEditor::backgroundColourId, UIColours::fieldBackground());
    editor.setColour (juce::TextEditor::textColourId, juce::Colours::white);
    editor.setColour (juce::TextEditor::outlineColourId, UIColours::outline());
    editor.setColour (juce::TextEditor::focusedOutlineColourId, UIColours::outline());
    editor.setColour (juce::TextEditor::highlightColourId, juce::Colour (0xff1c4d7f));
    editor.setMultiLine (false);
    editor.setReturnKeyStartsNewLine (false);
    editor.setReadOnly (false);
    editor.setCaretVisible (true);
    editor.setPopupMenuEnabled (true);
    editor.setSelectAllWhenFocused (false);
    editor.setInputRestrictions (15, "0123456789.");
    editor.setBounds (label.getRight() + 30, top, 147, 29);

    auto& toggle = useToggles[(size_t) row];
    addAndMakeVisible (toggle);
    toggle.setButtonText ("  Use IP");
    toggle.addListener (this);
    toggle.setColour (juce::ToggleButton::textColourId, juce::Colours::white);
    toggle.setToggleState (false, juce::dontSendNotification);
    toggle.setWantsKeyboardFocus (false);
    toggle.setBounds (editor.getRight() + 25, top - 5, 85, 40);
}

void SetIP::createButton (juce::TextButton& button, juce::Rectangle<int> bounds)
{
    addAndMakeVisible (button);
    styleDialogButton (button, *this);
    button.setBounds (bounds);
}

void SetIP::paint (juce::Graphics& g)
{
    g.fillAll (background);
}

void SetIP::resized()
{
}

void SetIP::setDefaults()
{
    showDefaultsInRows();

    addresses.clear();
    useFlags.clear();
    for (int row = 0; row < rowCount; ++row)
    {
        addresses.add (addressEditors[(size_t) row].getText());
        useFlags.add (useToggles[(size_t) row].getToggleState());
    }
}

void SetIP::loadAddresses (juce::StringArray addressesToLoad, juce::Array<bool> flagsToLoad)
{
    setDefaults();

    for (int row = 0; row < rowCount; ++row)
    {
        // Out-of-range entries read as empty and false: a short list leaves rows at default.
        const auto address = addressesToLoad[row];
        if (! isUsable (address))
            continue;

        const auto flag = flagsToLoad[row];
        addressEditors[(size_t) row].setText (address, true);
        useToggles[(size_t) row].setToggleState (flag, juce::dontSendNotification);
        addresses.set (row, address);
        useFlags.set (row, flag);
    }
}

void SetIP::showDefaultsInRows()
{
    for (int row = 0; row < rowCount; ++row)
    {
        addressEditors[(size_t) row].setText (defaultAddress (row), true);
        useToggles[(size_t) row].setToggleState (false, juce::dontSendNotification);
    }
}

void SetIP::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        acceptIfAllRowsValid();
    else if (button == &cancelButton)
        endDialog (0);
    else if (button == &defaultButton)
        showDefaultsInRows();
}

void SetIP::buttonStateChanged (juce::Button*)
{
}

// Every row is checked, switched on or not: an address kept now may be switched on later.
void SetIP::acceptIfAllRowsValid()
{
    auto allValid = true;
    for (int row = 0; row < rowCount; ++row)
    {
        auto& label = rowLabels[(size_t) row];
        const auto valid = isUsable (addressEditors[(size_t) row].getText());
        label.setColour (juce::Label::textColourId, valid ? juce::Colours::white : invalidColour);
        // A row mended since the last OK may still be blinking: it gets its own name back.
        label.setText (valid ? rowName (row) : invalidText, juce::dontSendNotification);
        allValid = allValid && valid;
    }

    if (! allValid)
    {
        repaint();
        blinkCount = blinkTicks;
        startTimer (blinkTimer, blinkTickMs);
        return;
    }

    addresses.clear();
    useFlags.clear();
    for (int row = 0; row < rowCount; ++row)
    {
        addresses.add (normaliseIPv4Text (addressEditors[(size_t) row].getText().toStdString()));
        useFlags.add (useToggles[(size_t) row].getToggleState());
    }
    endDialog (1);
}

void SetIP::timerCallback (int timerID)
{
    if (timerID != blinkTimer)
        return;

    --blinkCount;
    if (blinkCount <= 0)
    {
        stopTimer (blinkTimer);
        for (int row = 0; row < rowCount; ++row)
        {
            rowLabels[(size_t) row].setColour (juce::Label::textColourId, juce::Colours::white);
            rowLabels[(size_t) row].setText (rowName (row), juce::dontSendNotification);
        }
        repaint();
        return;
    }

    const auto show = blinkCount <= steadyFromTick || blinkCount % 2 == 0;
    for (auto& label : rowLabels)
        if (label.getText() == invalidText || label.getText().isEmpty())
            label.setText (show ? invalidText : juce::String(), juce::dontSendNotification);
    repaint();
}

void SetIP::textEditorTextChanged (juce::TextEditor& editor)
{
    // Mending an address ends the blinking at the next tick.
    if (rowOf (editor) >= 0 && blinkCount > 0)
        blinkCount = 0;
}

void SetIP::textEditorReturnKeyPressed (juce::TextEditor& editor)
{
    const auto row = rowOf (editor);
    if (row >= 0)
        addressEditors[(size_t) ((row + 1) % rowCount)].grabKeyboardFocus();
}

void SetIP::textEditorEscapeKeyPressed (juce::TextEditor&)
{
}

int SetIP::rowOf (const juce::TextEditor& editor) const
{
    for (int row = 0; row < rowCount; ++row)
        if (editor.getComponentID() == addressEditors[(size_t) row].getComponentID())
            return row;
    return -1;
}

void SetIP::endDialog (int result)
{
    getTopLevelComponent()->exitModalState (result);
}
