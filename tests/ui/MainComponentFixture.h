#pragma once

// A main component in a home folder of its own, with a way into its members and the
// simulated devices its discovery can find.

#include "discovery/AddressText.h"
#include "tests/discovery/SimulatedDevices.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"
#include "tests/ui/MainComponentInspector.h"
#include "tests/ui/UiTestSupport.h"

#include <functional>
#include <future>
#include <optional>

namespace uitest
{
// A simulated device on its own loopback address, reporting the given record address.
struct SimulatedDevice
{
    int32_t type = 0;
    std::string name;
    std::string reportedAddress;
    uint8_t statusFlag = 0;
    uint8_t macTail = 0;
    std::optional<std::array<uint8_t, 31>> rawName;
};
}

class MainComponentTest : public UiTest
{
protected:
    void TearDown() override { main.reset(); }

    MainComponentInspector inspect() { return { *main }; }

    template <typename ComponentType>
    ComponentType* byId (const juce::String& id)
    {
        return dynamic_cast<ComponentType*> (main->findChildWithID (id));
    }

    juce::Label* labelNamed (const juce::String& name)
    {
        for (auto* child : main->getChildren())
            if (child->getName() == name)
                return dynamic_cast<juce::Label*> (child);
        return nullptr;
    }

    juce::TextEditor& logView() { return *byId<juce::TextEditor> ("textDevLog"); }
    juce::ComboBox& deviceBox() { return *byId<juce::ComboBox> ("comboBoxDev"); }
    juce::ComboBox& boardBox() { return *byId<juce::ComboBox> ("comboPanels"); }

    static void runMessages (int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    // Runs the message loop until the condition holds; false when the time is up first.
    static bool waitFor (const std::function<bool()>& condition, int timeoutMs = 10000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        while (! condition())
        {
            if (juce::Time::getMillisecondCounter() > end)
                return condition();
            runMessages (5);
        }
        return true;
    }

    juce::File appFolder() const { return home.appFolder(); }
    juce::File settingsFile() const { return appFolder().getChildFile ("ZorvUpdater.settings"); }
    juce::File logFile() const { return appFolder().getChildFile ("ZorvUpdater.log"); }

    // Starts the devices on addresses of their own and scans them with the component's
    // discovery in manual mode; the device list itself is left for the test to refresh.
    void startAndScan (const std::vector<uitest::SimulatedDevice>& specs)
    {
        std::vector<std::string> addresses;
        for (const auto& spec : specs)
        {
            auto id = discoverytest::identity (spec.type, spec.name, spec.macTail);
            if (spec.rawName)
                id.name = *spec.rawName;
            id.ipv4 = discoverytest::addressBytes (spec.reportedAddress);
            id.statusFlag = spec.statusFlag;
            devices.push_back (discoverytest::startDevice (id, testnet::loopbackAddress ((int) devices.size())));
            addresses.push_back (devices.back()->address());
        }
        scan (addresses);
    }

    void scan (const std::vector<std::string>& addresses)
    {
        auto finished = std::make_shared<std::promise<void>>();
        auto done = finished->get_future();
        ASSERT_TRUE (inspect().discovery().startDiscovery (true, std::vector<bool> (addresses.size(), true), addresses, 1,
                                                           [finished] { finished->set_value(); }));
        ASSERT_EQ (done.wait_for (std::chrono::seconds (20)), std::future_status::ready);
    }

    testfolders::TemporaryHome home;
    std::unique_ptr<MainComponent> main = std::make_unique<MainComponent>();
    std::vector<std::unique_ptr<zsim::DeviceSimulator>> devices;
};
