#pragma once

#include <juce_core/juce_core.h>

// How MainComponent::appendLog writes one line of the log view.
struct LogLineOptions
{
    bool replaceLastLine = false;   // the line takes the place of the view's last entry
    int level = 0;                  // 1 information, 2 success, 3 warning, 4 error
    bool clearFirst = false;        // the view is emptied before the line is written
};

// The symbol the log view shows in front of a line of the level; empty for any other level.
// The log font carries all four glyphs itself.
inline juce::String logLevelSymbol (int level)
{
    switch (level)
    {
        case 1:  return juce::String::charToString ((juce::juce_wchar) 0x2022);   // bullet
        case 2:  return juce::String::charToString ((juce::juce_wchar) 0x221a);   // square root
        case 3:  return juce::String::charToString ((juce::juce_wchar) 0x2206);   // increment
        case 4:  return juce::String::charToString ((juce::juce_wchar) 0x03a7);   // Greek capital chi
        default: return {};
    }
}
