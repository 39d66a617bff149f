// One file's details (size, attributes, dates, type name, version), the single-file operations
// of the file helper (create folder, move, copy, attributes, write probe, chunked read), and the
// text Windows gives for an error number.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace bw::platform {

// What Windows reports about one file (not a folder). Under Wine a link to a file reports its
// target's size, dates and attributes.
struct FileDetails {
    uint64_t size = 0;
    DWORD attributes = 0;
    FILETIME created{}, accessed{}, written{};
};

// nullopt when `path` is empty, missing, or a folder.
std::optional<FileDetails> GetFileDetails(const std::string& path);

// The shell's type name of a file ("Text Document"), from SHGetFileInfoA; where the shell gives
// none, the upper-cased extension followed by " File" (or "File" without an extension).
std::string FileTypeName(const std::string& path);

// The version resource of a file as "major.minor.build.revision", read through version.dll;
// empty text when the file has none or cannot be read.
std::string FileVersionText(const std::string& path);

// A file time in local time as the user's default date-and-time text ("1/2/2024 3:04:05 PM").
// A midnight time gives the date alone, as the variant date text does.
std::string FileTimeText(const FILETIME& time);

// Reads `text` as a date in the user's locale ("1/2/2024", "2024-01-02", "Jan 2, 2024"),
// returning the variant date (days since 30 Dec 1899, time as the fraction); nullopt when it
// does not read as a date.
std::optional<double> DateFromText(const std::string& text);

// The file's attributes, or nullopt when it does not exist.
std::optional<DWORD> PathAttributes(const std::string& path);

// Each returns 0 on success, else the Windows error number.
DWORD SetPathAttributes(const std::string& path, DWORD attributes);
DWORD CreateFolder(const std::string& path);
// MoveFileA / CopyFileA; neither replaces an existing target.
DWORD MoveFileTo(const std::string& source, const std::string& target);
DWORD CopyFileTo(const std::string& source, const std::string& target);

// Creates `path` as a new file (never opening one that exists), writes "X", closes it, opens it
// again for appending, writes again, closes it and deletes it. 0 when all of this succeeded,
// else the Windows error number of the first step that failed.
DWORD ProbeWrite(const std::string& path);

// Reads the file from start to end in chunks, handing each to `onChunk` (false stops).
// False when the file cannot be opened or a read fails.
bool ReadFileChunks(const std::string& path,
                    const std::function<bool(const char* data, size_t size)>& onChunk);

// The text in the user's code page and locale, lower-cased (CharLowerBuffA).
std::string LowerText(std::string text);

// GetLastError of the calling thread.
DWORD LastError();

// The system's text for a Windows error number (FormatMessageA), without the trailing line end;
// "Unknown error" followed by the number when the system has none.
std::string ErrorText(DWORD error);

}  // namespace bw::platform
