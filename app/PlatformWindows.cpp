#include "app/Platform.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <windows.h>

#include <utility>

namespace
{
// A display gives some fifteen vertical blanks in this time; a window that saw none has none.
constexpr int watchIntervalMs = 250;
// The refresh rate of most displays.
constexpr int paintsPerSecond = 60;

// A window that is not opaque is a layered window, which the peer paints whole at every
// call, and again by itself whenever it is resized: here those are the drop shadows beside
// the program's windows, which change with their size alone.
void paintPendingAreasOfEveryWindow()
{
    for (auto i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
        if (auto* peer = juce::ComponentPeer::getPeer (i); peer != nullptr && peer->getComponent().isOpaque())
            peer->performAnyPendingRepaintsNow();
}
}

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

// Counts the vertical blanks that reach the window through the framework's own attachment
// and looks at the count on a timer: a quarter of a second without one while the window
// shows switches to painting every window's pending areas on each tick of a 60 Hz timer,
// and the first vertical blank seen again switches back. The decision is made afresh on each
// tick, since the display under a window can change while the program runs.
class PaintingWithoutVerticalBlank::Watch final : private juce::Timer
{
public:
    explicit Watch (juce::Component& windowToWatch)
        : window (windowToWatch), attachment (&windowToWatch, [this] { ++blanksSinceTick; })
    {
        startTimer (watchIntervalMs);
    }

    ~Watch() override
    {
        stopTimer();
    }

private:
    void timerCallback() override
    {
        // A minimised window lies on no display and gets no vertical blank: while the window
        // does not show, its count tells nothing of the display.
        const auto blanks = std::exchange (blanksSinceTick, 0);
        if (window.isShowing())
            painting = blanks == 0;

        if (painting)
            paintPendingAreasOfEveryWindow();

        const auto interval = painting ? 1000 / paintsPerSecond : watchIntervalMs;
        if (getTimerInterval() != interval)
            startTimer (interval);
    }

    juce::Component& window;
    juce::VBlankAttachment attachment;
    int blanksSinceTick = 0;
    bool painting = false;
};

PaintingWithoutVerticalBlank::PaintingWithoutVerticalBlank (juce::Component& window)
    : watch (std::make_unique<Watch> (window))
{
}

PaintingWithoutVerticalBlank::~PaintingWithoutVerticalBlank() = default;
}
