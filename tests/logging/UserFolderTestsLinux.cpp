#include "logging/AppFolders.h"
#include "logging/AppLogger.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>

// On Linux HOME decides the per-user folder; without a usable one nothing is written.
TEST (AppFolders, NoHomeCreatesNothingAtRoot)
{
    testfolders::TemporaryHome home;
    const auto cwd = juce::File::getCurrentWorkingDirectory();
    for (const char* value : { "", "relative/home", "/" })
    {
        ::setenv ("HOME", value, 1);
        EXPECT_EQ (getAppSupportDirectory (true), juce::File()) << "HOME=" << value;
        AppLogger::instance().log ("goes nowhere");
    }
    for (const auto& place : { juce::File ("/Zorv"), juce::File ("/.config/Zorv"), cwd.getChildFile ("Zorv"),
                               cwd.getChildFile ("relative"), cwd.getChildFile ("ZorvUpdater.log") })
        EXPECT_FALSE (place.exists()) << place.getFullPathName();
}
