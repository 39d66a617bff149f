// The options window: read on opening, written on OK in a fixed order, nothing kept between
// openings.
#include "shell/frmoptions.h"

#include <utility>

#include "platform/ProgramDir.h"
#include "platform/Registry.h"
#include "platform/regfun.h"
#include "settings/Inifun.h"
#include "shell/IEWindows.h"
#include "shell/frmtray.h"
#include "ui/Forms.h"

namespace bw {

const char* const frmoptions::kBrowserKeys[3] = {
    "HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Internet Explorer\\Main",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer\\Main",
};
const char frmoptions::kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {
const char kAdditional[] = "Additional";
}  // namespace

frmoptions::frmoptions() : ui::Form("Erase Options", 430, 446) {}

std::string frmoptions::SettingsFile() const { return platform::SettingsFile("bwsd.dat"); }

void frmoptions::Build() {
    Layout({
        {&Label1, nullptr, "IE Home Page  And Boss Key Settings", 12, 10, 400, 16},
        {&Label2, nullptr, "Prevent your home page from being changed by websites", 12, 28, 400, 16},
        {&Frame1, nullptr, "IE Home Page", 8, 50, 414, 80},
        {&Label3, &Frame1, "Reset HomePage To", 10, 24, 110, 16},
        {&Text1, &Frame1, "", 124, 20, 280, 22},
        {&Label4, &Frame1, "Window Title", 10, 52, 110, 16},
        {&Text2, &Frame1, "", 124, 48, 280, 22},
        {&Frame3, nullptr, "Boss Key", 8, 136, 414, 118},
        {&Check1, &Frame3, "Enable Boss Key", 10, 20, 300, 20},
        {&Label5, &Frame3,
         "If this is checked,you can press the Hotkey windows key + Z to hide all IE windows,and "
         "windows key + shift + Z to show all IE windows.you can hide the browser windows and folder "
         "windows when your boss or anyone else you don't want to see your screen comes in.",
         10, 44, 394, 66},
        {&Frame4, nullptr, "General", 8, 260, 414, 138},
        {&Check2, &Frame4, "Load Brightwipe on Windows Start Up", 10, 20, 390, 20},
        {&Check3, &Frame4, "Automatically check for new versions", 10, 42, 390, 20},
        {&Check4, &Frame4, "Exit after erasing", 10, 64, 390, 20},
        {&Check5, &Frame4, "Custom Erase Items", 10, 86, 390, 20},
        {&Check6, &Frame4, "Enable Securely Erasing", 10, 108, 390, 20},
        {&Command1, nullptr, "OK", 252, 410, 80, 26},
        {&Command2, nullptr, "Cancel", 342, 410, 80, 26},
    });
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    SetDefaultButton(&Command1);
    SetCancelButton(&Command2);
}

void frmoptions::Form_Load() {
    Center();
    const std::string main = kBrowserKeys[1];
    for (auto [box, name] : {std::pair{&Text1, "Start Page"}, std::pair{&Text2, "Window Title"}}) {
        std::string value = regfun::GetKeyValue(main, name);
        box->SetText(value == "Error" ? "" : value);
    }
    const std::string file = SettingsFile();
    for (auto [box, key] : {std::pair{&Check1, "bosskey"}, std::pair{&Check2, "startup"},
                            std::pair{&Check3, "autoclean"}, std::pair{&Check4, "exit"},
                            std::pair{&Check5, "Custom"}, std::pair{&Check6, "securely"}})
        box->SetValue(Inifun::IsOnByNumber(Inifun::ReadIni(file, kAdditional, key)) ? 1 : 0);
}

void frmoptions::Command1_Click() {
    const std::string file = SettingsFile();
    if (Text1.Text().empty()) Text1.SetText(" ");
    if (Text2.Text().empty()) Text2.SetText(" ");
    for (const char* key : kBrowserKeys) {
        regfun::SetKeyValue(key, "Start Page", Text1.Text());
        regfun::SetKeyValue(key, "Window Title", Text2.Text());
    }

    // The boss key follows the box at once. Switching it on or off again changes nothing, so
    // the hot keys are never registered twice; and the keys follow the box even when the
    // stored value already matched it (the file edited while Brightwipe ran).
    HWND tray = ui::IsLoaded<frmtray>() ? ui::Get<frmtray>().hwnd() : nullptr;
    const std::string stored = Inifun::ReadIni(file, kAdditional, "bosskey");
    if (Check1.Value() == 1) {
        if (!Inifun::IsOnByNumber(stored)) Inifun::WriteIni(file, kAdditional, "bosskey", "1");
        IEWindows::InstallBossKey(tray);
    } else {
        if (stored != "0") Inifun::WriteIni(file, kAdditional, "bosskey", "0");
        IEWindows::RemoveBossKey(tray);
    }

    if (Check2.Value() == 1) {
        Inifun::WriteIni(file, kAdditional, "startup", "1");
        regfun::SetKeyValue(std::string("HKEY_LOCAL_MACHINE\\") + kRunKey, "Brightwipe",
                            "\"" + platform::ProgramDir() + "\\Brightwipe.exe\"");
    } else {
        Inifun::WriteIni(file, kAdditional, "startup", "0");
        HKEY run = nullptr;
        if (platform::reg::OpenKey(HKEY_LOCAL_MACHINE, kRunKey, &run) == ERROR_SUCCESS) {
            platform::reg::Key held(run);
            platform::reg::DeleteValue(run, "Brightwipe");
        }
    }

    for (auto [box, key] : {std::pair{&Check3, "autoclean"}, std::pair{&Check4, "exit"},
                            std::pair{&Check5, "Custom"}, std::pair{&Check6, "securely"}})
        Inifun::WriteIni(file, kAdditional, key, box->Value() == 1 ? "1" : "0");
    Unload();
}

void frmoptions::Command2_Click() { Unload(); }

}  // namespace bw
