#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// The content of the manual-address dialog: four scan addresses, each with its use flag.
// OK checks every row and ends the dialog with 1 only when all four hold usable host
// addresses; then addresses and useFlags hold the result. Invalid rows blink
// "INVALID IP" instead. Cancel ends the dialog with 0 and leaves the results as they were.
// Lives on the message thread, owned by its dialog window.
class SetIP final : public juce::Component,
                    public juce::MultiTimer,
                    public juce::TextEditor::Listener,
                    public juce::Button::Listener
{
public:
    static constexpr int rowCount = 4;

    SetIP();
    ~SetIP() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    void timerCallback (int timerID) override;
    void textEditorTextChanged (juce::TextEditor&) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;
    void buttonClicked (juce::Button*) override;
    void buttonStateChanged (juce::Button*) override;

    // The caller's addresses and flags; a row whose address is not a usable host address
    // keeps its default address, switched off.
    void loadAddresses (juce::StringArray addressesToLoad, juce::Array<bool> flagsToLoad);

    // Every row back to its default address, switched off; the results follow the rows.
    void setDefaults();

private:
    void createRow (int row);
    void createButton (juce::TextButton& button, juce::Rectangle<int> bounds);
    void showDefaultsInRows();
    void acceptIfAllRowsValid();
    // The row of one of the four address editors, or -1.
    int rowOf (const juce::TextEditor& editor) const;
    void endDialog (int result);

    juce::TextButton okButton { "OK" };
    juce::TextButton cancelButton { "Cancel" };
    juce::TextButton defaultButton { "Default" };
    // Ticks of the invalid-row blinking still to come; 0 when nothing blinks.
    int blinkCount = 0;

public:
    juce::StringArray addresses;
    juce::Array<bool> useFlags;

private:
    std::array<juce::TextEditor, rowCount> addressEditors;
    std::array<juce::Label, rowCount> rowLabels;
    std::array<juce::ToggleButton, rowCount> useToggles;
    const int buttonWidth = 110;
    const int buttonHeight = 27;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SetIP)
};
