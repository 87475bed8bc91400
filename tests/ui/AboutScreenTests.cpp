#include "logging/AppFolders.h"
#include "tests/support/TestFolders.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/AboutScreen.h"
#include "ui/Changelog.h"

namespace
{
const platform::SystemDescription testSystem { "x64 64-bit", "Test Processor 3000", "Linux 6.1.0-test" };

class AboutScreenTest : public UiTest
{
protected:
    juce::File changelog (const juce::String& text)
    {
        const auto file = folder.file().getChildFile ("Changelog.txt");
        EXPECT_TRUE (file.replaceWithText (text));
        return file;
    }

    static juce::Label& label (AboutScreen& screen, const char* name) { return *uitest::childNamed<juce::Label> (screen, name); }
    static juce::TextEditor& textLog (AboutScreen& screen) { return *uitest::childNamed<juce::TextEditor> (screen, "textLog"); }

    static juce::StringArray linesOf (const juce::String& text)
    {
        juce::StringArray lines;
        lines.addLines (text);
        return lines;
    }

    testfolders::TemporaryFolder folder;
};
}

TEST_F (AboutScreenTest, Layout)
{
    AboutScreen screen (changelog ("12 March 2024\n"), testSystem);
    EXPECT_EQ (screen.getWidth(), 845);
    EXPECT_EQ (screen.getHeight(), 275);

    const std::pair<const char*, juce::Rectangle<int>> expected[] = {
        { "LogGroup", { 17, 17, 500, 270 } },
        { "textLog", { 22, 42, 490, 240 } },
        { "InfoGroup", { 537, 17, 291, 135 } },
        { "labelInfoHeadings", { 549, 47, 80, 85 } },
        { "labelInfo", { 629, 47, 187, 85 } },
    };
    for (const auto& [name, bounds] : expected)
    {
        auto* child = uitest::childNamed<juce::Component> (screen, name);
        ASSERT_NE (child, nullptr) << name;
        EXPECT_EQ (child->getBounds(), bounds) << name;
    }
    EXPECT_EQ (uitest::childNamed<juce::GroupComponent> (screen, "InfoGroup")->getText(),
               "  Zorv Updater  |  System Infomation  ");
    EXPECT_EQ (uitest::childNamed<juce::GroupComponent> (screen, "LogGroup")->getText(),
               "  Changelog  |  Release  |  Feature Notes  ");
}

TEST_F (AboutScreenTest, InformationWithAndWithoutBuildDate)
{
    const auto text = juce::String ("12 March 2024\n\nZorv Updater 7.48\n- Notes\n");
    AboutScreen dated (changelog (text), testSystem);
    EXPECT_EQ (textLog (dated).getText(), text);
    EXPECT_EQ (label (dated, "labelInfoHeadings").getText(), "Version:\nBuild Date:\nBuild Arch:\nCPU:\nOS:");
    EXPECT_EQ (label (dated, "labelInfo").getText(), "7.48\n12/03/2024\nx64 64-bit\nTest Processor 3000\nLinux 6.1.0-test");

    AboutScreen undated (changelog ("Release 12 March 2024\n- Notes\n"), testSystem);
    EXPECT_EQ (textLog (undated).getText(), "Release 12 March 2024\n- Notes\n");
    EXPECT_EQ (label (undated, "labelInfoHeadings").getText(), "Version:\nBuild Arch:\nCPU:\nOS:");
    EXPECT_EQ (label (undated, "labelInfo").getText(), "7.48\nx64 64-bit\nTest Processor 3000\nLinux 6.1.0-test");

    AboutScreen missing (folder.file().getChildFile ("Missing.txt"), testSystem);
    EXPECT_EQ (textLog (missing).getText(), "");
    EXPECT_EQ (label (missing, "labelInfoHeadings").getText(), "Version:\nBuild Arch:\nCPU:\nOS:");
}

// A user's Downloads folder often has letters beyond ASCII, and beyond the code page.
TEST_F (AboutScreenTest, ChangelogInAFolderWithLettersBeyondAscii)
{
    const auto inner = folder.file().getChildFile (juce::String::fromUTF8 ("Prüfung Ö")).getChildFile (juce::String::fromUTF8 ("Ελληνικά"));
    ASSERT_TRUE (inner.createDirectory());
    const auto file = inner.getChildFile ("Changelog.txt");
    ASSERT_TRUE (file.replaceWithText ("12 March 2024\n- Notes\n"));

    AboutScreen screen (file, testSystem);
    EXPECT_EQ (textLog (screen).getText(), "12 March 2024\n- Notes\n");
    EXPECT_EQ (label (screen, "labelInfo").getText(), "7.48\n12/03/2024\nx64 64-bit\nTest Processor 3000\nLinux 6.1.0-test");
}

TEST_F (AboutScreenTest, LongValuesAreCutInTheLabelButWholeInTheTooltip)
{
    const juce::String longName ("Very Long Processor Brand Name With Many Cores @ 4.20GHz");
    AboutScreen screen (changelog ("1 May 2025\n"), { "x64 64-bit", longName, "Linux" });

    const auto values = linesOf (label (screen, "labelInfo").getText());
    ASSERT_EQ (values.size(), 5);
    EXPECT_TRUE (values[3].endsWith ("...")) << values[3];
    EXPECT_TRUE (longName.startsWith (values[3].dropLastCharacters (3)));
    EXPECT_EQ (values[4], "Linux");

    const auto tip = label (screen, "labelInfo").getTooltip();
    EXPECT_EQ (label (screen, "labelInfoHeadings").getTooltip(), tip);
    const auto tipLines = linesOf (tip);
    ASSERT_EQ (tipLines.size(), 5);
    EXPECT_TRUE (tipLines[0].startsWith ("Version:")) << tipLines[0];
    EXPECT_TRUE (tipLines[0].endsWith (" 7.48"));
    EXPECT_TRUE (tipLines[1].endsWith (" 01/05/2025"));
    EXPECT_TRUE (tipLines[3].startsWith ("CPU:"));
    EXPECT_TRUE (tipLines[3].endsWith (" " + longName)) << tipLines[3];
}

TEST_F (AboutScreenTest, OperatingSystemNames)
{
    struct Case { const char* reported; const char* shown; };
    for (const auto& c : { Case { "Mac OSX 10.15", "macOS" }, Case { "OSX", "macOS" }, Case { "Windows 11", "Windows 11" },
                           Case { "Linux 6.1.0-18-amd64", "Linux 6.1.0-18-amd64" } })
    {
        AboutScreen screen (changelog (""), { "x64 64-bit", "", c.reported });
        EXPECT_EQ (linesOf (label (screen, "labelInfo").getText())[3], c.shown) << c.reported;
    }
}

TEST_F (AboutScreenTest, ReadsTheChangelogBesideTheExecutable)
{
    const auto file = juce::File (juce::String (getExecutableDirectory())).getChildFile ("Changelog.txt");
    ASSERT_TRUE (file.existsAsFile()) << "the build places it beside the test executable";
    const auto expectedDate = buildDateFromLine (firstLineOf (file.loadFileAsString()));
    EXPECT_EQ (expectedDate.length(), 10) << expectedDate;
    EXPECT_TRUE (expectedDate.containsOnly ("0123456789/")) << expectedDate;

    AboutScreen screen;
    EXPECT_EQ (textLog (screen).getText(), file.loadFileAsString());
    const auto values = linesOf (label (screen, "labelInfo").getText());
    ASSERT_EQ (values.size(), 5);
    EXPECT_EQ (values[1], expectedDate);

    const auto system = platform::describeSystem();
    EXPECT_TRUE (system.buildArchitecture.endsWith ("-bit")) << system.buildArchitecture;
    EXPECT_TRUE (system.operatingSystem.isNotEmpty());
    EXPECT_EQ (system.processorName, system.processorName.trim());
   #if JUCE_INTEL && JUCE_64BIT
    EXPECT_EQ (system.buildArchitecture, "x64 64-bit");
   #endif
}

TEST_F (AboutScreenTest, EscapeEndsTheDialogWithZero)
{
    AboutScreen screen (changelog ("1 May 2025\n"), testSystem);
    uitest::HeadlessDialog dialog (screen);
    screen.textEditorReturnKeyPressed (textLog (screen));
    EXPECT_FALSE (dialog.waitForResult (100).has_value());
    screen.textEditorEscapeKeyPressed (textLog (screen));
    EXPECT_EQ (dialog.waitForResult(), 0);
}
