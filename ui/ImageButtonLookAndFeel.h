#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Toolbar buttons: the icon above, the button's text below, both laid out from the
// button's own size; the image rectangle the button passes in is not used.
class ImageButtonLookAndFeel : public juce::LookAndFeel_V4
{
public:
    void drawImageButton (juce::Graphics&, juce::Image*, int imageX, int imageY, int imageW, int imageH,
                          const juce::Colour& overlayColour, float imageOpacity, juce::ImageButton&) override;
};
