#pragma once

#include <juce_core/juce_core.h>

// Where the application shell meets the operating system.
namespace platform
{
    // Whether the framework's own check keeps the program to one running instance (a named
    // mutex on Windows). Where it does not, the application takes a lock of its own per
    // user: on Linux the framework's lock file is one for all users, in /var/tmp.
    bool frameworkKeepsSingleInstance();

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
