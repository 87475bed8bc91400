// The built program, started as a user starts it: one instance, its window painted,
// closed through the window system's close request.

#include "tests/app/AppTestSupport.h"

#include <fcntl.h>
#include <linux/securebits.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace
{
constexpr auto generous = std::chrono::seconds (60);

// The program's window once its background shows where no control lies; 0 when it does not
// come to that.
unsigned long paintedWindow (apptest::XDisplayProbe& probe, const apptest::RunningApp& app)
{
    unsigned long window = 0;
    apptest::waitUntil ([&]
    {
        const auto windows = probe.windowsOf (app.processId(), apptest::windowTitle);
        window = windows.empty() ? 0 : windows.front();
        return window != 0 && probe.pixel (window, 5, 80) == 0x353535ul;
    }, generous);
    return window;
}

// A /var/tmp of the calling thread's own (in a mount namespace of its own), so that the
// framework's lock file the test leaves there is seen by the programs it starts and by
// nobody else.
bool privateVarTmp()
{
    return ::unshare (CLONE_NEWNS) == 0 && ::mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount ("tmpfs", "/var/tmp", "tmpfs", 0, "mode=1777") == 0;
}

// While it lives, the programs the calling thread starts have none of root's rights even
// when they run as root: a file they may not write stays unwritten, as for any other user.
class OrdinaryUserStarts
{
public:
    OrdinaryUserStarts()
        : previous (::prctl (PR_GET_SECUREBITS)),
          active (previous >= 0 && ::prctl (PR_SET_SECUREBITS, previous | SECBIT_NOROOT) == 0)
    {
    }

    ~OrdinaryUserStarts()
    {
        if (active)
            ::prctl (PR_SET_SECUREBITS, previous);
    }

    bool activeNow() const { return active; }

private:
    int previous;
    bool active;
};

// The programs started while it lives run in a UTF-8 locale.
class UnicodeLocale
{
public:
    UnicodeLocale()
    {
        if (const char* value = std::getenv ("LC_ALL"))
            previous = value;
        ::setenv ("LC_ALL", "C.UTF-8", 1);
    }

    ~UnicodeLocale()
    {
        if (previous)
            ::setenv ("LC_ALL", previous->c_str(), 1);
        else
            ::unsetenv ("LC_ALL");
    }

private:
    std::optional<std::string> previous;
};

// Another user's lock file as the framework leaves it in /var/tmp.
enum class ForeignLock
{
    unwritable,     // a file this user may not open for writing
    held            // a file this user may write, locked by another user's running program
};

void PrintTo (ForeignLock kind, std::ostream* out)
{
    *out << (kind == ForeignLock::unwritable ? "unwritable" : "held");
}
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

    const auto window = paintedWindow (probe, first);
    ASSERT_NE (window, 0u) << "the window shows its painted background";

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

// The lock file the framework shares among all users neither keeps this user's program
// from starting nor lets a second start of it through.
class ForeignFrameworkLock : public ::testing::TestWithParam<ForeignLock>
{
};

TEST_P (ForeignFrameworkLock, NeitherBlocksNorDisablesTheSingleInstance)
{
    ZORV_REQUIRE_DISPLAY();
    if (! privateVarTmp())
        GTEST_SKIP() << "no mount namespace of the test's own can be made here (run it through scripts/in-netns)";
    testfolders::TemporaryHome home;
    apptest::XDisplayProbe probe;
    ASSERT_TRUE (probe.connected());
    const auto homePath = home.file().getFullPathName().toStdString();

    const char* const lockPath = "/var/tmp/juceAppLock_ZorvUpdater";
    const auto unwritable = GetParam() == ForeignLock::unwritable;
    const auto descriptor = ::open (lockPath, O_RDWR | O_CREAT, unwritable ? 0444 : 0666);
    ASSERT_GE (descriptor, 0);
    ::fchmod (descriptor, unwritable ? 0444 : 0666);
    flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_TRUE (unwritable || ::fcntl (descriptor, F_SETLK, &lock) == 0);

    OrdinaryUserStarts ordinaryUser;
    ASSERT_TRUE (ordinaryUser.activeNow());

    apptest::RunningApp first (ZORV_APP_EXECUTABLE, homePath);
    ASSERT_TRUE (first.started());
    unsigned long window = 0;
    ASSERT_TRUE (apptest::waitUntil ([&]
    {
        const auto windows = probe.windowsOf (first.processId(), apptest::windowTitle);
        window = windows.empty() ? 0 : windows.front();
        return window != 0 || first.waitForExit (std::chrono::milliseconds (0)).has_value();
    }, generous));
    ASSERT_NE (window, 0u) << "the first start shows its window";

    apptest::RunningApp second (ZORV_APP_EXECUTABLE, homePath);
    EXPECT_EQ (second.waitForExit (generous), std::optional<int> (0)) << "a second start by the same user ends";
    EXPECT_TRUE (probe.windowsOf (second.processId(), apptest::windowTitle).empty());
    EXPECT_EQ (first.waitForExit (std::chrono::milliseconds (0)), std::nullopt);

    probe.requestClose (window);
    EXPECT_EQ (first.waitForExit (generous), std::optional<int> (0));
    ::close (descriptor);
}

INSTANTIATE_TEST_SUITE_P (Kinds, ForeignFrameworkLock, ::testing::Values (ForeignLock::unwritable, ForeignLock::held),
                          [] (const auto& info) { return info.param == ForeignLock::unwritable ? "Unwritable" : "Held"; });

// A copy of the program in a folder whose name has letters beyond ASCII, started with a home
// folder named so too, in a UTF-8 locale: the log lands in that home and names the folder.
TEST (ApplicationProcess, RunsFromFoldersWithLettersBeyondAscii)
{
    ZORV_REQUIRE_DISPLAY();
    testfolders::TemporaryFolder root;
    const auto folder = root.file().getChildFile (juce::String::fromUTF8 ("Prüfung Ö")).getChildFile (juce::String::fromUTF8 ("Ελληνικά"));
    const auto home = root.file().getChildFile (juce::String::fromUTF8 ("Jörg Ω"));
    ASSERT_TRUE (folder.createDirectory());
    ASSERT_TRUE (home.createDirectory());
    const auto executable = folder.getChildFile ("ZorvUpdater");
    ASSERT_TRUE (juce::File (ZORV_APP_EXECUTABLE).copyFileTo (executable));
    ASSERT_TRUE (executable.setExecutePermission (true));

    UnicodeLocale locale;
    apptest::XDisplayProbe probe;
    ASSERT_TRUE (probe.connected());
    apptest::RunningApp app (executable.getFullPathName().toStdString(), home.getFullPathName().toStdString());
    ASSERT_TRUE (app.started());

    const auto window = paintedWindow (probe, app);
    ASSERT_NE (window, 0u);
    probe.requestClose (window);
    EXPECT_EQ (app.waitForExit (generous), std::optional<int> (0));

    const auto log = home.getChildFile (".config/Zorv/ZorvUpdater/ZorvUpdater.log").loadFileAsString();
    EXPECT_TRUE (log.contains ("ZorvUpdater v7.48\nApp Dir: " + folder.getFullPathName() + "\r\n")) << log;
}
