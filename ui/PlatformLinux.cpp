#include "ui/Platform.h"

#include <sys/utsname.h>

namespace platform
{
// The kernel's name and release, e.g. "Linux 6.1.0-18-amd64", where the framework would
// say only "Linux".
juce::String operatingSystemName()
{
    utsname names {};
    if (::uname (&names) == 0)
        return juce::String::fromUTF8 (names.sysname) + " " + juce::String::fromUTF8 (names.release);
    return juce::SystemStats::getOperatingSystemName();
}

juce::String missingUserFolderWarning()
{
    return "No home folder found (neither HOME nor the account names one): "
           "the settings and the log are not saved";
}

// The framework draws the box itself (an AlertWindow): the first buttons return 1, 2, ...
// and the last one returns 0, as do Escape and closing the box.
int buttonIndexForResult (int result, int numButtons)
{
    const auto last = juce::jmax (0, numButtons - 1);
    return result >= 1 && result <= last ? result - 1 : last;
}
}
