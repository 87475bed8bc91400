#include "ui/TextFitting.h"

#include <cmath>

namespace
{
float widthOf (const juce::Font& font, const juce::String& text)
{
    return font.getStringWidthFloat (text);
}

// How many blanks make up the given width. A font whose blank has no width cannot move
// text with blanks at all, so it gets none rather than a division by zero.
float blanksFor (const juce::Font& font, float width)
{
    const auto blankW = widthOf (font, " ");
    return blankW > 0.0f ? width / blankW : 0.0f;
}

// The width the editor itself wraps its text at: inside its border, less its left indent,
// the 2 pixels it keeps for the caret at the right edge and, when it can scroll, the
// vertical scroll bar. The scroll bar counts from the start, so that lines fitted before
// the text scrolls still fit once it does.
float textWidthOf (juce::TextEditor& editor)
{
    auto width = editor.getWidth() - editor.getBorder().getLeftAndRight() - editor.getLeftIndent() - 2;
    if (editor.isMultiLine() && editor.areScrollbarsShown())
        for (auto* child : editor.getChildren())
            if (auto* viewport = dynamic_cast<juce::Viewport*> (child))
                width -= viewport->getScrollBarThickness();
    return (float) juce::jmax (0, width);
}

juce::String fitted (const juce::Font& font, const juce::String& text, bool aligned,
                     const juce::String& prefix, float width)
{
    return aligned ? wrapWithHangingIndent (font, text, prefix, width)
                   : ellipsizeLines (font, text, width);
}
}

juce::String alignColumnsAtSeparator (const juce::Font& font, const juce::String& text,
                                      juce::juce_wchar separator, float tabStop)
{
    juce::StringArray lines;
    lines.addLines (text);

    juce::String result;
    for (const auto& line : lines)
    {
        const auto idx = line.indexOfChar (separator);
        if (idx < 0)
        {
            result << line << "\n";
            continue;
        }

        const auto left = line.substring (0, idx + 1);
        const auto right = line.substring (idx + 1).trimStart();
        const auto blanks = std::round (juce::jmax (0.0f, blanksFor (font, tabStop - widthOf (font, left))));
        result << left << juce::String::repeatedString (" ", (int) blanks) << right << "\n";
    }
    return result.trimEnd();
}

EllipsizedLine ellipsizeLine (const juce::Font& font, const juce::String& line, float maxWidth)
{
    const auto limit = maxWidth - 1.0f;
    if (widthOf (font, line) <= limit)
        return { line, false };

    auto cut = line;
    while (cut.isNotEmpty() && widthOf (font, cut + "...") > limit)
        cut = cut.dropLastCharacters (1);

    return { cut.trimEnd() + "...", true };
}

juce::String ellipsizeLines (const juce::Font& font, const juce::String& text, float maxWidth)
{
    juce::StringArray lines;
    lines.addLines (text);
    for (auto& line : lines)
        line = ellipsizeLine (font, line, maxWidth).text;
    return lines.joinIntoString ("\n");
}

juce::String wrapWithHangingIndent (const juce::Font& font, const juce::String& text,
                                    const juce::String& prefix, float maxWidth)
{
    if (prefix.isEmpty())
        return text;

    const auto lead = prefix + " ";
    const auto leadW = widthOf (font, lead);
    const auto indent = juce::String::repeatedString (" ", juce::roundToInt (blanksFor (font, leadW)));

    juce::StringArray words;
    words.addTokens (text, " ", "");
    const auto available = maxWidth - leadW;

    juce::String line, result;
    float lineW = 0.0f;
    bool first = true;
    for (int i = 0; i < words.size(); ++i)
    {
        const auto token = i + 1 < words.size() ? words[i] + " " : words[i];
        const auto tokenW = widthOf (font, token);
        lineW += tokenW;

        if (lineW <= available || line.isEmpty())
        {
            line += token;
            continue;
        }

        result << (first ? lead : indent) << line.trimEnd() << "\n";
        first = false;
        line = token;
        lineW = tokenW;
    }
    return result + (first ? lead : indent) + line;
}

juce::String fitTextToComponent (juce::Component* component, const juce::String& text,
                                 bool aligned, const juce::String& prefix)
{
    if (auto* label = dynamic_cast<juce::Label*> (component))
    {
        const auto border = label->getLookAndFeel().getLabelBorderSize (*label);
        const auto width = (float) (label->getWidth() - border.getLeft() - border.getRight());
        const auto result = fitted (label->getFont(), text, aligned, prefix, width);
        label->setText (result, juce::dontSendNotification);
        return result;
    }

    if (auto* editor = dynamic_cast<juce::TextEditor*> (component))
    {
        return fitted (editor->getFont(), text, aligned, prefix, textWidthOf (*editor));
    }

    return text;
}
