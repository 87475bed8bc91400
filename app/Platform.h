#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// Where the application shell meets the operating system.
namespace platform
{
    // Whether the framework's own single-instance lock keeps a second start from reaching
    // the application. On Windows it is a named mutex of the user's session; on Linux it is
    // a lock file in a folder that all users share, where another user's file would block
    // or open it, so the program keeps a lock of the user's own there instead.
    bool frameworkLockKeepsOneInstance();

    // Where the framework's lock does not: whether this user runs the program already. The
    // first start takes the user's lock and holds it for the life of its process.
    bool anotherInstanceOfThisUserRuns();

    // Gives the window, and the program's windows opened after it, the program's own icon in
    // the title bar and on the taskbar.
    void showProgramIcon (juce::ComponentPeer& peer);

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

    // Linux only: the per-user lock.
    enum class InstanceLock
    {
        taken,          // this process holds it now
        heldElsewhere,  // another process holds it
        unavailable     // the file cannot be opened or locked
    };

    // Takes an exclusive lock on the file, creating the file (not its folder) when missing,
    // and keeps it until the process ends.
    InstanceLock lockForProcessLifetime (const juce::File& lockFile);
}
