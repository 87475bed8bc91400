#include "app/ZorvRemoteAppApplication.h"

#include "app/Platform.h"
#include "logging/AppFolders.h"
#include "ui/MainComponent.h"

#include <ApplicationVersion.h>

namespace
{
constexpr int clientWidth = 720;
constexpr int clientHeight = 680;

// The per-user lock lives beside the log, in the user's own folder, where no other user's
// file can stand in its way. With no such folder there is nothing to lock: the start goes
// on, and the log view tells that the folder is missing.
bool anotherInstanceOfThisUserRuns()
{
    const auto folder = getAppSupportDirectory (true);
    return folder != juce::File()
        && platform::lockForProcessLifetime (folder.getChildFile ("ZorvUpdater.lock")) == platform::InstanceLock::heldElsewhere;
}
}

const juce::String ZorvRemoteAppApplication::getApplicationName()
{
    return "ZorvUpdater";
}

const juce::String ZorvRemoteAppApplication::getApplicationVersion()
{
    return applicationVersion;
}

// The framework's own check is one for all users of the computer (a lock file in /var/tmp on
// Linux, a named mutex in the global namespace on Windows): another user's instance would
// block it, or on Linux leave it open. initialise keeps to one instance per user instead.
bool ZorvRemoteAppApplication::moreThanOneInstanceAllowed()
{
    return true;
}

void ZorvRemoteAppApplication::initialise (const juce::String&)
{
    if (anotherInstanceOfThisUserRuns())
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
