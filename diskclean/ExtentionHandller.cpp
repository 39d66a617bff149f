// The pattern file "Ext.txt" and the recycle-bin request of the disk cleaner.
#include "diskclean/ExtentionHandller.h"

#include <fstream>
#include <sstream>

#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/ProgramDir.h"

namespace bw::ExtentionHandller {

namespace {

const char* const kDefaultPatterns[] = {"*.tmp", "*.gid", "*.swp", "*.chk"};

// Reads a whole file; false when it cannot be opened.
bool ReadWhole(const std::string& path, std::string* content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    *content = text.str();
    return true;
}

}  // namespace

std::string PatternFile() { return platform::ProgramFile("Ext.txt"); }
std::string ScratchFile() { return platform::ProgramFile("temp"); }

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
        std::string line = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
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

bool AppendPattern(const std::string& pattern) {
    std::string existing;
    const bool exists = ReadWhole(PatternFile(), &existing);
    std::ofstream out(PatternFile(), std::ios::binary | std::ios::app);
    if (!out) return false;
    if (exists && !existing.empty() && existing.back() != '\n') out << "\r\n";
    out << pattern << "\r\n";
    out.close();
    return !out.fail();
}

bool WriteDefaultPatterns() {
    std::string content;
    for (const char* pattern : kDefaultPatterns) content += std::string(pattern) + "\r\n";
    return platform::WriteFileFlushed(PatternFile(), content);
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
        std::string text = original.substr(start, (end == std::string::npos ? original.size() : end) - start);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text != line) kept += original.substr(start, next - start);
        start = next;
    }
    // A "temp" left by an earlier interrupted Remove goes first, read-only or not; its lines
    // are never looked at.
    const std::string scratch = ScratchFile();
    platform::fs::DeleteFileAt(scratch, true);
    if (!platform::WriteFileFlushed(scratch, kept)) {
        platform::fs::DeleteFileAt(scratch, true);
        return false;
    }
    if (!platform::ReplaceFileWith(scratch, PatternFile())) {
        platform::fs::DeleteFileAt(scratch, true);
        return false;
    }
    return true;
}

bool SendToRecycleBin(const std::string& path) {
    if (!platform::IsDeletableFileInPlace(path)) return false;
    platform::ShellRecycleFile(path);
    return true;
}

bool SendToRecycleBin(const std::wstring& path) {
    if (!platform::IsDeletableFileInPlace(path)) return false;
    platform::ShellRecycleFile(path);
    return true;
}

}  // namespace bw::ExtentionHandller
