#include "tests/ui/UiTestSupport.h"
#include "ui/TextFitting.h"

#include <cstring>
#include <tuple>

namespace
{
float widthOf (const juce::Font& font, const juce::String& text)
{
    return font.getStringWidthFloat (text);
}

// A face whose blank takes no room at all, while every other printable character does.
juce::Font fontWithZeroWidthBlank()
{
    juce::Typeface::Ptr face (new juce::CustomTypeface());
    auto& custom = static_cast<juce::CustomTypeface&> (*face);
    custom.setCharacteristics ("ZeroBlank", 0.8f, false, false, ' ');
    juce::Path box;
    box.addRectangle (0.0f, 0.2f, 0.4f, 0.6f);
    for (juce::juce_wchar c = 33; c < 127; ++c)
        custom.addGlyph (c, box, 0.5f);
    custom.addGlyph (' ', {}, 0.0f);
    custom.addGlyph (0x2022, box, 0.5f);
    return juce::Font (face).withHeight (16.0f);
}

juce::StringArray linesOf (const juce::String& text)
{
    juce::StringArray lines;
    lines.addLines (text);
    return lines;
}

class TextFitting : public UiTest
{
protected:
    const juce::Font font = uitest::roboto (17.0f);
    const juce::Font mono = uitest::robotoMono (16.0f);
};
}

TEST_F (TextFitting, ValuesStartNearestTheTabStop)
{
    const auto result = alignColumnsAtSeparator (font, "Type: Console\nIP: 10.10.251.7", ':', 80.0f);
    const auto lines = linesOf (result);
    ASSERT_EQ (lines.size(), 2);

    const auto blankW = widthOf (font, " ");
    for (const auto& [line, heading, value] : { std::tuple { lines[0], "Type:", "Console" },
                                                std::tuple { lines[1], "IP:", "10.10.251.7" } })
    {
        ASSERT_TRUE (line.startsWith (heading));
        EXPECT_TRUE (line.endsWith (value));
        const auto lead = line.dropLastCharacters ((int) strlen (value));
        EXPECT_TRUE (lead.substring ((int) strlen (heading)).containsOnly (" "));
        EXPECT_LE (std::abs (widthOf (font, lead) - 80.0f), blankW / 2.0f + 0.01f) << line;
    }
}

TEST_F (TextFitting, AlignmentEdgeCases)
{
    struct Case { const char* text; const char* expected; };
    for (const auto& c : { Case { "A heading far wider than the stop:   value", "A heading far wider than the stop:value" },
                           Case { "no separator here", "no separator here" },
                           Case { "", "" } })
    {
        EXPECT_EQ (alignColumnsAtSeparator (font, c.text, ':', 80.0f), c.expected);
    }

    const auto result = alignColumnsAtSeparator (font, "IP: 10.0.0.1:51000\r\nplain\n", ':', 80.0f);
    EXPECT_TRUE (result.startsWith ("IP: ")) << result;
    EXPECT_TRUE (result.endsWith ("10.0.0.1:51000\nplain")) << result;
}

TEST_F (TextFitting, EllipsizedLineFitsOneLessThanTheWidth)
{
    const juce::String line ("Firmware0123456789ABCDEF");
    const auto full = widthOf (font, line);

    EXPECT_EQ (ellipsizeLine (font, line, full + 1.0f).text, line);
    EXPECT_FALSE (ellipsizeLine (font, line, full + 1.0f).truncated);

    const auto cut = ellipsizeLine (font, line, full + 0.9f);
    EXPECT_TRUE (cut.truncated);

    for (const auto maxWidth : { full + 0.9f, full * 0.5f, 40.0f })
    {
        const auto shortened = ellipsizeLine (font, line, maxWidth);
        ASSERT_TRUE (shortened.text.endsWith ("...")) << maxWidth;
        EXPECT_LE (widthOf (font, shortened.text), maxWidth - 1.0f);

        const auto kept = shortened.text.dropLastCharacters (3);
        EXPECT_TRUE (line.startsWith (kept));
        EXPECT_GT (widthOf (font, line.substring (0, kept.length() + 1) + "..."), maxWidth - 1.0f)
            << "the cut must keep as much as fits";
    }
}

TEST_F (TextFitting, EllipsisEdgeCases)
{
    EXPECT_EQ (ellipsizeLine (font, "Anything long", 2.0f).text, "...");

    const auto limit = widthOf (font, "Word ...");
    EXPECT_EQ (ellipsizeLine (font, "Word and more", limit + 1.0f).text, "Word...");

    const auto longLine = juce::String ("A line much too long for the width given");
    const auto maxWidth = widthOf (font, "short") + 30.0f;
    const auto lines = linesOf (ellipsizeLines (font, "short\n" + longLine, maxWidth));
    ASSERT_EQ (lines.size(), 2);
    EXPECT_EQ (lines[0], "short");
    EXPECT_EQ (lines[1], ellipsizeLine (font, longLine, maxWidth).text);
}

TEST_F (TextFitting, ContinuationLinesStartUnderTheText)
{
    const juce::String prefix = juce::String::charToString (0x2022);
    const juce::String text ("Board 3 of 12 updated from version 1.02 to 1.07 in 48 seconds after two tries");
    const auto maxWidth = 260.0f;
    const auto lines = linesOf (wrapWithHangingIndent (mono, text, prefix, maxWidth));
    ASSERT_GT (lines.size(), 2);

    const auto lead = prefix + " ";
    EXPECT_TRUE (lines[0].startsWith (lead));
    juce::StringArray words;
    for (int i = 0; i < lines.size(); ++i)
    {
        EXPECT_LE (widthOf (mono, lines[i].trimEnd()), maxWidth) << lines[i];
        const auto body = lines[i].substring (lead.length());
        if (i > 0)
        {
            EXPECT_EQ (lines[i].substring (0, lead.length()), "  ") << "indent as wide as the lead in a monospace font";
        }
        EXPECT_FALSE (body.startsWith (" "));
        words.add (body);
    }
    EXPECT_EQ (words.joinIntoString (" "), text);
}

TEST_F (TextFitting, WrappingEdgeCases)
{
    const juce::String wide ("Averyveryverylongwordthatcannotfit");
    EXPECT_EQ (wrapWithHangingIndent (font, wide + " " + wide, "", 10.0f), wide + " " + wide);
    EXPECT_EQ (wrapWithHangingIndent (font, "", ">", 100.0f), "> ");
    EXPECT_EQ (wrapWithHangingIndent (font, "fits well", ">", 300.0f), "> fits well");

    const auto lines = linesOf (wrapWithHangingIndent (mono, "a " + wide + " b", ">", 120.0f));
    ASSERT_EQ (lines.size(), 3);
    EXPECT_EQ (lines[0], "> a");
    EXPECT_EQ (lines[1], "  " + wide);
    EXPECT_EQ (lines[2], "  b");
}

TEST_F (TextFitting, ZeroWidthBlankNeverDividesByZero)
{
    const auto zero = fontWithZeroWidthBlank();
    ASSERT_EQ (widthOf (zero, " "), 0.0f);
    ASSERT_GT (widthOf (zero, "Type:"), 0.0f);

    EXPECT_EQ (alignColumnsAtSeparator (zero, "Type: Console\nIP: 1.2.3.4", ':', 80.0f), "Type:Console\nIP:1.2.3.4");

    const auto wrapped = wrapWithHangingIndent (zero, "one two three four", "#", 50.0f);
    const auto lines = linesOf (wrapped);
    ASSERT_GT (lines.size(), 1) << wrapped;
    EXPECT_TRUE (lines[0].startsWith ("# "));
    EXPECT_FALSE (lines[1].startsWith (" ")) << "no blank can indent when blanks take no room";
}

TEST_F (TextFitting, FitsToTheComponentKind)
{
    const juce::String text ("A line of text that is too long for a narrow field");

    juce::Component plain;
    plain.setSize (50, 20);
    EXPECT_EQ (fitTextToComponent (&plain, text, false, ""), text);
    EXPECT_EQ (fitTextToComponent (nullptr, text, true, ">"), text);

    juce::Label label;
    label.setFont (font);
    label.setSize (120, 20);
    const auto border = label.getLookAndFeel().getLabelBorderSize (label);
    const auto labelWidth = (float) (120 - border.getLeftAndRight());
    const auto onLabel = fitTextToComponent (&label, text, false, "");
    EXPECT_EQ (onLabel, ellipsizeLines (font, text, labelWidth));
    EXPECT_EQ (label.getText(), onLabel);
    EXPECT_EQ (fitTextToComponent (&label, text, true, ">"), wrapWithHangingIndent (font, text, ">", labelWidth));

    // The editor wraps inside its border (1 + 3), its left indent (4) and the 2 pixels it keeps
    // for the caret, beside its scroll bar when it can scroll.
    struct Case { bool multiLine; bool scrollbars; float width; };
    for (const auto& c : { Case { false, true, 190.0f }, Case { true, true, 179.0f }, Case { true, false, 190.0f } })
    {
        juce::TextEditor editor;
        editor.setFont (mono);
        editor.setMultiLine (c.multiLine);
        editor.setScrollbarsShown (c.scrollbars);
        editor.setScrollBarThickness (11);
        editor.setSize (200, 100);
        EXPECT_EQ (fitTextToComponent (&editor, text, true, ">"), wrapWithHangingIndent (mono, text, ">", c.width))
            << "multi-line " << c.multiLine << ", scroll bars " << c.scrollbars;
        EXPECT_TRUE (editor.getText().isEmpty());
    }
}
