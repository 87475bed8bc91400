#include "app/Platform.h"

#include "logging/AppFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform
{
bool frameworkLockKeepsOneInstance()
{
    return false;
}

// The lock lives beside the log, in the user's own folder, where no other user's file can
// stand in its way. With no such folder there is nothing to lock: the start goes on, and
// the log view tells that the folder is missing.
bool anotherInstanceOfThisUserRuns()
{
    const auto folder = getAppSupportDirectory (true);
    return folder != juce::File()
        && lockForProcessLifetime (folder.getChildFile ("ZorvUpdater.lock")) == InstanceLock::heldElsewhere;
}

// The desktop gives the window its own icon: the program has none for the window system.
void showProgramIcon (juce::ComponentPeer&)
{
}

InstanceLock lockForProcessLifetime (const juce::File& lockFile)
{
    const auto descriptor = ::open (lockFile.getFullPathName().toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return InstanceLock::unavailable;

    // The descriptor stays open on purpose: the lock then goes with the process, however it ends.
    if (::flock (descriptor, LOCK_EX | LOCK_NB) == 0)
        return InstanceLock::taken;

    const auto held = errno == EWOULDBLOCK;
    ::close (descriptor);
    return held ? InstanceLock::heldElsewhere : InstanceLock::unavailable;
}

// The Linux peer paints pending areas from a timer of its own: there is nothing to watch.
class PaintingWithoutVerticalBlank::Watch
{
};

PaintingWithoutVerticalBlank::PaintingWithoutVerticalBlank (juce::Component&)
{
}

PaintingWithoutVerticalBlank::~PaintingWithoutVerticalBlank() = default;
}
