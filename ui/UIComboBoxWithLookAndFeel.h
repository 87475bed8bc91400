#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The look of the window's combo boxes and of the pop-up lists they open: a rounded box
// with an optional outline and arrow, and a list that takes the box's own colours, corners
// and width. Not a combo box itself, despite the name.
class UIComboBoxWithLookAndFeel : public juce::LookAndFeel_V4
{
public:
    // Set by the owner before the look-and-feel is assigned.
    juce::Font comboFont;
    float cornerSize = 3.0f;
    float arrowHalfWidth = 4.5f;
    float arrowInset = 10.0f;
    float hoverBrightness = 0.065f;
    bool drawOutline = false;
    bool drawArrow = false;
    bool popupIgnoresBoxColours = false;
    juce::Colour popupOutlineColour { 0x00000000 };  // transparent black: none of its own
    int arrowZoneWidth = 20;
    int textIndent = 3;

    void drawPopupMenuBackgroundWithOptions (juce::Graphics&, int width, int height,
                                             const juce::PopupMenu::Options&) override;
    void drawPopupMenuItemWithOptions (juce::Graphics&, const juce::Rectangle<int>& area, bool isHighlighted,
                                       const juce::PopupMenu::Item&, const juce::PopupMenu::Options&) override;
    juce::Font getPopupMenuFont() override;
    void getIdealPopupMenuItemSizeWithOptions (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                               int& idealWidth, int& idealHeight,
                                               const juce::PopupMenu::Options&) override;
    void preparePopupMenuWindow (juce::Component&) override;
    int getPopupMenuBorderSizeWithOptions (const juce::PopupMenu::Options&) override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                       int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;

    void drawResizableFrame (juce::Graphics&, int w, int h, const juce::BorderSize<int>&) override;

private:
    void drawSeparator (juce::Graphics&, juce::Rectangle<int> area);
    void fillHighlight (juce::Graphics&, juce::Rectangle<int> area, const juce::PopupMenu::Item&,
                        const juce::ComboBox* box);
    void drawSubMenuArrow (juce::Graphics&, juce::Rectangle<int> area, const juce::Font&);
};
