// File and folder operations: listing, folder sizes, wildcard deletes and the guarded single-file
// delete that every folder walk of the program uses.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Paths.h"

namespace bw::platform::fs {

// One entry of a folder listing. Listings read the file system's own UTF-16 names
// (FindFirstFileW): the ANSI listing converts names with best-fit mapping, so a folder named with
// fullwidth dots and a fullwidth backslash would read as "..\..", and names the code page cannot
// hold would read as "?" and could not be reached. Under Wine a Linux link to a folder reads
// DIRECTORY|REPARSE_POINT; a link to a file reads as a plain file carrying its target's
// attributes and size.
struct DirEntry {
    std::wstring wideName;  // the true name, without any folder; always a safe name (Paths.h)
    std::string name;       // the name in the code page, for showing and matching ('?' where it cannot)
    bool nameFits = true;   // `name` reaches the entry through the A functions
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME created{}, accessed{}, written{};

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Lists folder\* (`folder` with or without a trailing backslash, long "\\?\" form allowed) in the
// order Windows returns, hidden and system entries included. Entries whose name is ".", "..", or
// holds a separator, colon, wildcard or control character are never reported. `onEntry` returns
// false to stop. Returns false when the listing cannot start (missing folder, not a folder,
// access denied); true otherwise, also for an empty folder and when the callback stopped early.
bool ListFolderW(const std::wstring& folder, const std::function<bool(const DirEntry&)>& onEntry);

// The same for callers that hold paths in the code page and build child paths from `name`:
// entries whose name the code page cannot hold (nameFits false) are left out, since no A path
// reaches them.
bool ListFolder(const std::string& folder, const std::function<bool(const DirEntry&)>& onEntry);

// Lists the entries matching `pattern` ("C:\dir\*.tmp"; wildcards * and ? in the last part only,
// matched as FindFirstFileW matches), with ListFolderW's rules; every safe name is reported.
bool ListMatching(const std::string& pattern, const std::function<bool(const DirEntry&)>& onEntry);

// The total size in bytes of every file below `path` (hidden and system files included), like the
// Size of a scripting Folder object, walked by true names at any depth, so a look-alike name can
// never lead it out of the folder. Entries carrying FILE_ATTRIBUTE_REPARSE_POINT are never
// entered, so a linked folder adds nothing; a link to a file, which Wine lists as a plain file,
// adds the size listed for it (telling it apart would mean opening every file). Sub-folders that
// cannot be listed add nothing. nullopt when the folder cannot be had: empty or blank text,
// "Error", missing, or not a folder. Walks without recursion; memory grows with the number of
// folders, never with files.
std::optional<uint64_t> FolderSize(const std::string& path);

// True when `path` names an existing folder (trailing backslash allowed) / an existing file.
bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);

// What a walk knows about the folder it is emptying, worked out once per folder, so that it can
// prove a file lies in that folder before deleting it (see DeleteFileChecked).
struct FolderGuard {
    std::wstring path;        // the folder as walked, long form, with a trailing backslash
    std::wstring objectName;  // the name the system gives the opened folder, with a trailing backslash
    bool usable = false;      // false: the folder could not be opened; delete nothing in it
};

// Opens `folder` (with or without trailing backslash; an absolute path) and records its name as
// the system reports it for an open handle (NtQueryObject): under Wine that name follows links
// to where they lead, on Windows it is the name it was opened by. Not usable when the folder is
// missing, relative, a missing location, or cannot be opened.
FolderGuard GuardFolder(const std::string& folder);
FolderGuard GuardFolder(const std::wstring& folder);

// The guard of the sub-folder `entry` found by listing `parent.path` (a folder, not a link): its
// name is the parent's plus its own, so nothing needs opening. This is also the safer answer:
// should the sub-folder be swapped for a link after the listing, its files resolve elsewhere and
// stay.
FolderGuard GuardSubfolder(const FolderGuard& parent, const DirEntry& entry);

// The guard of the folder `below` (one or more names, backslash-separated) inside the folder
// `base`, for the fixed sub-folders an item adds to a folder it was given. `base` may be anything
// GuardFolder takes, a link included; every part of `below` must be a folder listed in its parent
// and none may be a link (a junction, or under Wine a Linux link to a folder), so such a sub-folder
// never takes a delete out of `base`. Its name is built as GuardSubfolder builds it. Not usable
// when `base` is not, or a part is missing, not a folder, a link, or not a safe name.
FolderGuard GuardFolderBelow(const std::string& base, const std::string& below);

// Deletes the file `entry` found by listing `guard.path`, only when it really is a file in that
// folder. The file is opened once (for delete, never following a Windows link, sharing
// everything); the name of that handle must equal the folder's name plus the entry's true name,
// compared as the file system compares (byte for byte under Wine, whose Unix file system tells
// "Temp" from "TEMP"; without regard to case on Windows); and that very handle is marked for
// deletion, so nothing can be swapped between the check and the delete. A file that is a link
// (Wine lists those as plain files, and deleting one by name deletes its target) resolves
// elsewhere and stays. Folders are never deleted here. A read-only file stays unless `force`,
// which clears the attribute first (and puts it back if the delete then fails).
// Returns true when the file was deleted.
bool DeleteFileChecked(const FolderGuard& guard, const DirEntry& entry, bool force);

// Secure erasing. While a SecureEraseScope with `on` true lives, every file that
// DeleteFileChecked removes (and so DeleteFiles, DeleteFolders, RemoveTree and DeleteFileAt) is
// first overwritten in place through the same checked handle: one pass of zeros, one of random
// bytes, each flushed to disk; then truncated to nothing, renamed to a random name of the same
// length in the same folder, and only then deleted. A file that cannot be opened for writing
// (read-only, in use without sharing, access denied) is left untouched, never half-handled. A
// file with more than one hard link is deleted but never overwritten: its content still belongs
// to its other names. Scopes nest; the setting is the process's, for the length of an erase run.
class SecureEraseScope {
public:
    explicit SecureEraseScope(bool on);
    ~SecureEraseScope();
    SecureEraseScope(const SecureEraseScope&) = delete;
    SecureEraseScope& operator=(const SecureEraseScope&) = delete;

private:
    bool previous_;
};

// True while a SecureEraseScope with `on` true is the innermost one.
bool SecureEraseOn();

// Overwrites the whole of the open file `file` (opened with GENERIC_WRITE) in place, as a secure
// erase does: zeros, then random bytes, each pass flushed. Leaves the size unchanged and does not
// delete. False when a write or flush failed (what was written stays written).
bool OverwriteFile(HANDLE file);

// True when the file `path` exists but opening it reaches a file elsewhere (under Wine, a Linux
// link to a file, which every Windows call follows): writing or deleting by that name would act
// on another file. False for a missing file and for a file that is what its name says.
bool LeadsElsewhere(const std::string& path);

// Opens the file `name` (a true name listed in `guard.path`) with `access`, sharing reading and
// writing, only when the opened file really lies in that folder, by the name check of
// DeleteFileChecked (a Linux link to a file elsewhere is refused). INVALID_HANDLE_VALUE otherwise;
// the caller closes the handle.
HANDLE OpenFileInPlace(const FolderGuard& guard, const std::wstring& name, DWORD access);

// Deletes the one file `path` (no wildcards; code page or UTF-16, any length) with the same
// guard; for callers that hold a found file's full path rather than a listing. False when
// missing, a folder, a link, read-only without `force`, in use, or when it resolves outside its
// folder.
bool DeleteFileAt(const std::string& path, bool force);
bool DeleteFileAt(const std::wstring& path, bool force);
// The same, erasing securely (see SecureEraseScope) when `securely`, whatever scope is active.
bool DeleteFileAt(const std::string& path, bool force, bool securely);

// True when the file `path` (absolute, no wildcards) is a plain file lying in the folder its path
// names, by the same test DeleteFileChecked makes, and can be opened for deletion now (no program
// holds it without sharing delete). For callers that hand the file to another service (the
// recycle bin) rather than delete it themselves.
bool IsFileInPlace(const std::wstring& path);

// Like DeleteFile(pattern, force) of the scripting FileSystemObject: deletes the files lying
// directly in the folder that `pattern` names whose names match its last part (* and ?), never
// below it. Hidden and system files are deleted too; read-only ones only with `force`. Each file
// passes DeleteFileChecked; a failing file is skipped and the rest are still tried.
// Returns the number deleted (0 when nothing matched or the folder is missing).
int DeleteFiles(const std::string& pattern, bool force);

// The same in the folder `folder` guards, for the names matching `mask` (a name or pattern, no
// folder part). Returns 0 when the guard is not usable.
int DeleteFiles(const FolderGuard& folder, const std::string& mask, bool force);

// Like DeleteFolder(pattern, force): the folders matching `pattern` (wildcards in the last part)
// are removed with everything in them, hidden and system files included, whatever their names
// and depth. Without `force` read-only files stay, and so do the folders holding them. Inside
// them, links to folders are never entered; on Windows such a link is removed (which removes
// just the link), under Wine it stays with its parent. A matching folder that is itself a link
// is treated the same way. Walks without recursion. Returns the number of matching folders
// removed completely.
int DeleteFolders(const std::string& pattern, bool force);

// The same in the folder `parent` guards, for the names matching `mask` (no folder part).
int DeleteFolders(const FolderGuard& parent, const std::string& mask, bool force);

// Removes the folder `root` with everything below it, as DeleteFolders removes one match:
// breadth-first without recursion, files as they are listed (each through DeleteFileChecked),
// then the folders deepest first (each through RemoveFolderChecked). True when `root` is gone.
bool RemoveTree(const FolderGuard& root, bool force);

// Removes the empty folder `guard` names, through one handle whose name is checked against the
// guard's, so a folder swapped for a link meanwhile stays. Refused under Wine for a folder
// carrying REPARSE_POINT (Wine would remove the link's target). False when missing, not empty
// or refused.
bool RemoveFolderChecked(const FolderGuard& guard);

// RemoveDirectoryA on an empty folder (trailing backslash allowed). Refuses, under Wine, a
// folder carrying REPARSE_POINT, since Wine would remove the link's target; on Windows removing
// such a folder removes just the link. False when missing, not empty, or refused.
bool RemoveFolder(const std::string& path);
bool RemoveFolder(const std::wstring& path);

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

// True when two final paths or object names name the same entry, compared as the file system
// compares names: byte for byte under Wine, without regard to case on Windows.
bool SameFinalPath(const std::string& a, const std::string& b);
bool SameFinalPath(const std::wstring& a, const std::wstring& b);

// The absolute form of `path` (GetFullPathNameA: "." and ".." folded, relative paths joined to
// the current directory); nullopt on failure.
std::optional<std::string> FullPath(const std::string& path);

}  // namespace bw::platform::fs
