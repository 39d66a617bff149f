// Plain text list files: one entry per line, lines ended by CR LF, in the system code page.
// These are small files of the program folder (keep lists, the pattern file) that the user's
// clicks rewrite; a file that is not what it should be (far too large, a folder, a link) must
// never be written through, and reading one must never end the program.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bw::platform {

// The largest list file read: far above any real list. A larger file reads as unreadable.
constexpr uint64_t kMaxListFileBytes = 16u << 20;  // 16 MiB

// The most lines a list file may hold (every line is one row of a list box, and a list box
// takes about a second per hundred thousand rows under Wine); a file with more lines reads as
// unreadable. A file of 16 MiB of line ends would otherwise freeze a window for minutes.
constexpr size_t kMaxListLines = 100000;

// The longest line taken as an entry; a longer line is no entry and is skipped when lines are
// read (no real entry comes near it, and one huge line would slow every repaint of a list).
constexpr size_t kMaxLineBytes = 32u << 10;  // 32 KiB

// The whole content of the file `path`, byte for byte. nullopt when it does not exist, cannot
// be opened or read (a folder, in use, no access), holds more than kMaxListFileBytes (at most
// that many bytes plus one are ever read, whatever the file claims) or more than kMaxListLines
// lines (counted as ReadLines counts them). Never throws.
std::optional<std::string> ReadListFile(const std::string& path);

// The lines of `path` without their ends (CR LF, a lone CR or a lone LF ends a line; a last
// line without an end counts; no empty line is made up after a final line end). Lines longer
// than kMaxLineBytes are skipped.
// nullopt when the file does not exist or cannot be read (see ReadListFile: above
// kMaxListFileBytes or kMaxListLines a file reads as unreadable). Never throws.
std::optional<std::vector<std::string>> ReadLines(const std::string& path);

// Makes `content` the whole file `path`, crash-safe and without writing through anything that
// is already there:
//  - the content goes to a fresh scratch file in the same folder, made with CREATE_NEW under a
//    new random name ("<name>.~" and 8 hex digits), so it is never an existing file or link;
//  - it is written in full and flushed, then moved over `path` in one step (MoveFileEx with
//    REPLACE_EXISTING | WRITE_THROUGH). The rename replaces the name `path` itself: when `path`
//    is a link, the link is replaced by a plain file and whatever it pointed at is untouched.
// `path` is either the old file or the new one, never missing or half written. Refused (false,
// nothing written) when `path` is a folder or carries FILE_ATTRIBUTE_READONLY, as Windows
// itself refuses to replace a read-only file. On any failure `path` stays as it was and the
// scratch file is deleted again (only when it still is the plain file made here). Files the
// program does not make itself, such as a leftover "temp", are never touched.
bool ReplaceFileContents(const std::string& path, const std::string& content);

// Appends `line` and CR LF to `path`, creating the file when it is missing. When the file's
// last line has no end, one is written first (CR LF; only LF after a lone CR), so the new line
// never joins the old last line. The file is rewritten whole with ReplaceFileContents (never
// written through a link). False, leaving the file as it was, when it exists but cannot be read
// (see ReadListFile) or cannot be replaced.
bool AppendLine(const std::string& path, const std::string& line);

// Replaces the file's contents with `lines`, each followed by CR LF (an empty list leaves an
// empty file), with ReplaceFileContents. False when it cannot be written.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines);

// `text` without its trailing spaces.
std::string TrimRight(const std::string& text);

}  // namespace bw::platform
