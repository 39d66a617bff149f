// Hot keys and window procedures through user32.
#include "platform/HotKeys.h"

namespace bw::platform {

bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) {
    return ::RegisterHotKey(window, id, modifiers, key) != FALSE;
}

void UnregisterHotKey(HWND window, int id) { ::UnregisterHotKey(window, id); }

WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure) {
    if (!IsWindow(window)) return nullptr;
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

LRESULT CallKeptProc(WNDPROC kept, HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    return kept ? CallWindowProcA(kept, window, msg, wp, lp) : DefWindowProcA(window, msg, wp, lp);
}

}  // namespace bw::platform
