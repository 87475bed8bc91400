#include "tests/support/TestFolders.h"
#include "ui/Changelog.h"

#include <gtest/gtest.h>


namespace
{
class ChangelogTest : public ::testing::Test
{
protected:
    juce::File write (const void* data, size_t size)
    {
        const auto file = folder.file().getChildFile ("Changelog.txt");
        EXPECT_TRUE (file.replaceWithData (data, size));
        return file;
    }

    juce::File write (const std::string& text) { return write (text.data(), text.size()); }

    testfolders::TemporaryFolder folder;
};
}

TEST (BuildDateRule, LinesThatNameADate)
{
    struct Case { const char* line; const char* date; };
    for (const auto& c : { Case { "12 March 2024", "12/03/2024" },
                           Case { "5 sept 2023", "05/09/2023" },
                           Case { "31 Feb 2024", "31/02/2024" },
                           Case { "12th Mar 2024", "12/03/2024" },
                           Case { "12\tMARCH\t2024", "12/03/2024" },
                           Case { "  1   may 2025 ", "01/05/2025" },
                           Case { "007 Dec 2024ad", "07/12/2024" },
                           Case { "+9 june 0099", "09/06/99" },
                           Case { "1 January 99999999999999999999", "01/01/99999999999999999999" } })
    {
        EXPECT_EQ (buildDateFromLine (c.line), c.date) << c.line;
    }

    const char* const months[] = { "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec" };
    const char* const longMonths[] = { "January", "February", "March", "April", "May", "June", "July", "August",
                                       "September", "October", "November", "December" };
    for (int m = 0; m < 12; ++m)
    {
        const auto expected = "02/" + juce::String (m + 1).paddedLeft ('0', 2) + "/2026";
        EXPECT_EQ (buildDateFromLine (juce::String ("2 ") + months[m] + " 2026"), expected);
        EXPECT_EQ (buildDateFromLine (juce::String ("2 ") + longMonths[m] + " 2026"), expected);
    }
}

TEST (BuildDateRule, LinesThatNameNoDate)
{
    for (const auto* line : { "March 12 2024", "12-03-2024", "Release 12 March 2024", "12 Mars 2024", "0 March 2024",
                              "32 March 2024", "-5 March 2024", "5 March -2024", "5 March 0", "5 March year",
                              "5 Marc 2024", "5 septem 2024", "999 March 2024", "", "12 March" })
    {
        EXPECT_EQ (buildDateFromLine (line), "") << line;
    }
}

TEST (BuildDateRule, FirstLineIsTrimmedOfCarriageReturnsAndBlanks)
{
    EXPECT_EQ (firstLineOf ("  12 March 2024 \r\nRelease notes\n"), "12 March 2024");
    EXPECT_EQ (firstLineOf ("12 March\r 2024"), "12 March 2024");
    EXPECT_EQ (firstLineOf ("no line break"), "no line break");
    EXPECT_EQ (firstLineOf ("\nsecond"), "");
}

TEST_F (ChangelogTest, FileWithADate)
{
    const std::string text = "  12 March 2024\r\n\r\nZorv Updater 7.48\r\n- Notes\r\n";
    const auto changelog = readChangelog (write (text));
    EXPECT_EQ (changelog.text, juce::String (text));
    EXPECT_EQ (changelog.buildDate, "12/03/2024");

    EXPECT_EQ (readChangelog (write ("5 sept 2023")).buildDate, "05/09/2023");
}

TEST_F (ChangelogTest, MalformedFirstLineShowsTheTextWithoutADate)
{
    const auto changelog = readChangelog (write ("Release 12 March 2024\nNotes\n"));
    EXPECT_EQ (changelog.text, "Release 12 March 2024\nNotes\n");
    EXPECT_EQ (changelog.buildDate, "");
}

TEST_F (ChangelogTest, MissingEmptyOrFolderGivesNothing)
{
    EXPECT_EQ (readChangelog (folder.file().getChildFile ("Changelog.txt")).text, "");

    const auto empty = readChangelog (write (""));
    EXPECT_EQ (empty.text, "");
    EXPECT_EQ (empty.buildDate, "");

    const auto subfolder = folder.file().getChildFile ("Folder.txt");
    ASSERT_TRUE (subfolder.createDirectory());
    EXPECT_EQ (readChangelog (subfolder).text, "");
}

TEST_F (ChangelogTest, HugeFileIsCutAtALineEnd)
{
    std::string text = "12 March 2024\n";
    for (int line = 0; text.size() < 3 * 1024 * 1024; ++line)
        text += "Line " + std::to_string (line) + ": a change that goes on for a while, \xc3\xa9t\xc3\xa9 included\n";

    const auto changelog = readChangelog (write (text));
    const auto shown = changelog.text.toStdString();
    EXPECT_LE (shown.size(), (size_t) maxChangelogBytes);
    EXPECT_GT (shown.size(), (size_t) maxChangelogBytes - 200);
    EXPECT_EQ (shown.back(), '\n');
    EXPECT_EQ (text.compare (0, shown.size(), shown), 0);
    EXPECT_EQ (changelog.buildDate, "12/03/2024");
}

TEST_F (ChangelogTest, HugeSingleLineIsBounded)
{
    const std::string text (8 * 1024 * 1024, 'x');
    const auto changelog = readChangelog (write (text));
    EXPECT_EQ (changelog.text.length(), maxChangelogBytes);
    EXPECT_EQ (changelog.buildDate, "");
}

TEST_F (ChangelogTest, BinaryAndForeignEncodings)
{
    // Latin-1 is no UTF-8: read as Windows-1252, and the date line still counts.
    const auto latin = readChangelog (write ("12 March 2024\n\xc4nderungen\n"));
    EXPECT_EQ (latin.text, juce::String::fromUTF8 ("12 March 2024\n\xc3\x84nderungen\n"));
    EXPECT_EQ (latin.buildDate, "12/03/2024");

    // UTF-16 with its byte-order mark.
    const char utf16[] = "\xff\xfe" "1\0" "2\0" " \0" "M\0" "a\0" "y\0" " \0" "2\0" "0\0" "2\0" "4\0" "\n\0" "o\0" "k\0";
    const auto wide = readChangelog (write (utf16, sizeof (utf16) - 1));
    EXPECT_EQ (wide.text, "12 May 2024\nok");
    EXPECT_EQ (wide.buildDate, "12/05/2024");

    // Zero bytes would end the text early; they are dropped.
    const char zeros[] = "1\0" "2 May 2024\n\0" "after";
    const auto withZeros = readChangelog (write (zeros, sizeof (zeros) - 1));
    EXPECT_EQ (withZeros.text, "12 May 2024\nafter");
    EXPECT_EQ (withZeros.buildDate, "12/05/2024");

    juce::Random random (51000);
    juce::MemoryBlock noise (300 * 1024);
    random.fillBitsRandomly (noise.getData(), noise.getSize());
    const auto binary = readChangelog (write (noise.getData(), noise.getSize()));
    EXPECT_GT (binary.text.length(), 0);
    EXPECT_FALSE (binary.text.containsChar (0));
}
