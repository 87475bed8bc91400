#include "app/Platform.h"

#include <windows.h>

namespace platform
{
InstanceLock lockForProcessLifetime (const juce::File& lockFile)
{
    // Opened without sharing: a second open fails with a sharing violation while this
    // handle lives. The handle stays open on purpose, so the lock goes with the process.
    const auto handle = ::CreateFileW (lockFile.getFullPathName().toWideCharPointer(), GENERIC_READ | GENERIC_WRITE,
                                       0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        return InstanceLock::taken;
    return ::GetLastError() == ERROR_SHARING_VIOLATION ? InstanceLock::heldElsewhere : InstanceLock::unavailable;
}
}
