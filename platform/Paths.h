// Path rules every module shares: what counts as a missing location, an absolute path or a
// root, trailing backslashes, and the UTF-16 long form that the file walks use.
#pragma once
#include <string>

namespace bw::platform::paths {

// `text` without leading and trailing blanks and tabs.
std::string Trim(const std::string& text);

// Empty text, blanks and the registry helper's "Error" (any letter case) stand for a location
// that is missing: such text is never turned into a path.
bool IsMissingLocation(const std::string& path);

// "C:\..." (a drive letter, a colon and a backslash or slash) or "\\server\share...":
// a path that does not depend on the current drive or folder.
bool IsAbsolute(const std::string& path);

// "C:\", "\\server\share\" and their "\\?\" forms, with or without the trailing backslash.
bool IsRoot(const std::string& path);

// A location a deletion step may start from: not missing, absolute, not a root, not a device
// ("\\.\").
bool IsUsableFolder(const std::string& path);

// `path` ending in exactly the backslash it had or one added (empty text stays empty).
std::string WithSlash(const std::string& path);
// `path` without its trailing backslashes, except the one of a drive root ("C:\").
std::string WithoutSlash(const std::string& path);

// Text in the system code page as UTF-16, and back. Narrow never uses best-fit mapping:
// a character the code page cannot hold becomes '?', so a fullwidth dot or backslash can
// never turn into "." or "\" on the way.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
// UTF-16 text as UTF-8 (for files read by people and scripts whatever their code page).
std::string Utf8(const std::wstring& text);
// True when `name` converts to the code page and back unchanged, so the A functions reach it.
bool FitsCodePage(const std::wstring& name);

// A name a walk may append to a folder path: not empty, not "." or "..", and holding no
// separator, drive colon, wildcard or control character.
bool IsSafeName(const std::wstring& name);

// The absolute "\\?\C:\..." or "\\?\UNC\server\share\..." form of `path` ("." and ".." folded,
// slashes turned to backslashes), which the W functions accept at any length. Empty when
// `path` is missing or not absolute.
std::wstring LongPath(const std::string& path);
std::wstring LongPath(const std::wstring& path);
// The everyday form of a long path ("C:\...", "\\server\share\..."), for showing and for the
// shell; the path itself when it has no "\\?\" prefix.
std::wstring ShortForm(const std::wstring& path);

}  // namespace bw::platform::paths
