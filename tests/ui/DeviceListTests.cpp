// The device list fed with the records of simulated devices, scanned by the component's own
// discovery in manual mode on loopback addresses.

#include "tests/ui/MainComponentFixture.h"
#include "ui/TextFitting.h"

namespace
{
class DeviceList : public MainComponentTest
{
protected:
    void refresh()
    {
        main->refreshDeviceList();
        runMessages (50);
    }

    juce::StringArray listedAddresses()
    {
        juce::StringArray addresses;
        for (const auto& record : inspect().devices())
            addresses.add (ipv4BytesToText (record.ipv4Address));
        return addresses;
    }

    juce::String selectedAddress() { return main->getSelectedDeviceIP(); }

    juce::StringArray infoValues()
    {
        juce::StringArray values;
        values.addLines (labelNamed ("labelInfo")->getText());
        return values;
    }

    static std::array<uint8_t, 31> fullField (uint8_t byte)
    {
        std::array<uint8_t, 31> field;
        field.fill (byte);
        return field;
    }
};

std::array<uint8_t, 31> nameBytes (std::initializer_list<uint8_t> bytes)
{
    std::array<uint8_t, 31> field {};
    std::copy (bytes.begin(), bytes.end(), field.begin());
    return field;
}
}

TEST_F (DeviceList, FilteredAndSortedByTypeThenNumericAddress)
{
    startAndScan ({ { 2, "b", "10.0.0.9", 0, 0x01, {} },  { 0, "a", "10.0.0.20", 0, 0x02, {} },
                    { 2, "c", "10.0.0.3", 0, 0x03, {} },  { 12, "x", "10.0.0.1", 0, 0x04, {} },
                    { -1, "y", "10.0.0.2", 0, 0x05, {} }, { 2, "d", "10.0.0.10", 0, 0x06, {} },
                    { 9, "z", "10.0.0.4", 0, 0x07, {} } });
    ASSERT_EQ (inspect().discovery().getDevices().size(), 7u);

    refresh();
    EXPECT_EQ (inspect().deviceCount(), 4u);
    EXPECT_EQ (listedAddresses(), juce::StringArray ("10.0.0.20", "10.0.0.3", "10.0.0.9", "10.0.0.10"));

    ASSERT_EQ (deviceBox().getNumItems(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (deviceBox().getItemId (i), i + 1);
    EXPECT_EQ (deviceBox().getItemText (0), "a");
    EXPECT_EQ (selectedAddress(), "10.0.0.20") << "the first device after a scan";
}

TEST_F (DeviceList, DetailsOfTheSelectedDevice)
{
    startAndScan ({ { 1, "Stage Rack", "10.10.251.12", 1, 0x5e, {} }, { 0, "FOH", "10.10.251.7", 0, 0x22, {} } });
    refresh();

    EXPECT_EQ (infoValues(), juce::StringArray ("Zorv K470 Console", "FOH", "10.10.251.7", "00:1A:2B:3C:4D:22", "OK"));
    EXPECT_EQ (labelNamed ("labelInfoHeadings")->getText(), "Type:\nName:\nIP:\nMAC:\nStatus:");
    EXPECT_EQ (boardBox().getNumItems(), 24);
    EXPECT_EQ (boardBox().getSelectedId(), 1);
    EXPECT_EQ (boardBox().getItemText (0), "Monitor Interface");

    deviceBox().setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (infoValues(), juce::StringArray ("V518 TRX", "Stage Rack", "10.10.251.12", "00:1A:2B:3C:4D:5E",
                                                "Please Update Firmware!"));
    EXPECT_EQ (boardBox().getNumItems(), 5);

    const auto tip = deviceBox().getTooltip();
    juce::StringArray tipLines;
    tipLines.addLines (tip);
    ASSERT_EQ (tipLines.size(), 5);
    EXPECT_TRUE (tipLines[4].startsWith ("Status:"));
    EXPECT_TRUE (tipLines[4].endsWith (" Please Update Firmware!"));
    EXPECT_EQ (tip, alignColumnsAtSeparator (labelNamed ("labelInfo")->getFont(),
                                             "Type: V518 TRX\nName: Stage Rack\nIP: 10.10.251.12\nMAC: 00:1A:2B:3C:4D:5E\n"
                                             "Status: Please Update Firmware!", ':', 65.0f));
}

TEST_F (DeviceList, NoDeviceShowsTheEmptyDetails)
{
    refresh();
    EXPECT_EQ (inspect().deviceCount(), 0u);
    EXPECT_EQ (infoValues()[0], "[No Zorv Products found]");
    EXPECT_EQ (deviceBox().getTooltip(), "No devices found. Click Scan to begin");
    EXPECT_EQ (boardBox().getNumItems(), 0);
    EXPECT_EQ (main->getSelectedDevice(), nullptr);
}

TEST_F (DeviceList, SelectionIsKeptByAddressAcrossRefreshes)
{
    startAndScan ({ { 2, "one", "10.0.0.1", 0, 0x01, {} }, { 2, "", "10.0.0.2", 0, 0x02, {} },
                    { 2, "three", "10.0.0.3", 0, 0x03, {} } });
    refresh();
    EXPECT_EQ (inspect().deviceCount(), 3u) << "a device with an empty name is counted";
    ASSERT_EQ (deviceBox().getNumItems(), 2) << "but gets no item";

    deviceBox().setSelectedId (3, juce::sendNotificationSync);
    ASSERT_EQ (selectedAddress(), "10.0.0.3");

    int changes = 0;
    struct Counter : juce::ComboBox::Listener
    {
        int& count;
        explicit Counter (int& c) : count (c) {}
        void comboBoxChanged (juce::ComboBox*) override { ++count; }
    } counter (changes);
    deviceBox().addListener (&counter);

    refresh();
    EXPECT_EQ (selectedAddress(), "10.0.0.3") << "kept, although the nameless device lies before it";
    EXPECT_EQ (changes, 0) << "kept silently";

    devices[2]->stop();
    devices.pop_back();
    scan ({ devices[0]->address(), devices[1]->address() });
    refresh();
    EXPECT_EQ (selectedAddress(), "10.0.0.1") << "gone: the first listed device";
    EXPECT_EQ (changes, 1) << "and the box says so afterwards";
    deviceBox().removeListener (&counter);
}

TEST_F (DeviceList, NamelessFirstDeviceNeverStandsInForTheFirstItem)
{
    startAndScan ({ { 0, "", "10.0.0.1", 0, 0x01, {} }, { 2, "second", "10.0.0.2", 0, 0x02, {} } });
    refresh();
    EXPECT_EQ (selectedAddress(), "10.0.0.2") << "the first item is the first device that has one";
    EXPECT_EQ (infoValues()[1], "second");
}

TEST_F (DeviceList, NamesAreBoundedToTheirFieldAndAlwaysText)
{
    const auto full = fullField ('N');
    startAndScan ({ { 0, "", "10.0.0.1", 0, 0x01, full },
                    { 0, "", "10.0.0.2", 0, 0x02, nameBytes ({ 'A', 0xff, 0xc3, 'B', 0xed, 0xa0, 0x80, 0xf0, 0x9f }) },
                    { 0, "", "10.0.0.3", 0, 0x03, nameBytes ({ 0x4d, 0xc3, 0xbc, 0x6c, 0x6c, 0x65, 0x72 }) },
                    { 0, "", "10.0.0.4", 0, 0x04, nameBytes ({ 'L', 'i', 'n', 'e', '\n', 'B', 'r', 'e', 'a', 'k' }) } });
    refresh();
    ASSERT_EQ (deviceBox().getNumItems(), 4);

    EXPECT_EQ (deviceBox().getItemText (0), juce::String::repeatedString ("N", 31)) << "the name stops at its field";
    EXPECT_EQ (deviceBox().getItemText (1), juce::String::fromUTF8 ("A\xc3\xbf\xc3\x83" "B\xc3\xad\xc2\xa0 \xc3\xb0 "))
        << "bytes that are no UTF-8 read one by one as Latin-1, control characters as blanks";
    EXPECT_EQ (deviceBox().getItemText (2), juce::String::fromUTF8 ("M\xc3\xbcller"));
    EXPECT_EQ (deviceBox().getItemText (3), "Line Break") << "a name stays on one line";

    deviceBox().setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (infoValues()[1], deviceBox().getItemText (1));
}

TEST_F (DeviceList, ControlStatesFollowTheRule)
{
    startAndScan ({ { 0, "console", "10.0.0.1", 0, 0x01, {} } });
    refresh();
    main->refreshControlStates();

    const auto enabled = [this] (const char* id) { return main->findChildWithID (id)->isEnabled(); };
    for (const auto* id : { "btnScanDev", "btnSetIP", "comboBoxDev", "btnRenameDev", "btnIdDev", "btnAutoUpdate", "btnAdvanced" })
        EXPECT_TRUE (enabled (id)) << id;
    for (const auto* id : { "advGroupComp", "comboPanels", "btnGetVersions", "btnReset", "btnCheck", "btnUpdate" })
        EXPECT_FALSE (enabled (id)) << id << ": advanced mode is locked";

    auto& advanced = *byId<juce::Button> ("btnAdvanced");
    advanced.setToggleState (true, juce::dontSendNotification);
    main->refreshControlStates();
    EXPECT_FALSE (enabled ("btnUpdate")) << "switched on but locked";

    inspect().advancedUnlocked() = true;
    main->refreshControlStates();
    for (const auto* id : { "advGroupComp", "comboPanels", "btnGetVersions", "btnReset", "btnCheck", "btnUpdate" })
        EXPECT_TRUE (enabled (id)) << id;

    main->setControlsEnabled (false);
    for (const auto* id : { "btnScanDev", "btnSetIP", "comboBoxDev", "btnRenameDev", "btnIdDev", "btnAutoUpdate",
                            "btnAdvanced", "advGroupComp", "comboPanels", "btnUpdate" })
        EXPECT_FALSE (enabled (id)) << id;
    EXPECT_TRUE (enabled ("btnAbout"));
    EXPECT_TRUE (labelNamed ("labelInfo")->isEnabled());
    EXPECT_EQ (deviceBox().getNumItems(), 1) << "the lists stay";

    main->setControlsEnabled (true);
    EXPECT_TRUE (enabled ("btnUpdate"));
}

TEST_F (DeviceList, ControlsWithoutDevicesAndDuringAScan)
{
    inspect().advancedUnlocked() = true;
    main->setControlsEnabled (true);
    for (const auto* id : { "btnRenameDev", "btnIdDev", "btnAutoUpdate", "btnAdvanced" })
        EXPECT_TRUE (main->findChildWithID (id)->isEnabled()) << id << ": enabled without a device";
    EXPECT_FALSE (main->findChildWithID ("btnUpdate")->isEnabled()) << "the switch is off";

    startAndScan ({ { 0, "console", "10.0.0.1", 0, 0x01, {} } });
    refresh();
    byId<juce::Button> ("btnAdvanced")->setToggleState (true, juce::dontSendNotification);

    // A device that never answers keeps the discovery busy for one probe's time-outs.
    const auto silent = discoverytest::startDevice (discoverytest::identity (0, "silent", 0x09), testnet::loopbackAddress (9));
    silent->setDefaultBehaviour ({ zsim::Behaviour::Silent });
    ASSERT_TRUE (inspect().discovery().startDiscovery (true, { true }, { silent->address() }, 1, {}));
    main->refreshControlStates();

    for (const auto* id : { "btnScanDev", "btnSetIP", "comboBoxDev", "btnRenameDev", "btnIdDev", "btnAutoUpdate",
                            "btnAdvanced", "comboPanels", "btnGetVersions", "btnReset", "btnCheck", "btnUpdate" })
        EXPECT_FALSE (main->findChildWithID (id)->isEnabled()) << id;
    EXPECT_FALSE (labelNamed ("labelInfo")->isEnabled());
    EXPECT_TRUE (main->findChildWithID ("btnAbout")->isEnabled());
    EXPECT_FALSE (byId<juce::Button> ("btnAdvanced")->getToggleState()) << "a scan switches Advanced off";
    EXPECT_EQ (deviceBox().getNumItems(), 0);
    EXPECT_EQ (boardBox().getNumItems(), 0);
    EXPECT_EQ (infoValues()[0], "[No Zorv Products found]");
}

TEST_F (DeviceList, TypesOutsideTheTableNeverIndexIt)
{
    for (const auto type : { -1, 9, 10, 12, 1000 })
    {
        DeviceRecord record {};
        record.deviceType = type;
        const auto info = MainComponent::formatDeviceInfo (record);
        EXPECT_EQ (info.deviceInfoValues.size(), 5) << type;
        if (type != 9)
        {
            EXPECT_EQ (info.deviceInfoValues[0], "") << type;
        }
    }
}
