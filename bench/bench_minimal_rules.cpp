// The reference for bench rules: what a minimal Win32 program does with winapp2.ini.
//  parse:  ReadFile the whole file, split it into lines and each key line into name and value
//          strings, grouped by section (a plain INI reader).
//  detect: the same reading, then for every section each Detect key opened with RegOpenKeyExA
//          and each DetectFile expanded through the environment and looked up with
//          FindFirstFileA (which takes a wildcard in the last part only), stopping at the first
//          hit; no caches.
// Usage: bench_minimal_rules parse|detect <winapp2.ini>; reports the median of 5 runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchCommon.h"

namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

std::vector<Section> ReadIni(const std::string& path) {
    std::vector<Section> sections;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return sections;
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!sections.empty()) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos) sections.back().keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    return sections;
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    return _strnicmp(s.c_str(), prefix, strlen(prefix)) == 0;
}

bool RegistryHit(const std::string& value) {
    const size_t slash = value.find('\\');
    if (slash == std::string::npos) return false;
    const std::string hive = value.substr(0, slash);
    HKEY root = hive == "HKCU" ? HKEY_CURRENT_USER : hive == "HKLM" ? HKEY_LOCAL_MACHINE
              : hive == "HKCR" ? HKEY_CLASSES_ROOT : hive == "HKU" ? HKEY_USERS : nullptr;
    if (!root) return false;
    HKEY key;
    if (RegOpenKeyExA(root, value.substr(slash + 1).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool FileHit(const std::string& value) {
    char expanded[4096];
    const DWORD n = ExpandEnvironmentStringsA(value.c_str(), expanded, sizeof expanded);
    if (n == 0 || n > sizeof expanded) return false;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(expanded, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string mode = argv[1], file = argv[2];
    std::vector<double> times;
    size_t count = 0, detected = 0;
    for (int r = 0; r < 5; ++r) {
        bw::bench::Stopwatch watch;
        const std::vector<Section> sections = ReadIni(file);
        const double parsed = watch.Seconds();
        count = sections.size();
        if (mode == "parse") {
            times.push_back(parsed);
            continue;
        }
        detected = 0;
        for (const Section& s : sections) {
            bool hit = false;
            for (const auto& [name, value] : s.keys) {
                if (hit) break;
                if (StartsWithNoCase(name, "DetectFile")) hit = FileHit(value);
                else if (StartsWithNoCase(name, "Detect") && !StartsWithNoCase(name, "DetectOS")) hit = RegistryHit(value);
            }
            detected += hit;
        }
        times.push_back(watch.Seconds() - parsed);
    }
    std::sort(times.begin(), times.end());
    std::printf("detected=%u\n", static_cast<unsigned>(detected));
    bw::bench::PrintResult(mode.c_str(), times[2], count);
    return 0;
}
