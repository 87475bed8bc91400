#include "ui/UITooltipWindowLookAndFeel.h"

namespace
{
constexpr float maxTipWidth = 400.0f;
constexpr float cornerSize = 5.0f;
}

juce::TextLayout UITooltipWindowLookAndFeel::layoutTooltipText (const juce::String& text, juce::Colour colour) const
{
    juce::AttributedString attributed;
    attributed.setJustification (juce::Justification::centredLeft);
    attributed.setWordWrap (juce::AttributedString::byWord);
    attributed.append (text, tipFont, colour);

    juce::TextLayout layout;
    layout.createLayout (attributed, maxTipWidth, 1.0e7f);
    return layout;
}

juce::Rectangle<int> UITooltipWindowLookAndFeel::getTooltipBounds (const juce::String& tipText,
                                                                   juce::Point<int> screenPos,
                                                                   juce::Rectangle<int> parentArea)
{
    const auto layout = layoutTooltipText (tipText, juce::Colours::black);
    const auto w = (int) layout.getWidth() + 2 * marginX;
    const auto h = (int) layout.getHeight() + 2 * marginY;
    return juce::Rectangle<int> (screenPos.x, screenPos.y, w, h).constrainedWithin (parentArea);
}

void UITooltipWindowLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    const auto w = (float) width;
    const auto h = (float) height;

    g.setColour (findColour (juce::TooltipWindow::backgroundColourId));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, cornerSize);

    g.setColour (findColour (juce::TooltipWindow::outlineColourId));
    g.drawRoundedRectangle (-1.5f, -1.5f, juce::jmax (0.0f, w + 3.0f), juce::jmax (0.0f, h + 3.0f), cornerSize, 1.0f);

    const auto textArea = juce::Rectangle<float> ((float) marginX, (float) marginY,
                                                  juce::jmax (0.0f, w - 2.0f * (float) marginX),
                                                  juce::jmax (0.0f, h - 2.0f * (float) marginY));
    layoutTooltipText (text, findColour (juce::TooltipWindow::textColourId)).draw (g, textArea);
}
