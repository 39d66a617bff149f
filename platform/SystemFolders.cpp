// Windows' own folders and the guard around them.
#include "platform/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "platform/FileSystem.h"

namespace bw::platform {

namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

std::string EnvironmentValue(const char* name) {
    char buffer[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return std::string(buffer, n);
}

// "C:\..." or "\\server\...": a path that names its folder whatever the current directory.
bool IsFullyQualified(const std::string& path) {
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        path[2] == '\\')
        return true;
    return path.size() >= 3 && path[0] == '\\' && path[1] == '\\';
}

// The full, lower-case form of a fully qualified `path` with exactly one trailing backslash, for
// comparing folders; nullopt when it cannot be had.
std::optional<std::string> Comparable(const std::string& path) {
    size_t first = path.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    size_t last = path.find_last_not_of(" \t");
    std::string text = path.substr(first, last - first + 1);
    if (!IsFullyQualified(text)) return std::nullopt;
    std::optional<std::string> full = fs::FullPath(text);
    if (!full || full->empty()) return std::nullopt;
    text = *full;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    while (!text.empty() && text.back() == '\\') text.pop_back();
    return text + "\\";
}

}  // namespace

std::string SpecialFolder(int csidl) {
    char buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return WithoutTrailingBackslash(buffer);
}

std::string RecentFolder() { return SpecialFolder(CSIDL_RECENT); }

std::string SystemDirectory() {
    char buffer[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return WithoutTrailingBackslash(std::string(buffer, n));
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
