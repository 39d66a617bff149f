// The standard Windows message box, the only way the program speaks to the user.
#pragma once
#include <functional>
#include <string>
#include <windows.h>

namespace bw::platform {

// Shows a standard message box owned by `owner` and returns the button pressed (IDOK, IDYES,
// ...). `style` takes the MB_* flags as MessageBoxA does. A null or hidden owner is replaced by
// this thread's active window, if any. The box always opens in front of every window.
int MsgBox(HWND owner, const std::string& text, const std::string& title, UINT style);

// As MsgBox, with one more button captioned `extra` (it takes the place of the box's Help
// button, IDHELP). Pressing it calls `onExtra` with the box, which stays open; the box is
// disabled while `onExtra` runs and a second press meanwhile does nothing.
int MsgBoxOffering(HWND owner, const std::string& text, const std::string& title, UINT style,
                   const std::string& extra, const std::function<void(HWND box)>& onExtra);

}  // namespace bw::platform
