// The standard Windows message box.
#include "platform/MessageBox.h"

namespace bw::platform {

int MsgBox(HWND owner, const std::string& text, const std::string& title, UINT style) {
    // Without an owner the box belongs to the window the user is working in, so that it stays
    // above it and that window waits for the answer.
    if (!owner || !IsWindowVisible(owner)) owner = GetActiveWindow();
    if (owner && !IsWindowVisible(owner)) owner = nullptr;
    // A box that opens behind another window looks like a hung program: it always comes to the
    // front, with its owner just below it.
    if (owner) SetForegroundWindow(owner);
    return MessageBoxA(owner, text.c_str(), title.c_str(), style | MB_SETFOREGROUND);
}

}  // namespace bw::platform
