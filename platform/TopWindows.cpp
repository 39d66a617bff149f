// Top-level windows through EnumWindows, GetWindowPlacement and SetWindowPlacement.
#include "platform/TopWindows.h"

namespace bw::platform {

namespace {
BOOL CALLBACK Collect(HWND window, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string WindowClassName(HWND window) {
    char name[256];
    int n = GetClassNameA(window, name, 255);
    return n > 0 ? std::string(name, static_cast<size_t>(n)) : std::string();
}

bool ReadPlacement(HWND window, WINDOWPLACEMENT* placement) {
    *placement = WINDOWPLACEMENT{};
    placement->length = sizeof(WINDOWPLACEMENT);
    return GetWindowPlacement(window, placement) != FALSE;
}

bool ApplyPlacement(HWND window, const WINDOWPLACEMENT& placement) {
    if (!IsWindow(window)) return false;
    WINDOWPLACEMENT wp = placement;
    wp.length = sizeof(WINDOWPLACEMENT);
    if (SetWindowPlacement(window, &wp)) return true;
    // Refused (another program's window under Wine): show state and position one by one.
    UINT show = wp.showCmd;
    if (show == SW_HIDE) {
        ShowWindow(window, SW_HIDE);
        return true;
    }
    if (show == SW_SHOWMAXIMIZED || show == SW_SHOWMINIMIZED) {
        ShowWindow(window, static_cast<int>(show));
        return true;
    }
    if (IsIconic(window) || IsZoomed(window)) ShowWindow(window, SW_RESTORE);
    const RECT& rc = wp.rcNormalPosition;
    SetWindowPos(window, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNORMAL);
    return true;
}

bool IsWindowShown(HWND window) { return IsWindow(window) && IsWindowVisible(window); }

}  // namespace bw::platform
