// Windows profile (INI) files: read with the system's profile functions, written whole.
#include "platform/Profile.h"

#include <vector>

#include "platform/LineFile.h"
#include "platform/Text.h"

namespace bw::platform::profile {

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";

// The characters the profile functions take for blanks around names and values (Ctrl+Z too,
// the end mark of old text files).
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A; }

std::string Trim(const std::string& text, size_t begin, size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Names compared as the profile functions compare them: in UTF-16, each character by its
// simple lower case (not lstrcmpi, whose word sort takes "co-op" for "coop").
std::wstring Folded(const std::string& name, UINT codePage) {
    std::wstring wide = text::ToWide(name, codePage);
    if (!wide.empty()) CharLowerBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return wide;
}

struct Line {
    size_t begin;  // first character
    size_t end;    // the character after the last one, before the line end
    size_t next;   // the start of the next line (after CR LF, a lone CR or a lone LF)
};

std::vector<Line> SplitLines(const std::string& text, size_t start) {
    std::vector<Line> lines;
    size_t begin = start;
    while (begin < text.size()) {
        size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string::npos) end = text.size();
        size_t next = end;
        if (next < text.size()) next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2u : 1u;
        lines.push_back({begin, end, next});
        begin = next;
    }
    return lines;
}

// The section name of a header line ("[" ... the last "]"), nullopt for any other line.
std::optional<std::string> SectionName(const std::string& text, const Line& line) {
    std::string trimmed = Trim(text, line.begin, line.end);
    if (trimmed.empty() || trimmed[0] != '[') return std::nullopt;
    const size_t close = trimmed.find_last_of(']');
    if (close == std::string::npos || close == 0) return std::nullopt;
    return Trim(trimmed, 1, close);
}

bool EndsWithLineEnd(const std::string& text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

}  // namespace

std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& def, DWORD bufferSize) {
    if (bufferSize == 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(bufferSize) + 1, '\0');
    DWORD copied = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                            buffer.data(), bufferSize, file.c_str());
    if (copied > bufferSize - 1) copied = bufferSize - 1;
    return std::string(buffer.data(), copied);
}

std::optional<std::string> ReadForEdit(const std::string& file) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return std::string();
        return std::nullopt;  // a missing folder, no access: nothing to write into either
    }
    std::optional<std::string> text = ReadListFile(file);
    if (!text) return std::nullopt;
    if (text->size() >= 2 && (text->compare(0, 2, "\xFF\xFE") == 0 || text->compare(0, 2, "\xFE\xFF") == 0))
        return std::nullopt;
    return text;
}

bool SetValue(std::string* text, const std::string& section, const std::string& key, const std::string& value) {
    const bool utf8 = text->compare(0, 3, kUtf8Mark) == 0;
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    // The caller's names and value are in the code page; a UTF-8 file gets them in UTF-8.
    auto inFile = [&](const std::string& s) { return utf8 ? text::FromWide(text::ToWide(s), CP_UTF8) : s; };
    const std::string sectionName = inFile(Trim(section, 0, section.size()));
    const std::string keyName = inFile(Trim(key, 0, key.size()));
    size_t valueStart = 0;
    while (valueStart < value.size() && IsBlank(value[valueStart])) ++valueStart;
    const std::string stored = inFile(value.substr(valueStart));
    if (sectionName.empty() || keyName.empty()) return false;

    const std::wstring wantedSection = Folded(sectionName, codePage);
    const std::wstring wantedKey = Folded(keyName, codePage);
    bool inSection = false;
    bool sectionFound = false;
    size_t insertAt = std::string::npos;  // after the section's last line that is not blank
    for (const Line& line : SplitLines(*text, utf8 ? 3 : 0)) {
        if (Trim(*text, line.begin, line.end).empty()) continue;
        if (std::optional<std::string> name = SectionName(*text, line)) {
            if (inSection) break;  // only the first section of that name counts
            inSection = Folded(*name, codePage) == wantedSection;
            sectionFound = sectionFound || inSection;
            if (inSection) insertAt = line.next;
            continue;
        }
        if (!inSection) continue;
        insertAt = line.next;
        const size_t equals = text->find('=', line.begin);
        const bool hasValue = equals != std::string::npos && equals < line.end;
        const std::string name = Trim(*text, line.begin, hasValue ? equals : line.end);
        if (Folded(name, codePage) != wantedKey) continue;
        if (hasValue && Trim(*text, equals + 1, line.end) == stored) return false;
        text->replace(line.begin, line.end - line.begin, name + "=" + stored);
        return true;
    }
    std::string added = sectionFound ? std::string() : "[" + sectionName + "]\r\n";
    added += keyName + "=" + stored + "\r\n";
    if (!sectionFound || insertAt == std::string::npos) insertAt = text->size();
    // A last line without its end gets one, so the new line never joins it.
    if (insertAt == text->size() && !text->empty() && !EndsWithLineEnd(*text) && *text != kUtf8Mark) added = "\r\n" + added;
    text->insert(insertAt, added);
    return true;
}

bool WriteWhole(const std::string& file, const std::string& text) { return ReplaceFileContents(file, text); }

bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    if (Trim(section, 0, section.size()).empty() || Trim(key, 0, key.size()).empty()) return false;
    std::optional<std::string> text = ReadForEdit(file);
    if (!text) return false;
    if (!SetValue(&*text, section, key, value)) return true;  // the value is there already
    return WriteWhole(file, *text);
}

}  // namespace bw::platform::profile
