#include "tests/ui/MainComponentFixture.h"

#include <map>

namespace
{
class SettingsFile : public MainComponentTest
{
protected:
    // Replaces the component with one that reads the given settings file.
    void restartWith (const std::vector<std::pair<juce::String, juce::String>>& values)
    {
        main.reset();
        juce::XmlElement root ("PROPERTIES");
        for (const auto& [key, value] : values)
        {
            auto* entry = root.createNewChildElement ("VALUE");
            entry->setAttribute ("name", key);
            entry->setAttribute ("val", value);
        }
        ASSERT_TRUE (appFolder().createDirectory());
        ASSERT_TRUE (root.writeTo (settingsFile()));
        main = std::make_unique<MainComponent>();
    }

    std::map<juce::String, juce::String> storedValues()
    {
        std::map<juce::String, juce::String> values;
        if (auto root = juce::XmlDocument::parse (settingsFile()))
            for (auto* entry : root->getChildWithTagNameIterator ("VALUE"))
                values[entry->getStringAttribute ("name")] = entry->getStringAttribute ("val");
        return values;
    }
};
}

TEST_F (SettingsFile, DefaultsWithoutAFileAndNothingWrittenUnasked)
{
    EXPECT_EQ (inspect().manualScanIPs(), juce::StringArray ("10.10.251.1", "10.10.251.2", "10.10.251.3", "10.10.251.4"));
    ASSERT_EQ (inspect().manualScanFlags().size(), 4);
    for (const auto flag : inspect().manualScanFlags())
        EXPECT_FALSE (flag);

    main.reset();
    EXPECT_FALSE (settingsFile().exists());
}

TEST_F (SettingsFile, StoredAddressesAreCanonicalOrTheirSlotsDefault)
{
    restartWith ({ { "ManualScanIP_0", "010.010.251.007" }, { "ManualScanIP_1", "10.10.251" },
                   { "ManualScanIP_2", "abc" }, { "ManualScanIP_3", "192.168.1.20" } });

    EXPECT_EQ (inspect().manualScanIPs(), juce::StringArray ("10.10.251.7", "10.10.251.2", "10.10.251.3", "192.168.1.20"));
}

TEST_F (SettingsFile, UseFlagIsOnOnlyForANonZeroNumber)
{
    restartWith ({ { "UseManualScanIP_0", "1" }, { "UseManualScanIP_1", "5" },
                   { "UseManualScanIP_2", "0" }, { "UseManualScanIP_3", "true" } });
    EXPECT_EQ (inspect().manualScanFlags(), juce::Array<bool> (true, true, false, false));

    restartWith ({ { "UseManualScanIP_0", "" } });
    EXPECT_EQ (inspect().manualScanFlags(), juce::Array<bool> (false, false, false, false));
}

TEST_F (SettingsFile, SavingWritesAllEightKeysAtOnceAndReadsBack)
{
    inspect().manualScanIPs() = juce::StringArray ("10.0.0.1", "10.0.0.2", "192.168.1.20", "10.10.251.4");
    inspect().manualScanFlags() = juce::Array<bool> (true, false, true, false);
    main->saveManualScanIPs();

    const auto stored = storedValues();
    EXPECT_EQ (stored.size(), 8u);
    EXPECT_EQ (stored.at ("ManualScanIP_0"), "10.0.0.1");
    EXPECT_EQ (stored.at ("ManualScanIP_2"), "192.168.1.20");
    EXPECT_EQ (stored.at ("UseManualScanIP_0"), "1");
    EXPECT_EQ (stored.at ("UseManualScanIP_1"), "0");
    EXPECT_EQ (stored.at ("UseManualScanIP_2"), "1");
    EXPECT_EQ (stored.at ("UseManualScanIP_3"), "0");

    main = std::make_unique<MainComponent>();
    EXPECT_EQ (inspect().manualScanIPs(), juce::StringArray ("10.0.0.1", "10.0.0.2", "192.168.1.20", "10.10.251.4"));
    EXPECT_EQ (inspect().manualScanFlags(), juce::Array<bool> (true, false, true, false));
}

// The settings go last, after the engine and the discovery, and write what is unsaved.
TEST_F (SettingsFile, UnsavedChangesAreWrittenWhenTheComponentGoes)
{
    inspect().userSettings().setValue ("ManualScanIP_1", "10.1.2.3");
    ASSERT_FALSE (settingsFile().exists());

    main.reset();
    EXPECT_EQ (storedValues().at ("ManualScanIP_1"), "10.1.2.3");
}
