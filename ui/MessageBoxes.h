#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Native message boxes that report the 0-based index of the pressed button on every
// platform. The framework's result codes differ by platform (platform::buttonIndexForResult
// maps them). A box closed without a button counts as its last button (No, Cancel or OK),
// so that whoever waits for the answer always gets one.
void showMessageBox (const juce::MessageBoxOptions& options, std::function<void (int buttonIndex)> onButton);
