#include "ui/ImageButtonLookAndFeel.h"

namespace
{
// The share of the button's height taken by the text under the icon: less on taller buttons.
float textShare (int buttonHeight)
{
    return juce::jlimit (0.2f, 0.45f, 0.4f - (float) (buttonHeight - 32) * 0.18f / 96.0f);
}

// A toggled-on button keeps a light veil while hovered, so that its state stays visible.
juce::Colour veilFor (const juce::ImageButton& button, juce::Colour overlayColour)
{
    if (button.getToggleState() && button.isOver() && ! button.isDown())
        return juce::Colours::white.withAlpha ((juce::uint8) 0x33);
    return overlayColour;
}

void drawIcon (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area, float opacity)
{
    g.setOpacity (opacity);
    if (image.isValid())
        g.drawImageWithin (image, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                           juce::RectanglePlacement::centred);
}
}

void ImageButtonLookAndFeel::drawImageButton (juce::Graphics& g, juce::Image* image, int, int, int, int,
                                              const juce::Colour& overlayColour, float imageOpacity,
                                              juce::ImageButton& button)
{
    const auto w = button.getWidth();
    const auto h = button.getHeight();
    const auto textH = juce::roundToInt (textShare (h) * (float) h);
    const auto buttonAlpha = button.getAlpha();
    const auto enabled = button.isEnabled();

    if (image != nullptr)
    {
        const auto pad = juce::roundToInt (0.04f * (float) h);
        const auto opacity = imageOpacity * buttonAlpha * (enabled ? 1.0f : 0.5f);
        drawIcon (g, *image, { 0, 0, w, h - pad - textH }, opacity);
    }

    const auto veil = veilFor (button, overlayColour);
    if (veil.getAlpha() != 0)
    {
        g.setColour (veil.withMultipliedAlpha (buttonAlpha));
        g.fillRect (0, 0, w, h);
    }

    auto textColour = juce::Colours::white.overlaidWith (overlayColour).withMultipliedAlpha (buttonAlpha * imageOpacity);
    if (! enabled)
        textColour = textColour.withMultipliedBrightness (0.5f);

    g.setColour (textColour);
    g.setFont (juce::Font (0.25f * (float) h));
    g.drawText (button.getButtonText(), 2, h - juce::roundToInt (0.0375f * (float) h) - textH, w - 4,
                textH + juce::roundToInt (0.0625f * (float) h) - 2, juce::Justification::centred, false);
}
