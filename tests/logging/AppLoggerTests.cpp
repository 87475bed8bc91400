#include "logging/AppFolders.h"
#include "logging/AppLogger.h"
#include "tests/support/Platform.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <ctime>
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

// Trimming at open: a file longer than the limit keeps the tail that starts at a line break.
class AppLoggerTrim : public ::testing::TestWithParam<juce::int64>
{
};

TEST_P (AppLoggerTrim, KeepsTailFromALineBreak)
{
    testfolders::TemporaryHome home;
    const auto file = logFileIn (home);
    file.getParentDirectory().createDirectory();

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

    if (size <= AppLogger::maxInitialFileSize)
    {
        EXPECT_EQ (juce::MemoryBlock (after.getData(), (size_t) size), before);
        return;
    }

    const auto kept = (juce::int64) headerStart;
    EXPECT_LE (kept, AppLogger::maxInitialFileSize);
    EXPECT_TRUE (text[0] == '\r' || text[0] == '\n');
    const auto tailOfOld = juce::MemoryBlock ((const char*) before.getData() + (size - kept), (size_t) kept);
    EXPECT_EQ (juce::MemoryBlock (after.getData(), (size_t) kept), tailOfOld);
}

INSTANTIATE_TEST_SUITE_P (Sizes, AppLoggerTrim,
                          ::testing::Values (AppLogger::maxInitialFileSize,
                                             AppLogger::maxInitialFileSize + 1,
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
