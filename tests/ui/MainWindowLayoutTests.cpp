#include "tests/ui/MainComponentFixture.h"
#include "ui/UIColours.h"
#include "ui/UIComboBoxWithLookAndFeel.h"

namespace
{
constexpr int defaultLook = -1;

class MainWindowLayout : public MainComponentTest
{
protected:
    // The controls without a component ID: the labels by name, the bars in creation order.
    juce::Component* control (const juce::String& key)
    {
        if (auto* found = main->findChildWithID (key))
            return found;
        if (auto* label = labelNamed (key))
            return label;

        int barIndex = key == "progressBar1" ? 0 : key == "progressBar2" ? 1 : -1;
        for (auto* child : main->getChildren())
            if (dynamic_cast<juce::ProgressBar*> (child) != nullptr && barIndex-- == 0)
                return child;
        return nullptr;
    }

    static juce::String textOf (juce::Component& c)
    {
        if (auto* button = dynamic_cast<juce::Button*> (&c)) return button->getButtonText();
        if (auto* label = dynamic_cast<juce::Label*> (&c)) return label->getText();
        if (auto* group = dynamic_cast<juce::GroupComponent*> (&c)) return group->getText();
        if (auto* box = dynamic_cast<juce::ComboBox*> (&c)) return box->getTextWhenNoChoicesAvailable();
        if (auto* editor = dynamic_cast<juce::TextEditor*> (&c)) return editor->getText();
        return {};
    }

    static juce::String tooltipOf (juce::Component& c)
    {
        if (auto* client = dynamic_cast<juce::SettableTooltipClient*> (&c))
            return client->getTooltip();
        return {};
    }
};
}

TEST_F (MainWindowLayout, TheTwentyControls)
{
    struct Control
    {
        const char* key;
        const char* name;
        const char* text;
        const char* tooltip;
        juce::Rectangle<int> bounds;
        int look;
    };

    const Control controls[] = {
        { "btnScanDev", "Scan", "Scan", "Scan the network for Zorv Products", { 3, 4, 64, 64 }, 0 },
        { "btnSetIP", "Set IP", "Set IP", "Set IP addresses for scanning", { 69, 4, 64, 64 }, 0 },
        { "btnRenameDev", "Rename", "Rename", "Rename the selected device", { 135, 4, 64, 64 }, 0 },
        { "btnIdDev", "Identify", "Identify", "Identify the selected device", { 201, 4, 64, 64 }, 0 },
        { "btnAbout", "About", "About", "About Zorv Updater", { 651, 4, 64, 64 }, 0 },
        { "btnAdvanced", "Advanced", "Advanced", "Advanced Options", { 585, 4, 64, 64 }, 0 },
        { "btnAutoUpdate", "Auto", "Auto", "Update all the boards for the selected device automatically", { 519, 4, 64, 64 }, 0 },
        { "comboBoxDev", "comboBoxDev", "No devices found. Click Scan to begin", "No devices found. Click Scan to begin",
          { 38, 118, 320, 29 }, 1 },
        { "labelInfoHeadings", "labelInfoHeadings", "Type:\nName:\nIP:\nMAC:\nStatus:", "", { 38, 157, 70, 95 }, defaultLook },
        { "labelInfo", "labelInfo", "[No Zorv Products found]\n\n\n\n", "", { 108, 157, 250, 95 }, defaultLook },
        { "devGroupComp", "DeviceGroup", "  Zorv Products  ", "", { 18, 93, 360, 166 }, 2 },
        { "advGroupComp", "AdvancedGroup", "  Advanced Options  ", "", { 393, 93, 309, 166 }, 2 },
        { "comboPanels", "comboPanels", "", "Device board selection", { 413, 118, 269, 29 }, 1 },
        { "btnGetVersions", "Get Versions", "Get Versions",
          "Retrieve firmware versions for the selected Zorv Product and all its boards", { 413, 162, 269, 31 }, defaultLook },
        { "btnReset", "Reset", "Reset", "Reset the selected board", { 413, 204, 86, 31 }, defaultLook },
        { "btnCheck", "Check", "Check", "Check the selected board and show its details", { 504, 204, 86, 31 }, defaultLook },
        { "btnUpdate", "Update", "Update", "Update the firmware for the selected board", { 595, 204, 86, 31 }, defaultLook },
        { "textDevLog", "textDevLog", "", "", { 23, 279, 675, 351 }, 5 },
        { "progressBar1", "", "", "", { 23, 637, 676, 20 }, 3 },
        { "progressBar2", "", "", "", { 23, 664, 676, 5 }, 3 },
    };

    EXPECT_EQ (main->getNumChildComponents(), 20);
    EXPECT_EQ (main->getBounds(), juce::Rectangle<int> (0, 0, 720, 680));

    for (const auto& expected : controls)
    {
        auto* c = control (expected.key);
        ASSERT_NE (c, nullptr) << expected.key;
        EXPECT_EQ (c->getName(), expected.name) << expected.key;
        EXPECT_EQ (textOf (*c), expected.text) << expected.key;
        EXPECT_EQ (tooltipOf (*c), expected.tooltip) << expected.key;
        EXPECT_EQ (c->getBounds(), expected.bounds) << expected.key;
        EXPECT_TRUE (main->getLocalBounds().contains (c->getBounds())) << expected.key;

        const auto* look = expected.look == defaultLook ? &juce::LookAndFeel::getDefaultLookAndFeel()
                                                        : inspect().lookAndFeel ((std::size_t) expected.look);
        EXPECT_EQ (&c->getLookAndFeel(), look) << expected.key;

        const auto bar = dynamic_cast<juce::ProgressBar*> (c) != nullptr;
        EXPECT_EQ (c->isVisible(), ! bar) << expected.key << ": only the bars start hidden";
        EXPECT_FALSE (c->getWantsKeyboardFocus()) << expected.key;
    }
}

TEST_F (MainWindowLayout, ControlSettings)
{
    for (const auto* id : { "btnScanDev", "btnSetIP", "btnRenameDev", "btnIdDev", "btnAbout", "btnAdvanced", "btnAutoUpdate" })
    {
        auto* button = byId<juce::ImageButton> (id);
        ASSERT_NE (button, nullptr) << id;
        EXPECT_EQ (button->getNormalImage().getBounds(), juce::Rectangle<int> (48, 48)) << id;
        EXPECT_EQ (button->isToggleable(), juce::String (id) == "btnAdvanced") << id;
        EXPECT_FALSE (button->getClickingTogglesState()) << id;
    }

    for (auto* box : { &deviceBox(), &boardBox() })
    {
        EXPECT_FALSE (box->isTextEditable());
        EXPECT_EQ (box->getJustificationType(), juce::Justification (juce::Justification::centred));
        EXPECT_EQ (box->getTextWhenNothingSelected(), "");
    }

    auto& log = logView();
    EXPECT_TRUE (log.isMultiLine());
    EXPECT_TRUE (log.isReadOnly());
    EXPECT_TRUE (log.areScrollbarsShown());
    EXPECT_FALSE (log.isCaretVisible());
    EXPECT_FALSE (log.isPopupMenuEnabled());

    auto& combo = static_cast<UIComboBoxWithLookAndFeel&> (*inspect().lookAndFeel (1));
    EXPECT_TRUE (combo.drawOutline);
    EXPECT_TRUE (combo.drawArrow);
    EXPECT_EQ (combo.arrowInset, 15.0f);
    EXPECT_EQ (combo.hoverBrightness, 0.0f);

    EXPECT_EQ (&inspect().tooltipWindow().getLookAndFeel(), inspect().lookAndFeel (4));
}

TEST_F (MainWindowLayout, Colours)
{
    struct Expected { juce::Component* c; int id; juce::Colour colour; };
    auto* look = inspect().lookAndFeel (1);
    auto* logLook = inspect().lookAndFeel (5);

    std::vector<Expected> colours {
        { &deviceBox(), juce::ComboBox::backgroundColourId, juce::Colour (0xff454545) },
        { &boardBox(), juce::ComboBox::backgroundColourId, UIColours::controlFill() },
        { control ("labelInfo"), juce::Label::backgroundColourId, juce::Colour (0xff3c3c3c) },
        { control ("labelInfoHeadings"), juce::Label::textColourId, juce::Colour (0xfff5f5f5) },
        { control ("devGroupComp"), juce::GroupComponent::outlineColourId, UIColours::outline() },
        { control ("advGroupComp"), juce::GroupComponent::textColourId, juce::Colours::white },
        { control ("btnUpdate"), juce::TextButton::buttonColourId, UIColours::controlFill() },
        { control ("btnReset"), juce::ComboBox::outlineColourId, UIColours::buttonOutline() },
        { control ("btnCheck"), juce::TextButton::textColourOffId, juce::Colours::white },
        { &logView(), juce::TextEditor::backgroundColourId, UIColours::fieldBackground() },
        { &logView(), juce::TextEditor::focusedOutlineColourId, UIColours::outline() },
        { &logView(), juce::TextEditor::highlightColourId, juce::Colour (0x00000000) },
        { control ("progressBar1"), juce::ProgressBar::foregroundColourId, UIColours::accentBlue() },
        { control ("progressBar2"), juce::ProgressBar::foregroundColourId, juce::Colour (0xff4e4e4e) },
        { control ("progressBar2"), juce::ProgressBar::backgroundColourId, UIColours::fieldBackground() },
    };
    for (auto* box : { &deviceBox(), &boardBox() })
    {
        colours.push_back ({ box, juce::ComboBox::textColourId, juce::Colours::white });
        colours.push_back ({ box, juce::ComboBox::outlineColourId, UIColours::outline() });
        colours.push_back ({ box, juce::ComboBox::arrowColourId, juce::Colour (0xffd3d3d3) });
    }

    for (const auto& e : colours)
        EXPECT_EQ (e.c->findColour (e.id), e.colour) << e.c->getName() << " " << std::hex << e.id;

    EXPECT_EQ (look->findColour (juce::PopupMenu::backgroundColourId), juce::Colour (0xff353535));
    EXPECT_EQ (look->findColour (juce::PopupMenu::highlightedBackgroundColourId), juce::Colour (0xff1c4d7f));
    EXPECT_EQ (look->findColour (juce::PopupMenu::highlightedTextColourId), juce::Colours::white);
    EXPECT_EQ (logLook->findColour (juce::ScrollBar::thumbColourId), UIColours::panelFill());
    EXPECT_EQ (static_cast<CustomGroupComponentLookAndFeel&> (*inspect().lookAndFeel (2)).fillColour, UIColours::panelFill());
}

TEST_F (MainWindowLayout, Fonts)
{
    const auto roboto = robotoRegularTypeface()->getName();
    const auto mono = robotoMonoRegularTypeface()->getName();
    ASSERT_NE (roboto, mono);

    struct Expected { juce::Font font; juce::String face; float height; };
    for (const auto& e : { Expected { labelNamed ("labelInfo")->getFont(), roboto, 17.0f },
                           Expected { labelNamed ("labelInfoHeadings")->getFont(), roboto, 17.0f },
                           Expected { logView().getFont(), mono, 16.0f },
                           Expected { static_cast<UIComboBoxWithLookAndFeel&> (*inspect().lookAndFeel (1)).comboFont, roboto, 17.0f },
                           Expected { static_cast<UITooltipWindowLookAndFeel&> (*inspect().lookAndFeel (4)).tipFont, roboto, 14.0f } })
    {
        EXPECT_EQ (e.font.getTypefacePtr()->getName(), e.face);
        EXPECT_FLOAT_EQ (e.font.getHeight(), e.height);
    }

    EXPECT_EQ (juce::LookAndFeel::getDefaultLookAndFeel().getTypefaceForFont (juce::Font (15.0f)), robotoRegularTypeface())
        << "every font made by height draws in Roboto";
}

TEST_F (MainWindowLayout, InitialEnabledSet)
{
    for (const auto* key : { "btnScanDev", "btnSetIP", "btnAbout", "comboBoxDev", "labelInfoHeadings", "labelInfo" })
        EXPECT_TRUE (control (key)->isEnabled()) << key;

    for (const auto* key : { "btnRenameDev", "btnIdDev", "btnAutoUpdate", "btnAdvanced", "advGroupComp", "comboPanels",
                             "btnGetVersions", "btnReset", "btnCheck", "btnUpdate" })
        EXPECT_FALSE (control (key)->isEnabled()) << key;
}

TEST_F (MainWindowLayout, BandAndBackground)
{
    const auto image = main->createComponentSnapshot (main->getLocalBounds(), true, 1.0f);

    for (const auto& [x, y] : { std::pair { 400, 0 }, std::pair { 400, 71 }, std::pair { 0, 36 }, std::pair { 719, 36 } })
        EXPECT_TRUE (uitest::closeColour (image.getPixelAt (x, y), juce::Colour (0xff161616), 1)) << x << "," << y;

    EXPECT_TRUE (uitest::closeColour (image.getPixelAt (400, 1), juce::Colour (0xff3d3d3d), 2));
    EXPECT_TRUE (uitest::closeColour (image.getPixelAt (400, 36), juce::Colour (0xff3d3d3d).interpolatedWith (juce::Colour (0xff1e1e1e), 0.5f), 2));
    EXPECT_TRUE (uitest::closeColour (image.getPixelAt (400, 70), juce::Colour (0xff1e1e1e), 2));

    for (const auto& [x, y] : { std::pair { 5, 80 }, std::pair { 385, 150 }, std::pair { 710, 660 }, std::pair { 5, 675 } })
        EXPECT_TRUE (uitest::closeColour (image.getPixelAt (x, y), juce::Colour (0xff353535), 0)) << x << "," << y;
}

// Each group box is sent to the back, behind the controls drawn on it: by child order, and
// by a pixel inside the device box.
TEST_F (MainWindowLayout, GroupBoxesLieBehindTheirControls)
{
    const auto& children = main->getChildren();
    const auto order = [&] (const char* key) { return children.indexOf (control (key)); };

    for (const auto* group : { "devGroupComp", "advGroupComp" })
    {
        ASSERT_GE (order (group), 0) << group;
        for (const auto* key : { "comboBoxDev", "labelInfoHeadings", "labelInfo", "comboPanels", "btnGetVersions",
                                 "btnReset", "btnCheck", "btnUpdate" })
        {
            ASSERT_GE (order (key), 0) << key;
            EXPECT_LT (order (group), order (key)) << group << " before " << key;
        }
    }

    // A group drawn in front would cover the device box with its fill. (The board box is
    // disabled, and so drawn half transparent: its pixels are not its own.)
    const auto window = main->createComponentSnapshot (main->getLocalBounds(), true, 1.0f);
    auto* box = control ("comboBoxDev");
    const auto own = box->createComponentSnapshot (box->getLocalBounds(), true, 1.0f);
    const juce::Point<int> inside { 4, box->getHeight() / 2 };
    const auto at = box->getPosition() + inside;
    EXPECT_TRUE (uitest::closeColour (window.getPixelAt (at.x, at.y), own.getPixelAt (inside.x, inside.y), 2));
    EXPECT_NE (window.getPixelAt (at.x, at.y), juce::Colour (0xff3c3c3c));
}
