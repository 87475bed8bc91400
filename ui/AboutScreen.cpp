#include "ui/AboutScreen.h"

#include "logging/AppFolders.h"
#include "ui/Changelog.h"
#include "ui/TextFitting.h"
#include "ui/Typefaces.h"
#include "ui/UIColours.h"

#include <ApplicationVersion.h>

namespace
{
constexpr int screenWidth = 845;
constexpr int screenHeight = 275;

const juce::Colour background (0xff353535);

juce::File changelogBesideExecutable()
{
    return juce::File (juce::String (getExecutableDirectory()) + "/Changelog.txt");
}
}

AboutScreen::AboutScreen()
    : AboutScreen (changelogBesideExecutable(), platform::describeSystem())
{
}

AboutScreen::AboutScreen (const juce::File& changelogFile, const platform::SystemDescription& system)
{
    setSize (screenWidth, screenHeight);
    // A process without a display has no monitor to centre on; the dialog window places
    // its content in any case.
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr)
        centreWithSize (screenWidth, screenHeight);

    juce::LookAndFeel::getDefaultLookAndFeel().setDefaultSansSerifTypeface (robotoRegularTypeface());

    textLogFont = std::make_unique<juce::Font> (juce::Font (robotoRegularTypeface()).withHeight (14.0f));
    infoFont = std::make_unique<juce::Font> (juce::Font (robotoRegularTypeface()).withHeight (17.0f));
    groupLogLookAndFeel = std::make_unique<CustomGroupComponentLookAndFeel>();
    groupInfoLookAndFeel = std::make_unique<CustomGroupComponentLookAndFeel>();
    textLogLookAndFeel = std::make_unique<juce::LookAndFeel_V4>();

    createChangelogView();
    createInformationLabels();

    const auto changelog = readChangelog (changelogFile);
    textLog->setText (changelog.text, false);
    showInformation (changelog.buildDate, system);
}

AboutScreen::~AboutScreen()
{
    // The look-and-feels go before the components that use them.
    groupInfo->setLookAndFeel (nullptr);
    groupLog->setLookAndFeel (nullptr);
    textLog->setLookAndFeel (nullptr);
}

// A group box behind the other children, its title on the left.
std::unique_ptr<juce::GroupComponent> AboutScreen::makeGroup (const juce::String& name, const juce::String& id,
                                                              const juce::String& title,
                                                              CustomGroupComponentLookAndFeel& look,
                                                              juce::Colour fill, juce::Colour outline)
{
    auto group = std::make_unique<juce::GroupComponent> (name, title);
    group->setTextLabelPosition (juce::Justification::left);
    addAndMakeVisible (*group);
    group->setComponentID (id);
    look.fillColour = fill;
    group->setLookAndFeel (&look);
    group->setColour (juce::GroupComponent::outlineColourId, outline);
    group->setColour (juce::GroupComponent::textColourId, juce::Colours::white);
    group->toBack();
    return group;
}

void AboutScreen::createChangelogView()
{
    groupLog = makeGroup ("LogGroup", "groupLog", "  Changelog  |  Release  |  Feature Notes  ", *groupLogLookAndFeel,
                          UIColours::fieldBackground(), UIColours::fieldBackground());
    // Deliberately taller than the screen: its lower edge is cut off by it.
    groupLog->setBounds (17, 17, 500, getHeight() - 5);

    textLog = std::make_unique<juce::TextEditor> ("textLog");
    addAndMakeVisible (*textLog);
    textLog->setComponentID ("textLog");
    textLog->addListener (this);
    textLog->setMultiLine (true, true);
    textLog->setReadOnly (true);
    textLog->setScrollbarsShown (true);
    textLog->setCaretVisible (false);
    textLog->setPopupMenuEnabled (false);
    textLog->setScrollBarThickness (11);
    textLogLookAndFeel->setColour (juce::ScrollBar::thumbColourId, UIColours::panelFill());
    textLog->setLookAndFeel (textLogLookAndFeel.get());
    textLog->setFont (*textLogFont);
    textLog->setColour (juce::TextEditor::backgroundColourId, UIColours::fieldBackground());
    textLog->setColour (juce::TextEditor::textColourId, juce::Colours::white);
    textLog->setColour (juce::TextEditor::outlineColourId, UIColours::fieldBackground());
    textLog->setColour (juce::TextEditor::focusedOutlineColourId, UIColours::outline());
    textLog->setColour (juce::TextEditor::highlightColourId, juce::Colour (0x00000000));
    textLog->setWantsKeyboardFocus (false);
    textLog->setBounds (groupLog->getX() + 5, groupLog->getY() + 25, 490, groupLog->getHeight() - 30);
}

void AboutScreen::createInformationLabels()
{
    groupInfo = makeGroup ("InfoGroup", "groupInfo", "  Zorv Updater  |  System Infomation  ", *groupInfoLookAndFeel,
                           UIColours::panelFill(), UIColours::outline());
    const auto logRight = groupLog->getRight();
    groupInfo->setBounds (logRight + 20, 17, getWidth() - logRight - 37, 135);

    labelInfoHeadings = std::make_unique<juce::Label> ("labelInfoHeadings", "");
    labelInfo = std::make_unique<juce::Label> ("labelInfo", "");
    for (auto* label : { labelInfoHeadings.get(), labelInfo.get() })
    {
        addAndMakeVisible (*label);
        label->setFont (*infoFont);
        label->setJustificationType (juce::Justification::topLeft);
        label->setEditable (false, false);
        label->setMinimumHorizontalScale (1.0f);
        label->setColour (juce::Label::backgroundColourId, UIColours::panelFill());
        label->setColour (juce::Label::outlineColourId, UIColours::panelFill());
        label->setColour (juce::Label::textColourId, juce::Colours::whitesmoke);
    }
    labelInfoHeadings->setBounds (logRight + 32, 47, 80, 85);
    labelInfo->setBounds (labelInfoHeadings->getRight(), labelInfoHeadings->getY(),
                          getWidth() - logRight - 54 - labelInfoHeadings->getWidth() - 7, 85);
}

void AboutScreen::showInformation (const juce::String& buildDate, const platform::SystemDescription& system)
{
    const auto os = system.operatingSystem.contains ("OSX") ? juce::String ("macOS") : system.operatingSystem;

    juce::StringArray headings { "Version:", "Build Arch:", "CPU:", "OS:" };
    juce::StringArray values { applicationVersion, system.buildArchitecture, system.processorName, os };
    if (buildDate.isNotEmpty())
    {
        headings.insert (1, "Build Date:");
        values.insert (1, buildDate);
    }

    labelInfoHeadings->setText (headings.joinIntoString ("\n"), juce::dontSendNotification);
    fitTextToComponent (labelInfo.get(), values.joinIntoString ("\n"), false, {});

    // The tooltip shows the values whole, where the label may have cut them.
    juce::String tip;
    for (int i = 0; i < headings.size(); ++i)
        tip << headings[i] << " " << values[i] << "\n";
    tip = alignColumnsAtSeparator (labelInfo->getFont(), tip.trimEnd(), ':', 80.0f);
    labelInfo->setTooltip (tip);
    labelInfoHeadings->setTooltip (tip);
}

void AboutScreen::paint (juce::Graphics& g)
{
    g.fillAll (background);
}

void AboutScreen::resized()
{
}

void AboutScreen::textEditorReturnKeyPressed (juce::TextEditor&)
{
}

void AboutScreen::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    getTopLevelComponent()->exitModalState (0);
}
