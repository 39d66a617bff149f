// Shell services.
#include "platform/Shell.h"

#include "platform/Text.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"

namespace bw::platform {

namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
    std::vector<wchar_t> buffer(32768);
    DWORD n = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return {};
    return std::wstring(buffer.data(), n);
}

// A Unix path as Wine takes it: UTF-8, whatever the code page.
std::string UnixText(const std::wstring& path) { return text::FromWide(path, CP_UTF8); }

// Wine's kernel32 turns a Linux path into the Windows path that reaches it ("Z:\..." or
// "\\?\unix\..."); empty text when it cannot, or when this is not Wine.
std::string DosPathOfUnixPath(const std::string& unixPath) {
    using Convert = WCHAR*(CDECL*)(const char*);
    auto convert = reinterpret_cast<Convert>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name"));
    if (!convert || unixPath.empty()) return {};
    WCHAR* wide = convert(unixPath.c_str());
    if (!wide) return {};
    // Without best fit: a path the code page cannot hold reads '?' and reaches nothing, rather
    // than a look-alike path elsewhere.
    bool lossy = false;
    std::string path = text::FromWide(std::wstring(wide), CP_ACP, '?', &lossy);
    HeapFree(GetProcessHeap(), 0, wide);
    return lossy ? std::string() : path;
}

const char kRecentDocsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

// Empties Wine's trash without following links: every entry of "files" that the Recycle Bin
// shows (it has its "info\<name>.trashinfo") is removed by the guarded walk, then that info
// file once the entry is gone. A trashed link (what a Linux desktop puts there when a user
// trashes a link) is no Windows link under Wine: deleting it would delete what it points at.
// It stays, with its info file, and so does anything in use.
void EmptyWineTrash() {
    const std::string trash = WineTrashFolder();
    if (trash.empty()) return;
    const fs::FolderGuard files = fs::GuardFolder(trash + "\\files");
    const fs::FolderGuard info = fs::GuardFolder(trash + "\\info");
    if (!files.usable || !info.usable) return;

    std::vector<fs::DirEntry> entries;
    fs::ListGuarded(files, [&](const fs::DirEntry& entry) {
        entries.push_back(entry);
        return true;
    });
    for (const fs::DirEntry& entry : entries) {
        const std::wstring infoFile = info.path + entry.wideName + L".trashinfo";
        if (GetFileAttributesW(infoFile.c_str()) == INVALID_FILE_ATTRIBUTES) continue;  // not in the Recycle Bin
        if (entry.IsLink()) continue;
        bool gone = entry.IsFolder() ? fs::RemoveTree(fs::GuardSubfolder(files, entry), true)
                                     : fs::DeleteFileChecked(files, entry, true);
        if (gone) fs::DeleteNamedFile(info, entry.wideName + L".trashinfo", true);
    }
}

}  // namespace

bool ClearRecentDocumentsList() {
    bool shortcutsLeft = false;
    if (const std::string recent = RecentFolder(); !recent.empty())
        fs::ListFolderW(paths::Widen(recent), [&](const fs::DirEntry& entry) {
            shortcutsLeft = !entry.IsFolder() && fs::MatchesMask(L"*.lnk", entry.wideName);
            return !shortcutsLeft;
        });
    // The list's key goes first, with its per-extension subkeys, through held handles: a registry
    // link in it is removed itself, never followed. The shell's own clearing (which deletes the
    // key by name, following links) runs only once nothing of the key is left for it to follow.
    reg::Key recentDocs;
    const reg::Reached reached = reg::OpenNoFollow(HKEY_CURRENT_USER, paths::Widen(kRecentDocsKey),
                                                   DELETE | KEY_ENUMERATE_SUB_KEYS, 0, &recentDocs);
    bool keyLeft = false;
    if (reached == reg::Reached::Key || reached == reg::Reached::Link)
        keyLeft = !reg::DeleteTree(std::move(recentDocs), true).topGone;
    else
        keyLeft = reached != reg::Reached::Missing;
    SetLastError(0);
    if (!shortcutsLeft && !keyLeft) SHAddToRecentDocs(SHARD_PATHA, nullptr);
    return GetLastError() == 0;
}

bool ClearRecentDocuments() {
    const std::string recent = RecentFolder();
    if (!recent.empty()) fs::DeleteFiles(recent + "\\*.lnk", false);
    return ClearRecentDocumentsList();
}

HRESULT EmptyRecycleBins(HWND owner) {
    // Wine's own SHEmptyRecycleBinA deletes the targets of links in the trash.
    if (fs::IsWine()) {
        EmptyWineTrash();
        return S_OK;
    }
    return SHEmptyRecycleBinA(owner, "", SHERB_NOCONFIRMATION);
}

std::string WineTrashFolder() {
    if (!fs::IsWine()) return {};
    // Newer Wine hands the desktop's XDG_DATA_HOME on under this name, Wine 8 under its own.
    for (const wchar_t* name : {L"WINE_HOST_XDG_DATA_HOME", L"XDG_DATA_HOME"}) {
        const std::wstring dataHome = EnvironmentValue(name);
        if (!dataHome.empty() && dataHome[0] == L'/') {
            std::string path = DosPathOfUnixPath(UnixText(dataHome) + "/Trash");
            return path.empty() ? std::string() : paths::WithoutSlash(path);
        }
    }
    // "\??\Z:\home\user", or "\??\unix/home/user" where no drive reaches the home folder.
    std::wstring home = EnvironmentValue(L"WINEHOMEDIR");
    if (home.rfind(L"\\??\\", 0) != 0) return {};
    home.erase(0, 4);
    if (home.rfind(L"unix", 0) == 0) {
        std::string path = DosPathOfUnixPath(UnixText(home.substr(4)) + "/.local/share/Trash");
        return path.empty() ? std::string() : paths::WithoutSlash(path);
    }
    bool lossy = false;
    const std::string dosHome = text::FromWide(home, CP_ACP, '?', &lossy);
    if (dosHome.empty() || lossy) return {};
    return paths::WithoutSlash(dosHome) + "\\.local\\share\\Trash";
}

unsigned ShlwapiMajorVersion() {
    HMODULE lib = LoadLibraryA("shlwapi.dll");
    if (!lib) return 0;
    unsigned major = 0;
    auto fn = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(lib, "DllGetVersion"));
    if (fn) {
        DLLVERSIONINFO info{};
        info.cbSize = 20;
        if (SUCCEEDED(fn(&info))) major = info.dwMajorVersion;
    }
    FreeLibrary(lib);
    return major;
}

RecycleBinContents QueryRecycleBins() {
    RecycleBinContents contents;
    const std::string trash = WineTrashFolder();
    if (trash.empty()) {
        SHQUERYRBINFO info{};
        info.cbSize = sizeof info;
        if (SUCCEEDED(SHQueryRecycleBinA(nullptr, &info))) {
            contents.items = static_cast<uint64_t>(info.i64NumItems);
            contents.bytes = static_cast<uint64_t>(info.i64Size);
        }
        return contents;
    }
    const std::wstring info = paths::Widen(trash + "\\info\\");
    fs::ListFolderW(paths::Widen(trash + "\\files"), [&](const fs::DirEntry& entry) {
        if (GetFileAttributesW((info + entry.wideName + L".trashinfo").c_str()) == INVALID_FILE_ATTRIBUTES) return true;
        ++contents.items;
        if (!entry.IsFolder()) contents.bytes += entry.size;
        return true;
    });
    return contents;
}

}  // namespace bw::platform
