#include "tests/support/TestAccount.h"

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace testfolders
{
namespace
{
// /etc/passwd without the process's own account, and with it again when a home is given.
juce::String passwdWith (const juce::File& home)
{
    const auto uid = juce::String ((int) ::getuid());
    juce::StringArray lines;
    lines.addLines (juce::File ("/etc/passwd").loadFileAsString());

    juce::String text;
    for (const auto& line : lines)
    {
        juce::StringArray fields;
        fields.addTokens (line, ":", "");
        if (line.isNotEmpty() && fields[2] != uid)
            text << line << "\n";
    }
    if (home != juce::File())
        text << "zorvtest:x:" << uid << ":" << (int) ::getgid() << "::" << home.getFullPathName() << ":/bin/sh\n";
    return text;
}

// The system's name-service setup with the password database read from the file alone, so
// that no module makes up an entry the file does not hold.
juce::String filesOnlyNsswitch()
{
    juce::StringArray lines;
    lines.addLines (juce::File ("/etc/nsswitch.conf").loadFileAsString());
    for (auto& line : lines)
        if (line.startsWith ("passwd:"))
            line = "passwd: files";
    return lines.joinIntoString ("\n") + "\n";
}
}

AccountHome::AccountHome (const juce::File& home)
{
    if (::unshare (CLONE_NEWNS) != 0 || ::mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return;

    const auto passwd = files.file().getChildFile ("passwd");
    const auto nsswitch = files.file().getChildFile ("nsswitch.conf");
    replaced = passwd.replaceWithText (passwdWith (home)) && nsswitch.replaceWithText (filesOnlyNsswitch())
            && bindOver (passwd, "/etc/passwd") && bindOver (nsswitch, "/etc/nsswitch.conf");
}

AccountHome::~AccountHome()
{
    for (const auto* target : covered)
        ::umount2 (target, MNT_DETACH);
}

bool AccountHome::bindOver (const juce::File& standIn, const char* target)
{
    if (::mount (standIn.getFullPathName().toRawUTF8(), target, nullptr, MS_BIND, nullptr) != 0)
        return false;
    covered.push_back (target);
    return true;
}
}
