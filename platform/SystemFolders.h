// Where Windows keeps its own folders and the user's profile, and a guard that keeps a cleaning
// step from ever emptying one of them.
#pragma once
#include <string>
#include <string_view>

namespace bw::platform {

// The shell's CSIDL folder `csidl`, without a trailing backslash; empty text when the shell
// cannot name it or the code page cannot hold its name (never a look-alike name).
std::string SpecialFolder(int csidl);

// A folder named by a registry value (`keyPath` with its root, as regfun::GetKeyValue takes it),
// cut at its first NUL and trimmed of blanks: empty text when the value is missing or the code
// page cannot hold it (never a look-alike name); check it with paths::IsUsableFolder before use.
// `view` (KEY_WOW64_64KEY or KEY_WOW64_32KEY) reads that registry view under WOW64.
std::string RegistryFolderValue(const std::string& keyPath, const std::string& name, unsigned long view = 0);

// The user folder `name` (Cache, Cookies, Favorites...) of the Explorer "Shell Folders" key of
// HKEY_CURRENT_USER, read as RegistryFolderValue reads it.
std::string ShellFolderValue(const std::string& name);

// The user's recent documents folder (CSIDL_RECENT); empty text when unknown.
std::string RecentFolder();

// GetSystemDirectoryA, without a trailing backslash; empty text on failure.
std::string SystemDirectory();

// True when emptying `path` would empty a folder Windows or the user cannot do without: `path`
// is the Windows folder, the system folder or the user's profile folder (as USERPROFILE names
// it and as the shell names it), or any folder above one of them (a drive root included).
// GetTempPathA falls back to the profile folder and then to the Windows folder when TMP and
// TEMP are unset, which is how such a path reaches a cleaning step. Also true for empty text
// and for text that cannot be made a full path. Names compare without regard to case and to a
// trailing backslash.
bool IsVitalFolderOrAbove(const std::string& path);

// While alive, opens relative to a folder handle on this thread reach that folder's own entries,
// as its listing shows them. Under WOW64 such an open below the real System32 (reached as
// "Sysnative") would otherwise land in SysWOW64, and a name listed there would be missing or
// another file. The name "System32" itself (`name`, any case) keeps this program's view, so that
// a folder reached by that name is always SysWOW64, as its path says to this program. Nothing on
// a Windows without WOW64. Hold it only around the open itself: a library loaded meanwhile would
// come from the 64-bit folder.
class ListedView {
public:
    explicit ListedView(std::wstring_view name);
    ~ListedView();
    ListedView(const ListedView&) = delete;
    ListedView& operator=(const ListedView&) = delete;

private:
    void* previous_ = nullptr;
    bool off_ = false;
};

}  // namespace bw::platform
