#pragma once

#include <juce_core/juce_core.h>

// Where the test support meets the operating system: PlatformLinux.cpp or
// PlatformWindows.cpp, chosen by the build. Each answers from the system's own calls, not
// through the program's code, so that the tests compare the program with the system.
namespace testplatform
{
    unsigned processId();

    // True when every network interface that is up is a loopback one.
    bool onlyLoopbackInterfaces();

    // The running executable as the system names it.
    juce::File executableFile();

    // The per-user base folder the system names for application data: HOME's .config on
    // Linux, the roaming application-data folder (CSIDL_APPDATA) on Windows.
    juce::File userApplicationDataBase();

    // Whether a connection the peer resets may reach the client as an orderly end of file
    // instead. Wine's Winsock reports a reset that came before the read started that way: a
    // reset just after accept always, a reset after a request when a loaded machine starts
    // the client's read late. Linux always reports the reset.
    bool resetMayReadAsEndOfFile();
}
