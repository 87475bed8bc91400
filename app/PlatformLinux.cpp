#include "app/Platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform
{
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
