#pragma once

#include "app/Platform.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class MainComponent;

// The application object: one fixed-size main window whose whole client area is the
// MainComponent. A second start of the program by the same user ends without a window: a
// single-instance lock sees the first one (the framework's where it keeps users apart,
// else one in the user's own folder).
class ZorvRemoteAppApplication final : public juce::JUCEApplication
{
public:
    // The title bar offers minimise and close only; the 720 x 680 client area cannot be
    // resized.
    class MainWindow final : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (const juce::String& name);
        // With the given content; tests hand in one whose engine has their own folder and timing.
        MainWindow (const juce::String& name, std::unique_ptr<MainComponent> content);

        void closeButtonPressed() override;

    private:
        juce::ComponentBoundsConstrainer constrainer;
        // Last, so that it stops watching before anything of the window goes.
        platform::PaintingWithoutVerticalBlank painting { *this };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

private:
    std::unique_ptr<MainWindow> mainWindow;
};

// The factory the entry point registers with the framework.
juce::JUCEApplicationBase* createZorvRemoteAppApplication();
