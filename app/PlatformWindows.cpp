#include "app/Platform.h"

#include <windows.h>

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
}
