// Windows profile (INI) files, ANSI forms: read with the system's profile functions, written
// whole by this program.
//
// Facts callers rely on (Windows and Wine 8 alike): section and key names match regardless of
// letter case; blanks and tabs around a value, and quotes around it, are dropped on reading; a
// write to a missing file creates it, a write to an existing key replaces its value in place.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace bw::platform::profile {

// GetPrivateProfileStringA with a buffer of `bufferSize` bytes. Returns the characters Windows
// copied, that is at most bufferSize - 1 of them; `def` (cut the same way) when the file, the
// section or the key is missing; "" when bufferSize is 0.
std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& def, DWORD bufferSize);

// The text of `file` as the start of an edit: "" when the file is missing. Read as the profile
// functions read it, through a link in its place too (the settings were read from there; the
// write then replaces the link by a plain file holding them). nullopt when the file cannot be
// read, is too large for a list file (LineFile.h), or is UTF-16 text, which an edit in the code
// page would garble.
std::optional<std::string> ReadForEdit(const std::string& file);

// Stores `value` as `key` in `section` of the profile text `text`, as WritePrivateProfileStringA
// stores it, and says whether the text changed:
//  - the first section whose name (between "[" and the last "]", blanks around it dropped)
//    matches `section` regardless of case is the one used; in it, the first line whose name
//    (before "=", or the whole line without one) matches `key` is replaced by "name=value", the
//    name spelled as the file spells it and the line's own end kept;
//  - a missing key is added after the section's last line that is not blank, a missing section
//    at the end ("[section]" and the key), each line ended by CR LF;
//  - every other line stays byte for byte: comments, blank lines, lines that are no key, and
//    their order. Blanks before the value are dropped; a key that already holds exactly that
//    value changes nothing (false).
// A text that starts with the UTF-8 mark is edited as UTF-8 (the names and the value, given in
// the code page, are converted); any other text is in the code page. False, leaving the text,
// when `section` or `key` is empty or blank.
bool SetValue(std::string* text, const std::string& section, const std::string& key, const std::string& value);

// Stores `value` as `key` in `section` of `file` (SetValue on ReadForEdit), writing the whole
// file afresh with ReplaceFileContents: a crash leaves the old file or the new one, and a link
// or hard link in the file's place is replaced, never written through. Nothing is written when
// the value is already there. False when it cannot be read or written (read-only file or
// folder, bad path); the file then stays as it was.
bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value);

// Makes `text` the whole of `file` (ReplaceFileContents), for a caller that edited the text of
// ReadForEdit itself with SetValue, to write many keys at once.
bool WriteWhole(const std::string& file, const std::string& text);

}  // namespace bw::platform::profile
