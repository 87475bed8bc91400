#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The application object: one fixed-size main window whose whole client area is the
// MainComponent. A second start of the program ends without a window: the framework's
// single-instance lock sees the first one.
class ZorvRemoteAppApplication final : public juce::JUCEApplication
{
public:
    // The title bar offers minimise and close only; the 720 x 680 client area cannot be
    // resized.
    class MainWindow final : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (const juce::String& name);

        void closeButtonPressed() override;

    private:
        juce::ComponentBoundsConstrainer constrainer;

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
