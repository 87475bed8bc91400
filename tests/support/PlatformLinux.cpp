#include "tests/support/Platform.h"
#include "tests/support/TestFolders.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <unistd.h>

#include <cstdlib>

namespace testplatform
{
unsigned processId()
{
    return (unsigned) ::getpid();
}

bool onlyLoopbackInterfaces()
{
    ifaddrs* list = nullptr;
    if (::getifaddrs (&list) != 0)
        return false;

    bool onlyLoopback = true;
    for (auto* entry = list; entry != nullptr; entry = entry->ifa_next)
        if ((entry->ifa_flags & IFF_LOOPBACK) == 0)
            onlyLoopback = false;

    ::freeifaddrs (list);
    return onlyLoopback;
}

juce::File executableFile()
{
    return juce::File ("/proc/self/exe").getLinkedTarget();
}

juce::File userApplicationDataBase()
{
    const char* home = std::getenv ("HOME");
    return home == nullptr ? juce::File() : juce::File (home).getChildFile (".config");
}

bool resetMayReadAsEndOfFile()
{
    return false;
}
}

namespace testfolders
{
HomeVariable::HomeVariable (const char* value)
{
    if (const char* current = std::getenv ("HOME"))
    {
        previous = current;
        hadPrevious = true;
    }
    if (value != nullptr)
        ::setenv ("HOME", value, 1);
    else
        ::unsetenv ("HOME");
}

HomeVariable::~HomeVariable()
{
    if (hadPrevious)
        ::setenv ("HOME", previous.toRawUTF8(), 1);
    else
        ::unsetenv ("HOME");
}

TemporaryHome::TemporaryHome()
{
    if (const char* value = std::getenv ("HOME"))
    {
        previous = value;
        hadPrevious = true;
    }
    ::setenv ("HOME", folder.file().getFullPathName().toRawUTF8(), 1);
    home = folder.file();
    zorvUpdater = testplatform::userApplicationDataBase().getChildFile ("Zorv/ZorvUpdater");
}

TemporaryHome::~TemporaryHome()
{
    if (hadPrevious)
        ::setenv ("HOME", previous.toRawUTF8(), 1);
    else
        ::unsetenv ("HOME");
}
}
