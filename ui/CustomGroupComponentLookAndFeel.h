#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Group boxes drawn as a filled rounded panel with a hairline outline and the title set
// into a gap of the outline. Serves the main window's and the About screen's group boxes.
class CustomGroupComponentLookAndFeel : public juce::LookAndFeel_V4
{
public:
    // The panel's fill; set by the owner before the look-and-feel is assigned.
    juce::Colour fillColour { 0xff000000 };

    void drawGroupComponentOutline (juce::Graphics&, int width, int height, const juce::String& text,
                                    const juce::Justification& position, juce::GroupComponent&) override;
};
