#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Tooltips as rounded boxes whose top-left corner sits at the mouse, with the text wrapped
// at 400 pixels in tipFont.
class UITooltipWindowLookAndFeel : public juce::LookAndFeel_V4
{
public:
    // Set by the owner before the look-and-feel is assigned.
    juce::Font tipFont;
    int marginX = 5;
    int marginY = 2;

    juce::Rectangle<int> getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                           juce::Rectangle<int> parentArea) override;
    void drawTooltip (juce::Graphics&, const juce::String& text, int width, int height) override;

    // The text as both operations lay it out: wrapped by word, at most 400 pixels wide.
    juce::TextLayout layoutTooltipText (const juce::String& text, juce::Colour colour) const;
};
