// The cookie keep-list window.
#include "settings/frmcookie.h"

#include "platform/FileSystem.h"
#include "platform/ProgramDir.h"
#include "platform/regfun.h"
#include "settings/frmurl.h"

namespace bw {

namespace {

// True for a location that names a folder outright: a drive path or a share. A failed registry
// read ("Error", empty) or a relative text never becomes a folder.
bool IsAbsoluteFolder(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) return true;
    return path.size() >= 3 && path[0] == '\\' && path[1] == '\\';
}

}  // namespace

frmcookie::frmcookie() : ui::Form("Cookies Options", 470, 250) {}

void frmcookie::Build() {
    Layout({
        {&Frame1, nullptr, "Cookies", 8, 8, 454, 234},
        {&Label1, &Frame1, "Current Cookies List", 10, 20, 180, 16},
        {&lstCookieList, &Frame1, "", 10, 38, 180, 184},
        {&cmdAdd, &Frame1, "Add >", 198, 80, 58, 24},
        {&cmdRemove, &Frame1, "< Remove", 198, 120, 58, 24},
        {&Label2, &Frame1, "Cookies Keep List", 264, 20, 180, 16},
        {&List1, &Frame1, "", 264, 38, 180, 184},
    });
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
}

void frmcookie::Form_Load() {
    lstCookieList.Clear();
    List1.Clear();
    std::string folder = regfun::GetKeyValue(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Cookies");
    if (IsAbsoluteFolder(folder) && platform::fs::FolderExists(folder)) {
        std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
        std::vector<std::string> paths;
        platform::fs::ListFolder(folder, [&](const platform::fs::DirEntry& entry) {
            if (!entry.IsFolder() && entry.name.find(".txt") != std::string::npos) paths.push_back(prefix + entry.name);
            return true;
        });
        for (const std::string& path : paths) lstCookieList.AddItem(path);
    }
    keeplist::Load(List1, platform::ProgramFile("keepcook.dat"));
}

void frmcookie::cmdAdd_Click() { keeplist::Add(lstCookieList, List1, platform::ProgramFile("keepcook.dat")); }

void frmcookie::cmdRemove_Click() { keeplist::Remove(List1, platform::ProgramFile("keepcook.dat")); }

}  // namespace bw
