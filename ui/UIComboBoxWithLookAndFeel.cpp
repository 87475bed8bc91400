#include "ui/UIComboBoxWithLookAndFeel.h"

namespace
{
juce::ComboBox* targetBox (const juce::PopupMenu::Options& options)
{
    return dynamic_cast<juce::ComboBox*> (options.getTargetComponent());
}

bool hasSubMenu (const juce::PopupMenu::Item& item)
{
    return item.subMenu != nullptr && (item.itemID == 0 || item.subMenu->getNumItems() > 0);
}

juce::Colour twoThirdsAsBright (juce::Colour c)
{
    return juce::Colour ((juce::uint8) (c.getRed() * 2 / 3), (juce::uint8) (c.getGreen() * 2 / 3),
                         (juce::uint8) (c.getBlue() * 2 / 3), c.getAlpha());
}
}

void UIComboBoxWithLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int,
                                              juce::ComboBox& box)
{
    const auto enabled = box.isEnabled();
    const auto w = (float) width;
    const auto h = (float) height;

    auto background = box.findColour (juce::ComboBox::backgroundColourId).withAlpha (enabled ? 1.0f : 0.5f);
    if (box.isMouseOverOrDragging())
        background = background.brighter (hoverBrightness);
    g.setColour (background);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, cornerSize);

    if (drawOutline)
    {
        g.setColour (box.findColour (juce::ComboBox::outlineColourId).withAlpha (enabled ? 1.0f : 0.5f));
        g.drawRoundedRectangle (0.5f, 0.5f, juce::jmax (0.0f, w - 1.0f), juce::jmax (0.0f, h - 1.0f), cornerSize, 1.0f);
    }

    if (drawArrow)
    {
        const auto cx = w - arrowInset;
        const auto cy = h / 2.0f;
        juce::Path arrow;
        arrow.addTriangle (cx, cy + 3.0f, cx - arrowHalfWidth, cy - 3.0f, cx + arrowHalfWidth, cy - 3.0f);
        g.setColour (box.findColour (juce::ComboBox::arrowColourId).withAlpha (enabled ? 0.9f : 0.2f));
        g.fillPath (arrow);
    }
}

juce::Font UIComboBoxWithLookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    return comboFont;
}

juce::Font UIComboBoxWithLookAndFeel::getPopupMenuFont()
{
    return comboFont;
}

void UIComboBoxWithLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    const auto reserve = drawArrow ? arrowZoneWidth : 1;
    label.setBounds (textIndent, 1, box.getWidth() - textIndent - reserve, box.getHeight() - 2);
    label.setFont (getComboBoxFont (box));
    label.setMinimumHorizontalScale (1.0f);
}

int UIComboBoxWithLookAndFeel::getPopupMenuBorderSizeWithOptions (const juce::PopupMenu::Options&)
{
    return 0;
}

void UIComboBoxWithLookAndFeel::preparePopupMenuWindow (juce::Component& window)
{
    window.setOpaque (false);
}

void UIComboBoxWithLookAndFeel::getIdealPopupMenuItemSizeWithOptions (const juce::String& text, bool isSeparator,
                                                                      int standardMenuItemHeight, int& idealWidth,
                                                                      int& idealHeight,
                                                                      const juce::PopupMenu::Options& options)
{
    if (auto* box = targetBox (options))
    {
        idealWidth = box->getWidth() - 2;
        idealHeight = box->getHeight();
        return;
    }
    LookAndFeel_V4::getIdealPopupMenuItemSize (text, isSeparator, standardMenuItemHeight, idealWidth, idealHeight);
}

void UIComboBoxWithLookAndFeel::drawResizableFrame (juce::Graphics&, int, int, const juce::BorderSize<int>&)
{
}

void UIComboBoxWithLookAndFeel::drawPopupMenuBackgroundWithOptions (juce::Graphics& g, int width, int height,
                                                                    const juce::PopupMenu::Options& options)
{
    const auto* box = targetBox (options);
    const auto background = box != nullptr && ! popupIgnoresBoxColours
                              ? box->findColour (juce::ComboBox::backgroundColourId)
                              : findColour (juce::PopupMenu::backgroundColourId);

    auto outline = popupOutlineColour;
    if (outline == juce::Colour (0x00000000))
        outline = box != nullptr ? box->findColour (juce::ComboBox::outlineColourId) : twoThirdsAsBright (background);

    const auto b = (float) getPopupMenuBorderSizeWithOptions (options);
    const auto w = (float) width;
    const auto h = (float) height;

    if (box != nullptr)
    {
        const juce::Rectangle<float> r (b + 0.5f, b + 0.5f, juce::jmax (0.0f, w - 2.0f * b - 1.0f),
                                        juce::jmax (0.0f, h - 2.0f * b - 1.0f));
        g.setColour (background);
        g.fillRoundedRectangle (r, cornerSize);
        g.setColour (outline);
        g.drawRoundedRectangle (r, cornerSize, 1.0f);
        return;
    }

    g.setColour (background);
    g.fillRect (b, b, w - 2.0f * b, h - 2.0f * b);
    g.setColour (outline);
    g.drawRect (juce::roundToInt (b), juce::roundToInt (b), juce::roundToInt (w - 2.0f * b),
                juce::roundToInt (h - 2.0f * b), 1);
}

void UIComboBoxWithLookAndFeel::drawSeparator (juce::Graphics& g, juce::Rectangle<int> area)
{
    const auto hh = juce::jmax (0, area.getHeight());
    const auto mid = juce::jmin (hh, juce::roundToInt ((float) hh * 0.5f - 0.5f));
    g.setColour (findColour (juce::PopupMenu::textColourId).withAlpha ((juce::uint8) 0x4c));
    g.fillRect (area.getX() + 5, area.getY() + mid, juce::jmax (0, area.getWidth() - 10), juce::jmin (1, hh - mid));
}

// The first and last entries of a box's list follow the list's rounded corners.
void UIComboBoxWithLookAndFeel::fillHighlight (juce::Graphics& g, juce::Rectangle<int> area,
                                               const juce::PopupMenu::Item& item, const juce::ComboBox* box)
{
    const auto x = (float) area.getX();
    const auto y = (float) area.getY();
    const auto w = (float) area.getWidth();
    const auto h = (float) area.getHeight();
    const auto isFirst = item.itemID == 1;
    const auto isLast = box != nullptr && item.itemID == box->getNumItems();
    const auto onlyItem = box != nullptr && box->getNumItems() == 1;

    g.setColour (findColour (juce::PopupMenu::highlightedBackgroundColourId));
    if (cornerSize <= 1.0f || ! (isFirst || isLast))
    {
        g.fillRect (x + 1.0f, y, juce::jmax (0.0f, w - 2.0f), juce::jmax (0.0f, h));
        return;
    }

    juce::Path p;
    if (onlyItem)
        p.addRoundedRectangle (x + 1.0f, y + 1.0f, w - 2.0f, h - 2.0f, cornerSize);
    else if (isFirst)
        p.addRoundedRectangle (x + 1.0f, y + 1.0f, w - 2.0f, h - 1.0f, cornerSize, cornerSize, true, true, false, false);
    else
        p.addRoundedRectangle (x + 1.0f, y, w - 2.0f, h - 1.0f, cornerSize, cornerSize, false, false, true, true);
    g.fillPath (p);
}

void UIComboBoxWithLookAndFeel::drawSubMenuArrow (juce::Graphics& g, juce::Rectangle<int> area, const juce::Font& font)
{
    const auto arrowH = font.getAscent() * 0.6f;
    const auto ax = (float) area.getRight() - (float) arrowZoneWidth / 2.0f;
    const auto cy = (float) (area.getY() + area.getHeight() / 2);

    juce::Path arrow;
    arrow.startNewSubPath (ax, cy - arrowH / 2.0f);
    arrow.lineTo (ax + arrowH * 0.6f, cy);
    arrow.lineTo (ax, cy + arrowH / 2.0f);
    g.strokePath (arrow, juce::PathStrokeType (2.0f));
}

void UIComboBoxWithLookAndFeel::drawPopupMenuItemWithOptions (juce::Graphics& g, const juce::Rectangle<int>& area,
                                                              bool isHighlighted, const juce::PopupMenu::Item& item,
                                                              const juce::PopupMenu::Options& options)
{
    if (item.isSeparator)
    {
        drawSeparator (g, area);
        return;
    }

    auto* box = targetBox (options);
    const auto subMenu = hasSubMenu (item);

    if (isHighlighted && item.isEnabled)
    {
        fillHighlight (g, area, item, box);
        g.setColour (findColour (juce::PopupMenu::highlightedTextColourId));
    }
    else
    {
        const auto colour = item.colour != juce::Colour (0x00000000) ? item.colour
                                                                      : findColour (juce::PopupMenu::textColourId);
        g.setColour (colour.withMultipliedAlpha (item.isEnabled ? 1.0f : 0.5f));
    }

    const auto font = box != nullptr ? getComboBoxFont (*box) : getPopupMenuFont();
    g.setFont (font);

    if (subMenu)
        drawSubMenuArrow (g, area, font);

    auto textArea = area;
    if (box != nullptr)
    {
        const auto reserve = drawArrow || subMenu ? arrowZoneWidth : 1;
        textArea.setX (textIndent);
        textArea.setWidth (box->getWidth() - reserve - textIndent);
    }
    else
    {
        const auto indent = juce::jmin (textIndent, area.getWidth());
        textArea = textArea.withTrimmedLeft (indent);
    }
    g.drawText (item.text, textArea, juce::Justification::centred, true);
}
