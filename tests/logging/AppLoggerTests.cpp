#include "logging/AppFolders.h"
#include "logging/AppLogger.h"
#include "tests/support/Platform.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>


#include <chrono>
#include <ctime>
#include <iomanip>
#include <sstream>
#include <string>
#include <thread>

namespace
{
// 100 ns ticks for a local calendar time.
juce::int64 ticksAt (int year, int month, int day, int hour, int minute, int second, int millis)
{
    std::tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return (juce::int64) std::mktime (&local) * 10000000 + (juce::int64) millis * 10000;
}

juce::File logFileIn (const testfolders::TemporaryHome& home)
{
    return home.appFolder().getChildFile ("ZorvUpdater.log");
}

juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block;
}
}

TEST (AppLoggerLine, TimestampFormat)
{
    struct Case { int millis; const char* expected; };
    for (const auto& c : { Case { 45, "[09-12-2026 03:22:11.045] hello" },
                           Case { 0, "[09-12-2026 03:22:11.000] hello" },
                           Case { 700, "[09-12-2026 03:22:11.700] hello" },
                           Case { 999, "[09-12-2026 03:22:11.999] hello" } })
    {
        EXPECT_EQ (AppLogger::formatLine ("hello", ticksAt (2026, 12, 9, 3, 22, 11, c.millis)), c.expected);
    }
}

TEST (AppLoggerLine, MessageFollowsUnchanged)
{
    const auto line = AppLogger::formatLine ("a  b\tc", ticksAt (2026, 1, 2, 23, 59, 59, 1));
    EXPECT_EQ (line, "[02-01-2026 23:59:59.001] a  b\tc");
}

TEST (AppLoggerFile, FirstUseCreatesFoldersAndHeader)
{
    testfolders::TemporaryHome home;
    ASSERT_FALSE (home.appFolder().getParentDirectory().exists());

    AppLogger::instance().log ("first line");

    const auto text = logFileIn (home).loadFileAsString();
    EXPECT_TRUE (text.contains (juce::String::repeatedString ("*", 58)));
    EXPECT_TRUE (text.contains ("ZorvUpdater v7.48\nApp Dir: " + juce::String (getExecutableDirectory()) + "\r\n"));
    EXPECT_TRUE (text.contains ("Log started: "));
    EXPECT_TRUE (text.endsWith ("] first line\r\n"));
    EXPECT_FALSE (getExecutableDirectory().empty());
    EXPECT_NE (getExecutableDirectory().back(), juce::File::getSeparatorChar());
}

// The live clock reading, not only the formatting: a line logged now carries the time of now.
TEST (AppLoggerFile, LoggedLineCarriesTheCurrentTime)
{
    testfolders::TemporaryHome home;
    const auto before = std::chrono::system_clock::now();
    AppLogger::instance().log ("clock check");
    const auto after = std::chrono::system_clock::now();

    juce::StringArray lines;
    lines.addLines (logFileIn (home).loadFileAsString());
    lines.removeEmptyStrings();
    const auto line = lines[lines.size() - 1].toStdString();
    ASSERT_EQ (line.size(), 37u) << line;
    ASSERT_EQ (line.substr (24), "] clock check") << line;

    std::tm local {};
    std::istringstream in (line);
    in >> std::get_time (&local, "[%d-%m-%Y %H:%M:%S");
    ASSERT_FALSE (in.fail()) << line;
    local.tm_isdst = -1;
    const auto millis = std::stoi (line.substr (21, 3));
    const auto logged = std::chrono::system_clock::from_time_t (std::mktime (&local)) + std::chrono::milliseconds (millis);

    EXPECT_GE (logged, before - std::chrono::seconds (2)) << line;
    EXPECT_LE (logged, after + std::chrono::seconds (2)) << line;
}

TEST (AppLoggerFile, ExecutableDirectoryIsTheRealOne)
{
    const auto self = testplatform::executableFile();
    EXPECT_EQ (getExecutableDirectory(), self.getParentDirectory().getFullPathName().toStdString());
}

TEST (AppFolders, NotCreatedWhenNotAsked)
{
    testfolders::TemporaryHome home;
    const auto folder = getAppSupportDirectory (false);
    EXPECT_EQ (folder, home.appFolder());
    EXPECT_FALSE (home.appFolder().getParentDirectory().exists());

    EXPECT_TRUE (getAppSupportDirectory (true).isDirectory());
}

// Trimming at open: a file longer than 2,097,152 bytes keeps the tail that begins with the
// first line break at or after that many bytes before its end.
class AppLoggerTrim : public ::testing::TestWithParam<juce::int64>
{
};

TEST_P (AppLoggerTrim, KeepsTailFromTheFirstLineBreak)
{
    testfolders::TemporaryHome home;
    const auto file = logFileIn (home);
    file.getParentDirectory().createDirectory();

    // Lines of 61 bytes ending in CR LF, the last one cut short.
    const juce::int64 size = GetParam();
    {
        juce::FileOutputStream out (file);
        juce::int64 written = 0;
        for (int lineNumber = 0; written < size; ++lineNumber)
        {
            auto line = juce::String (lineNumber).paddedLeft ('0', 9) + juce::String::repeatedString ("x", 50) + "\r\n";
            if (written + line.length() > size)
                line = line.substring (0, (int) (size - written));
            out << line;
            written += line.length();
        }
    }
    const auto before = bytesOf (file);
    ASSERT_EQ ((juce::int64) before.getSize(), size);

    AppLogger::instance().log ("after trim");

    const auto after = bytesOf (file);
    const auto text = juce::String::fromUTF8 ((const char*) after.getData(), (int) after.getSize());
    const auto headerStart = text.indexOf ("\r\n" + juce::String::repeatedString ("*", 58));
    ASSERT_GT (headerStart, 0);

    if (size <= 2097152)
    {
        EXPECT_EQ (juce::MemoryBlock (after.getData(), (size_t) size), before);
        EXPECT_EQ (headerStart, size);
        return;
    }

    const auto* old = (const char*) before.getData();
    auto breakAt = size - 2097152;
    while (old[breakAt] != '\r' && old[breakAt] != '\n')
        ++breakAt;
    const auto expectedTail = juce::MemoryBlock (old + breakAt, (size_t) (size - breakAt));
    ASSERT_EQ ((juce::int64) headerStart, size - breakAt);
    EXPECT_EQ (juce::MemoryBlock (after.getData(), (size_t) headerStart), expectedTail);
}

// Exactly the limit stays whole; one byte more starts the tail inside the first line;
// 59 more put the start on that line's CR, 60 more on its LF.
INSTANTIATE_TEST_SUITE_P (Sizes, AppLoggerTrim,
                          ::testing::Values ((juce::int64) 2097152, (juce::int64) 2097153,
                                             (juce::int64) 2097152 + 59, (juce::int64) 2097152 + 60,
                                             (juce::int64) 5 * 1024 * 1024));

TEST (AppLoggerFile, LinesFromManyThreadsStayWhole)
{
    testfolders::TemporaryHome home;
    constexpr int threads = 8;
    constexpr int perThread = 200;

    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t)
        writers.emplace_back ([t]
        {
            const auto body = juce::String::repeatedString (juce::String::charToString ((juce::juce_wchar) ('a' + t)), 300);
            for (int i = 0; i < perThread; ++i)
                AppLogger::instance().log ("T" + juce::String (t) + " " + body);
        });
    for (auto& writer : writers)
        writer.join();

    juce::StringArray lines;
    lines.addLines (logFileIn (home).loadFileAsString());
    int logged = 0;
    for (const auto& line : lines)
    {
        if (! line.startsWithChar ('['))
            continue;
        ++logged;
        const auto message = line.fromFirstOccurrenceOf ("] ", false, false);
        ASSERT_EQ (message.length(), 303) << line;
        const auto letter = message[3];
        EXPECT_EQ (message.substring (3).removeCharacters (juce::String::charToString (letter)), "") << line;
    }
    EXPECT_EQ (logged, threads * perThread);
}
