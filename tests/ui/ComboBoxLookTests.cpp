#include "tests/ui/UiTestSupport.h"
#include "ui/UIColours.h"
#include "ui/UIComboBoxWithLookAndFeel.h"

namespace
{
const juce::Colour boxBackground (0xff454545);
const juce::Colour arrowColour (0xffd3d3d3);
const juce::Colour popupBackground (0xff353535);
const juce::Colour highlight (0xff1c4d7f);

class ComboLook : public UiTest
{
protected:
    ComboLook()
    {
        look.drawOutline = true;
        look.drawArrow = true;
        look.arrowInset = 15.0f;
        look.hoverBrightness = 0.0f;
        look.comboFont = uitest::roboto (17.0f);
        look.setColour (juce::PopupMenu::backgroundColourId, popupBackground);
        look.setColour (juce::PopupMenu::textColourId, juce::Colours::white);
        look.setColour (juce::PopupMenu::highlightedBackgroundColourId, highlight);
        look.setColour (juce::PopupMenu::highlightedTextColourId, juce::Colours::white);

        box.setColour (juce::ComboBox::backgroundColourId, boxBackground);
        box.setColour (juce::ComboBox::outlineColourId, UIColours::outline());
        box.setColour (juce::ComboBox::arrowColourId, arrowColour);
        box.setSize (120, 29);
    }

    juce::Image drawBox()
    {
        return uitest::render (120, 29, [this] (juce::Graphics& g) { look.drawComboBox (g, 120, 29, false, 0, 0, 120, 29, box); });
    }

    juce::Image drawItem (const juce::PopupMenu::Item& item, bool highlighted, bool forBox = true)
    {
        const auto options = forBox ? juce::PopupMenu::Options().withTargetComponent (&box) : juce::PopupMenu::Options();
        return uitest::render (118, 29, [&] (juce::Graphics& g)
        {
            look.drawPopupMenuItemWithOptions (g, { 0, 0, 118, 29 }, highlighted, item, options);
        });
    }

    static juce::PopupMenu::Item item (int id, const juce::String& text = "Board")
    {
        juce::PopupMenu::Item result (text);
        result.itemID = id;
        return result;
    }

    UIComboBoxWithLookAndFeel look;
    juce::ComboBox box;
};
}

TEST_F (ComboLook, DisabledBoxIsDrawnFaint)
{
    struct Case { bool enabled; float boxAlpha; float arrowAlpha; };
    for (const auto& c : { Case { true, 1.0f, 0.9f }, Case { false, 0.5f, 0.2f } })
    {
        box.setEnabled (c.enabled);
        const auto drawn = drawBox();
        const auto background = boxBackground.withAlpha (c.boxAlpha);
        EXPECT_TRUE (uitest::closeColour (drawn.getPixelAt (40, 14), background)) << c.enabled;
        EXPECT_TRUE (uitest::closeColour (drawn.getPixelAt (105, 13), background.overlaidWith (arrowColour.withAlpha (c.arrowAlpha))))
            << c.enabled;
        EXPECT_TRUE (uitest::closeColour (drawn.getPixelAt (60, 0), background.overlaidWith (UIColours::outline().withAlpha (c.boxAlpha)),
                                   40))
            << c.enabled;
    }
}

TEST_F (ComboLook, TextStopsBeforeTheArrowZone)
{
    for (const auto& [arrow, right] : { std::pair { false, 119 }, std::pair { true, 100 } })
    {
        look.drawArrow = arrow;
        juce::Label label;
        look.positionComboBoxText (box, label);
        EXPECT_EQ (label.getBounds(), juce::Rectangle<int> (3, 1, right - 3, 27)) << arrow;
        EXPECT_EQ (label.getMinimumHorizontalScale(), 1.0f);
    }
}

TEST_F (ComboLook, HighlightFollowsTheListCorners)
{
    struct Case { int items; int id; float corner; bool roundTop; bool roundBottom; };
    for (const auto& c : { Case { 3, 1, 3.0f, true, false }, Case { 3, 2, 3.0f, false, false },
                           Case { 3, 3, 3.0f, false, true }, Case { 1, 1, 3.0f, true, true },
                           Case { 3, 1, 1.0f, false, false }, Case { 3, 3, 1.0f, false, false } })
    {
        box.clear (juce::dontSendNotification);
        for (int id = 1; id <= c.items; ++id)
            box.addItem ("Board " + juce::String (id), id);
        look.cornerSize = c.corner;

        const auto drawn = drawItem (item (c.id, ""), true);
        EXPECT_EQ (drawn.getPixelAt (1, 1).getAlpha() < 255, c.roundTop) << c.items << "/" << c.id;
        EXPECT_EQ (drawn.getPixelAt (1, 27).getAlpha() < 255, c.roundBottom) << c.items << "/" << c.id;
        EXPECT_TRUE (uitest::closeColour (drawn.getPixelAt (59, 14), highlight));
    }
}

TEST_F (ComboLook, ItemsAreTheBoxSizeAndStartIndented)
{
    int w = 0, h = 0;
    look.getIdealPopupMenuItemSizeWithOptions ("Board", false, 20, w, h, juce::PopupMenu::Options().withTargetComponent (&box));
    EXPECT_EQ (w, 118);
    EXPECT_EQ (h, 29);

    look.getIdealPopupMenuItemSizeWithOptions ("Board", false, 20, w, h, juce::PopupMenu::Options());
    EXPECT_GT (w, 0);
    EXPECT_NE (w, 118);

    look.textIndent = 3;
    const auto wide = item (2, juce::String::repeatedString ("W", 40));
    EXPECT_GE (uitest::inkBounds (drawItem (wide, false, false)).getX(), 3);
}

TEST_F (ComboLook, MenuBackgroundWithAndWithoutABox)
{
    const auto drawBackground = [this] (const juce::PopupMenu::Options& options)
    {
        return uitest::render (100, 50, [&] (juce::Graphics& g) { look.drawPopupMenuBackgroundWithOptions (g, 100, 50, options); });
    };

    const auto plain = drawBackground (juce::PopupMenu::Options());
    EXPECT_TRUE (uitest::closeColour (plain.getPixelAt (50, 25), popupBackground));
    EXPECT_TRUE (uitest::closeColour (plain.getPixelAt (0, 25), juce::Colour (0xff232323), 1));
    EXPECT_EQ (plain.getPixelAt (0, 0).getAlpha(), 255) << "square corners";

    look.popupOutlineColour = juce::Colours::red;
    EXPECT_TRUE (uitest::closeColour (drawBackground (juce::PopupMenu::Options()).getPixelAt (0, 25), juce::Colours::red));

    look.popupOutlineColour = juce::Colour (0x00000000);
    const auto forBox = drawBackground (juce::PopupMenu::Options().withTargetComponent (&box));
    EXPECT_TRUE (uitest::closeColour (forBox.getPixelAt (50, 25), boxBackground));
    EXPECT_LT (forBox.getPixelAt (0, 0).getAlpha(), 255) << "rounded like the box";

    look.popupIgnoresBoxColours = true;
    EXPECT_TRUE (uitest::closeColour (drawBackground (juce::PopupMenu::Options().withTargetComponent (&box)).getPixelAt (50, 25),
                               popupBackground));
}

TEST_F (ComboLook, ItemTextSeparatorsAndTicks)
{
    auto enabled = item (2, "Board");
    auto disabled = enabled;
    disabled.isEnabled = false;
    EXPECT_GT (uitest::maxAlpha (drawItem (enabled, false)), 240);
    EXPECT_NEAR (uitest::maxAlpha (drawItem (disabled, false)), 128, 3);
    EXPECT_NEAR (uitest::maxAlpha (drawItem (disabled, true)), 128, 3) << "a disabled item is never highlighted";

    auto ticked = enabled;
    ticked.isTicked = true;
    const auto withTick = drawItem (ticked, false);
    const auto withoutTick = drawItem (enabled, false);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 118; ++x)
            ASSERT_EQ (withTick.getPixelAt (x, y), withoutTick.getPixelAt (x, y)) << x << "," << y;

    juce::PopupMenu::Item separator;
    separator.isSeparator = true;
    const auto line = uitest::render (100, 10, [&] (juce::Graphics& g)
    {
        look.drawPopupMenuItemWithOptions (g, { 0, 0, 100, 10 }, false, separator, juce::PopupMenu::Options());
    });
    EXPECT_EQ (uitest::inkBounds (line), juce::Rectangle<int> (5, 4, 90, 1));
    EXPECT_EQ (line.getPixelAt (50, 4).getAlpha(), 0x4c);
}
