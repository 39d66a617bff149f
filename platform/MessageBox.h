// The standard Windows message box, the only way the program speaks to the user.
#pragma once
#include <string>
#include <windows.h>

namespace bw::platform {

// Shows a standard message box owned by `owner` (may be null) and returns the button pressed
// (IDOK, IDYES, ...). `style` takes the MB_* flags as MessageBoxA does.
int MsgBox(HWND owner, const std::string& text, const std::string& title, UINT style);

}  // namespace bw::platform
