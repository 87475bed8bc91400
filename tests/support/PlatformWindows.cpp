#include "tests/support/Platform.h"
#include "tests/support/TestFolders.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

namespace testplatform
{
unsigned processId()
{
    return (unsigned) ::GetCurrentProcessId();
}

bool onlyLoopbackInterfaces()
{
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt)
    {
        buffer.resize (size);
        result = ::GetAdaptersAddresses (AF_UNSPEC, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST, nullptr,
                                         reinterpret_cast<IP_ADAPTER_ADDRESSES*> (buffer.data()), &size);
    }
    if (result != NO_ERROR)
        return false;

    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*> (buffer.data()); adapter != nullptr; adapter = adapter->Next)
        if (adapter->OperStatus == IfOperStatusUp && adapter->IfType != IF_TYPE_SOFTWARE_LOOPBACK)
            return false;
    return true;
}

juce::File executableFile()
{
    wchar_t path[MAX_PATH] {};
    const auto length = ::GetModuleFileNameW (nullptr, path, MAX_PATH);
    return length == 0 ? juce::File() : juce::File (juce::String (path, (size_t) length));
}

juce::File userApplicationDataBase()
{
    wchar_t path[MAX_PATH] {};
    if (! ::SHGetSpecialFolderPathW (nullptr, path, CSIDL_APPDATA, FALSE))
        return {};
    return juce::File (juce::String (path));
}

bool resetMayReadAsEndOfFile()
{
    return true;
}
}

namespace testfolders
{
// The roaming folder belongs to the user and cannot be redirected for one process: a Zorv
// folder already there is set aside for the life of the object and put back after.
TemporaryHome::TemporaryHome()
{
    home = testplatform::userApplicationDataBase();
    zorvUpdater = home.getChildFile ("Zorv/ZorvUpdater");
    previous = "Zorv set aside by test " + juce::String (testplatform::processId());
    const auto zorv = home.getChildFile ("Zorv");
    hadPrevious = zorv.exists() && zorv.moveFileTo (home.getChildFile (previous));
}

TemporaryHome::~TemporaryHome()
{
    const auto zorv = home.getChildFile ("Zorv");
    zorv.deleteRecursively();
    if (hadPrevious)
        home.getChildFile (previous).moveFileTo (zorv);
}
}
