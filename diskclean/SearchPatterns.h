// The disk cleaner's search text and result lines: splitting the ";"-separated patterns into
// entries, matching file names against them, and the texts of result lines and the summary.
// No Windows calls here, so every rule can be tested on its own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace bw::diskclean {

// One entry of the search text. The literal text is the entry with one leading and one
// trailing star removed; the two flags say which were there and give the entry's class.
struct PatternEntry {
    enum class Class { Contains, EndsWith, StartsWith, ExactName };

    std::string literal;  // as written, stars removed (shown in the summary)
    std::string upper;    // the literal upper-cased, for comparing
    bool LeadingStar = false;
    bool TrailingStar = false;
    bool ExactFound = false;  // an exact name was listed already in this search
    uint64_t MatchCount = 0;  // lines this entry added in this search

    Class kind() const;
};

// Splits `text` at every ";" and turns each entry into a PatternEntry, in order. Entries whose
// literal text is empty ("", "*", "**": an empty entry between two ";" or after a trailing
// one) are dropped: they name nothing, and matching every file by accident would put the
// whole folder up for deletion. Other stars stay ordinary characters of the literal.
std::vector<PatternEntry> ParsePatterns(const std::string& text);

// Upper-cases the ASCII letters of `text` (names are compared without regard to letter case).
std::string UpperAscii(const std::string& text);

// True when the wildcard entry matches the upper-cased file name `upperName`: contains, ends
// with or starts with the literal. A name not longer than the literal is never matched (so a
// file named exactly ".tmp" is not listed by "*.tmp"). Exact-name entries never match here.
bool NameMatches(const PatternEntry& entry, const std::string& upperName);

// True when an exact-name entry's literal can name a file in a folder: no folder separators,
// drive colon or wildcard characters, and not "." or "..". Other texts are never looked for,
// so an entry cannot reach outside the folder being searched.
bool IsPlainFileName(const std::string& literal);

// Paths the search never lists: any containing "WIN386.SWP" in any letter case (the Windows 9x
// swap file) or "Recycled" in exactly that letter case (the recycle bin of those systems).
bool IsExcludedPath(const std::string& fullPath);

// The result line of a file found by a wildcard entry:
// path + "   Size:" + bytes + "   LastModyfied:" + date text.
std::string WildcardLine(const std::string& fullPath, uint64_t size, const std::string& dateText);

// The file path a result line stands for. A wildcard line gives the whole text before its
// "   Size:" label (the last one, so a path that holds two spaces, or even that label, is taken
// whole); an exact-name line, which has no label, is its own path.
std::string PathOfResultLine(const std::string& line);

// The summary shown after a search: `lines` + "  Files Found  ", then for each entry four
// spaces, its literal, " - " and its count; CR LF; "Total size: " + bytes/1000 as DecimalText + "kb".
std::string SummaryText(uint64_t lines, const std::vector<PatternEntry>& entries, uint64_t totalBytes);

// The shortest decimal text of `value` with up to 15 significant digits ("12.5", "0", "0.125").
std::string DecimalText(double value);

// `path` with a trailing backslash added when it has none.
std::string EnsureTrailingSlash(const std::string& path);

}  // namespace bw::diskclean
