// Folder-emptying routines: guarded depth-first walks through folder handles.
#include "engine/Normal.h"

#include <functional>
#include <optional>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextCompare.h"

namespace bw::Normal {

namespace fs = bw::platform::fs;

namespace {

bool HiddenOrSystem(const fs::DirEntry& entry) {
    return (entry.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

// The folder a walk starts from, with a trailing backslash; nothing when `path` names no folder
// that may be walked (missing location, relative path, a root, a device, a folder that does not
// exist).
std::optional<std::string> StartingFolder(const std::string& path) {
    if (!platform::paths::IsUsableFolder(path)) return std::nullopt;
    std::optional<std::string> full = fs::FullPath(platform::paths::Trim(path));
    if (!full) return std::nullopt;
    std::string folder = platform::paths::WithSlash(*full);
    if (platform::paths::IsRoot(folder) || !fs::FolderExists(folder)) return std::nullopt;
    return folder;
}

// Moves the current directory to the root of its drive, so no folder the walk removes is in use
// as the current directory. Where the current directory is not on a drive letter (a share), the
// Windows folder's drive root serves.
void MoveToDriveRoot() {
    auto driveRoot = [](const std::string& path) -> std::string {
        if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return path.substr(0, 3);
        return {};
    };
    std::string root = driveRoot(fs::CurrentDirectory());
    if (root.empty()) root = driveRoot(fs::WindowsDirectory());
    if (!root.empty()) fs::SetCurrentDirectory(root);
}

bool IsCacheFolderName(const std::string& name) {
    return SameName(name, "Cache") || SameName(name, "Cache.Trash");
}

}  // namespace

bool SameName(const std::string& name, const char* expected) { return platform::CompareNoCase(name, expected) == 0; }

// A folder's tag is 1 when it is, or lies below, a browser cache folder.
fs::WalkRules VisibleOnly(std::function<bool(const fs::DirEntry& file, bool inCache)> deleteFile) {
    fs::WalkRules rules;
    rules.enter = [](const fs::FolderGuard&, const fs::DirEntry& entry, int tag, int& childTag) {
        if (HiddenOrSystem(entry)) return false;
        childTag = tag || IsCacheFolderName(entry.name) ? 1 : 0;
        return true;
    };
    rules.deleteFile = [deleteFile](const fs::FolderGuard&, const fs::DirEntry& file, int tag) {
        return !HiddenOrSystem(file) && deleteFile(file, tag != 0);
    };
    return rules;
}

// The guard of the folder `below` inside `path`, when `path` is a StartingFolder; nothing otherwise.
std::optional<fs::FolderGuard> StartingFolderBelow(const std::string& path, const std::string& below,
                                                   bool baseMayBeProtected) {
    std::optional<std::string> start = StartingFolder(path);
    if (!start) return std::nullopt;
    fs::FolderGuard guard = fs::GuardFolderBelow(*start, below, baseMayBeProtected);
    if (!guard.usable) return std::nullopt;
    return guard;
}

void EmptyFolder(const std::string& path) { EmptyFolderBelow(path, ""); }

void EmptyFolderBelow(const std::string& path, const std::string& below, bool baseMayBeProtected) {
    std::optional<fs::FolderGuard> start = StartingFolderBelow(path, below, baseMayBeProtected);
    if (!start) return;
    MoveToDriveRoot();
    fs::WalkRules rules = VisibleOnly([](const fs::DirEntry&, bool) { return true; });
    rules.removeFolders = true;  // every emptied sub-folder; the starting folder stays
    rules.removeLinks = true;
    fs::Walk(std::move(*start), rules);
}

void DeleteLocalStore(const std::string& path) { DeleteNamedFileBelow(path, "", "localstore.rdf"); }

void DeleteCookiesTxt(const std::string& path) { DeleteNamedFileBelow(path, "", "cookies.txt"); }

void DeleteHistoryDat(const std::string& path) { DeleteNamedFileBelow(path, "", "history.dat"); }

void DeleteProfileCache(const std::string& path) { DeleteProfileCacheBelow(path, ""); }

void DeleteNamedFileBelow(const std::string& path, const std::string& below, const char* fileName,
                          bool baseMayBeProtected) {
    std::optional<fs::FolderGuard> start = StartingFolderBelow(path, below, baseMayBeProtected);
    if (!start) return;
    MoveToDriveRoot();
    fs::Walk(std::move(*start),
             VisibleOnly([fileName](const fs::DirEntry& file, bool) { return SameName(file.name, fileName); }));
}

void DeleteProfileCacheBelow(const std::string& path, const std::string& below, bool baseMayBeProtected) {
    std::optional<fs::FolderGuard> start = StartingFolderBelow(path, below, baseMayBeProtected);
    if (!start) return;
    DeleteProfileCacheIn(*start);
}

void DeleteProfileCacheIn(const fs::FolderGuard& start) {
    MoveToDriveRoot();
    fs::Walk(start, VisibleOnly([](const fs::DirEntry&, bool inCache) { return inCache; }));
}

}  // namespace bw::Normal
