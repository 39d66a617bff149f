// Windows' own folders and the guard around them.
#include "platform/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/regfun.h"

namespace bw::platform {

namespace {

std::string EnvironmentValue(const char* name) {
    char buffer[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return std::string(buffer, n);
}

// The full, lower-case form of a fully qualified `path` with exactly one trailing backslash, for
// comparing folders; nullopt when it cannot be had.
std::optional<std::string> Comparable(const std::string& path) {
    std::string text = paths::Trim(path);
    if (!paths::IsAbsolute(text)) return std::nullopt;
    std::optional<std::string> full = fs::FullPath(text);
    if (!full || full->empty()) return std::nullopt;
    text = *full;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    while (!text.empty() && text.back() == '\\') text.pop_back();
    return text + "\\";
}

using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);

// Looked up at run time: Windows XP before its 64-bit edition lacks them.
struct Redirection {
    DisableFn disable = nullptr;
    RevertFn revert = nullptr;
    Redirection() {
        if (HMODULE k32 = GetModuleHandleA("kernel32.dll")) {
            disable = reinterpret_cast<DisableFn>(GetProcAddress(k32, "Wow64DisableWow64FsRedirection"));
            revert = reinterpret_cast<RevertFn>(GetProcAddress(k32, "Wow64RevertWow64FsRedirection"));
        }
    }
};

const Redirection& Calls() {
    static const Redirection calls;
    return calls;
}

}  // namespace

ListedView::ListedView(std::wstring_view name) {
    const Redirection& calls = Calls();
    if (!calls.disable || !calls.revert) return;
    if (name.size() == 8 && _wcsnicmp(name.data(), L"system32", 8) == 0) return;
    off_ = calls.disable(&previous_) != FALSE;
}

ListedView::~ListedView() {
    const Redirection& calls = Calls();
    if (off_ && calls.revert) calls.revert(previous_);
}

std::string ExactlyInCodePage(const std::wstring& path) {
    bool lossy = false;
    std::string text = text::FromWide(path, CP_ACP, '?', &lossy);
    return lossy ? std::string() : text;
}

std::string RegistryFolderValue(const std::string& keyPath, const std::string& name, unsigned long view) {
    // Read as UTF-16: a name the code page cannot hold must not become another folder's name.
    std::string subkey = keyPath;
    HKEY root = nullptr;
    regfun::ParseKeyPath(subkey, &root);
    HKEY key = nullptr;
    if (!root || RegOpenKeyExW(root, text::ToWide(subkey).c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return {};
    std::vector<wchar_t> buffer(4096, L'\0');
    DWORD type = 0, size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    const LONG status = RegQueryValueExW(key, text::ToWide(name).c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    std::wstring value(buffer.data(), std::min<size_t>(size / sizeof(wchar_t), buffer.size() - 1));
    value.resize(std::min(value.size(), value.find(L'\0')));
    return paths::Trim(ExactlyInCodePage(value));
}

std::string ShellFolderValue(const std::string& name) {
    return RegistryFolderValue(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name);
}

std::string SpecialFolder(int csidl) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return paths::WithoutSlash(ExactlyInCodePage(buffer));
}

std::string RecentFolder() { return SpecialFolder(CSIDL_RECENT); }

std::string SystemDirectory() {
    char buffer[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return paths::WithoutSlash(std::string(buffer, n));
}

bool IsVitalFolderOrAbove(const std::string& path) {
    std::optional<std::string> candidate = Comparable(path);
    if (!candidate) return true;
    const std::vector<std::string> vital = {
        fs::WindowsDirectory(), SystemDirectory(), SpecialFolder(CSIDL_PROFILE),
        EnvironmentValue("USERPROFILE"),
    };
    for (const std::string& folder : vital) {
        std::optional<std::string> known = Comparable(folder);
        if (!known) continue;
        // `candidate` is the folder itself or lies above it.
        if (known->compare(0, candidate->size(), *candidate) == 0) return true;
    }
    return false;
}

}  // namespace bw::platform
