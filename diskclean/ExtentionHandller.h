// The disk cleaner's pattern file "Ext.txt" in the program folder (one pattern per line, CR LF
// ends), turned into the ";"-joined search text; and sending a found file to the recycle bin.
#pragma once
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace bw::ExtentionHandller {

// The program folder's "Ext.txt". Every rewrite of it goes through
// platform::ReplaceFileContents (a fresh scratch file moved over it), so a link named "Ext.txt"
// is replaced, never written through. A file named "temp" in the program folder (the scratch
// name of earlier versions) is never read, written, moved or deleted.
std::string PatternFile();

// A line is a pattern when it starts with "*." and is at least three characters long.
bool IsValidPattern(const std::string& text);

// Every line of "Ext.txt" in file order, without its line end (CR LF, LF or a final line
// without one), taken as it stands (no trimming); lines longer than platform::kMaxLineBytes are
// skipped. Empty when the file is missing, cannot be read, or is larger than
// platform::kMaxListFileBytes or longer than platform::kMaxListLines (see platform::ReadListFile).
std::vector<std::string> ReadLines();

// The pattern lines of "Ext.txt" in file order joined by ";", without a ";" after the last.
// "" when the file is missing, cannot be read or holds no pattern line (the search then finds
// nothing; the user restores the list with Default).
std::string LoadPatternString();

// Appends `pattern` and CR LF to "Ext.txt", creating it when missing, with platform::AppendLine:
// when the file's last line has no line end, one is written first, so the new pattern never
// joins the old last line. False when the file exists but cannot be read (too large, say; Default
// then restores it) or cannot be written.
bool AppendPattern(const std::string& pattern);

// Makes "Ext.txt" hold "*.tmp", "*.gid", "*.swp", "*.chk", each ended by CR LF, whatever it held
// before (platform::ReplaceFileContents). False when it cannot be written.
bool WriteDefaultPatterns();

// Rewrites "Ext.txt" without the lines equal (letter case included) to `line`; every other
// line, pattern or not (overlong ones too), is kept byte for byte in order with the line end it
// had. Crash-safe through platform::ReplaceFileContents: "Ext.txt" is the old list or the new
// one, never half written; when any step fails it stays as it was. A missing or unreadable
// "Ext.txt" is left as it is. True when "Ext.txt" was rewritten.
bool RemovePattern(const std::string& line);

// Sends the file `path` to the recycle bin after checking that it is a plain file really lying
// in its folder (not a link to a file elsewhere, not a folder), not read-only and not held open;
// anything else stays where it is. The file moves through its own checked handle into the bin,
// with the bin's record of where it came from (platform::MoveToRecycleBin), never by a path
// handed to the shell. True when it is in the bin; false when it stays, also when the bin cannot
// be reached that way (another volume).
bool SendToRecycleBin(const std::string& path);
// The same by the file's true UTF-16 path (long "\\?\" form allowed, any length), for files
// whose names the code page cannot hold.
bool SendToRecycleBin(const std::wstring& path);
// The same for a file found by a search from `anchor`, reached from it handle by handle
// (platform::RecycleChosenFile): a folder swapped for a link since the search, or while the file
// moves, leads nowhere.
bool SendToRecycleBin(const platform::fs::SearchAnchor& anchor, const std::wstring& path);

}  // namespace bw::ExtentionHandller
