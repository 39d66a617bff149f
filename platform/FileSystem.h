// File and folder operations: listing, folder sizes, wildcard deletes and the guarded single-file
// delete that every folder walk of the program uses.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "platform/ProtectedFolders.h"

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
// "Error", missing, not a folder, or a protected folder (see ProtectionOf), which no item empties. Walks without recursion; memory grows with the number of
// folders, never with files.
std::optional<uint64_t> FolderSize(const std::string& path);

// True when anything (a file, a folder, a link) is found at the long or everyday path `path`.
bool PathExists(const std::wstring& path);

// True when `path` names an existing folder (trailing backslash allowed) / an existing file.
bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);

// How far below a folder a caller means to act.
enum class Reach {
    Below,       // walk, empty or remove what lies below: refused for every protected folder
    DirectlyIn,  // only files lying directly in the folder: allowed in a protected folder, but
                 // never in the Unix root; walks, folder deletes and removal stay refused there
};

// The folder a walk acts in, opened once and judged by its final name. Every listing of it goes
// through its handle, and every file or sub-folder below it is opened relative to that handle and
// checked by name (the handle's object name must be this folder's plus the listed name, compared
// as the file system compares), so a folder swapped for a link after it was opened, or between a
// listing and a delete, leads nowhere: what the link reaches resolves elsewhere and stays.
// Copies share the open handles; the last copy closes them.
struct FolderGuard {
    std::wstring path;        // the folder as walked, long form, with a trailing backslash
    std::wstring objectName;  // the name the system gives the opened folder, with a trailing backslash
    bool usable = false;      // false: the folder could not be opened or is refused; delete nothing in it
    Protection protection = Protection::None;
    std::shared_ptr<void> handle;  // the open folder (listing, relative opens)
    std::shared_ptr<void> parent;  // the open parent, for removing this folder; empty for a top folder
    std::wstring leaf;             // this folder's true name in `parent`
    DWORD volume = 0;              // set by Detach: the folder's volume serial number and file
    uint64_t fileIndex = 0;        // index, which tell it from another folder put under its name

    // Only files directly inside may be deleted: the folder is protected.
    bool DirectOnly() const { return protection != Protection::None; }
};

// Opens `folder` (with or without trailing backslash; an absolute path, "." and ".." folded) and
// records its name as the system reports it for the open handle (NtQueryObject): under Wine that
// name follows links to where they lead, on Windows it is the name it was opened by. The folder is
// then judged by that final name: with Reach::Below a protected folder is refused (not usable);
// with Reach::DirectlyIn it is usable for files directly in it, except the Unix root. Not usable
// when the folder is missing, relative, a missing location, or cannot be opened.
FolderGuard GuardFolder(const std::string& folder, Reach reach = Reach::Below);
FolderGuard GuardFolder(const std::wstring& folder, Reach reach = Reach::Below);

// Lets go of the guard's handles and keeps its names and identity: what a plan keeps of a folder
// it starts from, so that a plan of any size holds no open folder.
void Detach(FolderGuard& guard);
// Opens a folder that GuardFolder guarded and Detach let go of, again by its path. Usable only
// when what the path reaches now is still that folder: the name the system gives it, its volume
// and file index are the same. It keeps the protection it was judged to have. Not usable otherwise.
FolderGuard Reattach(const FolderGuard& detached);

// The guard of the sub-folder `entry` found by listing `parent`: opened relative to the parent's
// handle, and usable only when its object name is the parent's plus its own true name (a folder
// swapped for a link, a junction, or a case twin met through a link are refused), it is no link
// itself, and it is no protected folder. Not usable when `parent` is not, or is DirectOnly.
FolderGuard GuardSubfolder(const FolderGuard& parent, const DirEntry& entry);
// The same for a sub-folder known by its true name only. With Reach::DirectlyIn the parent may
// be a protected folder and the child may be one too (then DirectOnly), as GuardFolder allows.
FolderGuard GuardChild(const FolderGuard& parent, const std::wstring& name, Reach reach = Reach::Below);

// The guard of the folder `below` (one or more names, backslash-separated) inside the folder
// `base`, for the fixed sub-folders an item adds to a folder it was given. `base` may be a link
// but must not resolve to a protected folder, unless `baseMayBeProtected` (an item that reaches a
// fixed folder inside Documents, AppData or Program Files), and never to a drive root or the Unix
// root. Every part of `below` must be a real folder, no link, checked as GuardChild checks, and
// the folder reached must not be protected itself. With `below` empty the guard of `base` itself
// (Reach::Below). Not usable otherwise.
FolderGuard GuardFolderBelow(const std::string& base, const std::string& below, bool baseMayBeProtected = false);
// The same below a folder already opened (`base` itself when `below` is empty).
FolderGuard GuardFolderBelow(const FolderGuard& base, const std::string& below, bool baseMayBeProtected = false);

// Lists the folder `guard` holds open, through its handle (NtQueryDirectoryFile), with
// ListFolderW's rules on names. False when the guard is not usable or the listing cannot start.
bool ListGuarded(const FolderGuard& guard, const std::function<bool(const DirEntry&)>& onEntry);

// True when `name` matches `mask` as a folder listing matches it, by the whole true name only
// (never an 8.3 alias): '*' and '?' are wildcards, case is ignored, and a mask ending in ".*"
// also matches names without an extension ("*.*" matches every name).
bool MatchesMask(const std::wstring& mask, const std::wstring& name);

// A test's hook, called after ListGuarded has listed a folder, so before any walk acts on what it
// listed (with the folder's long path), so a test can swap a folder for a link at that moment. Empty in
// the program.
void SetWalkHookForTests(std::function<void(const std::wstring& folder)> hook);

// The name the system gives the folder `path` once opened (see GuardFolder), with a trailing
// backslash; empty when it cannot be opened.
std::wstring FolderObjectName(const std::wstring& path);

// ProtectionOf, InSystemFolder and the refusals of a user's own items: ProtectedFolders.h.

// A search's start folder as it was when the search ran: the files a user later picks from the
// results are reached from it, handle by handle, never by their path strings alone.
struct SearchAnchor {
    std::wstring path;        // long form, trailing backslash
    std::wstring objectName;  // its final name then
    uint64_t fileId = 0;      // and its file id and volume then
    DWORD volume = 0;
    bool valid = false;
};

// The anchor of a search starting at `start` (any absolute folder, a protected one included;
// never the Unix root). Not valid when the folder cannot be opened.
SearchAnchor AnchorSearch(const std::wstring& start);

// The folder holding a file a user chose from a search's results, reached from the anchor: the
// start folder is opened again and must still be the same folder (final name and file id), then
// each folder down to the file is opened relative to its parent and checked by name (no link, no
// swapped folder; under Wine, whose names are read from path text, also as its parent's own
// Linux entry, see WineFiles.h), and held open without sharing delete, so none of them can be
// renamed away by a Windows program while the file is handled. `path` is the result's true long path and must lie below the start.
struct ChosenFile {
    FolderGuard folder;                         // the folder holding the file (its handle anchored)
    std::wstring name;                          // the file's true name in it
    std::vector<std::shared_ptr<void>> locks;   // the chain, held
};
std::optional<ChosenFile> LocateChosen(const SearchAnchor& anchor, const std::wstring& path);

// True when the file `name` in the folder `guard` holds is a plain file really lying there (its
// handle, opened relative to the folder, carries the folder's name plus `name`), not read-only,
// and can be opened for deletion now.
bool IsFileInFolder(const FolderGuard& guard, const std::wstring& name);

// Deletes a chosen file through its anchored folder (securely when `securely`): false when it
// cannot be located as above, is a link, read-only, in use, or was swapped.
bool DeleteChosen(const SearchAnchor& anchor, const std::wstring& path, bool securely);

// Deletes the file `entry` found by listing `guard.path`, only when it really is a file in that
// folder. The file is opened once (for delete, never following a Windows link, sharing
// everything); the name of that handle must equal the folder's name plus the entry's true name,
// compared as the file system compares (byte for byte under Wine, whose Unix file system tells
// "Temp" from "TEMP"; without regard to case on Windows); and that very handle is marked for
// deletion, so nothing can be swapped between the check and the delete. A file that is a link
// (Wine lists those as plain files, and deleting one by name deletes its target) resolves
// elsewhere and stays. Folders are never deleted here. A read-only file stays unless `force`,
// which clears the attribute first (and puts it back if the delete then fails).
// With `securely` the file is first overwritten in place through a checked handle opened for
// writing and shared with no one: one pass of zeros, one of random bytes, each flushed to disk
// (only what the file occupies: a sparse file is deleted without overwriting, and a full disk
// ends the passes); then truncated, renamed to a random name of the same length, and deleted. A
// file in use without sharing is left untouched; a read-only one too unless `force`. A file with
// more than one hard link is deleted but never overwritten: its content still belongs to its
// other names. Returns true when the file was deleted.
bool DeleteFileChecked(const FolderGuard& guard, const DirEntry& entry, bool force, bool securely = false);

// Overwrites the whole of the open file `file` (opened with GENERIC_WRITE) in place, as a secure
// erase does: zeros, then random bytes, each pass flushed. Leaves the size unchanged and does not
// delete. False when a write or flush failed (what was written stays written).
bool OverwriteFile(HANDLE file);

// True when the file `path` exists but opening it reaches a file elsewhere (under Wine, a Linux
// link to a file, which every Windows call follows): writing or deleting by that name would act
// on another file. False for a missing file and for a file that is what its name says.
bool LeadsElsewhere(const std::string& path);

// Gives the file open as `file` (opened with DELETE access) the name `path`, in place of whatever
// bears it now: a link there is replaced, never followed. Through the handle, so nothing put in
// the file's own place meanwhile is moved instead. False when it cannot; nothing on a system
// without the handle calls (the caller renames by name there, once the file is closed).
std::optional<bool> RenameOver(HANDLE file, const std::string& path);

// Opens the file `name` (a true name listed in `guard.path`) with `access`, sharing reading and
// writing, only when the opened file really lies in that folder, by the name check of
// DeleteFileChecked (a Linux link to a file elsewhere is refused). INVALID_HANDLE_VALUE otherwise;
// the caller closes the handle.
HANDLE OpenFileInPlace(const FolderGuard& guard, const std::wstring& name, DWORD access);

// Creates the new file `name` (one true name) in the folder `guard` holds, relative to its handle,
// with `access`, sharing nothing; fails when anything bears that name already (a link included).
// INVALID_HANDLE_VALUE otherwise; the caller closes the handle.
HANDLE CreateNewFileIn(const FolderGuard& guard, const std::wstring& name, DWORD access);

// What became of a rename into a folder held open.
enum class MoveOutcome { Moved, NameTaken, Failed };
// Gives the open file `file` (opened with DELETE access) the name `name` in the folder `to`
// holds, relative to that folder's handle (FileRenameInformation's RootDirectory), never
// replacing what bears the name. Failed also for another volume (STATUS_NOT_SAME_DEVICE).
MoveOutcome MoveIntoFolder(HANDLE file, const FolderGuard& to, const std::wstring& name);

// Deletes the one file `path` (no wildcards; code page or UTF-16, any length) with the same
// guard; for callers that hold a found file's full path rather than a listing. False when
// missing, a folder, a link, read-only without `force`, in use, or when it resolves outside its
// folder.
bool DeleteFileAt(const std::string& path, bool force);
bool DeleteFileAt(const std::wstring& path, bool force);
// The same, erasing securely (see DeleteFileChecked) when `securely`.
bool DeleteFileAt(const std::string& path, bool force, bool securely);
bool DeleteFileAt(const std::wstring& path, bool force, bool securely);

// True when the file `path` (absolute, no wildcards) is a plain file lying in the folder its path
// names, by the same test DeleteFileChecked makes, and can be opened for deletion now (no program
// holds it without sharing delete). For callers that hand the file to another service (the
// recycle bin) rather than delete it themselves.
bool IsFileInPlace(const std::wstring& path);

// Like DeleteFile(pattern, force) of the scripting FileSystemObject: deletes the files lying
// directly in the folder that `pattern` names (a protected folder only with Reach::DirectlyIn,
// see GuardFolder) whose names match its last part (* and ?), never
// below it. Hidden and system files are deleted too; read-only ones only with `force`. Each file
// passes DeleteFileChecked; a failing file is skipped and the rest are still tried.
// Returns the number deleted (0 when nothing matched or the folder is missing).
int DeleteFiles(const std::string& pattern, bool force, Reach reach = Reach::Below);

// The same in the folder `folder` guards, for the names matching `mask` (a name or pattern, no
// folder part). Returns 0 when the guard is not usable.
int DeleteFiles(const FolderGuard& folder, const std::string& mask, bool force, bool securely = false);

// Like DeleteFolder(pattern, force): the folders matching `pattern` (wildcards in the last part)
// are removed with everything in them, hidden and system files included, whatever their names
// and depth. Without `force` read-only files stay, and so do the folders holding them. Inside
// them, links to folders are never entered; on Windows such a link is removed (which removes
// just the link), under Wine it stays with its parent. A matching folder that is itself a link
// is treated the same way. Walks without recursion. Returns the number of matching folders
// removed completely.
int DeleteFolders(const std::string& pattern, bool force);

// The same in the folder `parent` guards, for the names matching `mask` (no folder part).
int DeleteFolders(const FolderGuard& parent, const std::string& mask, bool force, bool securely = false);

// What a guarded walk (Walk) does in each folder it reaches.
struct WalkRules {
    // Whether to enter the listed sub-folder `entry` of `folder` (whose tag is `tag`), and the tag
    // the sub-folder gets (`childTag` starts as `tag`). Links to folders are never offered.
    // Empty: enter every sub-folder.
    std::function<bool(const FolderGuard& folder, const DirEntry& entry, int tag, int& childTag)> enter;
    // Whether to delete the listed file `file` of `folder`. Empty: delete every file.
    std::function<bool(const FolderGuard& folder, const DirEntry& file, int tag)> deleteFile;
    int rootTag = 0;
    bool force = false;          // read-only files (and folders) go too
    bool securely = false;       // each file is overwritten before it goes (see DeleteFileChecked)
    bool removeFolders = false;  // remove each entered folder once walked, when it is empty
    bool removeRoot = false;     // ... the starting folder too
    bool removeLinks = false;    // remove links to folders where just the link goes (Windows)
};

struct WalkCounts {
    int64_t filesDeleted = 0;
    uint64_t bytesDeleted = 0;
    int64_t filesLeft = 0;  // chosen by the rules but not deleted (in use, read-only, a link, swapped)
    int64_t foldersRemoved = 0;
};

// The deepest level below its starting folder that a walk enters (the items', the rules' and the
// plans'): what lies deeper stays, and the planning walks report the folder they did not enter.
// Under Wine no folder whose Unix path is longer than the system allows (4,096 bytes) can be
// opened at all, so there a walk stops sooner, where the path grows too long.
constexpr size_t kMaxWalkDepth = 4096;

// A walk holds one guard per level, and each level's names extend its parent's. So that a deep
// walk's memory grows with its depth and not with its depth squared, a stack of guards keeps the
// names of its deepest guard only: Shelve drops `guard`'s path and object name while a child of
// it is the deepest, and Unshelve gives them back, cut from those of `child` (a usable guard made
// from `guard` by GuardChild). Unshelve leaves a guard that was not shelved as it is.
void Shelve(FolderGuard& guard);
void Unshelve(FolderGuard& guard, const FolderGuard& child);

// Walks the tree below `root` depth-first through handles: each folder is listed through its own
// handle, each sub-folder opened relative to its parent and checked (GuardChild), each chosen file
// deleted through DeleteFileChecked, and with `removeFolders` each emptied folder removed through
// a handle opened relative to its parent. At most one handle per level is open, and no folder
// deeper than kMaxWalkDepth is entered. Nothing is done when `root` is not usable or is a
// protected folder.
WalkCounts Walk(FolderGuard root, const WalkRules& rules);

// Removes the folder `root` with everything below it, as DeleteFolders removes one match (a Walk
// that deletes everything and removes every folder, `root` included). True when `root` is gone.
// Pass the guard's last copy: an open copy elsewhere keeps the folder in place.
bool RemoveTree(FolderGuard root, bool force, bool securely = false);

// Deletes the file `name` (one true name) in the folder `guard` holds, as DeleteFileChecked
// deletes a listed file: for callers that know a file by name rather than from a listing.
bool DeleteNamedFile(const FolderGuard& guard, const std::wstring& name, bool force, bool securely = false);

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


// What became of one file that a plan, made earlier from a listing, asked to delete.
enum class ListedFileOutcome {
    Deleted,
    InUse,     // a program holds it without sharing deletion
    ReadOnly,  // read-only and not forced, or access denied
    Refused,   // no longer the file listed there: a link, a case twin, a folder in its place
    Changed,   // still there but written since it was listed (another size or write time)
    Vanished,  // no longer there
};

// Deletes the file `name` (a true name) in the folder `guard` holds, only when it is still the
// file that was listed there: it is opened relative to the folder, the handle's name must be the
// folder's plus `name` (compared as the file system compares), and its size and last-write time
// must still be `size` and `written`. That same handle is then marked for deletion (securely,
// through one handle as DeleteFileChecked describes, when `securely`), so nothing can be swapped
// between the checks and the delete. Read-only files go only with `force`. Says which check
// failed; never follows a link. Without `checkUnchanged` (a file found moments ago in the same
// run, or named by the caller) size and write time are not compared, and a plain delete is tried
// at once: the file's attributes are read only when it fails, to tell read-only from in use.
ListedFileOutcome DeleteListedFile(const FolderGuard& guard, const std::wstring& name, uint64_t size,
                                   const FILETIME& written, bool force, bool securely,
                                   bool checkUnchanged = true);

}  // namespace bw::platform::fs
