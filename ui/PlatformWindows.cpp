#include "ui/Platform.h"

namespace platform
{
// The framework's own name carries the version, e.g. "Windows 10".
juce::String operatingSystemName()
{
    return juce::SystemStats::getOperatingSystemName();
}

juce::String missingUserFolderWarning()
{
    return "No roaming application data folder found (Windows names none for this account): "
           "the settings and the log are not saved";
}

// The framework shows a Task Dialog whose buttons have the ids 0, 1, 2 in the order given,
// and passes the pressed id on: the code is the index. Escape and the close box work only
// with three buttons, where they report the third (id 2 is the system's cancel id). The
// classic box used where the Task Dialog is missing reports 0 for Yes or OK and 1 or 2 for
// the others; a 2 in a box of two buttons is out of range and so means the last one.
int buttonIndexForResult (int result, int numButtons)
{
    const auto last = juce::jmax (0, numButtons - 1);
    return result >= 0 && result <= last ? result : last;
}
}
