// Read-only probes that cleaning rules make of this computer: does a registry key or value exist
// (in either registry view), what are a path's attributes, how Windows upper-cases a name, and
// reading a rules file whole with a size limit. None of them changes anything.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bw::platform::probe {

// True when this 32-bit program runs on 64-bit Windows, where HKLM\Software has a second,
// 64-bit view that the program does not see by default.
bool IsWow64();

// True when the key `subkey` (no leading backslash) of `root` exists in the 32-bit view, or,
// with `view64`, in the 64-bit view (KEY_WOW64_64KEY; asked only on 64-bit Windows, false
// elsewhere). A key that exists but is closed to this user (access denied) counts as existing.
bool RegistryKeyExists(HKEY root, const std::wstring& subkey, bool view64);

// True when the value `name` ("" is the key's default value) of that key exists.
bool RegistryValueExists(HKEY root, const std::wstring& subkey, const std::wstring& name, bool view64);

// GetFileAttributesW of `path` (absolute; paths of MAX_PATH and more are taken in their long
// form); INVALID_FILE_ATTRIBUTES when it is missing or cannot be reached. Links are followed, as
// Windows follows them.
DWORD PathAttributes(const std::wstring& path);

// `c` upper-cased as Windows upper-cases file names (CharUpperBuffW); ASCII callers need not ask.
wchar_t UpperChar(wchar_t c);

enum class ReadStatus { Read, Missing, TooLarge, Unreadable };

// The whole file `path` into *content, reading at most `maxBytes` plus one whatever the file
// claims. TooLarge when it holds more than `maxBytes` (*content then empty and *size the size
// Windows reports), Missing when it or its folder is not there, Unreadable otherwise (a folder,
// in use, access denied, out of memory). Never throws.
ReadStatus ReadWholeFile(const std::string& path, uint64_t maxBytes, std::string* content, uint64_t* size);

}  // namespace bw::platform::probe
