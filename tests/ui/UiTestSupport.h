#pragma once

#include "ui/Typefaces.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <functional>

// The framework must be up for fonts, images and components; no display is needed.
class UiTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI framework;
};

namespace uitest
{
inline juce::Font roboto (float height)
{
    return juce::Font (robotoRegularTypeface()).withHeight (height);
}

inline juce::Font robotoMono (float height)
{
    return juce::Font (robotoMonoRegularTypeface()).withHeight (height);
}

// What the drawing leaves on a transparent image of the given size.
inline juce::Image render (int width, int height, const std::function<void (juce::Graphics&)>& draw)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    draw (g);
    return image;
}

// Colours as drawn go through 8-bit premultiplied pixels: compare with a little slack.
inline ::testing::AssertionResult closeColour (juce::Colour actual, juce::Colour expected, int slack = 3)
{
    const auto close = [slack] (int a, int b) { return std::abs (a - b) <= slack; };
    const auto bothClear = actual.getAlpha() <= slack && expected.getAlpha() <= slack;
    if (bothClear || (close (actual.getAlpha(), expected.getAlpha()) && close (actual.getRed(), expected.getRed())
        && close (actual.getGreen(), expected.getGreen()) && close (actual.getBlue(), expected.getBlue())))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.toDisplayString (true).toStdString() << " is not "
                                         << expected.toDisplayString (true).toStdString();
}

// The bounds of the pixels the drawing touched (alpha above a trace).
inline juce::Rectangle<int> inkBounds (const juce::Image& image)
{
    juce::Rectangle<int> bounds;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > 8)
                bounds = bounds.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1)
                                          : bounds.getUnion ({ x, y, 1, 1 });
    return bounds;
}

inline int maxAlpha (const juce::Image& image)
{
    int result = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            result = juce::jmax (result, (int) image.getPixelAt (x, y).getAlpha());
    return result;
}
}
