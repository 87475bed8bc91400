#pragma once

#include <juce_core/juce_core.h>

// Where the application shell meets the operating system.
namespace platform
{
    enum class InstanceLock
    {
        taken,          // this process holds it now
        heldElsewhere,  // another process holds it
        unavailable     // the file cannot be opened or locked
    };

    // Takes an exclusive lock on the file, creating the file (not its folder) when missing,
    // and keeps it until the process ends.
    InstanceLock lockForProcessLifetime (const juce::File& lockFile);
}
