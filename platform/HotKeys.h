// System-wide hot keys and window-procedure replacement, for a window that must hear a key
// combination wherever the focus is.
#pragma once
#include <windows.h>

namespace bw::platform {

// RegisterHotKey(window, id, modifiers, key): false when another program holds the
// combination or the identifier is already used by this window.
bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT key);
// UnregisterHotKey; nothing when the key was not registered.
void UnregisterHotKey(HWND window, int id);

// Puts `procedure` in place of the window's procedure and returns the one it replaced
// (null when the window is gone).
WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure);
// Hands a message to a kept procedure (CallWindowProcA).
LRESULT CallKeptProc(WNDPROC kept, HWND window, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace bw::platform
