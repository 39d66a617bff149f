// The one rule of where deletion may happen: drive roots, the Windows and system folders, both
// Program Files and both Common Files folders, every profile and the profile root, the user's
// shell folders and every folder above one of them are protected. The rule is judged on the
// names the system gives folders once opened (after ".", "..", doubled separators and links
// resolve), never on the text a setting holds.
//
// On 64-bit Windows this 32-bit program runs under WOW64: "C:\Windows\System32" opens SysWOW64
// (a name query on it answers "\??\C:\windows\syswow64"), and the real System32 is reached as
// "C:\Windows\Sysnative" (answered "\??\C:\windows\system32"). Both are protected, whichever
// name or view a path uses, and so are both Program Files and both Common Files folders.
#pragma once
#include <string>

namespace bw::platform::fs {

struct FolderGuard;

// What a protected folder is, judged on its final name.
enum class Protection {
    None,       // an ordinary folder
    DriveRoot,  // the root of a drive or share
    Vital,      // the Windows and system folders, Program Files, a profile or the profile root, a
                // user shell folder (Desktop, Documents, AppData, Start Menu...), or a folder above one
    UnixRoot,   // under Wine, the root of the whole Unix file system
};

// What `objectName` (a folder's name as the system gives it, trailing backslash) is among the
// protected folders: the rule every deletion obeys.
Protection ProtectionOf(const std::wstring& objectName);

// True when `objectName` (trailing backslash) is one of Windows' system folders (the real
// System32, SysWOW64, and System32 as this program sees it) or lies anywhere below one.
bool InSystemFolder(const std::wstring& objectName);

// Why a user's own item may not delete files directly in the folder `guard` holds open: empty
// text when it may. Files directly in a drive root may go; a folder that resolves to the Unix
// root, the Windows folder, a system folder or anything below one, Program Files, a profile, a
// user shell folder or a folder above one is refused. The text says why, in a sentence a user
// reads. A guard that is not usable (a folder that does not exist yet) is not refused here.
std::string UserFolderRefusal(const FolderGuard& guard);

// The same for a user's own item "folder\pattern", its folder opened and judged as above.
std::string UserPatternRefusal(const std::string& pattern);

}  // namespace bw::platform::fs
