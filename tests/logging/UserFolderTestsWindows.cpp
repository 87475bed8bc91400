#include "logging/AppFolders.h"
#include "logging/AppLogger.h"
#include "tests/support/Platform.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>

// On Windows the roaming application-data folder decides the per-user folder, whatever
// HOME says.
TEST (AppFolders, LandsInTheRoamingFolder)
{
    testfolders::TemporaryHome home;
    const auto roaming = testplatform::userApplicationDataBase();
    ASSERT_NE (roaming, juce::File());
    EXPECT_EQ (roaming.getFileName(), "Roaming");
    EXPECT_EQ (roaming.getParentDirectory().getFileName(), "AppData");

    EXPECT_EQ (getAppSupportDirectory (true), roaming.getChildFile ("Zorv").getChildFile ("ZorvUpdater"));
    AppLogger::instance().log ("in the roaming folder");
    EXPECT_TRUE (roaming.getChildFile ("Zorv\\ZorvUpdater\\ZorvUpdater.log").loadFileAsString().endsWith ("] in the roaming folder\r\n"));
}

TEST (AppFolders, HomeDecidesNothing)
{
    testfolders::TemporaryHome home;
    const auto expected = testplatform::userApplicationDataBase().getChildFile ("Zorv").getChildFile ("ZorvUpdater");
    for (const char* value : { "", "relative\\home", "C:\\" })
    {
        ::_putenv_s ("HOME", value);
        EXPECT_EQ (getAppSupportDirectory (false), expected) << "HOME=" << value;
    }
}
