// The Opera option window: the browser boxes plus the Opera folder.
#include "settings/frmopera.h"

#include <shlobj.h>

#include "settings/Inifun.h"
#include "ui/Dialogs.h"

namespace bw {

frmopera::frmopera() : BrowserOptions("Opera", "Opera", "OPERA", 260) {}

void frmopera::Build() {
    BrowserOptions::Build();
    Layout({
        {&Label1, nullptr, "Opera Directory", 8, 152, 240, 16},
        {&Text1, nullptr, "", 8, 170, 240, 22},
        {&Command2, nullptr, "Change Directory", 8, 200, 120, 24},
    });
    Command1.Move(168, 200, 80, 24);
    Command2.onClick = [this] { Command2_Click(); };
}

void frmopera::Form_Load() {
    Text1.SetText(Inifun::ReadIni(subitems::SettingsFile(), section_, "Path"));
    BrowserOptions::Form_Load();
}

void frmopera::Command2_Click() {
    if (std::optional<std::string> folder =
            ui::BrowseForFolder(hwnd(), "Brightwipe", BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN))
        Text1.SetText(*folder);
}

void frmopera::Command1_Click() {
    subitems::Save(section_, Boxes());
    if (Text1.Text().empty()) Text1.SetText("C:\\Program Files\\Opera7");
    Inifun::WriteIni(subitems::SettingsFile(), section_, "Path", Text1.Text());
    Unload();
}

}  // namespace bw
