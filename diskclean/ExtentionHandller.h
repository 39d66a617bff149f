// The disk cleaner's pattern file "Ext.txt" in the program folder (one pattern per line, CR LF
// ends), turned into the ";"-joined search text; and sending a found file to the recycle bin.
#pragma once
#include <string>
#include <vector>

namespace bw::ExtentionHandller {

// The program folder's "Ext.txt" and the scratch file "temp" that Remove writes first.
std::string PatternFile();
std::string ScratchFile();

// A line is a pattern when it starts with "*." and is at least three characters long.
bool IsValidPattern(const std::string& text);

// Every line of "Ext.txt" in file order, without its line end (CR LF, LF or a final line
// without one), taken as it stands (no trimming). Empty when the file is missing or cannot be read.
std::vector<std::string> ReadLines();

// The pattern lines of "Ext.txt" in file order joined by ";", without a ";" after the last.
// "" when the file is missing, cannot be read or holds no pattern line (the search then finds
// nothing; the user restores the list with Default).
std::string LoadPatternString();

// Appends `pattern` and CR LF to "Ext.txt", creating it when missing. When the file's last line
// has no line end, one is written first, so the new pattern never joins the old last line.
// False when the file cannot be written.
bool AppendPattern(const std::string& pattern);

// Creates or empties "Ext.txt" and writes "*.tmp", "*.gid", "*.swp", "*.chk", each ended by CR LF.
bool WriteDefaultPatterns();

// Rewrites "Ext.txt" without the lines equal (letter case included) to `line`; every other
// line, pattern or not, is kept in order. Crash-safe: the kept lines are written in full to
// "temp" (emptied first, so nothing left there by an earlier interrupted Remove survives), and
// "temp" then replaces "Ext.txt" in one step. When any step fails "Ext.txt" stays as it was and
// "temp" is removed. A missing "Ext.txt" is left missing. True when "Ext.txt" was rewritten.
bool RemovePattern(const std::string& line);

// Sends the file `path` to the recycle bin with the shell's silent, unconfirmed, undoable
// delete, after checking that it is a plain file really lying in its folder (not a link to a
// file elsewhere, not a folder), not read-only and not held open; anything else stays where
// it is. The shell's answer is not looked at. True when the shell was asked.
bool SendToRecycleBin(const std::string& path);
// The same by the file's true UTF-16 path (long "\\?\" form allowed), for files whose names the
// code page cannot hold. The shell takes only paths shorter than MAX_PATH in their everyday
// form; a longer one stays where it is.
bool SendToRecycleBin(const std::wstring& path);

}  // namespace bw::ExtentionHandller
