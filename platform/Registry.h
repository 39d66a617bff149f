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

}  // namespace bw::platform::reg
