#include "ui/CustomGroupComponentLookAndFeel.h"

#include <cmath>

namespace
{
constexpr float titleHeight = 15.0f;
constexpr float indent = 3.0f;
constexpr float titleEdgeGap = 4.0f;

// The base class's outline: clockwise round the box from the right end of the title gap
// to its left end.
juce::Path outlineWithGap (float x, float y, float w, float h, float cs, float gapStart, float gapEnd)
{
    const auto cs2 = 2.0f * cs;
    const auto pi = juce::MathConstants<float>::pi;

    juce::Path p;
    p.startNewSubPath (x + gapEnd, y);
    p.lineTo (x + w - cs, y);
    p.addArc (x + w - cs2, y, cs2, cs2, 0.0f, 0.5f * pi);
    p.lineTo (x + w, y + h - cs);
    p.addArc (x + w - cs2, y + h - cs2, cs2, cs2, 0.5f * pi, pi);
    p.lineTo (x + cs, y + h);
    p.addArc (x, y + h - cs2, cs2, cs2, pi, 1.5f * pi);
    p.lineTo (x, y + cs);
    p.addArc (x, y, cs2, cs2, 1.5f * pi, 2.0f * pi);
    p.lineTo (x + gapStart, y);
    return p;
}
}

void CustomGroupComponentLookAndFeel::drawGroupComponentOutline (juce::Graphics& g, int width, int height,
                                                                 const juce::String& text,
                                                                 const juce::Justification& position,
                                                                 juce::GroupComponent& group)
{
    const juce::Font font (titleHeight);

    const auto x = indent;
    const auto y = font.getAscent() - 3.0f;
    const auto w = juce::jmax (0.0f, (float) width - 2.0f * indent);
    const auto h = juce::jmax (0.0f, (float) height - y - indent);
    const auto cs = juce::jmin (5.0f, w * 0.5f, h * 0.5f);

    const auto textW = text.isEmpty() ? 0.0f
                                      : juce::jlimit (0.0f, juce::jmax (0.0f, w - 2.0f * cs - 2.0f * titleEdgeGap),
                                                      std::ceil (font.getStringWidthFloat (text)) + 2.0f * titleEdgeGap);
    auto textX = cs + titleEdgeGap;
    if (position.testFlags (juce::Justification::horizontallyCentred))
        textX = cs + (w - 2.0f * cs - textW) * 0.5f;
    else if (position.testFlags (juce::Justification::right))
        textX = w - cs - textW - titleEdgeGap;

    const auto outline = outlineWithGap (x, y, w, h, cs, textX, textX + textW);
    const auto alpha = group.isEnabled() ? 1.0f : 0.5f;

    g.setColour (fillColour.withMultipliedAlpha (alpha));
    g.fillPath (outline);

    g.setColour (group.findColour (juce::GroupComponent::outlineColourId).withMultipliedAlpha (alpha));
    g.strokePath (outline, juce::PathStrokeType (0.55f));

    g.setColour (group.findColour (juce::GroupComponent::textColourId).withMultipliedAlpha (alpha));
    g.setFont (font);
    g.drawText (text, juce::roundToInt (x + textX), 0, juce::roundToInt (textW), (int) titleHeight,
                juce::Justification::centred, true);
}
