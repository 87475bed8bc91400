#include "app/ZorvRemoteAppApplication.h"

#include "ui/MainComponent.h"

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
    return "7.48";
}

bool ZorvRemoteAppApplication::moreThanOneInstanceAllowed()
{
    return false;
}

void ZorvRemoteAppApplication::initialise (const juce::String&)
{
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
    : juce::DocumentWindow (name,
                            juce::Desktop::getInstance().getDefaultLookAndFeel()
                                .findColour (juce::ResizableWindow::backgroundColourId),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton,
                            false)
{
    setUsingNativeTitleBar (true);
    setName ("Zorv Updater  [" + juce::String ("7.48") + "]");
    setContentOwned (new MainComponent(), true);
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
