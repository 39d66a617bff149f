// The per-application settings store over the registry.
#include "platform/AppSettings.h"

#include <algorithm>
#include <vector>

#include "platform/Paths.h"
#include "platform/Registry.h"

namespace bw::platform {

namespace {
const char kRoot[] = "Software\\VB and VBA Program Settings";
std::string& OverriddenRoot() {
    static std::string root;
    return root;
}
}  // namespace

std::string AppSettingsKey(const std::string& application, const std::string& section) {
    const std::string root = OverriddenRoot().empty() ? kRoot : OverriddenRoot();
    return root + "\\" + application + "\\" + section;
}

void OverrideAppSettingsRoot(const std::string& subkey) { OverriddenRoot() = subkey; }

void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& text) {
    if (application.empty() || section.empty() || key.empty()) return;
    reg::Key handle;
    if (reg::CreateKey(HKEY_CURRENT_USER, AppSettingsKey(application, section), handle.put()) != ERROR_SUCCESS)
        return;
    const std::string value = text.substr(0, text.find('\0'));
    reg::SetValueEx(handle.get(), key, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                    static_cast<DWORD>(value.size() + 1));
}

std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                       const std::string& defaultText) {
    if (application.empty() || section.empty() || key.empty()) return defaultText;
    reg::Key handle;
    if (reg::OpenKeyEx(HKEY_CURRENT_USER, AppSettingsKey(application, section), KEY_READ, handle.put()) !=
        ERROR_SUCCESS)
        return defaultText;
    DWORD type = 0, size = 0;
    if (reg::QueryValueEx(handle.get(), key, &type, nullptr, &size) != ERROR_SUCCESS) return defaultText;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return defaultText;
    std::vector<BYTE> data(size + 1, 0);
    DWORD got = size;
    if (reg::QueryValueEx(handle.get(), key, &type, data.data(), &got) != ERROR_SUCCESS) return defaultText;
    data.resize(std::min<size_t>(got, data.size()));
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

// The section is reached one name at a time without following a registry link, and removed or
// emptied through its own handle: a link in its place is removed itself, never its target.
void DeleteSetting(const std::string& application, const std::string& section, const std::string& key) {
    if (application.empty() || section.empty()) return;
    const std::wstring path = paths::Widen(AppSettingsKey(application, section));
    reg::Key handle;
    if (key.empty()) {
        const reg::Reached reached = reg::OpenNoFollow(HKEY_CURRENT_USER, path, DELETE, 0, &handle);
        if (reached == reg::Reached::Key || reached == reg::Reached::Link) reg::DeleteByHandle(handle.get());
        return;
    }
    if (reg::OpenNoFollow(HKEY_CURRENT_USER, path, KEY_SET_VALUE, 0, &handle) != reg::Reached::Key) return;
    reg::DeleteValue(handle.get(), key);
}

}  // namespace bw::platform
