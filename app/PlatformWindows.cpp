#include "app/Platform.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <windows.h>

#include <utility>

namespace
{
// The program's icon group in the executable's resources; the second group is the device's.
constexpr WORD programIconId = 1;

HICON programIcon (int widthMetric, int heightMetric)
{
    // Shared icons belong to the module and stay valid for the life of the process.
    return static_cast<HICON> (::LoadImageW (::GetModuleHandleW (nullptr), MAKEINTRESOURCEW (programIconId), IMAGE_ICON,
                                             ::GetSystemMetrics (widthMetric), ::GetSystemMetrics (heightMetric),
                                             LR_DEFAULTCOLOR | LR_SHARED));
}

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
// The framework's mutex is made in the global namespace and, where a standard user may not
// open another user's, in the session's own: either way a second start of this user's
// program ends before the application is made, and nothing on disk can stand in its way.
bool frameworkLockKeepsOneInstance()
{
    return true;
}

bool anotherInstanceOfThisUserRuns()
{
    return false;
}

// The framework registers its windows with the executable's first icon as the large one and
// its second, the device's, as the small one that the title bar and the taskbar show.
void showProgramIcon (juce::ComponentPeer& peer)
{
    const auto window = static_cast<HWND> (peer.getNativeHandle());
    const auto small = programIcon (SM_CXSMICON, SM_CYSMICON);
    const auto large = programIcon (SM_CXICON, SM_CYICON);
    if (window == nullptr || small == nullptr || large == nullptr)
        return;

    // The framework's windows share one class: the dialogs and boxes opened later take it.
    ::SetClassLongPtrW (window, GCLP_HICONSM, reinterpret_cast<LONG_PTR> (small));
    ::SendMessageW (window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM> (small));
    ::SendMessageW (window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM> (large));
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
