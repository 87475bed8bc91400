#pragma once

#include <juce_graphics/juce_graphics.h>

// The fixed colours of the window, shared by its widgets and look-and-feels.
namespace UIColours
{
    // Group boxes, combo boxes and the log view, focused or not.
    inline juce::Colour outline()          { return juce::Colour (0xff191919); }

    // Inside of the main window's group boxes; the log view's scroll-bar thumb.
    inline juce::Colour panelFill()        { return juce::Colour (0xff3c3c3c); }

    // Behind the log text and the progress bars.
    inline juce::Colour fieldBackground()  { return juce::Colour (0xff2a2a2a); }

    // The progress bars' foreground.
    inline juce::Colour accentBlue()       { return juce::Colour (0xff2a74bf); }

    // The board combo box's background and the text buttons.
    inline juce::Colour controlFill()      { return juce::Colour (0xff454545); }

    // Around the text buttons.
    inline juce::Colour buttonOutline()    { return juce::Colour (0xff2d2d2d); }
}
