// Folder variables of cleaning rules, from the shell and the environment.
#include "platform/RuleFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>

namespace bw::platform::rulefolders {

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return std::wstring(buffer, n);
}

std::wstring Shell(int csidl) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return buffer;
}

// FOLDERID_LocalAppDataLow, looked up at run time: Windows XP has no known folders.
std::wstring LocalLow() {
    static const GUID kLocalAppDataLow = {0xA520A1A4, 0x1780, 0x4FF6, {0xBD, 0x18, 0x16, 0x73, 0x43, 0xC5, 0xAF, 0x16}};
    using GetKnownFolderPath = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, wchar_t**);
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    auto get = shell ? reinterpret_cast<GetKnownFolderPath>(GetProcAddress(shell, "SHGetKnownFolderPath")) : nullptr;
    if (!get) return {};
    wchar_t* path = nullptr;
    std::wstring result;
    if (SUCCEEDED(get(kLocalAppDataLow, 0, nullptr, &path)) && path) result = path;
    if (path) CoTaskMemFree(path);
    return result;
}

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
    if (n == 0 || n > MAX_PATH + 1) return {};
    return std::wstring(buffer, n);
}

bool IsDrive(const std::wstring& text) {
    return text.size() == 2 && iswalpha(text[0]) && text[1] == L':';
}

// An absolute folder ("C:\..." or "\\server\share...") without trailing backslashes, or empty.
std::wstring Folder(std::wstring text) {
    const bool drivePath = text.size() >= 3 && iswalpha(text[0]) && text[1] == L':' && text[2] == L'\\';
    const bool unc = text.size() >= 3 && text[0] == L'\\' && text[1] == L'\\' && text[2] != L'?' && text[2] != L'.';
    if (!drivePath && !unc) return {};
    while (text.size() > 3 && text.back() == L'\\') text.pop_back();
    if (text.size() == 3) text.pop_back();  // "C:\" is written as the drive, as %SystemDrive% is
    return text;
}

std::wstring Drive(std::wstring text) { return IsDrive(text) ? text : std::wstring(); }

std::vector<std::wstring> NonEmpty(std::initializer_list<std::wstring> values) {
    std::vector<std::wstring> out;
    for (const std::wstring& v : values) {
        if (v.empty()) continue;
        const bool seen = std::any_of(out.begin(), out.end(),
                                      [&](const std::wstring& o) { return _wcsicmp(o.c_str(), v.c_str()) == 0; });
        if (!seen) out.push_back(v);
    }
    return out;
}

bool Is(std::string_view name, const char* known) {
    if (name.size() != strlen(known)) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (tolower(static_cast<unsigned char>(name[i])) != known[i]) return false;
    return true;
}

}  // namespace

std::vector<std::wstring> VariableValues(std::string_view name) {
    if (Is(name, "appdata")) return NonEmpty({Folder(Shell(CSIDL_APPDATA))});
    if (Is(name, "localappdata")) return NonEmpty({Folder(Shell(CSIDL_LOCAL_APPDATA))});
    if (Is(name, "locallowappdata")) return NonEmpty({Folder(LocalLow())});
    if (Is(name, "programdata") || Is(name, "commonappdata")) return NonEmpty({Folder(Shell(CSIDL_COMMON_APPDATA))});
    if (Is(name, "userprofile")) return NonEmpty({Folder(Shell(CSIDL_PROFILE))});
    if (Is(name, "documents")) return NonEmpty({Folder(Shell(CSIDL_PERSONAL))});
    if (Is(name, "music")) return NonEmpty({Folder(Shell(CSIDL_MYMUSIC))});
    if (Is(name, "pictures")) return NonEmpty({Folder(Shell(CSIDL_MYPICTURES))});
    if (Is(name, "video")) return NonEmpty({Folder(Shell(CSIDL_MYVIDEO))});
    if (Is(name, "windir") || Is(name, "systemroot")) return NonEmpty({Folder(Shell(CSIDL_WINDOWS))});
    if (Is(name, "programfiles"))
        return NonEmpty({Folder(Shell(CSIDL_PROGRAM_FILES)), Folder(Environment(L"ProgramW6432"))});
    if (Is(name, "commonprogramfiles"))
        return NonEmpty({Folder(Shell(CSIDL_PROGRAM_FILES_COMMON)), Folder(Environment(L"CommonProgramW6432"))});
    if (Is(name, "programfiles(x86)")) return NonEmpty({Folder(Environment(L"ProgramFiles(x86)"))});
    if (Is(name, "programw6432")) return NonEmpty({Folder(Environment(L"ProgramW6432"))});
    if (Is(name, "temp") || Is(name, "tmp")) return NonEmpty({Folder(TempFolder())});
    if (Is(name, "public")) return NonEmpty({Folder(Environment(L"PUBLIC"))});
    if (Is(name, "allusersprofile")) return NonEmpty({Folder(Environment(L"ALLUSERSPROFILE"))});
    if (Is(name, "systemdrive")) {
        std::wstring drive = Drive(Environment(L"SystemDrive"));
        if (drive.empty()) drive = Drive(Shell(CSIDL_WINDOWS).substr(0, 2));
        return NonEmpty({drive});
    }
    if (Is(name, "homedrive")) return NonEmpty({Drive(Environment(L"HOMEDRIVE"))});
    if (Is(name, "username")) return NonEmpty({Environment(L"USERNAME")});
    return {};
}

std::wstring NativeSystemFolder() {
    static const std::wstring folder = [] {
        using IsWow64Fn = BOOL(WINAPI*)(HANDLE, BOOL*);
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto isWow64 = kernel ? reinterpret_cast<IsWow64Fn>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
        BOOL wow64 = FALSE;
        if (!isWow64 || !isWow64(GetCurrentProcess(), &wow64) || !wow64) return std::wstring();
        const std::wstring windows = Folder(Shell(CSIDL_WINDOWS));
        if (windows.empty()) return std::wstring();
        const std::wstring native = windows + L"\\Sysnative";
        const DWORD attributes = GetFileAttributesW(native.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::wstring();
        return native;
    }();
    return folder;
}

WindowsVersion CurrentWindowsVersion() {
    using GetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto rtl = ntdll ? reinterpret_cast<GetVersionFn>(GetProcAddress(ntdll, "RtlGetVersion")) : nullptr;
    if (!(rtl && rtl(&info) == 0) && !GetVersionExW(&info)) return {};
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

}  // namespace bw::platform::rulefolders
