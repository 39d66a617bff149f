// The shared erase steps over the registry and the file system.
#include "engine/EraseSteps.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/SystemFolders.h"
#include "platform/Registry.h"
#include "platform/RuleProbes.h"
#include "platform/regfun.h"

namespace bw {

// Every key is reached one name at a time without following a registry link (platform/Registry.h)
// and acted on through the handle that reached it: a link is removed itself, never its target.

namespace reg = platform::reg;

void ResetKey(HKEY root, const std::string& path) {
    RemoveKey(root, path);
    reg::Key made;
    reg::CreateNoFollow(root, platform::paths::Widen(path), KEY_QUERY_VALUE, 0, &made);
}

void RemoveKey(HKEY root, const std::string& path) {
    reg::Key key;
    const reg::Reached reached = reg::OpenNoFollow(root, platform::paths::Widen(path), DELETE, 0, &key);
    if (reached == reg::Reached::Key || reached == reg::Reached::Link) reg::DeleteByHandle(key.get());
}

void RemoveValue(HKEY root, const std::string& path, const std::string& name) {
    reg::Key key;
    if (reg::OpenNoFollow(root, platform::paths::Widen(path), KEY_SET_VALUE, 0, &key) != reg::Reached::Key) return;
    reg::DeleteValue(key.get(), name);
}

namespace {

std::string KeyText(HKEY root, const std::string& path) {
    return std::string(root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE"
                       : root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT"
                       : root == HKEY_USERS        ? "HKEY_USERS"
                                                   : "HKEY_CURRENT_USER") +
           "\\" + path;
}

// How the key reads now; `contents` says whether it holds a value or a subkey. A key behind a
// link is left, and the plan says so.
reg::Reached KeyFound(ErasePlan& plan, HKEY root, const std::string& path, bool* contents) {
    reg::Key key;
    const reg::Reached reached = reg::OpenNoFollow(root, platform::paths::Widen(path), KEY_QUERY_VALUE, 0, &key);
    if (reached == reg::Reached::ThroughLink)
        plan.AddRefusal(KeyText(root, path) + ": left, it lies behind a registry link");
    if (reached != reg::Reached::Key && reached != reg::Reached::Link) return reached;
    DWORD subkeys = 0, values = 0;
    if (reg::QueryInfoKey(key.get(), &subkeys, &values) != ERROR_SUCCESS) subkeys = values = 1;
    *contents = subkeys + values > 0;
    return reached;
}

}  // namespace

void PlanResetKey(ErasePlan& plan, HKEY root, const std::string& path) {
    bool contents = false;
    const reg::Reached reached = KeyFound(plan, root, path, &contents);
    if (reached == reg::Reached::Missing)
        plan.AddKey(root, path, true, true);  // the list is left existing, as an empty one
    else if (reached == reg::Reached::Link)
        plan.AddKey(root, path, true, false, 0, true);  // the link goes, an empty list takes its place
    else if (reached == reg::Reached::Key && contents)
        plan.AddKey(root, path, true);
}

void PlanRemoveKey(ErasePlan& plan, HKEY root, const std::string& path) {
    bool contents = false;
    const reg::Reached reached = KeyFound(plan, root, path, &contents);
    if (reached == reg::Reached::Key || reached == reg::Reached::Link)
        plan.AddKey(root, path, false, false, 0, reached == reg::Reached::Link);
}

void PlanRemoveValue(ErasePlan& plan, HKEY root, const std::string& path, const std::string& name) {
    reg::Key key;
    const reg::Reached reached = reg::OpenNoFollow(root, platform::paths::Widen(path), KEY_QUERY_VALUE, 0, &key);
    if (reached == reg::Reached::Link || reached == reg::Reached::ThroughLink) {
        plan.AddRefusal(KeyText(root, path) + "\\" + name + ": left, its key is or lies behind a registry link");
        return;
    }
    if (reached != reg::Reached::Key) return;
    if (reg::QueryValueEx(key.get(), name, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        plan.AddValue(root, path, name);
}

std::string ShellFolderPath(const std::string& valueName) { return platform::ShellFolderValue(valueName); }

std::string ActiveXCachePath() {
    // A machine value: on 64-bit Windows the 64-bit view holds what Windows itself wrote, the
    // 32-bit view (Wow6432Node) what 32-bit programs did.
    const char key[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    if (platform::probe::IsWow64()) {
        std::string path = platform::RegistryFolderValue(key, "ActiveXCache", KEY_WOW64_64KEY);
        return path.empty() ? platform::RegistryFolderValue(key, "ActiveXCache", KEY_WOW64_32KEY) : path;
    }
    return platform::RegistryFolderValue(key, "ActiveXCache");
}

void FolderSize(EraseRun& run, const std::string& path) {
    if (!platform::paths::IsUsableFolder(path)) return;
    if (std::optional<uint64_t> size = platform::fs::FolderSize(path))
        run.filesize += static_cast<double>(*size);
}

}  // namespace bw
