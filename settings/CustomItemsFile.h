// The user's own erase items: "cusd.dat" in the program folder, one folder-and-pattern entry per line
// (a folder, a backslash and a file name or pattern, such as C:\Temp\*.tmp), in the order added.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace bw::customitems {

// The program folder's "cusd.dat", formed anew on every call.
std::string File();

// The entry for a folder and a file pattern: folder + "\" + files, without trailing blanks.
// A folder that already ends in a backslash (a drive root) gives a doubled one ("C:\\*.chk"):
// the entry is kept as built.
std::string Entry(const std::string& folder, const std::string& files);

// The entries of the file, each without trailing blanks; blank lines are empty entries.
// nullopt when the file does not exist or cannot be read (far too large, a folder, locked).
std::optional<std::vector<std::string>> Read();

// Appends `entry` as a line, creating the file when missing. False when it cannot be written.
bool Append(const std::string& entry);

// Replaces the file's contents with `entries` (an empty list leaves an existing, empty file).
bool Write(const std::vector<std::string>& entries);

// True when `line` may be handed to a delete: it names its folder absolutely, by a drive letter
// and colon or as a network path. A relative line ("*.tmp", "\*.*") would delete in whatever
// folder happens to be current, so it is never used.
bool IsAbsoluteEntry(const std::string& line);

}  // namespace bw::customitems
