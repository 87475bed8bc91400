#include "logging/Platform.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform
{
namespace
{
    // A home that names a real per-user place: absolute, and not the root of the file system.
    juce::File usableHome (const juce::String& path)
    {
        if (path.isEmpty() || ! juce::File::isAbsolutePath (path) || juce::File (path).isRoot())
            return {};
        return juce::File (path);
    }

    // The home folder the password database gives the process's own account; empty when
    // the account has no entry there.
    juce::String accountHome()
    {
        std::vector<char> buffer (1024);
        for (;;)
        {
            passwd entry {};
            passwd* found = nullptr;
            const auto error = ::getpwuid_r (::getuid(), &entry, buffer.data(), buffer.size(), &found);
            if (error == ERANGE && buffer.size() < (1u << 20))
            {
                buffer.resize (buffer.size() * 2);
                continue;
            }
            if (error != 0 || found == nullptr || found->pw_dir == nullptr)
                return {};
            return juce::String::fromUTF8 (found->pw_dir);
        }
    }
}

juce::String symbolicLinkTarget (const juce::File& link)
{
    // readlink fills a buffer that is too short and says nothing: only a reading that leaves
    // room to spare is known to be the whole target.
    const auto path = link.getFullPathName();
    for (std::vector<char> buffer (256); buffer.size() <= (1u << 20); buffer.resize (buffer.size() * 2))
    {
        const auto length = ::readlink (path.toRawUTF8(), buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if ((size_t) length < buffer.size())
            return juce::String::fromUTF8 (buffer.data(), (int) length);
    }
    return {};
}

juce::File executableFile()
{
    // JUCE builds currentExecutableFile from argv[0], which is wrong for a start through PATH.
    const auto target = symbolicLinkTarget (juce::File ("/proc/self/exe"));
    if (target.isNotEmpty())
        return juce::File (target);
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile);
}

juce::File userApplicationDataBase()
{
    // JUCE's "~/.config" turns into "/.config" when HOME is empty. Without a usable HOME the
    // account's own home folder serves, as it does for the framework; without either there
    // is no per-user folder at all, never one at / or in the working directory.
    auto home = usableHome (juce::SystemStats::getEnvironmentVariable ("HOME", {}));
    if (home == juce::File())
        home = usableHome (accountHome());
    return home == juce::File() ? juce::File() : home.getChildFile (".config");
}

std::tm localTime (std::time_t seconds)
{
    std::tm local {};
    localtime_r (&seconds, &local);
    return local;
}
}
