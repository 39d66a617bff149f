// Program entry: loads and shows the main window, then runs the message loop until the last
// window is unloaded.
#include <windows.h>

#include "ui/Forms.h"
#include "app/frmMainCode.h"
#include "ui/Form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    bw::ui::Form::QuitWhenLastFormUnloads(true);
    bw::ui::Get<bw::frmMainCode>().Show();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
