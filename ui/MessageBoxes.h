#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Native message boxes that report the 0-based index of the pressed button on every
// platform. The framework's result codes differ by platform: where it draws the box itself
// (Linux), the first buttons return 1, 2, ... and the last one returns 0, as do Escape and
// closing the box. A box closed without a button counts as its last button (No, Cancel or
// OK), so that whoever waits for the answer always gets one.
void showMessageBox (const juce::MessageBoxOptions& options, std::function<void (int buttonIndex)> onButton);

// The button index that the framework's result code stands for in a box of numButtons.
int buttonIndexForResult (int result, int numButtons);
