#pragma once

#include <juce_core/juce_core.h>

// The change log shipped beside the executable, as the About screen shows it. Its first
// line names the day of the build, for example "12 March 2024".
struct Changelog
{
    // The text as shown; empty when there is no file to read.
    juce::String text;
    // The build date as dd/mm/yyyy, or empty when the first line names no date.
    juce::String buildDate;
};

// At most this much of the file is shown: enough for years of releases, while a huge file
// put there by mistake neither exhausts memory nor stalls the About screen.
constexpr int maxChangelogBytes = 256 * 1024;

// Reads the file when it is a regular file (a pipe or a device could block or never end),
// at most maxChangelogBytes of it; when there is more, the part read is cut back to its last
// line break, if it has one.
// Text that is not UTF-8 is read as Windows-1252, UTF-16 with a byte-order mark as UTF-16;
// zero bytes are dropped.
Changelog readChangelog (const juce::File& file);

// The first line of the text: up to the first line feed, without carriage returns, trimmed.
juce::String firstLineOf (const juce::String& text);

// "day month-word year", three tokens apart by blanks or tabs, as dd/mm/yyyy: the day and
// year from their tokens' leading digits, the month from its English name or abbreviation
// in any letter case. Empty when the line does not have that form or a part is out of range.
juce::String buildDateFromLine (const juce::String& line);
