// Shell services: the recent documents list, the recycle bin, shell library versions.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace bw::platform {

// Clears the Start menu's recent documents list: SHAddToRecentDocs(SHARD_PATHA, null), which
// empties the list in the registry and, on Windows, its folder of shortcuts. Wine leaves the
// list's key when it has per-extension subkeys, and leaves the shortcuts, so the key
// HKCU\...\Explorer\RecentDocs is then removed with its subkeys, and the shortcut files
// ("*.lnk") lying directly in the user's Recent folder are deleted as well, each only when it
// really is a file in that folder (a link to a file elsewhere stays, and so does its target). Read-only shortcuts, other files and sub-folders
// stay. True when SHAddToRecentDocs left the thread's last error at 0 (Wine sets 2 when the
// list was already gone); the shortcut clean-up does not change the result.
bool ClearRecentDocuments();
// The same without the shortcut files: the list in the registry only (for callers that delete
// the shortcuts themselves, one by one). The shell's own clearing also deletes every shortcut
// of the Recent folder on Windows, so it is left out while a shortcut the caller kept is there.
bool ClearRecentDocumentsList();

// Empties the recycle bins of all drives without asking. On Windows this is
// SHEmptyRecycleBinA(owner, "", SHERB_NOCONFIRMATION) and its HRESULT. Under Wine that call
// follows links (a link a Linux desktop trashed has its target deleted), so the trash folder is
// emptied by the guarded walk instead: every item the Recycle Bin shows, folders with everything
// in them and read-only files included, then its ".trashinfo". A link in the trash stays with
// its ".trashinfo", and a link inside a trashed folder stays with what holds it; nothing outside
// the trash is touched. Returns S_OK under Wine.
HRESULT EmptyRecycleBins(HWND owner);

// What the Recycle Bin holds: under Wine the items of the desktop's trash (those with their
// ".trashinfo") and the bytes of the plain files among them (a folder counts as 0 bytes, as the
// shell counts it); elsewhere what SHQueryRecycleBinA reports for all drives. Zero when unknown.
struct RecycleBinContents {
    uint64_t items = 0, bytes = 0;
};
RecycleBinContents QueryRecycleBins();

// Under Wine, the trash folder of the desktop (the one holding "files" and "info") as a Windows
// path without trailing backslash, found the way Wine finds it (XDG_DATA_HOME\Trash, otherwise
// the home folder's .local\share\Trash); empty text elsewhere or when it cannot be named.
std::string WineTrashFolder();

// The major version of Shlwapi.dll from its DllGetVersion (record size 20); 0 when the library
// or the function is missing.
unsigned ShlwapiMajorVersion();

}  // namespace bw::platform
