// On Linux HOME, or else the account's own home folder, decides where the settings live:
// always beside the log, never in a folder of the framework's choosing.

#include "tests/support/TestAccount.h"
#include "tests/ui/MainComponentFixture.h"

namespace
{
// A main component made once the test has set up HOME and the account's home folder.
class SettingsWithoutHome : public UiTest
{
protected:
    void TearDown() override { main.reset(); }

    void saveChangedAddress()
    {
        MainComponentInspector inspect { *main };
        inspect.manualScanIPs().set (0, "10.1.2.3");
        main->saveManualScanIPs();
        main.reset();
    }

    testfolders::HomeVariable noHome { nullptr };
    std::unique_ptr<MainComponent> main;
};
}

TEST_F (SettingsWithoutHome, TheAccountsHomeHoldsTheSettingsBesideTheLog)
{
    testfolders::TemporaryFolder accountHome;
    testfolders::AccountHome account (accountHome.file());
    ZORV_REQUIRE_ACCOUNT_HOME (account);
    main = std::make_unique<MainComponent>();
    saveChangedAddress();

    const auto folder = accountHome.file().getChildFile (".config/Zorv/ZorvUpdater");
    EXPECT_TRUE (folder.getChildFile ("ZorvUpdater.log").existsAsFile());
    EXPECT_TRUE (folder.getChildFile ("ZorvUpdater.settings").loadFileAsString().contains ("10.1.2.3"));
    EXPECT_FALSE (accountHome.file().getChildFile (".ZorvUpdater").exists()) << "no folder of the framework's choosing";
}

TEST_F (SettingsWithoutHome, NoHomeAtAllIsToldAndNoSettingsAreWritten)
{
    testfolders::AccountHome account ({});
    ZORV_REQUIRE_ACCOUNT_HOME (account);
    main = std::make_unique<MainComponent>();

    const auto* logView = dynamic_cast<juce::TextEditor*> (main->findChildWithID ("textDevLog"));
    ASSERT_NE (logView, nullptr);
    EXPECT_TRUE (logView->getText().contains ("No home folder found")) << logView->getText();
    EXPECT_EQ (MainComponentInspector { *main }.manualScanIPs(),
               juce::StringArray ("10.10.251.1", "10.10.251.2", "10.10.251.3", "10.10.251.4"));

    saveChangedAddress();
    const auto cwd = juce::File::getCurrentWorkingDirectory();
    for (const auto& place : { juce::File ("/.ZorvUpdater"), juce::File ("/var/.ZorvUpdater"), juce::File ("/Zorv"),
                               juce::File ("/.config/Zorv"), cwd.getChildFile (".ZorvUpdater"), cwd.getChildFile ("Zorv") })
        EXPECT_FALSE (place.exists()) << place.getFullPathName();
}
