// The built program, started as a user starts it: one instance, its window painted,
// closed through the window system's close request.

#include "tests/app/AppTestSupport.h"

#include <algorithm>

namespace
{
constexpr auto generous = std::chrono::seconds (60);
}

TEST (ApplicationProcess, SingleInstanceThatPaintsAndClosesCleanly)
{
    ZORV_REQUIRE_DISPLAY();
    testfolders::TemporaryHome home;
    apptest::XDisplayProbe probe;
    ASSERT_TRUE (probe.connected());
    const auto homePath = home.file().getFullPathName().toStdString();
    const auto logFile = home.appFolder().getChildFile ("ZorvUpdater.log");

    apptest::RunningApp first (ZORV_APP_EXECUTABLE, homePath, { "--anything", "at all" });
    ASSERT_TRUE (first.started());

    unsigned long window = 0;
    ASSERT_TRUE (apptest::waitUntil ([&]
    {
        const auto windows = probe.windowsOf (first.processId(), apptest::windowTitle);
        window = windows.empty() ? 0 : windows.front();
        return window != 0 && probe.pixel (window, 5, 80) == 0x353535ul;
    }, generous)) << "the window shows its painted background";

    const auto geometry = probe.geometry (window);
    EXPECT_EQ (geometry.width, 720);
    EXPECT_EQ (geometry.height, 680);
    const auto screen = probe.screen();
    EXPECT_LE (std::abs (geometry.x * 2 + geometry.width - screen.width), 2) << "centred";
    EXPECT_LE (std::abs (geometry.y * 2 + geometry.height - screen.height), 2) << "centred";

    apptest::RunningApp second (ZORV_APP_EXECUTABLE, homePath);
    EXPECT_EQ (second.waitForExit (generous), std::optional<int> (0)) << "a second start simply ends";
    EXPECT_EQ (probe.windowsOf (first.processId(), apptest::windowTitle).size(), 1u);
    EXPECT_TRUE (probe.windowsOf (second.processId(), apptest::windowTitle).empty());
    EXPECT_EQ (first.waitForExit (std::chrono::milliseconds (0)), std::nullopt);

    probe.requestClose (window);
    EXPECT_EQ (first.waitForExit (generous), std::optional<int> (0)) << "the close button ends the program";

    juce::StringArray lines;
    lines.addLines (logFile.loadFileAsString());
    EXPECT_EQ (std::count (lines.begin(), lines.end(), juce::String ("ZorvUpdater v7.48")), 1)
        << "only the first start opened the log";
    EXPECT_FALSE (home.appFolder().getChildFile ("ZorvUpdater.settings").exists());
}
