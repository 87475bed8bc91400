#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace juce
{
class Component;
}

// Where the application shell meets the operating system.
namespace platform
{
    enum class InstanceLock
    {
        taken,          // this process holds it now
        heldElsewhere,  // another process holds it
        unavailable     // the file cannot be opened or locked
    };

    // Takes an exclusive lock on the file, creating the file (not its folder) when missing,
    // and keeps it until the process ends.
    InstanceLock lockForProcessLifetime (const juce::File& lockFile);

    // Keeps the program's windows painting where the display gives no vertical blank. The
    // framework's Windows peer paints what its components ask to repaint only when a vertical
    // blank of the window's display arrives; displays without one (remote sessions, basic
    // display adapters of virtual machines, Wine) would show each window as it first painted.
    // While the given window shows and no vertical blank reaches it, the pending areas of
    // the program's windows are painted 60 times a second instead. On Linux the framework
    // paints by itself, and this does nothing. It must not outlive the window.
    class PaintingWithoutVerticalBlank
    {
    public:
        explicit PaintingWithoutVerticalBlank (juce::Component& window);
        ~PaintingWithoutVerticalBlank();

    private:
        class Watch;
        std::unique_ptr<Watch> watch;
    };
}
