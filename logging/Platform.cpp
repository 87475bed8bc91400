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
    const auto base = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
    const auto path = base.getFullPathName();

    // An unresolved home folder comes back as a relative or root path; treat it as missing
    // rather than create our folders at / or in the working directory.
    if (path.isEmpty() || ! juce::File::isAbsolutePath (path) || base.isRoot())
        return {};
    return base;
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
