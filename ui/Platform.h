#pragma once

#include <juce_core/juce_core.h>

// Where the window meets the operating system. describeSystem is shared (ui/SystemDescription.cpp);
// the rest is defined once per platform (ui/PlatformLinux.cpp, ui/PlatformWindows.cpp).
namespace platform
{
    // What the About screen tells of the build and of the machine it runs on.
    struct SystemDescription
    {
        // The processor family and word size the program was built for, e.g. "x64 64-bit".
        juce::String buildArchitecture;
        // The processor's own brand string, trimmed; empty when the processor names none.
        juce::String processorName;
        // The operating system's name with its version.
        juce::String operatingSystem;
    };

    SystemDescription describeSystem();

    // The operating system's name with its version, as the About screen shows it.
    juce::String operatingSystemName();

    // The log view's warning when the system names no per-user folder for the settings and
    // the log: each system has its own name for that folder.
    juce::String missingUserFolderWarning();

    // The 0-based index of the button that the framework's native message box result code
    // stands for, in a box of numButtons. A code that names no button counts as the last.
    int buttonIndexForResult (int result, int numButtons);
}
