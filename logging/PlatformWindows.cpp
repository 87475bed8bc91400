#include "logging/Platform.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace
{
// Windows paths, long-path prefix included, hold at most 32,767 characters.
constexpr size_t longestPath = 32768;
}

namespace platform
{
juce::File executableFile()
{
    // GetModuleFileNameW cuts a path that does not fit and then fills the buffer to the
    // last character: a full buffer means "try a larger one", never the path.
    std::vector<wchar_t> buffer (MAX_PATH);
    for (;;)
    {
        const auto length = (size_t) ::GetModuleFileNameW (nullptr, buffer.data(), (DWORD) buffer.size());
        if (length == 0)
            return {};
        if (length < buffer.size())
            return juce::File (juce::String (buffer.data(), length));
        if (buffer.size() >= longestPath)
            return {};
        buffer.resize (juce::jmin (buffer.size() * 2, longestPath));
    }
}

juce::String symbolicLinkTarget (const juce::File& link)
{
    return link.isSymbolicLink() ? link.getLinkedTarget().getFullPathName() : juce::String();
}

juce::File userApplicationDataBase()
{
    // The roaming folder, not created when missing. Whether a folder exists is asked later
    // through juce::File, which asks GetFileAttributesW here.
    wchar_t path[MAX_PATH] {};
    if (! ::SHGetSpecialFolderPathW (nullptr, path, CSIDL_APPDATA, FALSE))
        return {};
    return juce::File (juce::String (path));
}

std::tm localTime (std::time_t seconds)
{
    std::tm local {};
    localtime_s (&local, &seconds);
    return local;
}
}
