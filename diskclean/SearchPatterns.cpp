// Search entries, name matching, result lines and the summary of the disk cleaner.
#include "diskclean/SearchPatterns.h"

#include <cstdio>

namespace bw::diskclean {

namespace {
const char kSizeLabel[] = "   Size:";
const char kDateLabel[] = "   LastModyfied:";
}  // namespace

PatternEntry::Class PatternEntry::kind() const {
    if (LeadingStar && TrailingStar) return Class::Contains;
    if (LeadingStar) return Class::EndsWith;
    if (TrailingStar) return Class::StartsWith;
    return Class::ExactName;
}

std::string UpperAscii(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::vector<PatternEntry> ParsePatterns(const std::string& text) {
    std::vector<PatternEntry> entries;
    size_t start = 0;
    while (true) {
        size_t end = text.find(';', start);
        std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        PatternEntry entry;
        if (!part.empty() && part.front() == '*') {
            entry.LeadingStar = true;
            part.erase(0, 1);
        }
        if (!part.empty() && part.back() == '*') {
            entry.TrailingStar = true;
            part.pop_back();
        }
        entry.literal = part;
        entry.upper = UpperAscii(part);
        if (!entry.literal.empty()) entries.push_back(entry);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return entries;
}

bool NameMatches(const PatternEntry& entry, const std::string& upperName) {
    const std::string& lit = entry.upper;
    if (upperName.size() <= lit.size()) return false;
    switch (entry.kind()) {
    case PatternEntry::Class::Contains:
        return upperName.find(lit) != std::string::npos;
    case PatternEntry::Class::EndsWith:
        return upperName.compare(upperName.size() - lit.size(), lit.size(), lit) == 0;
    case PatternEntry::Class::StartsWith:
        return upperName.compare(0, lit.size(), lit) == 0;
    case PatternEntry::Class::ExactName:
        return false;
    }
    return false;
}

bool IsPlainFileName(const std::string& literal) {
    if (literal.empty() || literal == "." || literal == "..") return false;
    return literal.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

bool IsExcludedPath(const std::string& fullPath) {
    return UpperAscii(fullPath).find("WIN386.SWP") != std::string::npos ||
           fullPath.find("Recycled") != std::string::npos;
}

std::string WildcardLine(const std::string& fullPath, uint64_t size, const std::string& dateText) {
    const std::string bytes = std::to_string(size);
    std::string line;
    line.reserve(fullPath.size() + sizeof kSizeLabel + bytes.size() + sizeof kDateLabel + dateText.size());
    line += fullPath;
    line += kSizeLabel;
    line += bytes;
    line += kDateLabel;
    line += dateText;
    return line;
}

std::string PathOfResultLine(const std::string& line) {
    size_t label = line.rfind(kSizeLabel);
    return label == std::string::npos ? line : line.substr(0, label);
}

std::string SummaryText(uint64_t lines, const std::vector<PatternEntry>& entries, uint64_t totalBytes) {
    std::string counts;
    for (const PatternEntry& entry : entries)
        counts += "    " + entry.literal + " - " + std::to_string(entry.MatchCount);
    return std::to_string(lines) + "  Files Found  " + counts + "\r\nTotal size: " +
           DecimalText(static_cast<double>(totalBytes) / 1000.0) + "kb";
}

std::string DecimalText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::string EnsureTrailingSlash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

}  // namespace bw::diskclean
