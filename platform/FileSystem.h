// File and folder operations: listing, folder sizes, wildcard deletes and the guarded single-file
// delete that every folder walk of the program uses.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace bw::platform::fs {

// One entry of a folder listing, as FindFirstFileA/FindNextFileA report it.
// Under Wine a Linux link to a folder reads DIRECTORY|REPARSE_POINT; a link to a file reads as a
// plain file carrying its target's attributes and size.
struct DirEntry {
    std::string name;  // the long name, without any folder
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME created{}, accessed{}, written{};

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Lists folder\* (`folder` with or without a trailing backslash) in the order Windows returns,
// skipping "." and "..", hidden and system entries included. `onEntry` returns false to stop.
// Returns false when the listing cannot start (missing folder, not a folder, access denied);
// true otherwise, also for an empty folder and when the callback stopped early.
bool ListFolder(const std::string& folder, const std::function<bool(const DirEntry&)>& onEntry);

// Lists the entries matching `pattern` ("C:\dir\*.tmp"; wildcards * and ? in the last part only,
// matched as FindFirstFileA matches), skipping "." and "..". Same results as ListFolder.
bool ListMatching(const std::string& pattern, const std::function<bool(const DirEntry&)>& onEntry);

// The total size in bytes of every file below `path` (hidden and system files included), like the
// Size of a scripting Folder object. Entries carrying FILE_ATTRIBUTE_REPARSE_POINT are never
// entered, so a linked folder adds nothing; a link to a file that Wine lists as a plain file adds
// its target's size. Sub-folders that cannot be listed add nothing.
// nullopt when the folder cannot be had: empty or blank text, "Error", missing, or not a folder.
// Walks without recursion; memory grows with the number of folders, never with files.
std::optional<uint64_t> FolderSize(const std::string& path);

// True when `path` names an existing folder (trailing backslash allowed) / an existing file.
bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);

// What a walk knows about the folder it is emptying, worked out once per folder, so that it can
// prove a file lies in that folder before deleting it (see DeleteFileChecked).
struct FolderGuard {
    std::string folder;     // the folder as walked, with a trailing backslash
    std::string finalPath;  // its final path ("\\?\C:\...\"), when the platform can tell
    bool finalPathsKnown = false;  // GetFinalPathNameByHandleA exists on this Windows
    bool usable = false;           // false: the folder could not be resolved; delete nothing in it
};

// Resolves `folder` (with or without trailing backslash) for DeleteFileChecked. Where
// GetFinalPathNameByHandleA is missing (Windows XP) the guard is usable and relies on the
// REPARSE_POINT attribute alone.
FolderGuard GuardFolder(const std::string& folder);

// The guard of the sub-folder `name` found by listing `parent.folder` (a folder, not a link): its
// final path is the parent's plus its name, so nothing needs opening. This is also the safer
// answer: should the sub-folder be swapped for a link after the listing, its files resolve
// elsewhere and stay. Where the parent's guard is not usable the sub-folder is resolved afresh.
FolderGuard GuardSubfolder(const FolderGuard& parent, const std::string& name);

// Deletes the file `entry` found by listing `guard.folder`, only when it really is a file in that
// folder: its final path must equal the folder's final path plus its name, so a file that is a
// link (Wine lists those as plain files, and deleting one deletes its target) resolves elsewhere
// and stays. Entries that are folders or carry REPARSE_POINT where final paths cannot be checked
// are never deleted. A read-only file stays unless `force`, which clears the attribute first
// (and puts it back if the delete then fails). Returns true when the file was deleted.
bool DeleteFileChecked(const FolderGuard& guard, const DirEntry& entry, bool force);

// Deletes the one file `path` (no wildcards) with the same guard; for callers that hold a found
// file's full path rather than a listing. False when missing, a folder, a link, read-only
// without `force`, in use, or when it resolves outside its folder.
bool DeleteFileAt(const std::string& path, bool force);

// Like DeleteFile(pattern, force) of the scripting FileSystemObject: deletes the files lying
// directly in the folder that `pattern` names whose names match its last part (* and ?), never
// below it. Hidden and system files are deleted too; read-only ones only with `force`. Each file
// passes DeleteFileChecked; a failing file is skipped and the rest are still tried.
// Returns the number deleted (0 when nothing matched or the folder is missing).
int DeleteFiles(const std::string& pattern, bool force);

// Like DeleteFolder(pattern, force): the folders matching `pattern` (wildcards in the last part)
// are removed with everything in them, hidden and system files included. Without `force`
// read-only files stay, and so do the folders holding them. Inside them, links to folders are
// never entered; on Windows such a link is removed (which removes just the link), under Wine it
// stays with its parent. A matching folder that is itself a link is treated the same way.
// Walks without recursion. Returns the number of matching folders removed completely.
int DeleteFolders(const std::string& pattern, bool force);

// RemoveDirectoryA on an empty folder (trailing backslash allowed). Refuses, under Wine, a
// folder carrying REPARSE_POINT, since Wine would remove the link's target; on Windows removing
// such a folder removes just the link. False when missing, not empty, or refused.
bool RemoveFolder(const std::string& path);

// The process's current directory (empty text when it cannot be read), and changing it.
std::string CurrentDirectory();
bool SetCurrentDirectory(const std::string& path);

// GetTempPathA (with trailing backslash) and GetWindowsDirectoryA (without); empty on failure.
std::string TempPath();
std::string WindowsDirectory();

// True when running under Wine (ntdll exports wine_get_version).
bool IsWine();

// GetFinalPathNameByHandleA on `path` opened for attributes (folders too), as "\\?\C:\..." or,
// under Wine for a target outside the prefix, "\\?\Z:\...". Links resolve to their targets.
// nullopt when the path cannot be opened or the function is missing (Windows XP).
std::optional<std::string> FinalPath(const std::string& path);

// The absolute form of `path` (GetFullPathNameA: "." and ".." folded, relative paths joined to
// the current directory); nullopt on failure.
std::optional<std::string> FullPath(const std::string& path);

}  // namespace bw::platform::fs
