#include "logging/AppFolders.h"
#include "logging/AppLogger.h"
#include "logging/Platform.h"
#include "tests/support/TestAccount.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <unistd.h>

// On Linux HOME decides the per-user folder, and the account's own home folder when HOME
// names none; without either nothing is written.
namespace
{
// HOME values that name no per-user place (nullptr: HOME unset).
const char* const unusableHomes[] = { nullptr, "", "relative/home", "/" };
}

TEST (AppFolders, WithoutAUsableHomeTheAccountsHomeServes)
{
    testfolders::TemporaryFolder accountHome;
    testfolders::AccountHome account (accountHome.file());
    ZORV_REQUIRE_ACCOUNT_HOME (account);

    for (const char* value : unusableHomes)
    {
        testfolders::HomeVariable home (value);
        EXPECT_EQ (getAppSupportDirectory (false).getFullPathName(),
                   accountHome.file().getChildFile (".config/Zorv/ZorvUpdater").getFullPathName())
            << "HOME=" << (value != nullptr ? value : "(unset)");
    }

    testfolders::TemporaryHome home;
    EXPECT_EQ (getAppSupportDirectory (false).getFullPathName(),
               home.file().getChildFile (".config/Zorv/ZorvUpdater").getFullPathName())
        << "a usable HOME comes first";
}

TEST (AppLoggerFile, UnsetHomeLogsInTheAccountsHome)
{
    testfolders::TemporaryFolder accountHome;
    testfolders::AccountHome account (accountHome.file());
    ZORV_REQUIRE_ACCOUNT_HOME (account);
    testfolders::HomeVariable home (nullptr);

    AppLogger::instance().log ("without HOME");

    EXPECT_TRUE (accountHome.file().getChildFile (".config/Zorv/ZorvUpdater/ZorvUpdater.log").loadFileAsString().endsWith ("] without HOME\r\n"));
}

TEST (AppFolders, NeitherHomeCreatesNothingAnywhere)
{
    testfolders::AccountHome account ({});
    ZORV_REQUIRE_ACCOUNT_HOME (account);
    const auto cwd = juce::File::getCurrentWorkingDirectory();
    for (const char* value : unusableHomes)
    {
        testfolders::HomeVariable home (value);
        EXPECT_EQ (getAppSupportDirectory (true).getFullPathName(), "") << "HOME=" << (value != nullptr ? value : "(unset)");
        AppLogger::instance().log ("goes nowhere");
    }
    for (const auto& place : { juce::File ("/Zorv"), juce::File ("/.config/Zorv"), cwd.getChildFile ("Zorv"),
                               cwd.getChildFile ("relative"), cwd.getChildFile ("ZorvUpdater.log") })
        EXPECT_FALSE (place.exists()) << place.getFullPathName();
}

TEST (ExecutablePath, LinkTargetsComeBackWhole)
{
    testfolders::TemporaryFolder folder;
    // Around the lengths a reading buffer is likely to have, up to the longest target a
    // link can hold here.
    for (const int length : { 1, 100, 255, 256, 257, 511, 512, 1023, 1024, 1025, 2048, 4095 })
    {
        const auto target = "/" + juce::String::repeatedString ("d", length - 1);
        const auto link = folder.file().getChildFile ("link" + juce::String (length));
        ASSERT_EQ (::symlink (target.toRawUTF8(), link.getFullPathName().toRawUTF8()), 0) << length;
        EXPECT_EQ (platform::symbolicLinkTarget (link), target) << length;
    }
    EXPECT_EQ (platform::symbolicLinkTarget (folder.file().getChildFile ("missing")), juce::String());
    EXPECT_EQ (platform::symbolicLinkTarget (folder.file()), juce::String()) << "a folder is no link";
}
