#include "tests/updater/EngineFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace enginetest;
using Inspector = ZorvUpdaterInspector;

namespace
{
Event eventOf (int type)
{
    Event event;
    event.type = type;
    return event;
}

// Every field, so that an emitter that sets a field it should leave alone is caught.
void expectSameEvent (const Event& actual, const Event& expected)
{
    EXPECT_EQ (actual.type, expected.type);
    EXPECT_EQ (actual.text, expected.text);
    EXPECT_EQ (actual.level, expected.level);
    EXPECT_EQ (actual.replaceLastLine, expected.replaceLastLine);
    EXPECT_EQ (actual.enabled, expected.enabled);
    EXPECT_EQ (actual.visible, expected.visible);
    EXPECT_EQ (actual.progress, expected.progress);
    EXPECT_EQ (actual.resetProgress, expected.resetProgress);
    EXPECT_EQ (actual.highlight, expected.highlight);
    EXPECT_EQ (actual.title, expected.title);
    EXPECT_EQ (actual.icon, expected.icon);
    EXPECT_EQ (actual.buttons, expected.buttons);
    EXPECT_EQ (actual.answer, expected.answer);
    EXPECT_EQ (actual.success, expected.success);
}

void expectSameEvents (const std::vector<Event>& actual, const std::vector<Event>& expected)
{
    ASSERT_EQ (actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
    {
        SCOPED_TRACE ("event " + std::to_string (i));
        expectSameEvent (actual[i], expected[i]);
    }
}
}

TEST (UpdaterEvents, EachEmitterSetsOnlyItsOwnFields)
{
    EventLog log;
    const auto callback = log.callback();
    std::atomic<int> answer { 0 };

    Inspector::sendClearLog (callback);
    Inspector::sendNewLogSection (callback);
    Inspector::sendLogLine (callback, 3, "Line", true);
    Inspector::sendProgressBarState (callback, true, false, true);
    Inspector::showProgressBar (callback, true);
    Inspector::sendProgress (callback, 0.25f);
    Inspector::sendSecondProgressBarState (callback, true);
    Inspector::sendControlsEnabled (callback, false);
    Inspector::sendMessageBox (callback, 2, "Text", "Title", 6, &answer);
    Inspector::sendOperationFinished (callback, true, "Done");

    std::vector<Event> expected;
    expected.push_back (eventOf (1));
    expected.push_back (eventOf (2));
    expected.push_back (eventOf (3));
    expected.back().level = 3;
    expected.back().text = "Line";
    expected.back().replaceLastLine = true;
    expected.push_back (eventOf (4));
    expected.back().visible = true;
    expected.back().highlight = true;
    expected.push_back (eventOf (4));
    expected.back().visible = true;
    expected.back().resetProgress = true;
    expected.push_back (eventOf (5));
    expected.back().progress = 0.25f;
    expected.push_back (eventOf (6));
    expected.back().visible = true;
    expected.back().resetProgress = true;
    expected.push_back (eventOf (8));
    expected.back().enabled = false;
    expected.push_back (eventOf (9));
    expected.back().icon = 2;
    expected.back().text = "Text";
    expected.back().title = "Title";
    expected.back().buttons = 6;
    expected.back().answer = &answer;
    expected.push_back (eventOf (10));
    expected.back().success = true;
    expected.back().text = "Done";

    expectSameEvents (log.all(), expected);
}

TEST (UpdaterEvents, EmptyCallbackDropsEvents)
{
    const UpdaterEventCallback none;
    Inspector::sendLogLine (none, 1, "dropped", false);
    Inspector::failOperation (none, std::runtime_error ("dropped"), "dropped");
}

TEST (UpdaterEvents, FailOperationSendsSixEventsInOrder)
{
    EventLog log;
    Inspector::failOperation (log.callback(), std::runtime_error ("disk on fire"), "Update failed");

    std::vector<Event> expected;
    expected.push_back (eventOf (3));
    expected.back().level = 4;
    expected.back().text = "Error: disk on fire";
    expected.push_back (eventOf (4));
    expected.push_back (eventOf (4));
    expected.back().highlight = true;
    expected.push_back (eventOf (6));
    expected.push_back (eventOf (8));
    expected.back().enabled = true;
    expected.push_back (eventOf (10));
    expected.back().text = "Update failed";

    expectSameEvents (log.all(), expected);
}

TEST (UpdaterEvents, FormatDuration)
{
    struct Case { int64_t ms; const char* text; };
    for (const auto& c : { Case { 0, "" }, Case { 999, "" }, Case { 1000, " [1 secs]" }, Case { 59999, " [59 secs]" },
                           Case { 60000, " [1 mins, 0 secs]" }, Case { 61500, " [1 mins, 1 secs]" },
                           Case { 3599999, " [59 mins, 59 secs]" }, Case { 3600000, " [1 hrs, 0 mins, 0 secs]" },
                           Case { 3725000, " [1 hrs, 2 mins, 5 secs]" }, Case { 90061000, " [25 hrs, 1 mins, 1 secs]" } })
        EXPECT_EQ (formatDuration (c.ms), c.text) << c.ms;
}

TEST (UpdaterEvents, UpdateResultLogLevel)
{
    const std::vector<int> expected = { 4, 2, 4, 4, 4, 3, 4, 2 };
    for (int result = 0; result <= 7; ++result)
        EXPECT_EQ (updateResultLogLevel (result), expected[(size_t) result]) << result;
}
