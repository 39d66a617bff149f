// Plain text list files: one entry per line, lines ended by CR LF, in the system code page.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace bw::platform {

// The lines of `path` without their ends (CR LF, a lone CR or a lone LF ends a line; a last
// line without an end counts; no empty line is made up after a final line end).
// nullopt when the file does not exist or cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path);

// Appends `line` and CR LF, creating the file when it is missing. False when it cannot.
bool AppendLine(const std::string& path, const std::string& line);

// Replaces the file's contents with `lines`, each followed by CR LF (an empty list leaves an
// empty file). False when it cannot be written.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines);

// `text` without its trailing spaces.
std::string TrimRight(const std::string& text);

}  // namespace bw::platform
