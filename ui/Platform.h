#pragma once

#include <juce_core/juce_core.h>

// Where the window meets the operating system.
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
}
