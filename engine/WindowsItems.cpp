// Erase items for the lists and folders Windows itself keeps.
#include <windows.h>

#include <algorithm>
#include <string>

#include "engine/EraseItems.h"
#include "engine/EraseSteps.h"
#include "engine/Normal.h"
#include "platform/Clipboard.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/SystemFolders.h"

namespace bw::items {

namespace {

namespace fs = platform::fs;

const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const char kSearchBar[] =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\";

// The extensions whose open/save dialog history goes ("mwv" is spelled as Windows stores it
// for the programs that wrote it).
const char* const kOpenSaveExtensions[] = {
    "*",   "avi", "bmp", "chm", "dat", "exe", "frm", "gif", "htm", "inf", "jpg", "mdb",
    "mp3", "mpg", "rar", "rm",  "rtf", "swf", "txt", "wav", "mwv", "xls", "zip", "doc",
};

// The user's temporary folder as GetTempPathA gives it, cut at its first NUL, trimmed and
// without the trailing backslash; empty text when Windows gives nothing.
std::string TemporaryFolder() {
    std::string folder = fs::TempPath();
    folder.resize(std::min(folder.size(), folder.find('\0')));
    return platform::paths::WithoutSlash(platform::paths::Trim(folder));
}

}  // namespace

void RecentDocuments(EraseRun&) {
    // The list's own result is of no use to the run.
    platform::ClearRecentDocuments();
}

void RunHistory(EraseRun&) { ResetKey(HKEY_CURRENT_USER, std::string(kExplorer) + "RunMRU"); }

void SearchHistory(EraseRun&) {
    const std::string docFindSpec = std::string(kExplorer) + "Doc Find Spec MRU";
    platform::reg::DeleteKey(HKEY_CURRENT_USER, docFindSpec);
    platform::reg::Key created;
    platform::reg::CreateKey(HKEY_CURRENT_USER, docFindSpec, created.put());

    RemoveKey(HKEY_CURRENT_USER, std::string(kExplorer) + "Doc Find SpecMRU");
    ResetKey(HKEY_CURRENT_USER, std::string(kSearchBar) + "ComputerNameMRU");
    ResetKey(HKEY_CURRENT_USER, std::string(kSearchBar) + "ContainingTextMRU");
    ResetKey(HKEY_CURRENT_USER, std::string(kSearchBar) + "FilesNamedMRU");
    ResetKey(HKEY_CURRENT_USER, std::string(kExplorer) + "FindComputerMRU");
}

void WindowsTemp(EraseRun& run) {
    const std::string folder = TemporaryFolder();
    if (!platform::paths::IsUsableFolder(folder)) return;
    // With TMP and TEMP unset GetTempPathA names the profile or the Windows folder: never
    // empty those.
    if (platform::IsVitalFolderOrAbove(folder)) return;
    FolderSize(run, folder);
    Normal::EmptyFolder(folder);
}

void RecycleBin(EraseRun& run) {
    FolderSize(run, "C:\\RECYCLED");
    platform::EmptyRecycleBins(run.mainWindow);
}

void OpenSaveHistory(EraseRun&) {
    const std::string openSave = std::string(kExplorer) + "ComDlg32\\OpenSaveMRU\\";
    for (const char* extension : kOpenSaveExtensions) RemoveKey(HKEY_CURRENT_USER, openSave + extension);
}

void ScandiskFiles(EraseRun&) {
    // Only the root folder of each drive, which is why these may reach into a root; read-only
    // fragments stay.
    for (const char* pattern : {"c:\\*.chk", "d:\\*.chk", "e:\\*.chk", "f:\\*.chk", "g:\\*.chk"})
        fs::DeleteFiles(pattern, false, fs::Reach::DirectlyIn);
}

void CachedPasswords(EraseRun&) {
    std::string windows = fs::WindowsDirectory();
    if (!platform::paths::IsUsableFolder(windows)) return;
    fs::DeleteFiles(platform::paths::WithoutSlash(windows) + "\\*.pwl", false, fs::Reach::DirectlyIn);
}

void Clipboard(EraseRun&) { platform::ClearClipboard(); }

void WordpadRecent(EraseRun&) {
    ResetKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List");
}

void PaintRecent(EraseRun&) {
    ResetKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List");
}

}  // namespace bw::items
