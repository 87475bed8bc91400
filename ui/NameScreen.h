#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The content of the rename dialog (mode 0: a new device name) and of the Advanced Options
// password dialog (mode 1). It ends its dialog itself, by ending the modal state of its
// top-level window with 1 (accepted) or 0 (cancelled); after 1 the rename dialog's caller
// reads newName. Lives on the message thread, owned by its dialog window.
class NameScreen final : public juce::Component,
                         public juce::MultiTimer,
                         public juce::TextEditor::Listener,
                         public juce::Button::Listener
{
public:
    static constexpr int maxNameLength = 29;

    explicit NameScreen (int mode);
    ~NameScreen() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    void timerCallback (int timerID) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;
    void buttonClicked (juce::Button*) override;
    void buttonStateChanged (juce::Button*) override;

    // The name the editor starts with: the device's current name, or empty for a password.
    void setCurrentName (const juce::String& name);

    // OK and Return: accepts a name that fits, or a password that opens the options.
    void checkAndAccept();

    const int mode;
    juce::String newName;

private:
    void endDialog (int result);
    juce::String headerText() const;

    juce::TextButton okButton { "OK" };
    juce::TextButton cancelButton { "Cancel" };
    juce::Label headerLabel { "newNameHeader" };
    juce::TextEditor nameEditor { "newNameEdit" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NameScreen)
};
