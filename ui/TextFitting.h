#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Shortening, aligning and wrapping text to the pixel width of a label or a text editor.
// Every width is the font's floating-point string width.

struct EllipsizedLine
{
    juce::String text;
    bool truncated = false;
};

// Lines "heading<separator> value" with each value moved to the blank count that brings it
// closest to tabStop pixels from the line start; lines without the separator are kept.
juce::String alignColumnsAtSeparator (const juce::Font& font, const juce::String& text,
                                      juce::juce_wchar separator, float tabStop);

// The line unchanged when it fits maxWidth - 1, else cut and ended with "...".
EllipsizedLine ellipsizeLine (const juce::Font& font, const juce::String& line, float maxWidth);

// ellipsizeLine on every line of text.
juce::String ellipsizeLines (const juce::Font& font, const juce::String& text, float maxWidth);

// Word-wraps text behind "prefix "; continuation lines are indented with blanks to start
// under the text. A word wider than the room left stays whole on a line of its own.
juce::String wrapWithHangingIndent (const juce::Font& font, const juce::String& text,
                                    const juce::String& prefix, float maxWidth);

// The text fitted to a label's inner width or to the width a text editor wraps at: wrapped behind prefix when
// aligned, else ellipsized line by line. A label also takes the fitted text (no
// notification); an editor is left alone; any other component gets the text back unchanged.
juce::String fitTextToComponent (juce::Component* component, const juce::String& text,
                                 bool aligned, const juce::String& prefix);
