#include "tests/ui/UiTestSupport.h"
#include "ui/CustomGroupComponentLookAndFeel.h"
#include "ui/CustomProgressBarLookAndFeel.h"
#include "ui/ImageButtonLookAndFeel.h"
#include "ui/UIColours.h"
#include "ui/UITooltipWindowLookAndFeel.h"

#include <cmath>

namespace
{
class GroupLook : public UiTest
{
protected:
    GroupLook()
    {
        look.fillColour = UIColours::panelFill();
        group.setColour (juce::GroupComponent::outlineColourId, UIColours::outline());
        group.setColour (juce::GroupComponent::textColourId, juce::Colours::white);
        group.setTextLabelPosition (juce::Justification::centredTop);
        group.setLookAndFeel (&look);
        group.setSize (200, 100);
    }

    ~GroupLook() override { group.setLookAndFeel (nullptr); }

    juce::Image snapshot() { return group.createComponentSnapshot (group.getLocalBounds(), true, 1.0f); }

    // The row of the top edge of the outline, where the title's gap lies.
    static int topEdgeRow() { return (int) std::floor (juce::Font (15.0f).getAscent() - 3.0f); }

    CustomGroupComponentLookAndFeel look;
    juce::GroupComponent group;
};
}

TEST_F (GroupLook, FilledPanelAtHalfAlphaWhenDisabled)
{
    group.setText ("  Zorv Products  ");
    EXPECT_TRUE (uitest::closeColour (snapshot().getPixelAt (100, 60), UIColours::panelFill()));

    group.setEnabled (false);
    EXPECT_TRUE (uitest::closeColour (snapshot().getPixelAt (100, 60), UIColours::panelFill().withAlpha ((juce::uint8) 0x80)));
}

TEST_F (GroupLook, TitleLeavesAGapInTheOutlineOnly)
{
    const auto row = topEdgeRow();
    group.setText ("");
    const auto untitled = snapshot();
    EXPECT_TRUE (uitest::closeColour (untitled.getPixelAt (100, row), untitled.getPixelAt (30, row))) << "no gap without a title";

    const juce::String title ("  Zorv Products  ");
    group.setText (title);
    const auto titled = snapshot();
    const auto gapW = std::ceil (juce::Font (15.0f).getStringWidthFloat (title)) + 8.0f;
    const auto gapInside = juce::roundToInt (3.0f + (194.0f - gapW) / 2.0f) + 2;
    EXPECT_FALSE (uitest::closeColour (titled.getPixelAt (gapInside, row), titled.getPixelAt (30, row), 12))
        << titled.getPixelAt (gapInside, row).toDisplayString (true) << " " << titled.getPixelAt (30, row).toDisplayString (true);
    EXPECT_TRUE (uitest::closeColour (titled.getPixelAt (gapInside, row + 3), UIColours::panelFill())) << "filled under the gap";
}

namespace
{
class ImageButtonLook : public UiTest
{
protected:
    ImageButtonLook()
    {
        button.setSize (64, 64);
        icon.clear (icon.getBounds(), juce::Colours::white);
    }

    juce::Image draw (juce::Image* image)
    {
        return uitest::render (64, 64, [&] (juce::Graphics& g)
        {
            look.drawImageButton (g, image, 0, 0, 64, 64, juce::Colour (0x00000000), 1.0f, button);
        });
    }

    ImageButtonLookAndFeel look;
    juce::ImageButton button;
    juce::Image icon { juce::Image::ARGB, 48, 48, true };
};
}

TEST_F (ImageButtonLook, LayoutOf64)
{
    EXPECT_EQ (uitest::inkBounds (draw (&icon)), juce::Rectangle<int> (12, 0, 40, 39)) << "39 x 39, centred above the text";

    button.setButtonText ("Scan");
    const auto text = draw (nullptr);
    const auto ink = uitest::inkBounds (text);
    EXPECT_TRUE (juce::Rectangle<int> (2, 40, 60, 24).contains (ink)) << ink.toString();
    EXPECT_GT (ink.getWidth(), 20);
    EXPECT_GT (uitest::maxAlpha (text), 200);
}

TEST_F (ImageButtonLook, VeilAndDisabledIcon)
{
    struct Case { bool toggled; juce::Button::ButtonState state; juce::uint8 cornerAlpha; };
    for (const auto& c : { Case { true, juce::Button::buttonOver, 0x33 },
                           Case { true, juce::Button::buttonDown, 0x00 },
                           Case { true, juce::Button::buttonNormal, 0x00 },
                           Case { false, juce::Button::buttonOver, 0x00 } })
    {
        button.setToggleState (c.toggled, juce::dontSendNotification);
        button.setState (c.state);
        EXPECT_TRUE (uitest::closeColour (draw (&icon).getPixelAt (1, 1), juce::Colours::white.withAlpha (c.cornerAlpha), 2))
            << c.toggled << " " << (int) c.state;
    }

    button.setToggleState (false, juce::dontSendNotification);
    button.setEnabled (false);
    EXPECT_TRUE (uitest::closeColour (draw (&icon).getPixelAt (32, 20), juce::Colours::white.withAlpha ((juce::uint8) 0x80)));
}

TEST_F (UiTest, ProgressBarForegroundOnlyForKnownProgress)
{
    CustomProgressBarLookAndFeel look;
    double value = 0.0;
    juce::ProgressBar bar (value);
    bar.setColour (juce::ProgressBar::backgroundColourId, UIColours::fieldBackground());
    bar.setColour (juce::ProgressBar::foregroundColourId, UIColours::accentBlue());
    bar.setSize (200, 20);

    struct Case { double progress; juce::Colour left; juce::Colour right; };
    for (const auto& c : { Case { 0.5, UIColours::accentBlue(), UIColours::fieldBackground() },
                           Case { 1.0, UIColours::accentBlue(), UIColours::accentBlue() },
                           Case { -1.0, UIColours::fieldBackground(), UIColours::fieldBackground() },
                           Case { 1.5, UIColours::fieldBackground(), UIColours::fieldBackground() } })
    {
        const auto drawn = uitest::render (200, 20, [&] (juce::Graphics& g)
        {
            look.drawProgressBar (g, bar, 200, 20, c.progress, "");
        });
        EXPECT_TRUE (uitest::closeColour (drawn.getPixelAt (50, 10), c.left)) << c.progress;
        EXPECT_TRUE (uitest::closeColour (drawn.getPixelAt (150, 10), c.right)) << c.progress;
    }

    const auto lightPixels = [&] (const juce::String& text)
    {
        const auto drawn = uitest::render (200, 20, [&] (juce::Graphics& g) { look.drawProgressBar (g, bar, 200, 20, -1.0, text); });
        int count = 0;
        for (int x = 0; x < 200; ++x)
            count += drawn.getPixelAt (x, 10).getBrightness() > 0.6f ? 1 : 0;
        return count;
    };
    EXPECT_EQ (lightPixels (""), 0);
    EXPECT_GT (lightPixels ("42%"), 0) << "the text shows without a foreground";

    bar.setSize (20, 20);
    const auto square = uitest::render (20, 20, [&] (juce::Graphics& g) { look.drawProgressBar (g, bar, 20, 20, 0.5, "50%"); });
    EXPECT_EQ (uitest::maxAlpha (square), 0) << "a circular bar draws nothing";
}

TEST_F (UiTest, TooltipWrapsAndStaysInsideTheParent)
{
    UITooltipWindowLookAndFeel look;
    look.tipFont = uitest::roboto (14.0f);
    const juce::String tip ("Retrieve firmware versions for the selected Zorv Product and all its boards, "
                            "one board after another, and report each");

    const auto oneLine = look.layoutTooltipText ("Scan", juce::Colours::black);
    const auto layout = look.layoutTooltipText (tip, juce::Colours::black);
    EXPECT_GT (layout.getNumLines(), 1);
    EXPECT_LE (layout.getWidth(), 400.0f);

    const juce::Rectangle<int> parent (0, 0, 720, 680);
    const auto free = look.getTooltipBounds (tip, { 10, 20 }, parent);
    EXPECT_EQ (free, juce::Rectangle<int> (10, 20, (int) layout.getWidth() + 10, (int) layout.getHeight() + 4));
    EXPECT_GT (free.getHeight(), (int) oneLine.getHeight() + 4);

    const auto pushed = look.getTooltipBounds (tip, { 700, 670 }, parent);
    EXPECT_TRUE (parent.contains (pushed));
    EXPECT_EQ (pushed.getWidth(), free.getWidth());

    const auto drawn = uitest::render (free.getWidth(), free.getHeight(), [&] (juce::Graphics& g)
    {
        look.drawTooltip (g, tip, free.getWidth(), free.getHeight());
    });
    EXPECT_TRUE (uitest::closeColour (drawn.getPixelAt (2, free.getHeight() / 2),
                               look.findColour (juce::TooltipWindow::backgroundColourId)));
}
