#pragma once

// The application's main window in this process, on the X display, inside a network of the
// test's own (10.200.0.1/24 on loopback), with simulated devices on that network, a HexFiles
// tree of the test's own and an engine whose waits are compressed. The window is driven
// through its buttons, dialogs and message boxes, as a user would.

#include "app/ZorvRemoteAppApplication.h"
#include "discovery/AddressText.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/support/PrivateNetwork.h"
#include "tests/app/support/WindowDriver.h"
#include "tests/support/TestFolders.h"
#include "tests/ui/MainComponentInspector.h"
#include "tests/updater/CompressedTiming.h"
#include "tools/firmware/DemoFirmware.h"
#include "tools/sim/BoardLayouts.h"

#include <cstring>
#include <memory>
#include <vector>

namespace windowtest
{
using namespace windowdriver;

// A restart wait of 1875 ticks lasts about 0.2 s.
inline UpdaterTiming windowTiming()
{
    auto timing = enginetest::compressedTiming();
    timing.tickMs = 0.1;
    return timing;
}

inline const demofirmware::FirmwareImages& images()
{
    static const auto made = demofirmware::makeImages (256);
    return made;
}

inline std::string deviceAddress (int index)
{
    return "10.200.0." + std::to_string (10 + index);
}

// The record a device sends now.
inline DeviceRecord recordOf (const zsim::DeviceSimulator& device)
{
    DeviceRecord record {};
    const auto bytes = device.record();
    std::memcpy (&record, bytes.data(), bytes.size());
    return record;
}

inline const juce::ModifierKeys unlockChord (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier
                                             | juce::ModifierKeys::altModifier);
inline const juce::ModifierKeys forceChord (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier);
inline const juce::ModifierKeys processorKey (juce::ModifierKeys::shiftModifier);

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZORV_REQUIRE_DISPLAY();
        if (! apptest::enterOwnNetwork())
            GTEST_SKIP() << "no network namespace of the test's own can be made here";
        start();
    }

    void TearDown() override
    {
        if (framework != nullptr)
            finish();
    }

    // The framework and the window come up on the calling thread, which becomes the message
    // thread, and go down again on it.
    void start()
    {
        probe = std::make_unique<apptest::XDisplayProbe>();
        ASSERT_TRUE (probe->connected());
        demofirmware::writeHexFilesTree (std::filesystem::u8path (base.file().getFullPathName().toStdString()), images());
        appFolder().getChildFile ("ZorvUpdater.settings").deleteFile();   // every test starts with the defaults
        framework = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
        openWindow();
    }

    void finish()
    {
        closeWindow();
        juce::ModalComponentManager::getInstance()->cancelAllModalComponents();
        runFor (50);
        devices.clear();
        framework.reset();
    }

    void openWindow()
    {
        MainComponent::EngineSetup setup { base.file().getFullPathName().toStdString(), timing };
        window = std::make_unique<ZorvRemoteAppApplication::MainWindow> ("ZorvUpdater",
                                                                         std::make_unique<MainComponent> (setup));
        main = dynamic_cast<MainComponent*> (window->getContentComponent());
        ASSERT_NE (main, nullptr);
    }

    // As the application's shutdown does: the window goes, and the main component with it.
    void closeWindow()
    {
        main = nullptr;
        window.reset();
    }

    MainComponentInspector inspect() { return { *main }; }

    // A device with quick boards on 10.200.0.(10 + index).
    zsim::DeviceSimulator& startDevice (zsim::DeviceSetup setup, int index, const std::string& name)
    {
        zsim::setBoardTimes (setup, std::chrono::milliseconds (20), std::chrono::milliseconds (5));
        setup.identity.name = zsim::DeviceIdentity::nameField (name);
        setup.identity.mac = { 0x02, 0x00, 0x5e, 0x10, 0x00, (uint8_t) (10 + index) };
        devices.push_back (std::make_unique<zsim::DeviceSimulator> (setup, deviceAddress (index)));
        EXPECT_TRUE (devices.back()->start()) << "cannot bind " << deviceAddress (index);
        return *devices.back();
    }

    // The devices found at once, as a finished scan leaves the window: its discovery probes
    // the addresses in one pass and the window lists what it found.
    void listDevices()
    {
        std::vector<std::string> addresses;
        for (const auto& device : devices)
            addresses.push_back (device->address());

        std::atomic<bool> done { false };
        ASSERT_TRUE (inspect().discovery().startDiscovery (true, std::vector<bool> (addresses.size(), true), addresses, 1,
                                                           [&done] { done = true; }));
        ASSERT_TRUE (runUntil ([&done] { return done.load(); }, 30000));
        main->refreshDeviceList();
        main->updateBoardList();
        main->refreshControlStates();
        runFor (20);
    }

    void selectDevice (int itemId)
    {
        byId<juce::ComboBox> ("comboBoxDev").setSelectedId (itemId, juce::sendNotificationSync);
    }

    void selectBoard (int boardIndex)
    {
        byId<juce::ComboBox> ("comboPanels").setSelectedId (boardIndex + 1, juce::sendNotificationSync);
    }

    void unlockAdvancedOptions()
    {
        click (byId<juce::Button> ("btnAdvanced"), unlockChord);
        ASSERT_TRUE (byId<juce::Button> ("btnAdvanced").getToggleState());
    }

    template <typename ComponentType = juce::Component>
    ComponentType& byId (const juce::String& id)
    {
        auto* found = dynamic_cast<ComponentType*> (main->findChildWithID (id));
        if (found == nullptr)
            throw std::runtime_error ("no component " + id.toStdString());
        return *found;
    }

    template <typename ComponentType>
    ComponentType& byName (const juce::String& name)
    {
        for (auto* child : main->getChildren())
            if (auto* found = dynamic_cast<ComponentType*> (child); found != nullptr && child->getName() == name)
                return *found;
        throw std::runtime_error ("no component named " + name.toStdString());
    }

    void clickButton (const juce::String& id, juce::ModifierKeys held = {})
    {
        click (byId<juce::Button> (id), held);
    }

    // The log view's entries without their symbols, a wrapped entry joined into one line;
    // a section break is an empty entry.
    juce::StringArray logEntries()
    {
        juce::StringArray lines, entries;
        lines.addLines (byId<juce::TextEditor> ("textDevLog").getText());
        for (const auto& line : lines)
        {
            if (line.startsWithChar (' ') && ! entries.isEmpty())
                entries.getReference (entries.size() - 1) << " " << line.trim();
            else
                entries.add (line.isEmpty() ? line : line.substring (2));
        }
        return entries;
    }

    // The messages of the log file's timestamped lines, in order. The log file is the
    // process's own, opened once: it holds the lines of every test this process has run.
    juce::StringArray logFileMessages()
    {
        const auto file = appFolder().getChildFile ("ZorvUpdater.log");
        juce::StringArray lines, messages;
        lines.addLines (file.loadFileAsString());
        for (const auto& line : lines)
            if (line.startsWithChar ('['))
                messages.add (line.fromFirstOccurrenceOf ("] ", false, false));
        return messages;
    }

    bool logFileHas (const juce::String& message) { return logFileMessages().contains (message); }

    int countInLogFile (const juce::String& message)
    {
        int count = 0;
        for (const auto& line : logFileMessages())
            count += line == message ? 1 : 0;
        return count;
    }

    // Clicks the button and waits until the operation it starts has ended: its closing text
    // has reached the log file once more and the controls are enabled again.
    ::testing::AssertionResult runOperation (const juce::String& buttonId, const juce::String& finishedText,
                                             juce::ModifierKeys held = {})
    {
        const auto before = countInLogFile (finishedText);
        clickButton (buttonId, held);
        return waitForOperationEnd (finishedText, before);
    }

    ::testing::AssertionResult waitForOperationEnd (const juce::String& finishedText, int finishedBefore)
    {
        if (runUntil ([&] { return countInLogFile (finishedText) > finishedBefore && byId ("btnScanDev").isEnabled(); }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no \"" << finishedText << "\" in time; the view holds:\n"
                                             << logEntries().joinIntoString ("\n");
    }

    bool viewHas (const juce::String& entry) { return logEntries().contains (entry); }

    // One home for the process: the logger opens its file in the first home it sees.
    static const testfolders::TemporaryHome& processHome()
    {
        static const testfolders::TemporaryHome home;
        return home;
    }

    static juce::File appFolder() { return processHome().appFolder(); }

    const testfolders::TemporaryHome& home = processHome();
    testfolders::TemporaryFolder base;
    UpdaterTiming timing = windowTiming();
    std::unique_ptr<apptest::XDisplayProbe> probe;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> framework;
    std::vector<std::unique_ptr<zsim::DeviceSimulator>> devices;
    std::unique_ptr<ZorvRemoteAppApplication::MainWindow> window;
    MainComponent* main = nullptr;
};
}
