// The standard Windows message box.
#include "platform/MessageBox.h"

namespace bw::platform {

int MsgBox(HWND owner, const std::string& text, const std::string& title, UINT style) {
    return MessageBoxA(owner, text.c_str(), title.c_str(), style);
}

}  // namespace bw::platform
