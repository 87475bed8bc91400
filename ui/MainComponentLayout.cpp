// The twenty controls of the main window and the background behind them. The window is
// 720 x 680 and never resized, so every control gets its bounds once, here; the bounds
// are written as the rules that tie the controls together.

#include "ui/MainComponent.h"

#include "ui/UIColours.h"
#include "ui/UIComboBoxWithLookAndFeel.h"

#include <BinaryData.h>

namespace
{
constexpr int iconButtonSize = 64;
constexpr int iconButtonGap = 2;
constexpr int comboHeight = 29;

const juce::Colour transparentBlack (0x00000000);
const juce::Colour windowBackground (0xff353535);
const juce::Colour bandTop (0xff3d3d3d);
const juce::Colour bandBottom (0xff1e1e1e);
const juce::Colour bandFrame (0xff161616);

juce::Image icon (const char* data, int size)
{
    return juce::ImageCache::getFromMemory (data, size);
}
}

void MainComponent::createControls()
{
    createIconButtons();
    createDeviceGroup();
    createAdvancedGroup();
    createLogAndProgressBars();
}

void MainComponent::createIconButtons()
{
    struct IconButton
    {
        std::unique_ptr<juce::ImageButton> MainComponent::* member;
        const char* name;
        const char* id;
        juce::Image image;
        const char* tooltip;
        bool fromTheRight;
    };

    const IconButton buttons[] = {
        { &MainComponent::btnScanDev, "Scan", "btnScanDev", icon (BinaryData::ScanDevices_png, BinaryData::ScanDevices_pngSize),
          "Scan the network for Zorv Products", false },
        { &MainComponent::btnSetIP, "Set IP", "btnSetIP", icon (BinaryData::SetIP_png, BinaryData::SetIP_pngSize),
          "Set IP addresses for scanning", false },
        { &MainComponent::btnRenameDev, "Rename", "btnRenameDev", icon (BinaryData::Rename_png, BinaryData::Rename_pngSize),
          "Rename the selected device", false },
        { &MainComponent::btnIdDev, "Identify", "btnIdDev", icon (BinaryData::Identify_png, BinaryData::Identify_pngSize),
          "Identify the selected device", false },
        { &MainComponent::btnAbout, "About", "btnAbout", icon (BinaryData::About_png, BinaryData::About_pngSize),
          "About Zorv Updater", true },
        { &MainComponent::btnAdvanced, "Advanced", "btnAdvanced", icon (BinaryData::Advanced_png, BinaryData::Advanced_pngSize),
          "Advanced Options", true },
        { &MainComponent::btnAutoUpdate, "Auto", "btnAutoUpdate", icon (BinaryData::AutoUpdate_png, BinaryData::AutoUpdate_pngSize),
          "Update all the boards for the selected device automatically", true }
    };

    // Each side's buttons follow one another outwards-in, 2 pixels apart.
    const auto step = iconButtonSize + iconButtonGap;
    juce::Rectangle<int> nextLeft (3, 4, iconButtonSize, iconButtonSize);
    juce::Rectangle<int> nextRight (getWidth() - 69, 4, iconButtonSize, iconButtonSize);

    for (const auto& spec : buttons)
    {
        auto& button = this->*spec.member;
        button = std::make_unique<juce::ImageButton> (spec.name);
        addAndMakeVisible (*button);
        button->setComponentID (spec.id);
        button->addListener (this);
        button->setLookAndFeel (lookAndFeels[0].get());
        button->setImages (false, true, true,
                           spec.image, 1.0f, transparentBlack,
                           {}, 1.0f, juce::Colour (0x33ffffff),
                           {}, 1.0f, juce::Colour (0x1affffff), 0.0f);
        button->setWantsKeyboardFocus (false);
        if (spec.member == &MainComponent::btnAdvanced)
            button->setToggleable (true);

        auto& next = spec.fromTheRight ? nextRight : nextLeft;
        button->setBounds (next);
        next.translate (spec.fromTheRight ? -step : step, 0);
        button->setTooltip (spec.tooltip);
    }
}

// The combo settings both boxes share; the device box also sets up the look both share.
void MainComponent::configureComboBox (juce::ComboBox& box, const juce::String& textWhenEmpty)
{
    addAndMakeVisible (box);
    box.setComponentID (box.getName());
    box.addListener (this);
    box.setEditableText (false);
    box.setJustificationType (juce::Justification::centred);
    box.setTextWhenNothingSelected ("");
    box.setTextWhenNoChoicesAvailable (textWhenEmpty);

    box.setColour (juce::ComboBox::backgroundColourId, &box == comboBoxDev.get() ? juce::Colour (0xff3c3c3c).brighter (0.05f)
                                                                                  : UIColours::controlFill());
    box.setColour (juce::ComboBox::textColourId, juce::Colours::white);
    box.setColour (juce::ComboBox::outlineColourId, UIColours::outline());
    box.setColour (juce::ComboBox::arrowColourId, juce::Colours::lightgrey);

    auto& look = static_cast<UIComboBoxWithLookAndFeel&> (*lookAndFeels[1]);
    if (&box == comboBoxDev.get())
    {
        look.drawOutline = true;
        look.drawArrow = true;
        look.arrowInset = 15.0f;
        look.hoverBrightness = 0.0f;
        look.comboFont = *labelFont;
        look.setColour (juce::PopupMenu::backgroundColourId, juce::Colour (0xff353535));
        look.setColour (juce::PopupMenu::textColourId, juce::Colours::white);
        look.setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0xff1c4d7f));
        look.setColour (juce::PopupMenu::highlightedTextColourId, juce::Colours::white);
    }

    box.setLookAndFeel (&look);
    box.setWantsKeyboardFocus (false);
}

void MainComponent::createDeviceGroup()
{
    comboBoxDev = std::make_unique<juce::ComboBox> ("comboBoxDev");
    configureComboBox (*comboBoxDev, "No devices found. Click Scan to begin");
    comboBoxDev->setBounds (38, btnScanDev->getBottom() + 25 + 25, getWidth() / 2 - 40, comboHeight);

    for (auto* label : { &labelInfoHeadings, &labelInfo })
    {
        *label = std::make_unique<juce::Label> (label == &labelInfo ? "labelInfo" : "labelInfoHeadings", "");
        addAndMakeVisible (**label);
        (*label)->setFont (*labelFont);
        (*label)->setJustificationType (juce::Justification::topLeft);
        (*label)->setEditable (false, false);
        (*label)->setMinimumHorizontalScale (1.0f);
        (*label)->setColour (juce::Label::backgroundColourId, UIColours::panelFill());
        (*label)->setColour (juce::Label::outlineColourId, UIColours::panelFill());
        (*label)->setColour (juce::Label::textColourId, juce::Colours::whitesmoke);
    }
    labelInfoHeadings->setBounds (comboBoxDev->getX(), comboBoxDev->getBottom() + 10, 70, 95);
    labelInfo->setBounds (labelInfoHeadings->getRight(), labelInfoHeadings->getY(), comboBoxDev->getWidth() - 70, 95);

    auto& groupLook = static_cast<CustomGroupComponentLookAndFeel&> (*lookAndFeels[2]);
    const auto groupTop = btnScanDev->getBottom() + 25;
    const auto groupHeight = labelInfo->getBottom() + 7 - groupTop;
    const auto makeGroup = [&] (std::unique_ptr<juce::GroupComponent>& group, const char* name, const char* id,
                                const char* text, juce::Rectangle<int> bounds)
    {
        group = std::make_unique<juce::GroupComponent> (name, text);
        addAndMakeVisible (*group);
        group->setComponentID (id);
        groupLook.fillColour = UIColours::panelFill();
        group->setLookAndFeel (&groupLook);
        group->setColour (juce::GroupComponent::outlineColourId, UIColours::outline());
        group->setColour (juce::GroupComponent::textColourId, juce::Colours::white);
        group->setBounds (bounds);
        group->toBack();
    };

    makeGroup (devGroupComp, "DeviceGroup", "devGroupComp", "  Zorv Products  ",
               { 18, groupTop, getWidth() / 2, groupHeight });
    const auto advancedX = getWidth() / 2 + 33;
    makeGroup (advGroupComp, "AdvancedGroup", "advGroupComp", "  Advanced Options  ",
               { advancedX, groupTop, getWidth() - advancedX - 18, groupHeight });
}

void MainComponent::createAdvancedGroup()
{
    comboPanels = std::make_unique<juce::ComboBox> ("comboPanels");
    configureComboBox (*comboPanels, "");
    comboPanels->setBounds (advGroupComp->getX() + 20, advGroupComp->getY() + 25, advGroupComp->getWidth() - 40, comboHeight);
    comboPanels->setTooltip ("Device board selection");

    const auto makeButton = [this] (std::unique_ptr<juce::TextButton>& button, const char* text, const char* id,
                                    juce::Rectangle<int> bounds, const char* tooltip)
    {
        button = std::make_unique<juce::TextButton> (text);
        addAndMakeVisible (*button);
        button->setComponentID (id);
        button->addListener (this);
        button->setColour (juce::TextButton::buttonColourId, UIColours::controlFill());
        button->setColour (juce::ComboBox::outlineColourId, UIColours::buttonOutline());
        button->setColour (juce::TextButton::textColourOnId, juce::Colours::white);
        button->setColour (juce::TextButton::textColourOffId, juce::Colours::white);
        button->setWantsKeyboardFocus (false);
        button->setBounds (bounds);
        button->setTooltip (tooltip);
    };

    makeButton (btnGetVersions, "Get Versions", "btnGetVersions",
                { comboPanels->getX(), comboPanels->getBottom() + 15, comboPanels->getWidth(), textButtonHeight },
                "Retrieve firmware versions for the selected Zorv Product and all its boards");

    const auto width = (btnGetVersions->getWidth() - 10) / 3;
    juce::Rectangle<int> slot (btnGetVersions->getX(), btnGetVersions->getBottom() + 11, width, textButtonHeight);
    makeButton (btnReset, "Reset", "btnReset", slot, "Reset the selected board");
    slot.setX (btnReset->getRight() + 5);
    makeButton (btnCheck, "Check", "btnCheck", slot, "Check the selected board and show its details");
    slot.setX (btnCheck->getRight() + 5);
    makeButton (btnUpdate, "Update", "btnUpdate", slot, "Update the firmware for the selected board");
}

void MainComponent::createLogAndProgressBars()
{
    textDevLog = std::make_unique<juce::TextEditor> ("textDevLog");
    addAndMakeVisible (*textDevLog);
    textDevLog->setComponentID ("textDevLog");
    textDevLog->setMultiLine (true, true);
    textDevLog->setReadOnly (true);
    textDevLog->setScrollbarsShown (true);
    textDevLog->setCaretVisible (false);
    textDevLog->setPopupMenuEnabled (false);
    textDevLog->setFont (*logFont);
    textDevLog->setScrollBarThickness (11);
    lookAndFeels[5]->setColour (juce::ScrollBar::thumbColourId, UIColours::panelFill());
    textDevLog->setLookAndFeel (lookAndFeels[5].get());
    textDevLog->setColour (juce::TextEditor::backgroundColourId, UIColours::fieldBackground());
    textDevLog->setColour (juce::TextEditor::textColourId, juce::Colours::white);
    textDevLog->setColour (juce::TextEditor::outlineColourId, UIColours::outline());
    textDevLog->setColour (juce::TextEditor::focusedOutlineColourId, UIColours::outline());
    textDevLog->setColour (juce::TextEditor::highlightColourId, transparentBlack);
    textDevLog->setWantsKeyboardFocus (false);

    const auto groupsBottom = devGroupComp->getBottom();
    textDevLog->setBounds (devGroupComp->getX() + 5, groupsBottom + 20,
                           advGroupComp->getRight() - 9 - 18, getHeight() - groupsBottom - 70);

    const auto makeBar = [this] (std::unique_ptr<juce::ProgressBar>& bar, double& value, juce::Colour foreground,
                                 bool percentage, juce::Rectangle<int> bounds)
    {
        bar = std::make_unique<juce::ProgressBar> (value);
        addAndMakeVisible (*bar);
        bar->setLookAndFeel (lookAndFeels[3].get());
        bar->setColour (juce::ProgressBar::backgroundColourId, UIColours::fieldBackground());
        bar->setColour (juce::ProgressBar::foregroundColourId, foreground);
        bar->setPercentageDisplay (percentage);
        bar->setVisible (false);
        bar->setBounds (bounds);
    };

    makeBar (progressBar1, progressBar1Value, UIColours::accentBlue(), true,
             { textDevLog->getX(), textDevLog->getBottom() + 7, textDevLog->getWidth() + 1, 20 });
    makeBar (progressBar2, progressBar2Value, UIColours::fieldBackground().brighter (0.21f), false,
             { textDevLog->getX(), progressBar1->getBottom() + 7, progressBar1->getWidth(), 5 });
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (windowBackground);

    const juce::Rectangle<int> band (0, 0, getWidth(), btnScanDev->getBottom() + 4);
    g.setGradientFill (juce::ColourGradient (bandTop, 0.0f, 0.0f, bandBottom, 0.0f, (float) band.getBottom(), false));
    g.fillRect (band);

    g.setColour (bandFrame);
    g.drawRect (band.toFloat(), 1.0f);
}
