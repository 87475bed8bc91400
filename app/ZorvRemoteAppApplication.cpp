#include "app/ZorvRemoteAppApplication.h"

#include "app/Platform.h"
#include "ui/MainComponent.h"

#include <ApplicationVersion.h>

namespace
{
constexpr int clientWidth = 720;
constexpr int clientHeight = 680;
}

const juce::String ZorvRemoteAppApplication::getApplicationName()
{
    return "ZorvUpdater";
}

const juce::String ZorvRemoteAppApplication::getApplicationVersion()
{
    return applicationVersion;
}

// Where the framework's lock cannot keep users apart, initialise keeps to one instance per
// user instead.
bool ZorvRemoteAppApplication::moreThanOneInstanceAllowed()
{
    return ! platform::frameworkLockKeepsOneInstance();
}

void ZorvRemoteAppApplication::initialise (const juce::String&)
{
    if (platform::anotherInstanceOfThisUserRuns())
    {
        quit();
        return;
    }
    mainWindow = std::make_unique<MainWindow> (getApplicationName());
}

void ZorvRemoteAppApplication::shutdown()
{
    mainWindow.reset();
}

void ZorvRemoteAppApplication::anotherInstanceStarted (const juce::String&)
{
}

void ZorvRemoteAppApplication::systemRequestedQuit()
{
    quit();
}

ZorvRemoteAppApplication::MainWindow::MainWindow (const juce::String& name)
    : MainWindow (name, std::make_unique<MainComponent>())
{
}

ZorvRemoteAppApplication::MainWindow::MainWindow (const juce::String& name, std::unique_ptr<MainComponent> content)
    : juce::DocumentWindow (name,
                            juce::Desktop::getInstance().getDefaultLookAndFeel()
                                .findColour (juce::ResizableWindow::backgroundColourId),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton,
                            false)
{
    setUsingNativeTitleBar (true);
    setName ("Zorv Updater  [" + juce::String (applicationVersion) + "]");
    setContentOwned (content.release(), true);
    setResizable (false, false);
    setSize (clientWidth, clientHeight);
    addToDesktop (getDesktopWindowStyleFlags());

    if (auto* peer = getPeer())
        platform::showProgramIcon (*peer);

    // The window system's frame must not squeeze the client area.
    if (auto* peer = getPeer())
    {
        const auto frameIfPresent = peer->getFrameSizeIfPresent();
        const auto frame = frameIfPresent ? *frameIfPresent : juce::BorderSize<int>();
        const auto minWidth = clientWidth + frame.getLeftAndRight();
        const auto minHeight = clientHeight + frame.getTopAndBottom();
        constrainer.setMinimumWidth (minWidth);
        constrainer.setMinimumHeight (minHeight);
        constrainer.setMaximumWidth (juce::jmax (constrainer.getMaximumWidth(), minWidth));
        constrainer.setMaximumHeight (juce::jmax (constrainer.getMaximumHeight(), minHeight));
        setConstrainer (&constrainer);
        setSize (clientWidth, clientHeight);
    }

    centreWithSize (getWidth(), getHeight());
    setVisible (true);
    getContentComponent()->grabKeyboardFocus();
}

void ZorvRemoteAppApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}

juce::JUCEApplicationBase* createZorvRemoteAppApplication()
{
    return new ZorvRemoteAppApplication();
}
