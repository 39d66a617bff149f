// The folders no deletion may empty, walk below or remove, judged on the names the system gives
// them once opened (after ".", "..", doubled separators and links resolve).
#include "platform/ProtectedFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace bw::platform::fs {

namespace {

// Names compare as the file system compares them: byte for byte under Wine, without regard to
// case on Windows.
std::wstring Key(std::wstring name) {
    if (!IsWine() && !name.empty()) CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return std::wstring(buffer, n);
}

std::wstring Expand(const std::wstring& text) {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = ExpandEnvironmentStringsW(text.c_str(), buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH + 1) return {};
    return buffer;
}

// A folder value of `key` (REG_SZ or REG_EXPAND_SZ), expanded; empty when missing.
std::wstring FolderValue(HKEY root, const wchar_t* key, const wchar_t* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD type = 0, size = sizeof buffer - sizeof(wchar_t);
    LONG status = RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(h);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return type == REG_EXPAND_SZ ? Expand(buffer) : std::wstring(buffer);
}

// The user's profile folder. SHGetFolderPath is asked only for this one: for the folders that
// have a "Shell Folders" value it also rewrites that value.
std::wstring ProfileFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return buffer;
}

// The parent of an object name with a trailing backslash ("\??\C:\users\" for
// "\??\C:\users\me\"); empty at the top.
std::wstring ParentOf(const std::wstring& name) {
    if (name.size() < 2) return {};
    size_t slash = name.find_last_of(L'\\', name.size() - 2);
    return slash == std::wstring::npos ? std::wstring() : name.substr(0, slash + 1);
}

// "\??\C:\", "\??\UNC\server\share\", "\Device\HarddiskVolume2\", "\Device\Mup\server\share\":
// the name of a drive or share root.
bool LooksLikeRoot(const std::wstring& name) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start < name.size()) {
        size_t slash = name.find(L'\\', start);
        if (slash == std::wstring::npos) slash = name.size();
        if (slash > start) parts.push_back(name.substr(start, slash - start));
        start = slash + 1;
    }
    if (parts.size() <= 2) return true;
    const std::wstring second = Key(parts[1]);
    const bool share = second == Key(L"UNC") || second == Key(L"Mup") || second == Key(L"LanmanRedirector");
    return share && parts.size() <= 4;
}

struct Snapshot {
    std::set<std::wstring> vital;      // the protected folders themselves
    std::set<std::wstring> above;      // every folder above one of them
    std::set<std::wstring> roots;      // drive roots as opened
    std::vector<std::wstring> system;  // Windows' system folders, in every view
    std::wstring profileRoot;          // the folder holding every user's profile
    std::wstring unixRoot;             // under Wine, "/" as the system names it
    DWORD madeAt = 0;
};

std::wstring AddVital(Snapshot& snapshot, const std::wstring& path) {
    if (path.empty()) return {};
    std::wstring name = FolderObjectName(path);
    if (name.empty()) return {};
    name = Key(name);
    snapshot.vital.insert(name);
    for (std::wstring up = ParentOf(name); !up.empty(); up = ParentOf(up)) snapshot.above.insert(up);
    return name;
}

void AddSystem(Snapshot& snapshot, const std::wstring& path) {
    const std::wstring name = AddVital(snapshot, path);
    if (!name.empty()) snapshot.system.push_back(name);
}

Snapshot Take() {
    Snapshot snapshot;
    wchar_t buffer[MAX_PATH + 1];
    if (UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1); n && n <= MAX_PATH) {
        const std::wstring windows(buffer, n);
        AddVital(snapshot, windows);
        AddVital(snapshot, windows + L"\\system");
        // Under WOW64 "System32" opens SysWOW64 and only "Sysnative" reaches the real System32;
        // elsewhere Sysnative does not exist and System32 is itself.
        AddSystem(snapshot, windows + L"\\SysWOW64");
        AddSystem(snapshot, windows + L"\\Sysnative");
        AddSystem(snapshot, windows + L"\\System32");
    }
    if (UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1); n && n <= MAX_PATH) AddSystem(snapshot, std::wstring(buffer, n));
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"CommonProgramFiles",
                                L"CommonProgramFiles(x86)", L"CommonProgramW6432", L"USERPROFILE", L"ALLUSERSPROFILE",
                                L"PUBLIC", L"SystemRoot"})
        AddVital(snapshot, Environment(name));
    const wchar_t* const kWindowsKey = L"Software\\Microsoft\\Windows\\CurrentVersion";
    for (const wchar_t* name : {L"ProgramFilesDir", L"ProgramFilesDir (x86)", L"ProgramW6432Dir"})
        AddVital(snapshot, FolderValue(HKEY_LOCAL_MACHINE, kWindowsKey, name));
    // The user shell folders, where the shell keeps them and where older programs read them.
    // (Favorites, Recent and the cache are not among them: items empty those.)
    const wchar_t* const kUserFolders[] = {L"Desktop",     L"Personal",  L"AppData",  L"Local AppData",
                                           L"Start Menu",  L"Programs",  L"Startup",  L"My Music",
                                           L"My Pictures", L"My Video",  L"{374DE290-123F-4565-9164-39C4925E467B}"};
    const wchar_t* const kCommonFolders[] = {L"Common Desktop",    L"Common Documents", L"Common AppData",
                                             L"Common Start Menu", L"Common Programs",  L"Common Startup",
                                             L"CommonMusic",       L"CommonPictures",   L"CommonVideo"};
    for (const wchar_t* key : {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}) {
        for (const wchar_t* name : kUserFolders) AddVital(snapshot, FolderValue(HKEY_CURRENT_USER, key, name));
        for (const wchar_t* name : kCommonFolders) AddVital(snapshot, FolderValue(HKEY_LOCAL_MACHINE, key, name));
    }

    // Every user's profile lies in the profile root: the root and each folder directly in it.
    const std::wstring profilePath = ProfileFolder();
    AddVital(snapshot, profilePath);
    const std::wstring profile = FolderObjectName(profilePath);
    if (!profile.empty()) snapshot.profileRoot = Key(ParentOf(profile));
    if (!snapshot.profileRoot.empty()) {
        snapshot.vital.insert(snapshot.profileRoot);
        for (std::wstring up = ParentOf(snapshot.profileRoot); !up.empty(); up = ParentOf(up))
            snapshot.above.insert(up);
    }

    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        const UINT type = GetDriveTypeW(root);
        if (type != DRIVE_FIXED && type != DRIVE_REMOTE && type != DRIVE_RAMDISK) continue;
        const std::wstring name = FolderObjectName(root);
        if (!name.empty()) snapshot.roots.insert(Key(name));
    }

    if (IsWine()) {
        using DosNameFn = LPWSTR(CDECL*)(LPCSTR);
        HMODULE k32 = GetModuleHandleA("kernel32.dll");
        auto dosName = k32 ? reinterpret_cast<DosNameFn>(GetProcAddress(k32, "wine_get_dos_file_name")) : nullptr;
        if (LPWSTR dos = dosName ? dosName("/") : nullptr) {
            snapshot.unixRoot = Key(FolderObjectName(dos));
            HeapFree(GetProcessHeap(), 0, dos);
        }
        // The Unix home folder, as Wine names it ("\??\Z:\home\user").
        std::wstring home = Environment(L"WINEHOMEDIR");
        if (home.rfind(L"\\??\\", 0) == 0) home.erase(0, 4);
        AddVital(snapshot, home);
    }
    snapshot.madeAt = GetTickCount();
    return snapshot;
}

// Shell folders and drives change rarely; reading them again for every folder an erase run
// starts from would cost more than the run's own work.
const Snapshot& Current() {
    static Snapshot snapshot;
    static bool taken = false;
    if (!taken || GetTickCount() - snapshot.madeAt > 1000) {
        snapshot = Take();
        taken = true;
    }
    return snapshot;
}

}  // namespace

Protection ProtectionOf(const std::wstring& objectName) {
    if (objectName.empty()) return Protection::Vital;
    const std::wstring name = Key(objectName.back() == L'\\' ? objectName : objectName + L'\\');
    const Snapshot& protectedNow = Current();
    if (!protectedNow.unixRoot.empty() && name == protectedNow.unixRoot) return Protection::UnixRoot;
    if (protectedNow.roots.count(name) || LooksLikeRoot(name)) return Protection::DriveRoot;
    if (protectedNow.vital.count(name) || protectedNow.above.count(name)) return Protection::Vital;
    if (!protectedNow.profileRoot.empty() && ParentOf(name) == protectedNow.profileRoot) return Protection::Vital;
    // Under Wine every folder directly in "/" (home, etc, usr...) is the machine's, not an item's.
    if (!protectedNow.unixRoot.empty() && ParentOf(name) == protectedNow.unixRoot) return Protection::Vital;
    return Protection::None;
}

bool InSystemFolder(const std::wstring& objectName) {
    if (objectName.empty()) return false;
    const std::wstring name = Key(objectName.back() == L'\\' ? objectName : objectName + L'\\');
    for (const std::wstring& system : Current().system)
        if (name.compare(0, system.size(), system) == 0) return true;
    return false;
}

std::string UserPatternRefusal(const std::string& pattern) {
    std::string text = paths::Trim(pattern);
    const size_t slash = text.find_last_of('\\');
    if (slash == std::string::npos) return "The folder of this item is not a full path.";
    return UserFolderRefusal(GuardFolder(text.substr(0, slash + 1), Reach::DirectlyIn));
}

std::string UserFolderRefusal(const FolderGuard& guard) {
    if (guard.usable && InSystemFolder(guard.objectName))
        return "This folder belongs to Windows, to your programs or to your profile: nothing in it is erased.";
    switch (guard.protection) {
    case Protection::UnixRoot:
        return "This folder is the root of the whole file system: nothing in it is erased.";
    case Protection::Vital:
        return "This folder belongs to Windows, to your programs or to your profile: nothing in it is erased.";
    case Protection::DriveRoot:
    case Protection::None:
        break;
    }
    return {};  // an ordinary folder, or one that does not exist (yet): nothing to refuse
}

}  // namespace bw::platform::fs
