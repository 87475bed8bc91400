// The floor under the start-up benchmark's idle figures: an application that shows one
// window of the main window's size and background and nothing else, so that what the
// framework itself costs while idle can be told from what the program adds.

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
class Background final : public juce::Component
{
public:
    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xff353535)); }
};

class EmptyWindow final : public juce::DocumentWindow
{
public:
    EmptyWindow()
        : juce::DocumentWindow ("Empty framework window", juce::Colours::black, minimiseButton | closeButton)
    {
        setUsingNativeTitleBar (true);
        setContentOwned (new Background(), false);
        centreWithSize (720, 680);
        setVisible (true);
    }

    void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
};

class EmptyWindowApp final : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "EmptyWindowApp"; }
    const juce::String getApplicationVersion() override { return "1"; }
    void initialise (const juce::String&) override { window = std::make_unique<EmptyWindow>(); }
    void shutdown() override { window.reset(); }

private:
    std::unique_ptr<EmptyWindow> window;
};
}

START_JUCE_APPLICATION (EmptyWindowApp)
