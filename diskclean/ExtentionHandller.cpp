// The pattern file "Ext.txt" and the recycle-bin request of the disk cleaner.
#include "diskclean/ExtentionHandller.h"

#include <optional>
#include <utility>

#include "platform/FileOperations.h"
#include "platform/LineFile.h"
#include "platform/Paths.h"
#include "platform/ProgramDir.h"

namespace bw::ExtentionHandller {

namespace {

const char* const kDefaultPatterns[] = {"*.tmp", "*.gid", "*.swp", "*.chk"};

// Reads a whole file within the list file limit; false when it is missing, cannot be read or is
// too large.
bool ReadWhole(const std::string& path, std::string* content) {
    std::optional<std::string> read = platform::ReadListFile(path);
    if (!read) return false;
    *content = std::move(*read);
    return true;
}

}  // namespace

std::string PatternFile() { return platform::SettingsFile("Ext.txt"); }

bool IsValidPattern(const std::string& text) {
    return text.size() > 2 && text[0] == '*' && text[1] == '.';
}

std::vector<std::string> ReadLines() {
    std::vector<std::string> lines;
    std::string content;
    if (!ReadWhole(PatternFile(), &content)) return lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        size_t length = (end == std::string::npos ? content.size() : end) - start;
        if (length > 0 && content[start + length - 1] == '\r') --length;
        if (length <= platform::kMaxLineBytes) lines.emplace_back(content, start, length);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

std::string LoadPatternString() {
    std::string text;
    for (const std::string& line : ReadLines()) {
        if (!IsValidPattern(line)) continue;
        if (!text.empty()) text += ";";
        text += line;
    }
    return text;
}

bool AppendPattern(const std::string& pattern) { return platform::AppendLine(PatternFile(), pattern); }

bool WriteDefaultPatterns() {
    std::string content;
    for (const char* pattern : kDefaultPatterns) content += std::string(pattern) + "\r\n";
    return platform::ReplaceFileContents(PatternFile(), content);
}

bool RemovePattern(const std::string& line) {
    std::string original;
    if (!ReadWhole(PatternFile(), &original)) return false;
    // Kept lines are copied byte for byte, each with the line end it had.
    std::string kept;
    size_t start = 0;
    while (start < original.size()) {
        size_t end = original.find('\n', start);
        size_t next = end == std::string::npos ? original.size() : end + 1;
        size_t length = (end == std::string::npos ? original.size() : end) - start;
        if (length > 0 && original[start + length - 1] == '\r') --length;
        if (original.compare(start, length, line) != 0) kept.append(original, start, next - start);
        start = next;
    }
    return platform::ReplaceFileContents(PatternFile(), kept);
}

bool SendToRecycleBin(const std::string& path) {
    return !path.empty() && SendToRecycleBin(platform::paths::Widen(path));
}

bool SendToRecycleBin(const std::wstring& path) {
    // A file known by its path alone is reached from its own folder, opened once.
    const std::wstring longPath = platform::paths::LongPath(path);
    const size_t slash = longPath.find_last_of(L'\\');
    if (longPath.empty() || slash == std::wstring::npos) return false;
    return SendToRecycleBin(platform::fs::AnchorSearch(longPath.substr(0, slash + 1)), longPath);
}

bool SendToRecycleBin(const platform::fs::SearchAnchor& anchor, const std::wstring& path) {
    return platform::RecycleChosenFile(anchor, path);
}

}  // namespace bw::ExtentionHandller
