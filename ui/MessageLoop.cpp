// The program's main message loop.
#include "ui/MessageLoop.h"

#include <windows.h>

#include "ui/Form.h"

namespace bw::ui {

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        if (RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

}  // namespace bw::ui
