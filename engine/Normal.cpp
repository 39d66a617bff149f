// Folder-emptying routines: breadth-first walks over a folder list, without recursion.
#include "engine/Normal.h"

#include <functional>
#include <optional>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace bw::Normal {

namespace fs = bw::platform::fs;

namespace {

// One folder of the walk's list.
struct Folder {
    fs::FolderGuard guard;  // the folder (guard.path, long form with a trailing backslash) and its name
    bool inCache = false;   // the folder is, or lies below, a browser cache folder
};

// Decides whether a listed file of a reached folder is to be deleted.
using FileRule = std::function<bool(const Folder& folder, const fs::DirEntry& file)>;

bool SameName(const std::string& a, const char* b) { return platform::CompareNoCase(a, b) == 0; }

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

// Walks the tree below `start` (the guard of a StartingFolder, or of a real folder below one)
// breadth-first: the list starts with `start`, and each listed sub-folder is appended while the
// walk proceeds, so the index reaches every folder once, after its parent. Each listed file for
// which `rule` holds is deleted as it is listed. Links to folders are never entered; with
// `removeLinks` they are removed where the platform can remove just the link. Returns the folder
// list, `start` first.
std::vector<Folder> Walk(const fs::FolderGuard& start, const FileRule& rule, bool removeLinks) {
    std::vector<Folder> folders{{start, false}};
    for (size_t i = 0; i < folders.size(); ++i) {
        const Folder folder = folders[i];  // a copy: the list grows while this folder is listed
        if (!folder.guard.usable) continue;
        fs::ListFolderW(folder.guard.path, [&](const fs::DirEntry& entry) {
            if (entry.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return true;
            if (entry.IsFolder() && entry.IsLink()) {
                if (removeLinks) fs::RemoveFolder(folder.guard.path + entry.wideName);
                return true;
            }
            if (entry.IsFolder()) {
                folders.push_back({fs::GuardSubfolder(folder.guard, entry),
                                   folder.inCache || IsCacheFolderName(entry.name)});
                return true;
            }
            if (rule(folder, entry)) fs::DeleteFileChecked(folder.guard, entry, false);
            return true;
        });
    }
    return folders;
}

// The guard of the folder `below` inside `path`, when `path` is a StartingFolder; nothing otherwise.
std::optional<fs::FolderGuard> StartingFolderBelow(const std::string& path, const std::string& below) {
    std::optional<std::string> start = StartingFolder(path);
    if (!start) return std::nullopt;
    fs::FolderGuard guard = fs::GuardFolderBelow(*start, below);
    if (!guard.usable) return std::nullopt;
    return guard;
}

}  // namespace

void EmptyFolder(const std::string& path) {
    std::optional<std::string> start = StartingFolder(path);
    if (!start) return;
    MoveToDriveRoot();
    std::vector<Folder> folders =
        Walk(fs::GuardFolder(*start), [](const Folder&, const fs::DirEntry&) { return true; }, true);
    MoveToDriveRoot();
    // In reverse list order every folder comes before its parent; the starting folder stays.
    for (size_t i = folders.size(); i-- > 1;) fs::RemoveFolderChecked(folders[i].guard);
}

void DeleteLocalStore(const std::string& path) { DeleteNamedFileBelow(path, "", "localstore.rdf"); }

void DeleteCookiesTxt(const std::string& path) { DeleteNamedFileBelow(path, "", "cookies.txt"); }

void DeleteHistoryDat(const std::string& path) { DeleteNamedFileBelow(path, "", "history.dat"); }

void DeleteProfileCache(const std::string& path) { DeleteProfileCacheBelow(path, ""); }

void DeleteNamedFileBelow(const std::string& path, const std::string& below, const char* fileName) {
    std::optional<fs::FolderGuard> start = StartingFolderBelow(path, below);
    if (!start) return;
    MoveToDriveRoot();
    Walk(*start, [fileName](const Folder&, const fs::DirEntry& file) { return SameName(file.name, fileName); },
         false);
}

void DeleteProfileCacheBelow(const std::string& path, const std::string& below) {
    std::optional<fs::FolderGuard> start = StartingFolderBelow(path, below);
    if (!start) return;
    MoveToDriveRoot();
    Walk(*start, [](const Folder& folder, const fs::DirEntry&) { return folder.inCache; }, false);
}

}  // namespace bw::Normal
