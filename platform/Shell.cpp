// Shell services.
#include "platform/Shell.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "platform/FileSystem.h"
#include "platform/SystemFolders.h"

namespace bw::platform {

namespace {

std::string EnvironmentValue(const char* name) {
    std::vector<char> buffer(32768);
    DWORD n = GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return {};
    return std::string(buffer.data(), n);
}

// Wine's kernel32 turns a Linux path into the Windows path that reaches it ("Z:\..." or
// "\\?\unix\..."); empty text when it cannot, or when this is not Wine.
std::string DosPathOfUnixPath(const std::string& unixPath) {
    using Convert = WCHAR*(CDECL*)(const char*);
    auto convert = reinterpret_cast<Convert>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name"));
    if (!convert || unixPath.empty()) return {};
    WCHAR* wide = convert(unixPath.c_str());
    if (!wide) return {};
    std::string path;
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
        path.resize(n);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, path.data(), n, nullptr, nullptr);
        path.resize(n - 1);
    }
    HeapFree(GetProcessHeap(), 0, wide);
    return path;
}

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

const char kRecentDocsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// Erases from Wine's trash what SHEmptyRecycleBinA left: every entry of "files" that the Recycle
// Bin shows (it has its "info\<name>.trashinfo"), then that info file once the entry is gone.
void EraseWineTrashLeftovers() {
    const std::string trash = WineTrashFolder();
    if (trash.empty()) return;
    const std::string files = trash + "\\files";
    const std::string info = trash + "\\info";

    std::vector<fs::DirEntry> left;
    fs::ListFolder(files, [&](const fs::DirEntry& entry) {
        left.push_back(entry);
        return true;
    });
    for (const fs::DirEntry& entry : left) {
        const std::string infoFile = info + "\\" + entry.name + ".trashinfo";
        if (!fs::FileExists(infoFile)) continue;  // not an item of the Recycle Bin
        if (entry.IsLink()) continue;             // removing it would reach its target
        if (HasWildcard(entry.name)) continue;    // a Linux name that would match other entries
        const std::string path = files + "\\" + entry.name;
        bool gone = entry.IsFolder() ? fs::DeleteFolders(path, true) == 1 : fs::DeleteFileAt(path, true);
        if (gone) fs::DeleteFileAt(infoFile, true);
    }
}

}  // namespace

bool ClearRecentDocuments() {
    SetLastError(0);
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    const bool noError = GetLastError() == 0;

    // Wine deletes the list's key only when it has no per-extension subkeys, which Windows
    // keeps there; the whole tree goes.
    SHDeleteKeyA(HKEY_CURRENT_USER, kRecentDocsKey);

    const std::string recent = RecentFolder();
    if (!recent.empty()) fs::DeleteFiles(recent + "\\*.lnk", false);
    return noError;
}

HRESULT EmptyRecycleBins(HWND owner) {
    HRESULT result = SHEmptyRecycleBinA(owner, "", SHERB_NOCONFIRMATION);
    if (fs::IsWine()) EraseWineTrashLeftovers();
    return result;
}

std::string WineTrashFolder() {
    if (!fs::IsWine()) return {};
    // Newer Wine hands the desktop's XDG_DATA_HOME on under this name, Wine 8 under its own.
    for (const char* name : {"WINE_HOST_XDG_DATA_HOME", "XDG_DATA_HOME"}) {
        std::string dataHome = EnvironmentValue(name);
        if (!dataHome.empty() && dataHome[0] == '/') {
            std::string path = DosPathOfUnixPath(dataHome + "/Trash");
            return path.empty() ? std::string() : WithoutTrailingBackslash(path);
        }
    }
    // "\??\Z:\home\user", or "\??\unix/home/user" where no drive reaches the home folder.
    std::string home = EnvironmentValue("WINEHOMEDIR");
    if (home.rfind("\\??\\", 0) != 0) return {};
    home.erase(0, 4);
    if (home.rfind("unix", 0) == 0) {
        std::string path = DosPathOfUnixPath(home.substr(4) + "/.local/share/Trash");
        return path.empty() ? std::string() : WithoutTrailingBackslash(path);
    }
    if (home.empty()) return {};
    return WithoutTrailingBackslash(home) + "\\.local\\share\\Trash";
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

}  // namespace bw::platform
