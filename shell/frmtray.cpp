// The tray window: icon, tray menu, the boss key at start, and the program's exit sequence.
#include "shell/frmtray.h"

#include "engine/frmcleannow.h"
#include "platform/ProgramDir.h"
#include "settings/Inifun.h"
#include "settings/frmcookie.h"
#include "settings/frmurl.h"
#include "shell/Frmsplash.h"
#include "shell/Help.h"
#include "shell/IEWindows.h"
#include "shell/MainWindow.h"
#include "shell/frmabout.h"
#include "shell/frmoptions.h"
#include "ui/Forms.h"

namespace bw {

namespace {
// Icon events arrive as mouse moves over this window, the mouse message code in lParam.
constexpr UINT kTrayCallback = WM_MOUSEMOVE;
}  // namespace

frmtray::frmtray() : ui::Form("systray", 0, 0) {}

void frmtray::Build() {
    ui::MenuBar::Create(hwnd(), {
        {&mPopupSys, nullptr, "SysTray"},
        {&Help, &mPopupSys, "Help"},
        {&a5, &mPopupSys, "-"},
        {&Option, &mPopupSys, "Option"},
        {&Restore, &mPopupSys, "Restore"},
        {&a3, &mPopupSys, "-"},
        {&Erase, &mPopupSys, "Erase Now"},
        {&a7, &mPopupSys, "-"},
        {&Exit, &mPopupSys, "Exit"},
    });
    Help.onClick = [this] { Help_Click(); };
    Option.onClick = [this] { Option_Click(); };
    Restore.onClick = [this] { Restore_Click(); };
    Erase.onClick = [this] { Erase_Click(); };
    Exit.onClick = [this] { Exit_Click(); };
}

void frmtray::Form_Load() {
    icon_.Fill(hwnd(), platform::ProgramSmallIcon(), kTrayCallback, "Brightwipe");
    icon_.Add();
    std::string bosskey = Inifun::ReadIni(platform::SettingsFile("bwsd.dat"), "Additional", "bosskey");
    if (Inifun::IsOnByNumber(bosskey)) IEWindows::InstallBossKey(hwnd());
}

void frmtray::Form_Unload() {
    IEWindows::RemoveBossKey(hwnd());
    // Browser windows hidden by the boss key must not stay hidden once nobody can show them.
    IEWindows::RestoreHiddenWindows();
    icon_.Remove();
}

bool frmtray::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == kTrayCallback) {
        Form_MouseMove(static_cast<int>(lp));
        *result = 0;
        return true;
    }
    if (msg == platform::TaskbarCreatedMessage()) {
        // A restarted Explorer shows a taskbar without our icon.
        icon_.Add();
        *result = 0;
        return true;
    }
    return false;
}

void frmtray::Form_MouseMove(int code) {
    if (code == WM_LBUTTONUP) {
        Restore_Click();
    } else if (code == WM_RBUTTONUP) {
        platform::BringToFront(hwnd());
        ui::MenuBar::PopUp(hwnd(), mPopupSys);
    }
}

void frmtray::Help_Click() { OpenHelp(); }

void frmtray::Option_Click() { ui::Get<frmoptions>().ShowModal(); }

void frmtray::Restore_Click() {
    if (ui::Form* main = shell::MainWindow()) {
        main->Show();
        main->Restore();
    }
}

void frmtray::Erase_Click() { ui::Get<frmcleannow>().Show(); }

void frmtray::Exit_Click() { ExitSequence(); }

void frmtray::ExitSequence() {
    ui::Unload<frmtray>();
    ui::Unload<frmcleannow>();
    ui::Unload<frmurl>();
    ui::Unload<frmabout>();
    ui::Unload<Frmsplash>();
    ui::Unload<frmcookie>();
    if (ui::Form* main = shell::MainWindow()) main->Unload();
}

}  // namespace bw
