// Windows profile (INI file) functions, ANSI forms.
//
// Facts callers rely on (Windows and Wine 8 alike): section and key names match regardless of
// letter case; blanks and tabs around a value, and quotes around it, are dropped on reading; a
// write to a missing file creates it, a write to an existing key replaces its value in place.
#pragma once
#include <windows.h>

#include <string>

namespace bw::platform::profile {

// GetPrivateProfileStringA with a buffer of `bufferSize` bytes. Returns the characters Windows
// copied, that is at most bufferSize - 1 of them; `def` (cut the same way) when the file, the
// section or the key is missing; "" when bufferSize is 0.
std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& def, DWORD bufferSize);

// WritePrivateProfileStringA. Creates the file, the section or the key when missing. Returns
// false when Windows could not write (read-only file or folder, bad path), and without writing
// when the file is a link to a file elsewhere (fs::LeadsElsewhere), which the profile functions
// would write through.
bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value);

}  // namespace bw::platform::profile
