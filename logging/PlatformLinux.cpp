#include "logging/Platform.h"

#if JUCE_LINUX
 #include <unistd.h>
#endif

namespace platform
{
juce::File executableFile()
{
   #if JUCE_LINUX
    // JUCE builds currentExecutableFile from argv[0], which is wrong for a start through PATH.
    char buffer[4096];
    const auto length = ::readlink ("/proc/self/exe", buffer, sizeof (buffer) - 1);
    if (length > 0)
        return juce::File (juce::String::fromUTF8 (buffer, (int) length));
   #endif
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile);
}

juce::File userApplicationDataBase()
{
   #if JUCE_LINUX
    // JUCE's "~/.config" turns into "/.config" when HOME is empty; a missing or relative
    // home means no per-user folder at all, never one at / or in the working directory.
    const auto home = juce::SystemStats::getEnvironmentVariable ("HOME", {});
    if (home.isEmpty() || ! juce::File::isAbsolutePath (home) || juce::File (home).isRoot())
        return {};
    return juce::File (home).getChildFile (".config");
   #else
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
   #endif
}

std::tm localTime (std::time_t seconds)
{
    std::tm local {};
   #if JUCE_WINDOWS
    localtime_s (&local, &seconds);
   #else
    localtime_r (&seconds, &local);
   #endif
    return local;
}
}
