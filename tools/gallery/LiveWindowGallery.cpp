// The gallery's window at work as PNG files in the build folder (gallery/), for people to look at:
// during a scan, during an update with both bars, with each dialog and with a question box
// open. A dialog or box is drawn over the window where it opened; a dialog gets a strip with
// its title in place of the window system's title bar (a box draws its own). Nothing
// compares the pixels.

#include "tests/app/WindowFixture.h"

namespace
{
using namespace windowtest;

constexpr int titleStrip = 24;

class LiveWindowSnapshots : public WindowTest
{
protected:
    void write (const juce::String& name, const juce::Image& image)
    {
        const juce::File folder (ZORV_GALLERY_DIR);
        ASSERT_TRUE (folder.createDirectory());
        const auto file = folder.getChildFile (name + ".png");
        file.deleteFile();
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, out));
    }

    void writeWindow (const juce::String& name)
    {
        write (name, main->createComponentSnapshot (main->getLocalBounds(), true, 1.0f));
    }

    // The window with the top-level component drawn over it, on a canvas that holds both.
    void writeWindowWith (const juce::String& name, juce::Component& top, bool titleBar)
    {
        const auto windowArea = main->getScreenBounds();
        const auto topArea = top.getScreenBounds();
        const auto titled = topArea.withTop (topArea.getY() - (titleBar ? titleStrip : 0));
        const auto canvas = windowArea.getUnion (titled);

        juce::Image image (juce::Image::ARGB, canvas.getWidth(), canvas.getHeight(), true);
        juce::Graphics g (image);
        g.fillAll (juce::Colour (0xff202020));
        g.drawImageAt (main->createComponentSnapshot (main->getLocalBounds(), true, 1.0f),
                       windowArea.getX() - canvas.getX(), windowArea.getY() - canvas.getY());

        if (titleBar)
        {
            const auto strip = titled.withHeight (titleStrip) - canvas.getPosition();
            g.setColour (juce::Colour (0xff5a5a5a));
            g.fillRect (strip);
            g.setColour (juce::Colours::white);
            g.setFont (15.0f);
            g.drawText (top.getName(), strip.reduced (8, 0), juce::Justification::centredLeft);
        }
        g.drawImageAt (top.createComponentSnapshot (top.getLocalBounds(), true, 1.0f),
                       topArea.getX() - canvas.getX(), topArea.getY() - canvas.getY());
        write (name, image);
    }

    void startDevices (uint8_t consoleVersion)
    {
        auto console = zsim::consoleDevice (zsim::MasterFader::Motorised);
        console.boards[4].version = consoleVersion;
        console.boards[7].version = consoleVersion;
        startDevice (console, 0, "FOH Console");
        startDevice (zsim::trxDevice (2), 1, "Stage Rack");
        zsim::DeviceIdentity single;
        single.deviceType = 2;
        single.statusFlag = 1;
        startDevice (zsim::standardDevice (single), 2, "Monitor Rack");
    }

    void snapshotDialog (const juce::String& buttonId, const juce::String& title, const juce::String& name)
    {
        clickButton (buttonId);
        auto* dialog = waitForDialog (title);
        ASSERT_NE (dialog, nullptr);
        runFor (100);
        writeWindowWith (name, *dialog, true);
        static_cast<juce::Component*> (dialog)->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        ASSERT_TRUE (runUntil ([&] { return openDialog (title) == nullptr; }, 5000));
    }
};
}

TEST_F (LiveWindowSnapshots, ScanAndDialogs)
{
    startDevices (1);
    clickButton ("btnScanDev");
    ASSERT_TRUE (runUntil ([this] { return inspect().progressBar1().getDisplayedValue() >= 0.3; }));
    writeWindow ("10-scan-running");
    ASSERT_TRUE (runUntil ([this] { return byId<juce::Button> ("btnScanDev").getButtonText() == "Scan"; }, 120000));
    runFor (100);
    writeWindow ("11-scan-report");

    snapshotDialog ("btnRenameDev", "Rename Device (IP: 10.200.0.10)", "12-rename-dialog");
    snapshotDialog ("btnAdvanced", "Advanced Options Password", "13-password-dialog");
    snapshotDialog ("btnSetIP", "Set Manual IP Addresses for Scanning", "14-set-ip-dialog");
    snapshotDialog ("btnAbout", "About", "15-about-dialog");
}

TEST_F (LiveWindowSnapshots, AutoUpdateWithItsQuestionAndBothBars)
{
    // Restart waits of about 4 s, so that the bars stay up while they are drawn.
    timing.tickMs = 2;
    closeWindow();
    openWindow();
    startDevices (1);
    listDevices();
    selectDevice (1);

    clickButton ("btnAutoUpdate");
    ASSERT_TRUE (runUntil ([] { return openMessageBox() != nullptr; }));
    runFor (100);
    writeWindowWith ("16-question-box", *openMessageBox(), false);

    ASSERT_TRUE (answerMessageBox ("Yes"));
    ASSERT_TRUE (runUntil ([this]
    {
        return inspect().progressBar2().isVisible() && inspect().progressBar2().getDisplayedValue() > 0.2
            && inspect().progressBar1().isVisible() && inspect().progressBar1().getDisplayedValue() > 0.3;
    }));
    writeWindow ("17-update-both-bars");
}
