// Shell file operations and drive facts for the disk cleaner: sending one file to the recycle
// bin, proving a found file may be deleted, the list of drives, whether a drive is ready, and
// the text of a file's time.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace bw::platform {

// True when `path` names a file the user may delete as it is shown:
//  - an existing plain file (not a folder, not carrying FILE_ATTRIBUTE_REPARSE_POINT);
//  - not read-only;
//  - really lying in the folder its path names, as fs::IsFileInPlace proves it (under Wine a
//    link to a file looks like a plain file, and deleting or recycling it would act on the file
//    it points at; the names compare as the file system compares them);
//  - short enough for the shell (under MAX_PATH characters);
//  - not held open by a program that forbids deleting it (it can be opened for deletion now;
//    under Wine the trash moves files without honouring other programs' sharing modes).
// Paths holding wildcards are refused.
bool IsDeletableFileInPlace(const std::string& path);
bool IsDeletableFileInPlace(const std::wstring& path);

// Sends a file the user chose from a search's results to the recycle bin, reached from the
// search's anchor (fs::LocateChosen): the start folder is still the one searched, no folder on the
// way was swapped for a link, and those folders stay held while the file moves. The move itself is
// MoveToRecycleBin's (RecycleBin.h): through the file's own checked handle and the bin's, never by
// a path handed to the shell; any length of path. False (and nothing moved) otherwise, and when
// the bin cannot be reached that way (another volume, no bin).
bool RecycleChosenFile(const fs::SearchAnchor& anchor, const std::wstring& path);

// A file time (UTC, as listings give it) as local date and time in the user's short date and
// time formats, separated by one blank ("12/7/2026 8:45:12 AM"); a time of exactly midnight
// gives the date alone, as Windows' default date text does. Empty when it cannot convert.
std::string ListedTimeText(const FILETIME& time);

}  // namespace bw::platform
