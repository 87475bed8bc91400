#include "ui/CustomProgressBarLookAndFeel.h"

namespace
{
constexpr float cornerSize = 2.0f;

// This framework version has no style setting on a bar: like LookAndFeel_V4, a square bar
// is a circular one.
bool isLinear (const juce::ProgressBar& bar)
{
    return bar.getWidth() != bar.getHeight();
}
}

void CustomProgressBarLookAndFeel::drawProgressBar (juce::Graphics& g, juce::ProgressBar& bar, int width, int height,
                                                    double progress, const juce::String& textToShow)
{
    if (! isLinear (bar))
        return;

    const auto area = bar.getLocalBounds().toFloat();
    g.setColour (bar.findColour (juce::ProgressBar::backgroundColourId));
    g.fillRoundedRectangle (area, cornerSize);

    if (progress >= 0.0 && progress <= 1.0)
    {
        juce::Path clip;
        clip.addRoundedRectangle (area, cornerSize);
        g.reduceClipRegion (clip);

        g.setColour (bar.findColour (juce::ProgressBar::foregroundColourId));
        g.fillRoundedRectangle (area.withWidth ((float) progress * area.getWidth()), cornerSize);
    }

    if (textToShow.isNotEmpty())
    {
        g.setColour (juce::Colours::white);
        g.setFont (0.6f * (float) height);
        g.drawText (textToShow, 0, 0, width, height, juce::Justification::centred, false);
    }
}
