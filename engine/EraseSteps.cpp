// The shared erase steps over the registry and the file system.
#include "engine/EraseSteps.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/SystemFolders.h"
#include "platform/Registry.h"
#include "platform/regfun.h"

namespace bw {

// The registry refuses subkey paths that begin with a backslash (ERROR_BAD_PATHNAME), so every
// step passes the path without one; the end state is what the items rely on.

void ResetKey(HKEY root, const std::string& path) {
    platform::reg::Key key;
    platform::reg::CreateKey(root, path, key.put());
    key.reset();
    platform::reg::DeleteKey(root, path);
    platform::reg::CreateKey(root, path, key.put());
}

void RemoveKey(HKEY root, const std::string& path) {
    platform::reg::Key key;
    platform::reg::OpenKey(root, path, key.put());
    key.reset();
    platform::reg::DeleteKey(root, path);
}

void RemoveValue(HKEY root, const std::string& path, const std::string& name) {
    platform::reg::Key key;
    if (platform::reg::OpenKey(root, path, key.put()) != ERROR_SUCCESS) return;
    platform::reg::DeleteValue(key.get(), name);
}

namespace {

// True when the key exists; `contents` says whether it holds a value or a subkey.
bool KeyFound(HKEY root, const std::string& path, bool* contents) {
    platform::reg::Key key;
    if (platform::reg::OpenKeyEx(root, path, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    DWORD subkeys = 0, values = 0;
    if (platform::reg::QueryInfoKey(key.get(), &subkeys, &values) != ERROR_SUCCESS)
        subkeys = values = 1;
    *contents = subkeys + values > 0;
    return true;
}

}  // namespace

void PlanResetKey(ErasePlan& plan, HKEY root, const std::string& path) {
    bool contents = false;
    if (!KeyFound(root, path, &contents))
        plan.AddKey(root, path, true, true);  // the list is left existing, as an empty one
    else if (contents)
        plan.AddKey(root, path, true);
}

void PlanRemoveKey(ErasePlan& plan, HKEY root, const std::string& path) {
    bool contents = false;
    if (KeyFound(root, path, &contents)) plan.AddKey(root, path, false);
}

void PlanRemoveValue(ErasePlan& plan, HKEY root, const std::string& path, const std::string& name) {
    platform::reg::Key key;
    if (platform::reg::OpenKeyEx(root, path, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return;
    if (platform::reg::QueryValueEx(key.get(), name, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        plan.AddValue(root, path, name);
}

std::string ShellFolderPath(const std::string& valueName) { return platform::ShellFolderValue(valueName); }

std::string ActiveXCachePath() {
    return platform::RegistryFolderValue(
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
        "ActiveXCache");
}

void FolderSize(EraseRun& run, const std::string& path) {
    if (!platform::paths::IsUsableFolder(path)) return;
    if (std::optional<uint64_t> size = platform::fs::FolderSize(path))
        run.filesize += static_cast<double>(*size);
}

}  // namespace bw
