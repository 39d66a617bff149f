// The standard Windows message box, the only way the program speaks to the user.
#pragma once
#include <string>
#include <windows.h>

namespace bw::platform {

// Shows a standard message box owned by `owner` and returns the button pressed (IDOK, IDYES,
// ...). `style` takes the MB_* flags as MessageBoxA does. A null or hidden owner is replaced by
// this thread's active window, if any. The box always opens in front of every window.
int MsgBox(HWND owner, const std::string& text, const std::string& title, UINT style);

}  // namespace bw::platform
