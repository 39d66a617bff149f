// The two keep lists: typed addresses ("keepurl.dat") and cookies ("keepcook.dat") in the program
// folder, what they are kept from (the typed addresses, the cookie files), and the keep-list
// behaviour both keep-list windows share. The erase items read the lists here, without windows.
#pragma once
#include <string>
#include <vector>

#include "platform/FileSystem.h"

#include "ui/Lists.h"

namespace bw::keeplist {

// The program folder's "keepurl.dat" and "keepcook.dat".
std::string UrlFile();
std::string CookieFile();

// The entries of the keep list `file`: its lines without trailing spaces, lines longer than
// platform::kMaxLineBytes left out. Empty when the file is missing or cannot be read (also when
// it is larger than platform::kMaxListFileBytes or longer than platform::kMaxListLines: such a
// file is no keep list).
std::vector<std::string> Entries(const std::string& file);

// The browser's typed addresses as they are now: the data of each value of
// HKCU\Software\Microsoft\Internet Explorer\TypedURLs, in listing order. The listing ends at the
// first value that does not fit 255-byte buffers; a value that cannot be read is left out.
std::vector<std::string> TypedUrls();

// The cookie files now in the user's Cookies folder (Shell Folders "Cookies"): the full path of
// every file directly in it whose name holds ".txt". Empty when the location is missing, not an
// absolute folder below a root, or gone. Files are listed by their true names; a name the code
// page cannot hold shows '?' for what it lacks, as the keep list stores it.
std::vector<std::string> CookieFiles();

// True for a listed entry that is a cookie file: a file whose name holds ".txt".
bool IsCookieFile(const platform::fs::DirEntry& entry);

// Fills `keep` with Entries(file), all in one go; leaves it alone when the file does not exist
// or cannot be read.
void Load(ui::ListBox& keep, const std::string& file);

// Appends the selected entry of `current` ("" when none is selected) without trailing spaces,
// unless `keep` already shows it (then nothing happens), as
// a line to `file` (created when missing; an unended last line is ended first, so the two
// entries stay apart), then shows it in `keep`. When the file cannot be written (or exists but
// cannot be read) nothing is shown, so the window never shows an entry the file does not keep.
void Add(const ui::ListBox& current, ui::ListBox& keep, const std::string& file);

// Removes every selected entry of `keep`, then rewrites `file` with the rest, in order (also
// when nothing was selected), with platform::WriteLines (never written through a link).
void Remove(ui::ListBox& keep, const std::string& file);

}  // namespace bw::keeplist
