#pragma once

#include "ui/CustomGroupComponentLookAndFeel.h"
#include "ui/Platform.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The content of the About dialog: the change log on the left; on the right the version,
// the build date the change log names, the build architecture, the processor and the
// operating system. Everything is read and laid out once, in the constructor. Lives on the
// message thread, owned by its dialog window; nothing reads a result from it.
class AboutScreen final : public juce::Component,
                          public juce::TextEditor::Listener
{
public:
    using CustomGroupComponentLookAndFeel = ::CustomGroupComponentLookAndFeel;

    // Shows Changelog.txt from the executable's folder and this machine's description.
    AboutScreen();
    // Shows the given change log and system description instead.
    AboutScreen (const juce::File& changelogFile, const platform::SystemDescription& system);
    ~AboutScreen() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;

private:
    std::unique_ptr<juce::GroupComponent> makeGroup (const juce::String& name, const juce::String& id,
                                                     const juce::String& title, CustomGroupComponentLookAndFeel& look,
                                                     juce::Colour fill, juce::Colour outline);
    void createChangelogView();
    void createInformationLabels();
    void showInformation (const juce::String& buildDate, const platform::SystemDescription& system);

    std::unique_ptr<juce::Label> labelInfoHeadings;
    std::unique_ptr<juce::Label> labelInfo;
    std::unique_ptr<juce::TextEditor> textLog;
    std::unique_ptr<juce::GroupComponent> groupLog;
    std::unique_ptr<juce::GroupComponent> groupInfo;
    std::unique_ptr<CustomGroupComponentLookAndFeel> groupLogLookAndFeel;
    std::unique_ptr<CustomGroupComponentLookAndFeel> groupInfoLookAndFeel;
    std::unique_ptr<juce::LookAndFeel_V4> textLogLookAndFeel;
    std::unique_ptr<juce::Font> textLogFont;
    std::unique_ptr<juce::Font> infoFont;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutScreen)
};
