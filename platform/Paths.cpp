// Path rules every module shares (see Paths.h).
#include "platform/Paths.h"

#include "platform/Text.h"

#include <windows.h>

#include <cctype>

namespace bw::platform::paths {

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

const wchar_t kLongPrefix[] = L"\\\\?\\";
const wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

}  // namespace

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsMissingLocation(const std::string& path) {
    std::string t = Trim(path);
    return t.empty() || lstrcmpiA(t.c_str(), "Error") == 0;
}

bool IsAbsolute(const std::string& path) {
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        IsSlash(path[2]))
        return true;
    return path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

bool IsRoot(const std::string& text) {
    std::string path = text;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (path.rfind("\\\\?\\UNC\\", 0) == 0)
        path = "\\\\" + path.substr(8);
    else if (path.rfind("\\\\?\\", 0) == 0)
        path = path.substr(4);
    if ((path.size() == 2 || path.size() == 3) && path[1] == ':') return path.size() == 2 || path[2] == '\\';
    if (path.rfind("\\\\", 0) != 0) return false;
    int parts = 0;
    for (size_t pos = 2; pos < path.size();) {
        size_t next = path.find('\\', pos);
        if (next == std::string::npos) next = path.size();
        if (next > pos) ++parts;
        pos = next + 1;
    }
    return parts <= 2;
}

bool IsUsableFolder(const std::string& path) {
    std::string t = Trim(path);
    if (IsMissingLocation(t) || !IsAbsolute(t) || IsRoot(t)) return false;
    return t.rfind("\\\\.\\", 0) != 0;  // a device, not a folder
}

std::string WithSlash(const std::string& path) {
    if (path.empty() || IsSlash(path.back())) return path;
    return path + "\\";
}

std::string WithoutSlash(const std::string& path) {
    std::string out = path;
    while (out.size() > 1 && IsSlash(out.back()) && !(out.size() == 3 && out[1] == ':')) out.pop_back();
    return out;
}

std::wstring Widen(const std::string& text) { return text::ToWide(text); }

std::string Narrow(const std::wstring& text) { return text::FromWide(text); }

std::string Utf8(const std::wstring& text) { return text::FromWide(text, CP_UTF8); }

bool FitsCodePage(const std::wstring& name) {
    if (name.empty()) return true;
    bool lossy = false;
    const std::string narrow = text::FromWide(name, CP_ACP, '?', &lossy);
    return !narrow.empty() && !lossy && Widen(narrow) == name;
}

bool IsSafeName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name)
        if (c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?') return false;
    return true;
}

std::wstring LongPath(const std::string& path) {
    if (IsMissingLocation(path)) return {};
    return LongPath(Widen(Trim(path)));
}

std::wstring LongPath(const std::wstring& path) {
    if (path.empty()) return {};
    if (StartsWith(path, kLongPrefix)) return path;  // already long: taken as it stands
    auto slash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const bool drive = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && slash(path[2]);
    const bool unc = path.size() >= 3 && slash(path[0]) && slash(path[1]) && path[2] != L'?' && path[2] != L'.';
    if (!drive && !unc) return {};
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (n == 0 || n >= full.size()) return {};
    full.resize(n);
    if (drive) return kLongPrefix + full;
    return kLongUncPrefix + full.substr(2);
}

std::wstring ShortForm(const std::wstring& path) {
    if (StartsWith(path, kLongUncPrefix)) return L"\\\\" + path.substr(wcslen(kLongUncPrefix));
    if (StartsWith(path, kLongPrefix)) return path.substr(wcslen(kLongPrefix));
    return path;
}

}  // namespace bw::platform::paths
