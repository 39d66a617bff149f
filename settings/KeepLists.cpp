// The keep lists and the typed addresses and cookie files they keep entries of.
#include "settings/KeepLists.h"

#include <cstring>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/LineFile.h"
#include "platform/Paths.h"
#include "platform/ProgramDir.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"

namespace bw::keeplist {

namespace {

const char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr DWORD kBuffer = 255;  // name and data buffers of the listing, as the browser's own

// The text of one typed address, read on its own; "error" when it cannot be read.
std::string ReadTypedUrl(const std::string& name) {
    namespace reg = platform::reg;
    reg::Key key;
    if (reg::OpenKeyEx(HKEY_CURRENT_USER, kTypedUrls, KEY_READ, key.put()) != ERROR_SUCCESS) return "error";
    char buffer[kBuffer] = {};
    DWORD size = kBuffer;
    DWORD type = REG_SZ;
    if (reg::QueryValueEx(key.get(), name, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return "error";
    return std::string(buffer, strnlen(buffer, sizeof(buffer)));
}

// The lines of a keep list without trailing spaces; nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadEntries(const std::string& file) {
    std::optional<std::vector<std::string>> lines = platform::ReadLines(file);
    if (lines)
        for (std::string& line : *lines) line = platform::TrimRight(line);
    return lines;
}

}  // namespace

std::string UrlFile() { return platform::SettingsFile("keepurl.dat"); }

std::string CookieFile() { return platform::SettingsFile("keepcook.dat"); }

std::vector<std::string> Entries(const std::string& file) {
    std::optional<std::vector<std::string>> lines = ReadEntries(file);
    return lines ? *lines : std::vector<std::string>{};
}

std::vector<std::string> TypedUrls() {
    namespace reg = platform::reg;
    std::vector<std::string> urls;
    reg::Key key;
    if (reg::OpenKeyEx(HKEY_CURRENT_USER, kTypedUrls, KEY_READ, key.put()) != ERROR_SUCCESS) return urls;
    // The listing ends at the first value it cannot return in its buffers.
    for (DWORD index = 0;; ++index) {
        std::string name;
        std::vector<BYTE> data;
        DWORD type = 0;
        if (reg::EnumValue(key.get(), index, &name, kBuffer, &type, &data, kBuffer) != ERROR_SUCCESS) break;
        std::string text = ReadTypedUrl(name);
        if (text != "error") urls.push_back(text);
    }
    return urls;
}

std::vector<std::string> CookieFiles() {
    const std::string folder = platform::ShellFolderValue("Cookies");
    std::vector<std::string> paths;
    if (!platform::paths::IsUsableFolder(folder) || !platform::fs::FolderExists(folder)) return paths;
    const std::string prefix = platform::paths::WithSlash(folder);
    platform::fs::ListFolderW(platform::paths::Widen(folder), [&](const platform::fs::DirEntry& entry) {
        if (IsCookieFile(entry)) paths.push_back(prefix + entry.name);
        return true;
    });
    return paths;
}

bool IsCookieFile(const platform::fs::DirEntry& entry) {
    return !entry.IsFolder() && entry.name.find(".txt") != std::string::npos;
}


void Load(ui::ListBox& keep, const std::string& file) {
    std::optional<std::vector<std::string>> lines = ReadEntries(file);
    if (!lines) return;
    keep.Clear();
    keep.AddItems(*lines);
}

void Add(const ui::ListBox& current, ui::ListBox& keep, const std::string& file) {
    std::string text = current.ListIndex() >= 0 ? current.List(current.ListIndex()) : std::string();
    // An entry already kept is kept once: a second "Add >" changes nothing.
    for (int i = 0; i < keep.ListCount(); ++i)
        if (platform::TrimRight(keep.List(i)) == platform::TrimRight(text)) return;
    if (platform::AppendLine(file, platform::TrimRight(text))) keep.AddItem(text);
}

void Remove(ui::ListBox& keep, const std::string& file) {
    for (int i = 0; i < keep.ListCount();) {
        if (keep.Selected(i)) {
            keep.RemoveItem(i);
            i = 0;
        } else {
            ++i;
        }
    }
    std::vector<std::string> rest;
    for (int i = 0; i < keep.ListCount(); ++i) rest.push_back(keep.List(i));
    platform::WriteLines(file, rest);
}


}  // namespace bw::keeplist
