#pragma once

// Drives the application's windows in this process as a user would, through the message
// loop: clicks on buttons (with modifier keys held), the open message box and dialogs.
// Shared by the window tests and the window benchmark.

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

namespace windowdriver
{
// Runs the message loop until the condition holds (checked between short slices) or the
// time is up; the condition's last value.
bool runUntil (const std::function<bool()>& condition, int timeoutMs = 60000);
void runFor (int milliseconds);

// Clicks the button with the modifier keys held, and lets the click arrive.
void click (juce::Button& button, juce::ModifierKeys held = {});

// The first button, among the component's children and theirs, whose text is this.
juce::Button* findButton (juce::Component& parent, const juce::String& text);

// The message box on the desktop, if one is open.
juce::AlertWindow* openMessageBox();
// Waits for a box, then clicks its button with this text; false when either is missing.
bool answerMessageBox (const juce::String& buttonText, int timeoutMs = 60000);
// Presses Escape on the open box, or closes it as the window's close button would.
bool escapeMessageBox();
bool closeMessageBox();
// The box's message text.
juce::String messageOf (const juce::AlertWindow& box);

// The dialog window on the desktop with this title, if one is open.
juce::DialogWindow* openDialog (const juce::String& title);
juce::DialogWindow* waitForDialog (const juce::String& title, int timeoutMs = 10000);

// Remembers whether the condition held at any change of the components' visibility or
// enablement: a state that comes and goes within one slice of the message loop, as a short
// operation's does on a loaded machine, is seen all the same.
class ChangeWatch final : private juce::ComponentListener
{
public:
    ChangeWatch (std::vector<juce::Component*> watched, std::function<bool()> condition);
    ~ChangeWatch() override;

    bool seen() const { return held; }

private:
    void componentVisibilityChanged (juce::Component&) override { check(); }
    void componentEnablementChanged (juce::Component&) override { check(); }
    void check() { held = held || condition(); }

    std::vector<juce::Component::SafePointer<juce::Component>> components;
    std::function<bool()> condition;
    bool held = false;
};
}
