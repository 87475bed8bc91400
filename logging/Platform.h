#pragma once

#include <juce_core/juce_core.h>

#include <ctime>

// Where the logger and the folder helpers meet the operating system.
namespace platform
{
    // The running executable's own file, independent of how the program was started; an
    // empty juce::File when the system cannot say.
    juce::File executableFile();

    // The whole target of a symbolic link, however long; empty when it cannot be read.
    juce::String symbolicLinkTarget (const juce::File& link);

    // The per-user base folder for application data (roaming on Windows); on Linux the
    // .config folder of HOME, or of the account's home folder when HOME names none. An
    // empty juce::File when the system does not name one.
    juce::File userApplicationDataBase();

    // Local calendar time of a clock reading; thread-safe, unlike std::localtime.
    std::tm localTime (std::time_t seconds);
}
