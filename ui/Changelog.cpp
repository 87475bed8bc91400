#include "ui/Changelog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace
{
bool isRegularFile (const juce::File& file)
{
    std::error_code error;
    return std::filesystem::is_regular_file (std::filesystem::u8path (file.getFullPathName().toStdString()), error);
}

bool startsWithUtf16Mark (const juce::MemoryBlock& bytes)
{
    return bytes.getSize() >= 2
        && ((bytes[0] == (char) 0xff && bytes[1] == (char) 0xfe) || (bytes[0] == (char) 0xfe && bytes[1] == (char) 0xff));
}

// A zero byte would end the text early and can hide a broken multi-byte sequence from the
// UTF-8 check; UTF-16 keeps its zero bytes, which belong to its characters.
void dropZeroBytes (juce::MemoryBlock& bytes)
{
    auto* data = static_cast<char*> (bytes.getData());
    const auto end = std::remove (data, data + bytes.getSize(), '\0');
    bytes.setSize ((size_t) (end - data));
}

// The cut may split a character: the last line break before it is a safe place to end.
void cutAtLastLineBreak (juce::MemoryBlock& bytes)
{
    const auto* data = static_cast<const char*> (bytes.getData());
    for (auto size = bytes.getSize(); size > 0; --size)
    {
        if (data[size - 1] == '\n')
        {
            bytes.setSize (size);
            return;
        }
    }
}

juce::String decode (juce::MemoryBlock bytes, bool cut)
{
    if (! startsWithUtf16Mark (bytes))
    {
        dropZeroBytes (bytes);
        if (cut)
            cutAtLastLineBreak (bytes);
    }
    return juce::String::createStringFromData (bytes.getData(), (int) bytes.getSize());
}

// The leading decimal digits of a token after an optional sign. Kept as text without
// leading zeros, so that no number of digits can overflow; empty for zero or no digits.
struct LeadingNumber
{
    bool negative = false;
    juce::String digits;

    bool isPositive() const { return ! negative && digits.isNotEmpty(); }
};

LeadingNumber leadingNumber (const juce::String& token)
{
    LeadingNumber number;
    auto p = token.getCharPointer();
    if (*p == '+' || *p == '-')
        number.negative = (p.getAndAdvance() == '-');

    while (*p == '0')
        ++p;
    const auto start = p;
    while (*p >= '0' && *p <= '9')
        ++p;
    number.digits = juce::String (start, p);
    return number;
}

int monthNumber (const juce::String& word)
{
    static const juce::StringArray names[] = {
        { "jan", "january" }, { "feb", "february" }, { "mar", "march" }, { "apr", "april" },
        { "may" }, { "jun", "june" }, { "jul", "july" }, { "aug", "august" },
        { "sep", "sept", "september" }, { "oct", "october" }, { "nov", "november" }, { "dec", "december" }
    };
    for (int month = 0; month < 12; ++month)
        if (names[month].contains (word))
            return month + 1;
    return 0;
}
}

Changelog readChangelog (const juce::File& file)
{
    if (! isRegularFile (file))
        return {};

    juce::FileInputStream in (file);
    if (! in.openedOk())
        return {};

    juce::MemoryBlock bytes;
    in.readIntoMemoryBlock (bytes, maxChangelogBytes);
    const auto cut = ! in.isExhausted();

    Changelog changelog;
    changelog.text = decode (std::move (bytes), cut);
    changelog.buildDate = buildDateFromLine (firstLineOf (changelog.text));
    return changelog;
}

juce::String firstLineOf (const juce::String& text)
{
    return text.upToFirstOccurrenceOf ("\n", false, false).removeCharacters ("\r").trim();
}

juce::String buildDateFromLine (const juce::String& line)
{
    juce::StringArray tokens;
    tokens.addTokens (line, " \t", "");
    tokens.removeEmptyStrings();
    if (tokens.size() != 3)
        return {};

    const auto day = leadingNumber (tokens[0]);
    const auto month = monthNumber (tokens[1].toLowerCase());
    const auto year = leadingNumber (tokens[2]);
    if (! day.isPositive() || day.digits.length() > 2 || day.digits.getIntValue() > 31
        || month == 0 || ! year.isPositive())
        return {};

    return day.digits.paddedLeft ('0', 2) + "/" + juce::String (month).paddedLeft ('0', 2) + "/" + year.digits;
}
