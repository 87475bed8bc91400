#pragma once

#include "ui/UIColours.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A text button of the name and manual-address dialogs: grey with white text, the dialog as
// its listener. It never takes the keyboard, which stays in the dialog's text editors, where
// Return and Escape act.
inline void styleDialogButton (juce::TextButton& button, juce::Button::Listener& dialog)
{
    button.setColour (juce::TextButton::buttonColourId, UIColours::controlFill());
    button.setColour (juce::ComboBox::outlineColourId, UIColours::buttonOutline());
    button.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    button.addListener (&dialog);
    button.setWantsKeyboardFocus (false);
}
