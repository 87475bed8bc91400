// The gallery's main window in the states people look at, as PNG files in the build folder
// (gallery/). No test: nothing compares the pixels.

#include "tests/ui/MainComponentFixture.h"

namespace
{
const std::vector<uitest::SimulatedDevice> threeDevices {
    { 1, "Stage Rack TRX", "10.10.251.12", 1, 0x21, {} },
    { 0, "FOH Console", "10.10.251.7", 0, 0x22, {} },
    { 2, "Monitor World KRD", "10.10.251.31", 0, 0x23, {} },
};

class WindowSnapshot : public MainComponentTest
{
protected:
    void write (const juce::String& name)
    {
        const juce::File folder (ZORV_GALLERY_DIR);
        ASSERT_TRUE (folder.createDirectory());
        const auto file = folder.getChildFile (name + ".png");
        file.deleteFile();

        const auto image = main->createComponentSnapshot (main->getLocalBounds(), true, 1.0f);
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, out));
    }

    void fillLog()
    {
        main->appendLog ("Scanning for Zorv Products...", { false, 1, true });
        main->appendLog ("Finished network scan", { false, 1, false });
        main->appendLog ("Zorv Products found: 3", { false, 1, false });
        main->appendLog ("#1: Type: Zorv K470 Console | IP: 10.10.251.7", { false, 1, false });
        main->appendLog ("Monitor Interface: already up to date (version 12)", { false, 2, false });
        main->appendLog ("Channel Master 9-16: the board did not answer in time; it stays pending and is tried again "
                         "after the boards it depends on",
                         { false, 3, false });
        main->appendLog ("Error: Unable to open the firmware file K470/MetersPIC.hex", { false, 4, false });
    }

    // Lets the bars' own animation reach their values.
    void showBars (double first, double second)
    {
        inspect().progressBar1Value() = first;
        inspect().progressBar2Value() = second;
        for (auto* child : main->getChildren())
            if (dynamic_cast<juce::ProgressBar*> (child) != nullptr)
                child->setVisible (true);
        runMessages (1500);
    }
};
}

TEST_F (WindowSnapshot, States)
{
    write ("01-fresh");

    startAndScan (threeDevices);
    main->refreshDeviceList();
    main->updateBoardList();
    main->refreshControlStates();
    runMessages (50);
    fillLog();
    write ("02-three-devices-and-log");

    deviceBox().setSelectedId (2, juce::sendNotificationSync);
    write ("03-device-that-needs-an-update");

    inspect().advancedUnlocked() = true;
    byId<juce::Button> ("btnAdvanced")->setToggleState (true, juce::dontSendNotification);
    main->refreshControlStates();
    write ("04-advanced-area-on");

    showBars (0.62, 0.35);
    write ("05-both-bars");

    main->setControlsEnabled (false);
    write ("06-everything-disabled");
}
