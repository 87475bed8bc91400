#include "tests/ui/MainComponentFixture.h"
#include "ui/TextFitting.h"

#include <set>
#include <thread>

namespace
{
const juce::String longText ("Channel Master 9-16: the board did not answer in time; it stays pending and is tried "
                             "again after the boards it depends on, which may take a few minutes");

class LogView : public MainComponentTest
{
protected:
    juce::StringArray viewLines()
    {
        juce::StringArray lines;
        lines.addLines (logView().getText());
        return lines;
    }

    // The messages of the log file's timestamped lines, in order.
    juce::StringArray fileMessages()
    {
        juce::StringArray lines, messages;
        lines.addLines (logFile().loadFileAsString());
        for (const auto& line : lines)
            if (line.startsWithChar ('['))
                messages.add (line.fromFirstOccurrenceOf ("] ", false, false));
        return messages;
    }

    // The width the view wraps at: inside its border (1 + 3), beside its 11 px scroll bar, less
    // its 4 px indent and the 2 px it keeps for the caret.
    float innerWidth()
    {
        return (float) (logView().getWidth() - 21);
    }

    ZorvUpdater::UpdaterEvent event (int type, const std::string& text = {}, bool replace = false)
    {
        ZorvUpdater::UpdaterEvent e;
        e.type = type;
        e.text = text;
        e.level = 1;
        e.replaceLastLine = replace;
        return e;
    }
};
}

TEST_F (LogView, EachLevelHasItsSymbol)
{
    struct Case { int level; const char* text; juce::String shown; };
    const std::vector<Case> cases { { 1, "one", juce::String::fromUTF8 ("\xe2\x80\xa2 one") },
                                    { 2, "two", juce::String::fromUTF8 ("\xe2\x88\x9a two") },
                                    { 3, "three", juce::String::fromUTF8 ("\xe2\x88\x86 three") },
                                    { 4, "four", juce::String::fromUTF8 ("\xce\xa7 four") },
                                    { 0, "   zero  keeps its blanks", "   zero  keeps its blanks" },
                                    { 7, "seven", "seven" } };
    juce::StringArray expected;
    for (const auto& c : cases)
    {
        main->appendLog (c.text, { false, c.level, false });
        expected.add (c.shown);
    }
    EXPECT_EQ (logView().getText(), expected.joinIntoString ("\n")) << "single line breaks, none after the last line";
}

TEST_F (LogView, ClearFirstLeavesOnlyTheNewLine)
{
    main->appendLog ("old", { false, 1, false });
    main->appendLog ("new", { false, 2, true });
    EXPECT_EQ (logView().getText(), juce::String::fromUTF8 ("\xe2\x88\x9a new"));
}

TEST_F (LogView, LongLinesWrapUnderTheirText)
{
    main->appendLog (longText, { false, 3, false });

    const auto lines = viewLines();
    ASSERT_GT (lines.size(), 1);
    const auto& font = inspect().logFont();
    const auto lead = logLevelSymbol (3) + " ";
    EXPECT_TRUE (lines[0].startsWith (lead));

    juce::StringArray words;
    for (int i = 0; i < lines.size(); ++i)
    {
        EXPECT_LE (font.getStringWidthFloat (lines[i]), innerWidth()) << lines[i];
        if (i > 0)
        {
            EXPECT_EQ (lines[i].substring (0, lead.length()), "  ") << "continuation starts under the text";
        }
        words.add (lines[i].substring (lead.length()));
    }
    EXPECT_EQ (words.joinIntoString (" "), longText);
}

TEST_F (LogView, ReplacingTakesTheWholeLastEntry)
{
    main->appendLog ("only", { false, 1, false });
    main->appendLog ("replaced", { true, 1, false });
    EXPECT_EQ (viewLines(), juce::StringArray (logLevelSymbol (1) + " replaced"));

    main->appendLog ("a", { false, 0, true });
    main->appendLog ("b", { false, 0, false });
    main->appendLog ("c", { true, 0, false });
    EXPECT_EQ (logView().getText(), "a\nc");

    main->appendLog (longText, { false, 2, false });
    ASSERT_GT (viewLines().size(), 3) << "the entry must wrap for this case";
    main->appendLog ("Updated", { true, 2, false });
    EXPECT_EQ (logView().getText(), "a\nc\n" + logLevelSymbol (2) + " Updated") << "no line of the wrapped entry is left";

    main->appendLog ("first", { false, 1, true });
    main->appendLog ("first again", { true, 1, false });
    EXPECT_EQ (logView().getText(), logLevelSymbol (1) + " first again");
}

TEST_F (LogView, FileGetsThePlainTextOfEveryLine)
{
    main->appendLog ("Scanning for Zorv Products...", { false, 1, true });
    main->appendLog (longText, { false, 3, false });
    main->appendLog ("Finished network scan", { true, 1, false });
    main->appendLog ("  plain  ", { false, 0, false });

    EXPECT_EQ (fileMessages(), juce::StringArray ("Scanning for Zorv Products...", longText, "Finished network scan", "  plain  "))
        << "the file keeps what the view replaced, without symbol or wrapping";
}

TEST_F (LogView, EngineLogEventsArriveOnTheMessageThread)
{
    std::thread worker ([callback = inspect().updaterEventCallback(), this]
    {
        callback (event (ZorvUpdater::LogLine, "first"));
        callback (event (ZorvUpdater::NewLogSection));
        callback (event (ZorvUpdater::LogLine, "second"));
        callback (event (ZorvUpdater::LogLine, "second, replaced", true));
    });
    worker.join();
    EXPECT_TRUE (logView().isEmpty()) << "nothing is applied on the worker";

    runMessages (100);
    EXPECT_EQ (logView().getText(), logLevelSymbol (1) + " first\n\n" + logLevelSymbol (1) + " second, replaced");

    inspect().updaterEventCallback() (event (ZorvUpdater::NewLogSection));
    inspect().updaterEventCallback() (event (ZorvUpdater::LogLine, "after the section", true));
    runMessages (100);
    EXPECT_EQ (logView().getText(), logLevelSymbol (1) + " first\n\n" + logLevelSymbol (1) + " second, replaced\n"
                                        + logLevelSymbol (1) + " after the section")
        << "after a section break only the empty line is replaced";

    inspect().updaterEventCallback() (event (ZorvUpdater::ClearLog));
    runMessages (100);
    EXPECT_TRUE (logView().isEmpty());
}

TEST_F (LogView, EventsStillQueuedWhenTheComponentGoesAreDropped)
{
    const auto callback = inspect().updaterEventCallback();
    callback (event (ZorvUpdater::LogLine, "late"));
    auto controls = event (ZorvUpdater::ControlsEnabled);
    controls.enabled = false;
    callback (controls);

    main.reset();
    runMessages (100);

    callback (event (ZorvUpdater::LogLine, "later still"));
    runMessages (100);
    EXPECT_FALSE (fileMessages().contains ("late"));
    EXPECT_FALSE (fileMessages().contains ("later still"));
}

// Lines one character longer each time, up to the first one the fitting wraps, in a log long
// enough to scroll: every line the fitting leaves whole must stay one line in the view, or
// the view wraps it again without the hanging indent.
TEST_F (LogView, FittedLinesStayWholeInAScrolledLog)
{
    for (int i = 0; i < 60; ++i)
        main->appendLog ("filler line " + juce::String (i), { false, 1, false });
    ASSERT_GT (logView().getTextHeight(), logView().getHeight()) << "the log must scroll for this case";

    const auto& font = inspect().logFont();
    const auto symbol = logLevelSymbol (1);
    for (int length = 1;; ++length)
    {
        juce::String text;
        for (int i = 0; i < length; ++i)
            text << (i % 6 == 5 && i + 1 < length ? " " : "x");
        const auto fitted = fitTextToComponent (&logView(), text, true, symbol);
        if (fitted.containsChar ('\n'))
            break;

        const auto start = logView().getTotalNumChars() + 1;
        main->appendLog (text, { false, 1, false });
        const auto bounds = logView().getTextBounds ({ start, logView().getTotalNumChars() });
        std::set<int> lineTops;
        for (const auto& rectangle : bounds)
            lineTops.insert (rectangle.getY());
        EXPECT_EQ (lineTops.size(), 1u) << "a line " << font.getStringWidthFloat (fitted) << " px wide, in a view "
                                        << logView().getWidth() << " px wide";
    }
}
