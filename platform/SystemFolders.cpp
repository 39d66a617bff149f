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

}  // namespace

std::string RegistryFolderValue(const std::string& keyPath, const std::string& name) {
    std::string value = regfun::GetKeyValue(keyPath, name);
    value.resize(std::min(value.size(), value.find('\0')));
    return paths::Trim(value);
}

std::string ShellFolderValue(const std::string& name) {
    return RegistryFolderValue(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name);
}

std::string SpecialFolder(int csidl) {
    char buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return paths::WithoutSlash(buffer);
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
