// Erase items for the lists and folders Windows itself keeps.
#include <windows.h>

#include <algorithm>
#include <string>

#include "engine/EraseItems.h"
#include "engine/EraseSteps.h"
#include "engine/PlanWalk.h"
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

const char kRecentDocs[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

// The user's temporary folder as GetTempPathA gives it, cut at its first NUL, trimmed and
// without the trailing backslash; empty text when Windows gives nothing.
std::string TemporaryFolder() {
    std::string folder = fs::TempPath();
    folder.resize(std::min(folder.size(), folder.find('\0')));
    return platform::paths::WithoutSlash(platform::paths::Trim(folder));
}

}  // namespace

void RecentDocuments(EraseRun& run) {
    // The shortcuts lying directly in the Recent folder, one target each, then the list itself.
    const std::string recent = platform::RecentFolder();
    if (!recent.empty()) planwalk::MatchingFiles(run.plan, recent + "\\*.lnk");
    run.plan.AddOperation("Start menu documents list", 0, [] {
        OperationResult result;
        namespace reg = platform::reg;
        const std::wstring path = platform::paths::Widen(kRecentDocs);
        reg::Key key;
        const bool existed = reg::OpenNoFollow(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE, 0, &key) != reg::Reached::Missing;
        key.reset();
        platform::ClearRecentDocumentsList();
        const bool gone = reg::OpenNoFollow(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE, 0, &key) == reg::Reached::Missing;
        result.done = true;
        result.registry = existed && gone ? 1 : 0;
        return result;
    });
}

void RunHistory(EraseRun& run) { PlanResetKey(run.plan, HKEY_CURRENT_USER, std::string(kExplorer) + "RunMRU"); }

void SearchHistory(EraseRun& run) {
    PlanResetKey(run.plan, HKEY_CURRENT_USER, std::string(kExplorer) + "Doc Find Spec MRU");
    PlanRemoveKey(run.plan, HKEY_CURRENT_USER, std::string(kExplorer) + "Doc Find SpecMRU");
    PlanResetKey(run.plan, HKEY_CURRENT_USER, std::string(kSearchBar) + "ComputerNameMRU");
    PlanResetKey(run.plan, HKEY_CURRENT_USER, std::string(kSearchBar) + "ContainingTextMRU");
    PlanResetKey(run.plan, HKEY_CURRENT_USER, std::string(kSearchBar) + "FilesNamedMRU");
    PlanResetKey(run.plan, HKEY_CURRENT_USER, std::string(kExplorer) + "FindComputerMRU");
}

void WindowsTemp(EraseRun& run) {
    const std::string folder = TemporaryFolder();
    if (!platform::paths::IsUsableFolder(folder)) return;
    // With TMP and TEMP unset GetTempPathA names the profile or the Windows folder: never
    // empty those.
    if (platform::IsVitalFolderOrAbove(folder)) return;
    planwalk::EmptyFolderBelow(run.plan, folder, "");
}

void RecycleBin(EraseRun& run) {
    const platform::RecycleBinContents before = platform::QueryRecycleBins();
    run.plan.SetItemNote("Recycle Bin: " + std::to_string(before.items) + " items");
    run.plan.AddOperation("Recycle Bin (" + std::to_string(before.items) + " items)", before.items,
                          [window = run.mainWindow] {
                              const platform::RecycleBinContents first = platform::QueryRecycleBins();
                              OperationResult result;
                              result.done = SUCCEEDED(platform::EmptyRecycleBins(window));
                              const platform::RecycleBinContents after = platform::QueryRecycleBins();
                              result.entries = first.items > after.items ? static_cast<int64_t>(first.items - after.items) : 0;
                              result.bytes = first.bytes > after.bytes ? first.bytes - after.bytes : 0;
                              return result;
                          });
}

void OpenSaveHistory(EraseRun& run) {
    const std::string openSave = std::string(kExplorer) + "ComDlg32\\OpenSaveMRU\\";
    for (const char* extension : kOpenSaveExtensions) PlanRemoveKey(run.plan, HKEY_CURRENT_USER, openSave + extension);
}

void ScandiskFiles(EraseRun& run) {
    // Only the root folder of each drive, which is why these may reach into a root; read-only
    // fragments stay.
    for (const char* pattern : {"c:\\*.chk", "d:\\*.chk", "e:\\*.chk", "f:\\*.chk", "g:\\*.chk"})
        planwalk::MatchingFiles(run.plan, pattern, fs::Reach::DirectlyIn);
}

void CachedPasswords(EraseRun& run) {
    std::string windows = fs::WindowsDirectory();
    if (!platform::paths::IsUsableFolder(windows)) return;
    planwalk::MatchingFiles(run.plan, platform::paths::WithoutSlash(windows) + "\\*.pwl", fs::Reach::DirectlyIn, true);
}

void Clipboard(EraseRun& run) {
    run.plan.SetItemNote("clipboard text");
    run.plan.AddOperation("clipboard", 0, [] {
        OperationResult result;
        result.done = true;
        platform::ClearClipboard();
        return result;
    });
}

void WordpadRecent(EraseRun& run) {
    PlanResetKey(run.plan, HKEY_CURRENT_USER,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List");
}

void PaintRecent(EraseRun& run) {
    PlanResetKey(run.plan, HKEY_CURRENT_USER,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List");
}

}  // namespace bw::items
