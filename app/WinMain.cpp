// Program entry: carries out a command-line switch (the unattended erase, the usage box), or
// names the main window for the shell, shows the splash (which brings up the main window and the
// tray icon), then runs the message loop until the last window is unloaded.
#include <windows.h>

#include "app/CommandLine.h"
#include "app/frmMainCode.h"
#include "shell/Frmsplash.h"
#include "shell/Help.h"
#include "shell/MainWindow.h"
#include "ui/Form.h"
#include "ui/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const bw::StartCommand command = bw::ParseCommandLine(commandLine ? commandLine : "");
    if (command.mode != bw::StartMode::Window) return bw::RunCommand(command);
    bw::shell::MainWindowAccessor() = []() -> bw::ui::Form& { return bw::ui::Get<bw::frmMainCode>(); };
    bw::ui::Form::QuitWhenLastFormUnloads(true);
    bw::ui::Form::SetHelpHandler([] { bw::OpenHelp(); });
    bw::ui::Get<bw::Frmsplash>().Show();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (bw::ui::RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
