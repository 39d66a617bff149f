// Reading and writing the settings file one key at a time, and the on/off rules.
#include "settings/Inifun.h"

#include <charconv>
#include <memory>

#include "platform/Profile.h"

namespace bw::Inifun {

namespace {

constexpr unsigned kValueField = 128;  // characters; a read returns at most one fewer

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The open batch of this thread: the file's text with the writes gathered so far.
struct Pending {
    std::string file;
    std::optional<std::string> text;  // nullopt: unreadable, writes go one by one
    bool changed = false;
};

thread_local Pending* openBatch = nullptr;

void WritePending(Pending& pending) {
    // A refused write keeps the old file; the settings file has no one to report to.
    if (pending.changed && pending.text) platform::profile::WriteWhole(pending.file, *pending.text);
    pending.changed = false;
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key) {
    if (openBatch && openBatch->file == file) WritePending(*openBatch);
    std::string value = platform::profile::GetString(file, section, key, "", kValueField);
    const size_t nul = value.find('\0');
    if (nul != std::string::npos) value.erase(nul);
    const size_t first = value.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    const size_t last = value.find_last_not_of(' ');
    return value.substr(first, last - first + 1);
}

void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    std::string stored = value.substr(0, kValueField);
    const size_t end = stored.find_first_of(std::string("\0\r\n", 3));
    if (end != std::string::npos) stored.erase(end);
    if (openBatch && openBatch->file == file && openBatch->text) {
        openBatch->changed = platform::profile::SetValue(&*openBatch->text, section, key, stored) || openBatch->changed;
        return;
    }
    // A refused write keeps the old value; the settings file has no one to report to.
    platform::profile::WriteString(file, section, key, stored);
}

SaveBatch::SaveBatch(const std::string& file) {
    if (openBatch) return;
    openBatch = new Pending{file, platform::profile::ReadForEdit(file), false};
    owner_ = true;
}

SaveBatch::~SaveBatch() {
    if (!owner_) return;
    std::unique_ptr<Pending> pending(openBatch);
    openBatch = nullptr;
    WritePending(*pending);
}

bool IsOnByText(const std::string& text) { return text == "1"; }

std::optional<double> ReadsAsNumber(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;

    // Check the shape by hand: from_chars alone would accept a prefix ("1a") and hexadecimal
    // forms, and refuses a leading "+".
    size_t pos = begin;
    bool negative = false;
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const size_t numberStart = pos;
    size_t digits = 0;
    while (pos < end && IsDigit(text[pos])) ++pos, ++digits;
    if (pos < end && text[pos] == '.') {
        ++pos;
        while (pos < end && IsDigit(text[pos])) ++pos, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (pos < end && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < end && (text[pos] == '+' || text[pos] == '-')) ++pos;
        size_t exponentDigits = 0;
        while (pos < end && IsDigit(text[pos])) ++pos, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (pos != end) return std::nullopt;

    // from_chars reads in the "C" form whatever the locale.
    double value = 0;
    const char* first = text.data() + numberStart;
    const char* last = text.data() + end;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
    return negative ? -value : value;
}

bool IsOnByNumber(const std::string& text) {
    const std::optional<double> number = ReadsAsNumber(text);
    return number && *number == 1.0;
}

}  // namespace bw::Inifun
