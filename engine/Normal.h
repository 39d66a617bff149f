// Folder-emptying routines of the erase run: empty a folder tree, or sweep one kind of file from
// every folder of a browser profile tree.
#pragma once
#include <string>

#include "platform/FileSystem.h"

namespace bw::Normal {

// Common to all five routines:
// - `path` is a folder, with or without a trailing backslash (blanks around it are ignored).
//   Empty or blank text and "Error" (how a missing registry location reads) do nothing at all,
//   nor does a relative path or a drive or share root ("C:\", "\\server\share"), so a missing
//   location can never turn into the current folder or a whole drive. A missing folder does
//   nothing either.
// - The tree is walked depth-first without recursion through folder handles: each folder is
//   opened relative to its checked parent and judged by the name the system gives it, so a
//   folder swapped for a link during the walk leads nowhere. The starting folder is judged by
//   its final name: a drive root, the Windows or a system folder, Program Files, a profile or a
//   user shell folder (platform::fs::ProtectionOf) is never walked.
// - The walk sees sub-folders and files that are neither hidden nor system: hidden and system
//   entries (and everything in a hidden or system folder) stay, and so do the folders holding
//   them. Read-only files and files in use stay too.
// - A folder entry carrying FILE_ATTRIBUTE_REPARSE_POINT (a junction or link; under Wine a Linux
//   link to a folder) is never entered. A file is deleted only when its final path lies in the
//   folder being walked, so a link to a file elsewhere never deletes its target.
// - Nothing is reported: every failing step is skipped and the walk goes on.
// - The walks set the current directory to the root of its drive before they start, so that no
//   folder about to be removed is the current directory.

// Deletes every file below `path` and removes every sub-folder, keeping `path` itself. Folders
// that cannot be emptied (they keep a hidden, system, read-only or in-use file) stay. On Windows a
// link to a folder found inside is removed (just the link); under Wine, where that cannot be done
// without touching the target, it stays, and so does its parent.
void EmptyFolder(const std::string& path);

// Delete "localstore.rdf", "cookies.txt" or "history.dat" from every folder of the tree below
// `path` (the folder itself included). No other file and no folder is removed.
void DeleteLocalStore(const std::string& path);
void DeleteCookiesTxt(const std::string& path);
void DeleteHistoryDat(const std::string& path);

// Deletes the browser cache of a profile tree: in every folder below `path` named "Cache" or
// "Cache.Trash" (any case), and in every folder below such a folder, every listed file goes.
// Files anywhere else stay, and no folder is removed, the cache folders included.
void DeleteProfileCache(const std::string& path);

// EmptyFolder, DeleteLocalStore and its twins (the file `fileName`) and DeleteProfileCache, on the folder
// `below` (one or more names) inside `path` rather than on `path` itself: for a fixed sub-folder
// of a folder the item was given. Nothing is done unless every part of `below` is a real folder
// there, no link (platform::fs::GuardFolderBelow), so such a sub-folder never leads the walk
// elsewhere.
// With `baseMayBeProtected`, `path` may be a protected folder (Program Files, AppData...) that
// only the fixed folders below it are reached in.
void EmptyFolderBelow(const std::string& path, const std::string& below, bool baseMayBeProtected = false);
void DeleteNamedFileBelow(const std::string& path, const std::string& below, const char* fileName,
                          bool baseMayBeProtected = false);
void DeleteProfileCacheBelow(const std::string& path, const std::string& below, bool baseMayBeProtected = false);

// DeleteProfileCache in a folder already opened.
void DeleteProfileCacheIn(const platform::fs::FolderGuard& start);

}  // namespace bw::Normal
