// Registry access by key path text, such as
// "HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main".
//
// A key path is a root name, a backslash and the subkey path; a root name alone addresses the
// root key itself. A path must begin with "HKEY_" and must not end with a backslash: any other
// path shows the standard message box "Incorrect Format:" + "\n\n" + the path (title
// "Brightwipe", OK button) and the operation does nothing more. A root name outside the table
// of RootKeyFromName (letter case counts) is not an error: the operation silently does nothing.
//
// Values are handled as strings only. Every key handle an operation opens is closed before it
// returns. Call from the user-interface thread only; no operation reports a failure other than
// through GetKeyValue's "Error".
#pragma once
#include <windows.h>

#include <string>

namespace bw::regfun {

// The predefined root key named exactly (case-sensitive) "HKEY_CLASSES_ROOT",
// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_PERFORMANCE_DATA",
// "HKEY_CURRENT_CONFIG" or "HKEY_DYN_DATA"; null for any other text.
HKEY RootKeyFromName(const std::string& name);

// Splits `path` in place: *root gets the root key named before the first backslash (null when
// the name is unknown) and `path` becomes everything after that backslash ("" when there is
// none). A path without the "HKEY_" prefix or with a trailing backslash shows the
// "Incorrect Format:" box, sets *root to null and leaves `path` unchanged.
void ParseKeyPath(std::string& path, HKEY* root);

// The string value `name` of the key (empty name = the key's default value).
// Returns "Error" when the key or the value is missing, cannot be read, or does not fit the
// 255-byte read buffer (a string of 255 characters or more, as its NUL no longer fits).
// Returns "" when the root name is unknown or the path malformed.
// The text ends at the value's terminating NUL; leading spaces are dropped, trailing spaces
// kept. Non-string data comes back as its bytes up to the first NUL.
std::string GetKeyValue(const std::string& path, const std::string& name);

// Stores `text` as REG_SZ value `name` of an existing key; the stored length is the text's
// length, without a terminating NUL. A missing key is not created: nothing is written.
void SetKeyValue(const std::string& path, const std::string& name, const std::string& text);

// Creates the key and any missing parents; an existing key is left as it is.
void CreateKey(const std::string& path);

// Deletes the key with its values (RegDeleteKeyA, no recursion). A key that has subkeys stays
// in place on NT-family Windows and on Wine. A root key alone (no subkey path) is never
// deleted: the call does nothing.
void DeleteKey(const std::string& path);

}  // namespace bw::regfun
