// Raw registry calls (advapi32, ANSI forms) and a holder that closes a key handle.
//
// Every function returns the status of the Windows call (ERROR_SUCCESS = 0 on success) and
// passes its arguments through unchanged. Facts callers rely on, measured on NT-family Windows
// and on Wine 8:
//  - A subkey path that begins with a backslash fails with ERROR_BAD_PATHNAME (161) in
//    CreateKey, OpenKey, OpenKeyEx and DeleteKey. Pass "Software\\X", never "\\Software\\X".
//  - DeleteKey (RegDeleteKeyA) refuses a key that still has subkeys with ERROR_ACCESS_DENIED
//    (5) and leaves it in place; it removes a key together with its values otherwise.
//  - EnumValue lists values sorted by name under Wine, not in the order they were written.
//    When the name or the data does not fit its buffer it returns ERROR_MORE_DATA (234) and
//    no name.
//  - QueryValueEx: data longer than the buffer gives ERROR_MORE_DATA (234) and leaves the
//    buffer untouched; a string stored without its NUL comes back with one added when there
//    is room for it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bw::platform::reg {

// RegCreateKeyA: opens `subkey` of `root`, creating it and any missing parents.
LONG CreateKey(HKEY root, const std::string& subkey, HKEY* out);
// RegOpenKeyA: opens an existing key with full access; never creates it.
LONG OpenKey(HKEY root, const std::string& subkey, HKEY* out);
// RegOpenKeyExA with options 0 and the access asked for (KEY_READ, KEY_WRITE, ...).
LONG OpenKeyEx(HKEY root, const std::string& subkey, REGSAM access, HKEY* out);
// RegQueryValueExA. `type`, `data` and `size` may each be null as the Windows call allows; on
// entry *size is the capacity of `data` in bytes, on return the length of the value's data.
LONG QueryValueEx(HKEY key, const std::string& name, DWORD* type, BYTE* data, DWORD* size);
// RegSetValueExA: stores `size` bytes of `data` as `name` (empty name = the key's default
// value). For REG_SZ, `size` decides whether the terminating NUL is stored.
LONG SetValueEx(HKEY key, const std::string& name, DWORD type, const BYTE* data, DWORD size);
// RegEnumValueA for the value at `index`, with a name buffer of `nameCapacity` bytes (NUL
// included) and a data buffer of `dataCapacity` bytes. On success *name and *data hold exactly
// what Windows returned (data resized to the returned length). On any failure *name and *data
// are left empty. `type` and `data` may be null (then no data is asked for).
// ERROR_NO_MORE_ITEMS (259) ends an enumeration.
LONG EnumValue(HKEY key, DWORD index, std::string* name, DWORD nameCapacity, DWORD* type,
               std::vector<BYTE>* data, DWORD dataCapacity);
// RegDeleteKeyA: see the facts above (no recursion; a key with subkeys stays).
LONG DeleteKey(HKEY root, const std::string& subkey);
// RegDeleteValueA.
LONG DeleteValue(HKEY key, const std::string& name);
// RegQueryInfoKeyA: the number of subkeys and values of an open key.
LONG QueryInfoKey(HKEY key, DWORD* subkeys, DWORD* values);

// RegCloseKey.
LONG CloseKey(HKEY key);

// Owns one open key handle and closes it exactly once: when the holder goes, or on reset().
// A holder of a null handle closes nothing.
class Key {
public:
    Key() = default;
    explicit Key(HKEY key) : key_(key) {}
    ~Key() { reset(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    Key(Key&& other) noexcept : key_(other.release()) {}
    Key& operator=(Key&& other) noexcept;

    HKEY get() const { return key_; }
    // Gives up ownership without closing; the holder is empty afterwards.
    HKEY release();
    // Closes the held key (if any) and takes `key` instead.
    void reset(HKEY key = nullptr);
    explicit operator bool() const { return key_ != nullptr; }
    // Closes the held key and returns the address to pass as an out argument:
    // reg::OpenKeyEx(root, path, KEY_READ, key.put()).
    HKEY* put();

private:
    HKEY key_ = nullptr;
};

// Keys reached by handle, never through a registry link.
//
// Registry symbolic links (keys made with REG_OPTION_CREATE_LINK that hold a REG_LINK value
// "SymbolicLinkValue") are followed by every ordinary open: a key tree deleted through one loses
// the target's keys, wherever they lie (another key of the user, a machine key). These functions
// open one name at a time relative to a checked parent with REG_OPTION_OPEN_LINK, so a link is met
// as itself. Facts they rely on, measured on Wine 8 in 32-bit and 64-bit prefixes:
//  - A key opened with REG_OPTION_OPEN_LINK is the link itself; its name (NtQueryKey) is the
//    link's own, and it still reads the REG_LINK value "SymbolicLinkValue".
//  - RegDeleteKeyW(parent, link) deletes the TARGET and keeps the link. NtDeleteKey on the link's
//    own handle (opened with REG_OPTION_OPEN_LINK) removes the link and leaves the target.
//  - NtDeleteKey refuses a key that still has subkeys (STATUS_ACCESS_DENIED).
//  - Under WOW64, a key opened in a view (KEY_WOW64_64KEY, KEY_WOW64_32KEY) hands that view on to
//    the keys opened relative to it; the 32-bit view of HKLM\Software is named
//    "\REGISTRY\MACHINE\SOFTWARE\Wow6432Node".
// `view` below is 0 (the program's own view), KEY_WOW64_64KEY or KEY_WOW64_32KEY.

enum class Reached : uint8_t {
    Key,          // the key itself, not a link
    Link,         // the last name is a registry link: the handle is the link itself
    ThroughLink,  // a name above the last one is a link: nothing opened
    Missing,      // a name is not there
    Failed,       // access denied, a name the registry cannot hold, an unexpected real name
};

// The key's full name as the registry holds it: "\REGISTRY\USER\<SID>\Software\X",
// "\REGISTRY\MACHINE\SOFTWARE\Wow6432Node\X". Empty when it cannot be read (a predefined root
// handle such as HKEY_CURRENT_USER has none).
std::wstring RealName(HKEY key);

// "\REGISTRY\USER\<SID>" of the user HKEY_CURRENT_USER stands for (read once, from its Software
// key); empty when it cannot be read.
std::wstring CurrentUserRealName();

// True when the open key is a registry link (it holds a REG_LINK "SymbolicLinkValue"; only a key
// opened with REG_OPTION_OPEN_LINK can show it).
bool IsLink(HKEY key);

// RegEnumKeyExW: the name of the subkey at `index` of the open key into *name (empty on any
// failure). ERROR_NO_MORE_ITEMS ends a listing; ERROR_MORE_DATA is a name longer than 255.
LONG EnumSubkey(HKEY key, DWORD index, std::wstring* name);

// True when the open key holds the value `name` ("" is its default value), read in UTF-16.
bool HasValue(HKEY key, const std::wstring& name);

// Opens the single name `name` (no backslash) of `parent` with REG_OPTION_OPEN_LINK, `access`
// (KEY_QUERY_VALUE is always added, to judge it) and `view`. Key or Link on success, with *out
// holding it; when `parent` has a real name, the key reached must be named `parent`\`name` (or
// `parent`\Wow6432Node\`name`, the 32-bit view's redirection), letter case aside, else Failed.
Reached OpenChild(HKEY parent, const std::wstring& name, REGSAM access, REGSAM view, Key* out);

// Opens `subkey` of `root` one name at a time with OpenChild (empty names, as in "a\\b", are
// skipped); the names above the last are opened for listing only. Key or Link with *out holding
// the last key; Failed when `subkey` has no name (a root is never handed out). A link above the
// last name gives ThroughLink, except a link among the machine's keys that leads to another
// machine key (only administrators make those: Windows' own redirections, such as
// HKLM\Software\Wow6432Node\Classes): that one is followed, and what lies below is judged as usual.
Reached OpenNoFollow(HKEY root, const std::wstring& subkey, REGSAM access, REGSAM view, Key* out);

// Like OpenNoFollow, but a missing name is created (RegCreateKeyExW relative to its checked
// parent, then judged by its real name). Key when the last key exists or was made.
Reached CreateNoFollow(HKEY root, const std::wstring& subkey, REGSAM access, REGSAM view, Key* out);

// Removes the open key (opened with DELETE through OpenChild / OpenNoFollow): a link is removed
// itself, never its target. ERROR_ACCESS_DENIED when it still has subkeys; ERROR_SUCCESS, or the
// status of the call as a Win32 error.
LONG DeleteByHandle(HKEY key);

// What DeleteTree did.
struct TreeResult {
    size_t keys = 0;    // keys removed, the top one included
    size_t links = 0;   // registry links removed (their targets kept)
    size_t left = 0;    // keys or links that stayed (in use, denied, a link left by request)
    bool topGone = false;
};

// Deletes the open key `top` (opened with OpenChild / OpenNoFollow with DELETE |
// KEY_ENUMERATE_SUB_KEYS) and every key below it, through a stack of held handles (no recursion,
// no path rebuilt). A link below is never entered: with `removeLinks` it is removed itself,
// otherwise left. `top` being a link removes (or leaves) just the link.
TreeResult DeleteTree(Key top, bool removeLinks);

}  // namespace bw::platform::reg
