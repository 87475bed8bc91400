#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Flat linear progress bars with slightly rounded ends. An indeterminate value draws no
// foreground; a bar that would be drawn circular draws nothing.
class CustomProgressBarLookAndFeel : public juce::LookAndFeel_V4
{
public:
    void drawProgressBar (juce::Graphics&, juce::ProgressBar&, int width, int height, double progress,
                          const juce::String& textToShow) override;
};
