// Reading winapp2.ini into compact rules, line by line, refusing what is malformed.
#include "engine/Winapp2.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <unordered_map>

#include "platform/LineFile.h"
#include "platform/RuleProbes.h"
#include "platform/Text.h"

namespace bw::winapp2 {

namespace {

using namespace std::string_view_literals;

// The most of an exclusion line that stopped its entry kept to show it (bytes).
constexpr size_t kMaxShownLine = 240;

constexpr std::string_view kVariableNames[] = {
    "LocalAppData", "AppData", "ProgramFiles", "ProgramData", "UserProfile", "WinDir", "SystemDrive",
    "CommonProgramFiles", "Public", "LocalLowAppData", "Temp", "Documents", "AllUsersProfile", "CommonAppData",
    "HomeDrive", "Music", "Pictures", "Video", "SystemRoot", "Tmp", "RootDir", "ProgramFiles(x86)", "ProgramW6432",
    "UserName"};
static_assert(kVariableNames[0] == "LocalAppData"sv);
static_assert(sizeof kVariableNames / sizeof *kVariableNames == static_cast<size_t>(Variable::Count));

struct HiveSpelling {
    std::string_view name;
    Hive hive;
};
constexpr HiveSpelling kHives[] = {
    {"HKCU", Hive::CurrentUser},   {"HKEY_CURRENT_USER", Hive::CurrentUser},
    {"HKLM", Hive::LocalMachine},  {"HKEY_LOCAL_MACHINE", Hive::LocalMachine},
    {"HKCR", Hive::ClassesRoot},   {"HKEY_CLASSES_ROOT", Hive::ClassesRoot},
    {"HKU", Hive::Users},          {"HKEY_USERS", Hive::Users},
    {"HKCC", Hive::CurrentConfig}, {"HKEY_CURRENT_CONFIG", Hive::CurrentConfig},
};

// The built-in groups LangSecRef numbers stand for.
struct Group {
    uint16_t number;
    const char* name;
};
constexpr Group kGroups[] = {
    {3001, "Internet Explorer"}, {3005, "Microsoft Edge"}, {3006, "Microsoft Edge"}, {3021, "Applications"},
    {3022, "Internet"},          {3023, "Multimedia"},     {3024, "Utilities"},      {3025, "Windows"},
    {3026, "Firefox"},           {3027, "Opera"},          {3028, "Safari"},         {3029, "Google Chrome"},
    {3030, "Thunderbird"},       {3031, "Windows Store"},  {3033, "Vivaldi"},        {3034, "Brave"},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(Lower(a[i])), y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// The name without a trailing "*" and the blanks before it.
std::string_view WithoutStar(std::string_view name) {
    name = Trim(name);
    if (!name.empty() && name.back() == '*') name = Trim(name.substr(0, name.size() - 1));
    return name;
}

// Character classes the parser asks about, one table lookup each.
enum : uint8_t { kControl = 1, kBadInFolder = 2, kWildcard = 4, kBadInPattern = 8, kNotDigit = 16 };
struct CharClasses {
    uint8_t of[256] = {};
    constexpr CharClasses() {
        for (int c = 0; c < 256; ++c) {
            if ((c < 0x20 && c != '\t') || c == 0x7F) of[c] |= kControl;
            if (c == ':' || c == '/' || c == '"' || c == '<' || c == '>') of[c] |= kBadInFolder;
            if (c == '*' || c == '?') of[c] |= kWildcard;
            if (c == '\\' || c == '/' || c == ':') of[c] |= kBadInPattern;
            if (c < '0' || c > '9') of[c] |= kNotDigit;
        }
    }
};
constexpr CharClasses kClasses;

bool Any(std::string_view s, uint8_t classes) {
    for (char c : s)
        if (kClasses.of[static_cast<unsigned char>(c)] & classes) return true;
    return false;
}

bool AllDigits(std::string_view s) { return !s.empty() && !Any(s, kNotDigit); }

// Parts of `s` split on `sep`: the first four kept, every one counted.
struct Parts {
    std::string_view part[4];
    size_t count = 0;
    size_t size() const { return count; }
    std::string_view operator[](size_t i) const { return part[i]; }
};
Parts SplitAt(std::string_view s, char sep) {
    Parts parts;
    size_t start = 0;
    for (;;) {
        const size_t at = s.find(sep, start);
        const std::string_view piece = s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
        if (parts.count < 4) parts.part[parts.count] = piece;
        ++parts.count;
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// True when `s` holds no control character and is valid UTF-8.
bool CleanText(std::string_view s, Refusal* why) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (kClasses.of[c] & kControl) return *why = Refusal::BinaryData, false;
            ++i;
            continue;
        }
        size_t extra;
        uint32_t cp;
        *why = Refusal::NotUtf8;
        if ((c & 0xE0) == 0xC0) extra = 1, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0) extra = 2, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0) extra = 3, cp = c & 0x07;
        else return false;
        if (i + extra >= s.size()) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// The value of a run of at most nine digits.
unsigned Number(std::string_view digits) {
    unsigned n = 0;
    for (char c : digits) n = n * 10 + static_cast<unsigned>(c - '0');
    return n;
}

bool FindVariable(std::string_view name, Variable* out) {
    for (size_t i = 0; i < static_cast<size_t>(Variable::Count); ++i)
        if (EqualNoCase(name, kVariableNames[i])) return *out = static_cast<Variable>(i), true;
    return false;
}

// "major.minor.build" with one to three parts, each digits only.
bool ParseVersion(std::string_view text, OsBound* out) {
    text = Trim(text);
    *out = {};
    if (text.empty()) return true;
    unsigned values[3] = {0, 0, 0};
    const Parts parts = SplitAt(text, '.');
    if (parts.size() > 3) return false;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!AllDigits(parts[i]) || parts[i].size() > 9) return false;
        values[i] = Number(parts[i]);
    }
    out->present = true;
    out->parts = static_cast<uint8_t>(parts.size());
    out->major = values[0];
    out->minor = values[1];
    out->build = values[2];
    return true;
}

enum class Family : uint8_t {
    Detect, DetectFile, DetectOS, SpecialDetect, FileKey, RegKey, ExcludeKey, LangSecRef, Section, Warning,
    Default, Unknown
};

struct FamilyName {
    std::string_view name;
    Family family;
    bool numbered;  // may carry digits
};
constexpr FamilyName kFamilies[] = {
    {"detect", Family::Detect, true},           {"detectfile", Family::DetectFile, true},
    {"detectos", Family::DetectOS, false},      {"specialdetect", Family::SpecialDetect, false},
    {"filekey", Family::FileKey, true},         {"regkey", Family::RegKey, true},
    {"excludekey", Family::ExcludeKey, true},   {"langsecref", Family::LangSecRef, false},
    {"section", Family::Section, false},        {"warning", Family::Warning, false},
    {"default", Family::Default, false},
};

}  // namespace

const char* VariableName(Variable v) {
    return v < Variable::Count ? kVariableNames[static_cast<size_t>(v)].data() : "";
}

const char* HiveName(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot: return "HKCR";
        case Hive::CurrentUser: return "HKCU";
        case Hive::LocalMachine: return "HKLM";
        case Hive::Users: return "HKU";
        case Hive::CurrentConfig: return "HKCC";
    }
    return "";
}

const char* RefusalText(Refusal reason) {
    switch (reason) {
        case Refusal::NotUtf8: return "not UTF-8 text";
        case Refusal::BinaryData: return "binary data";
        case Refusal::OverlongLine: return "line too long";
        case Refusal::BadSection: return "malformed entry name";
        case Refusal::DuplicateEntry: return "duplicate entry";
        case Refusal::TooManyEntries: return "too many entries";
        case Refusal::OutsideEntry: return "key outside any entry";
        case Refusal::NotAKey: return "not a key=value line";
        case Refusal::UnknownKey: return "unknown key";
        case Refusal::DuplicateKey: return "duplicate key";
        case Refusal::EmptyValue: return "empty value";
        case Refusal::NoVariable: return "path does not start with a variable";
        case Refusal::UnknownVariable: return "unknown variable";
        case Refusal::UndefinedVariable: return "variable not defined on this computer";
        case Refusal::BadPath: return "malformed path";
        case Refusal::NoPattern: return "no file name pattern";
        case Refusal::BadPattern: return "malformed pattern";
        case Refusal::UnknownFlag: return "unknown flag";
        case Refusal::TooManyParts: return "too many | parts";
        case Refusal::UnknownHive: return "unknown registry hive";
        case Refusal::HiveRoot: return "names a whole registry hive";
        case Refusal::BadRegistryPath: return "malformed registry path";
        case Refusal::UnknownExclusion: return "unknown exclusion kind";
        case Refusal::BadNumber: return "not a number";
        case Refusal::FileTooLarge: return "file too large";
    }
    return "";
}

std::string Rules::GroupName(const Entry& e) const {
    for (const Group& g : kGroups)
        if (g.number == e.langSecRef) return g.name;
    if (e.section.size) return std::string(Text(e.section));
    if (e.langSecRef) return std::to_string(e.langSecRef);
    return "Other Applications";
}

size_t Rules::Find(std::string_view name) const {
    const std::string_view wanted = WithoutStar(name);
    auto it = std::lower_bound(byName_.begin(), byName_.end(), wanted, [&](uint32_t index, std::string_view w) {
        return CompareNoCase(TickName(entries[index]), w) < 0;
    });
    if (it != byName_.end() && CompareNoCase(TickName(entries[*it]), wanted) == 0) return *it;
    return entries.size();
}

size_t Rules::MemoryBytes() const {
    return sizeof *this + text_.capacity() + entries.capacity() * sizeof(Entry) + keys.capacity() * sizeof(Key) +
           patterns.capacity() * sizeof(TextSpan) + refused.capacity() * sizeof(RefusedLine) +
           byName_.capacity() * sizeof(uint32_t);
}

class Parser {
public:
    Parser(std::string_view text, VariableSet defined) : input_(text), defined_(defined) {}

    Rules Run() {
        if (input_.size() >= 3 && std::memcmp(input_.data(), "\xEF\xBB\xBF", 3) == 0) input_.remove_prefix(3);
        const size_t lines = static_cast<size_t>(std::count(input_.begin(), input_.end(), '\n')) + 1;
        rules_.text_.reserve(input_.size() / 2);
        seen_.reserve(8192);
        rules_.keys.reserve(std::min(lines, size_t{1} << 16));
        rules_.patterns.reserve(std::min(lines, size_t{1} << 16));
        uint32_t number = 0;
        size_t start = 0;
        while (start < input_.size()) {
            // CR LF, LF and a lone CR each end a line.
            const char* from = input_.data() + start;
            const size_t left = input_.size() - start;
            const char* lf = static_cast<const char*>(std::memchr(from, '\n', left));
            size_t length = lf ? static_cast<size_t>(lf - from) : left;
            size_t next = start + length + 1;
            if (const char* cr = static_cast<const char*>(std::memchr(from, '\r', length))) {
                if (cr + 1 != from + length) next = start + static_cast<size_t>(cr - from) + 1;  // a lone CR
                length = static_cast<size_t>(cr - from);
            }
            Line(++number, input_.substr(start, length));
            start = next;
        }
        CloseEntry();
        rules_.lineCount = number;
        rules_.status = rules_.entries.empty() ? FileStatus::Empty : FileStatus::Read;
        rules_.keys.shrink_to_fit();
        rules_.patterns.shrink_to_fit();
        rules_.text_.shrink_to_fit();
        rules_.entries.shrink_to_fit();
        rules_.byName_.reserve(rules_.entries.size());
        for (uint32_t i = 0; i < rules_.entries.size(); ++i) rules_.byName_.push_back(i);
        std::sort(rules_.byName_.begin(), rules_.byName_.end(), [&](uint32_t a, uint32_t b) {
            return CompareNoCase(rules_.TickName(rules_.entries[a]), rules_.TickName(rules_.entries[b])) < 0;
        });
        return std::move(rules_);
    }

private:
    void Refuse(Refusal reason) {
        ++rules_.refusedCount;
        if (rules_.refused.size() < kMaxRefusalsKept) rules_.refused.push_back({line_, reason});
        if (exclusionLine_ && inEntry_ && !rules_.entries.back().refusedExclusion) RefuseEntry(reason);
    }

    // An exclusion that cannot be read leaves unknown what the entry meant to keep: the entry is
    // not run, and shows the line that stopped it.
    void RefuseEntry(Refusal reason) {
        Entry& e = rules_.entries.back();
        e.refusedExclusion = line_;
        e.exclusionReason = reason;
        if (reason == Refusal::NotUtf8 || reason == Refusal::BinaryData) return;
        std::string_view shown = lineText_;
        if (shown.size() > kMaxShownLine) {
            shown = shown.substr(0, kMaxShownLine);
            while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80) shown.remove_suffix(1);
            if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0) shown.remove_suffix(1);
        }
        e.exclusionText = Store(shown);
    }

    TextSpan Store(std::string_view s) {
        TextSpan span{static_cast<uint32_t>(rules_.text_.size()), static_cast<uint32_t>(s.size())};
        rules_.text_.append(s.data(), s.size());
        return span;
    }

    void Line(uint32_t number, std::string_view raw) {
        line_ = number;
        lineText_ = Trim(raw);
        exclusionLine_ = lineText_.size() >= 10 && EqualNoCase(lineText_.substr(0, 10), "ExcludeKey");
        if (raw.size() > kMaxLineBytes) return Refuse(Refusal::OverlongLine);
        const std::string_view line = lineText_;
        if (line.empty()) return;
        Refusal why;
        if (!CleanText(line, &why)) return Refuse(why);
        if (line[0] == ';' || line[0] == '#') return;
        if (line[0] == '[') return SectionLine(line);
        if (!inEntry_) return skipping_ ? void() : Refuse(Refusal::OutsideEntry);
        KeyLine(line);
    }

    void SectionLine(std::string_view line) {
        CloseEntry();
        skipping_ = true;  // until this entry is accepted, its keys are dropped with it
        if (line.back() != ']') return Refuse(Refusal::BadSection);
        const std::string_view name = Trim(line.substr(1, line.size() - 2));
        const std::string_view tick = WithoutStar(name);
        if (tick.empty()) return Refuse(Refusal::BadSection);
        std::string folded(tick);
        for (char& c : folded) c = Lower(c);
        if (!seen_.emplace(std::move(folded), line_).second) return Refuse(Refusal::DuplicateEntry);
        if (rules_.entries.size() >= kMaxEntries) return Refuse(Refusal::TooManyEntries);
        skipping_ = false;
        inEntry_ = true;
        Entry e;
        e.name = Store(name);
        e.tickName = TextSpan{e.name.offset, static_cast<uint32_t>(tick.size())};
        e.line = line_;
        e.firstKey = static_cast<uint32_t>(rules_.keys.size());
        rules_.entries.push_back(e);
        for (uint32_t id : keyNames_) keySeen_[id] = false;
        keyNames_.clear();
    }

    void CloseEntry() {
        if (!inEntry_) return;
        Entry& e = rules_.entries.back();
        e.keyCount = static_cast<uint32_t>(rules_.keys.size()) - e.firstKey;
        inEntry_ = false;
    }

    void KeyLine(std::string_view line) {
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return Refuse(Refusal::NotAKey);
        const std::string_view name = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        size_t letters = 0;
        while (letters < name.size() && ((name[letters] | 0x20) >= 'a' && (name[letters] | 0x20) <= 'z')) ++letters;
        const std::string_view word = name.substr(0, letters), digits = name.substr(letters);
        if (digits.size() > 4 || Any(digits, kNotDigit)) return Refuse(Refusal::UnknownKey);
        const FamilyName* family = nullptr;
        for (const FamilyName& f : kFamilies)
            if (EqualNoCase(word, f.name)) family = &f;
        if (!family || (!digits.empty() && !family->numbered)) return Refuse(Refusal::UnknownKey);
        const uint32_t number = Number(digits);
        // Same family and same number (or both unnumbered): the later line is the duplicate. A
        // repeated FileKey, RegKey or detection line is dropped alone (the entry loses a target
        // or a way to be detected, never gains one); a repeated ExcludeKey stops its entry.
        const uint32_t id = static_cast<uint32_t>(family->family) * 10001 + (digits.empty() ? 10000 : number);
        if (keySeen_[id]) return Refuse(Refusal::DuplicateKey);
        keySeen_[id] = true;
        keyNames_.push_back(id);
        Entry& e = rules_.entries.back();
        if (family->family == Family::Detect || family->family == Family::DetectFile ||
            family->family == Family::SpecialDetect)
            e.wroteDetection = true;
        if (value.empty()) return Refuse(Refusal::EmptyValue);

        Key key;
        key.line = line_;
        mark_ = {rules_.text_.size(), rules_.patterns.size()};
        key.number = static_cast<uint16_t>(number);
        switch (family->family) {
            case Family::Detect:
                key.kind = KeyKind::Detect;
                return Accept(Registry(value, &key), key);
            case Family::DetectFile:
                key.kind = KeyKind::DetectFile;
                return Accept(Path(value, &key), key);
            case Family::FileKey:
                key.kind = KeyKind::FileKey;
                return Accept(FileKey(value, &key), key);
            case Family::RegKey:
                key.kind = KeyKind::RegKey;
                return Accept(Registry(value, &key), key);
            case Family::ExcludeKey:
                return Accept(ExcludeKey(value, &key), key);
            case Family::DetectOS: {
                const Parts parts = SplitAt(value, '|');
                if (parts.size() > 2) return Refuse(Refusal::TooManyParts);
                if (!ParseVersion(parts[0], &e.osMin) ||
                    !ParseVersion(parts.size() > 1 ? parts[1] : std::string_view(), &e.osMax) ||
                    (!e.osMin.present && !e.osMax.present))
                    return Refuse(Refusal::BadNumber);
                e.hasDetectOS = true;
                return;
            }
            case Family::SpecialDetect: e.specialDetect = Store(value); return;
            case Family::LangSecRef: {
                if (value.size() > 5 || !AllDigits(value)) return Refuse(Refusal::BadNumber);
                const unsigned n = Number(value);
                if (n == 0 || n > 65535) return Refuse(Refusal::BadNumber);
                e.langSecRef = static_cast<uint16_t>(n);
                return;
            }
            case Family::Section: e.section = Store(value); return;
            case Family::Warning: e.warning = Store(value); return;
            case Family::Default: return;  // every community entry starts unticked, whatever it says
            case Family::Unknown: return Refuse(Refusal::UnknownKey);
        }
    }

    void Accept(std::optional<Refusal> refusal, const Key& key) {
        if (refusal) {
            // Text and patterns stored for a key that is then refused go again.
            rules_.text_.resize(mark_.first);
            rules_.patterns.resize(mark_.second);
            return Refuse(*refusal);
        }
        rules_.keys.push_back(key);
    }

    // HIVE\Key[|value] (Detect, RegKey, REG exclusions) into key->hive, text and value. With
    // `fold` (an exclusion), doubled backslashes read as one.
    std::optional<Refusal> Registry(std::string_view value, Key* key, bool fold = false) {
        const Parts parts = SplitAt(value, '|');
        if (parts.size() > 2) return Refusal::TooManyParts;
        std::string_view path = Trim(parts[0]);
        const size_t slash = path.find('\\');
        const std::string_view hiveText = path.substr(0, slash);
        const HiveSpelling* hive = nullptr;
        for (const HiveSpelling& h : kHives)
            if (EqualNoCase(hiveText, h.name)) hive = &h;
        if (!hive) return Refusal::UnknownHive;
        std::string_view subkey = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        std::string folded;
        if (fold) {
            for (char c : subkey)
                if (c != '\\' || (!folded.empty() && folded.back() != '\\')) folded += c;
            subkey = folded;
        }
        while (!subkey.empty() && subkey.back() == '\\') subkey.remove_suffix(1);
        if (subkey.empty()) return Refusal::HiveRoot;
        if (subkey.front() == '\\' || subkey.find("\\\\") != std::string_view::npos) return Refusal::BadRegistryPath;
        key->hive = hive->hive;
        if (parts.size() == 2) {
            if (parts[1].empty()) return Refusal::BadRegistryPath;
            key->hasValue = true;
            key->value = Store(parts[1]);
        }
        key->text = Store(subkey);
        return std::nullopt;
    }

    // %Variable%[\folder...] into key->variable and key->text. With `fold` (an exclusion), "/"
    // reads as "\" and empty, "." and ".." folders fold away as Windows folds them in a path; a
    // ".." above the variable's folder is refused.
    std::optional<Refusal> Path(std::string_view value, Key* key, bool fold = false) {
        value = Trim(value);
        if (value.size() < 2 || value[0] != '%') return Refusal::NoVariable;
        const size_t close = value.find('%', 1);
        if (close == std::string_view::npos) return Refusal::NoVariable;
        const std::string_view name = value.substr(1, close - 1);
        if (name.find('\\') != std::string_view::npos) return Refusal::NoVariable;
        Variable variable;
        if (!FindVariable(name, &variable)) return Refusal::UnknownVariable;
        if (variable == Variable::UserName) return Refusal::NoVariable;  // a name, not a folder
        if (!(defined_ & Bit(variable))) return Refusal::UndefinedVariable;
        std::string_view rest = value.substr(close + 1);
        std::string folded;
        if (fold && !rest.empty() && (rest[0] == '\\' || rest[0] == '/')) {
            folded.reserve(rest.size());
            for (size_t start = 0; start <= rest.size();) {
                size_t end = rest.find_first_of("\\/", start);
                if (end == std::string_view::npos) end = rest.size();
                const std::string_view folder = rest.substr(start, end - start);
                start = end + 1;
                if (folder.empty() || folder == ".") continue;
                if (folder == "..") {
                    if (folded.empty()) return Refusal::BadPath;
                    folded.resize(folded.rfind('\\'));
                    continue;
                }
                folded += '\\';
                folded += folder;
            }
            rest = folded;
        }
        if (!rest.empty() && rest[0] != '\\') return Refusal::BadPath;
        while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
        bool wildcard = false;
        for (size_t start = 1; start <= rest.size();) {
            size_t end = rest.find('\\', start);
            if (end == std::string_view::npos) end = rest.size();
            const std::string_view folder = rest.substr(start, end - start);
            start = end + 1;
            if (folder.empty() || folder == "." || folder == "..") return Refusal::BadPath;
            if (Any(folder, kBadInFolder)) return Refusal::BadPath;
            if (folder.find('%') != std::string_view::npos) {
                if (!EqualNoCase(folder, "%UserName%")) return Refusal::BadPath;
                if (!(defined_ & Bit(Variable::UserName))) return Refusal::UndefinedVariable;
            }
            if (Any(folder, kWildcard)) wildcard = true;
        }
        key->variable = variable;
        key->pathHasWildcard = wildcard;
        key->text = Store(rest);
        return std::nullopt;
    }

    // name;name;... into the pattern list of `key`.
    std::optional<Refusal> Patterns(std::string_view value, Key* key) {
        key->firstPattern = static_cast<uint32_t>(rules_.patterns.size());
        size_t count = 0;
        for (size_t start = 0; start <= value.size(); ++count) {
            size_t end = value.find(';', start);
            if (end == std::string_view::npos) end = value.size();
            const std::string_view p = Trim(value.substr(start, end - start));
            start = end + 1;
            if (p.empty() || Any(p, kBadInPattern) || count >= 0xFFFF) return Refusal::BadPattern;
            rules_.patterns.push_back(Store(p));
        }
        key->patternCount = static_cast<uint16_t>(count);
        return std::nullopt;
    }

    std::optional<Refusal> FileKey(std::string_view value, Key* key) {
        const Parts parts = SplitAt(value, '|');
        if (parts.size() > 3) return Refusal::TooManyParts;
        if (parts.size() == 1) return Refusal::NoPattern;
        const std::string_view patterns = Trim(parts[1]);
        if (patterns.empty() || EqualNoCase(patterns, "RECURSE") || EqualNoCase(patterns, "REMOVESELF"))
            return Refusal::NoPattern;
        if (parts.size() == 3) {
            const std::string_view flag = Trim(parts[2]);
            if (EqualNoCase(flag, "RECURSE")) key->flag = Flag::Recurse;
            else if (EqualNoCase(flag, "REMOVESELF")) key->flag = Flag::RemoveSelf;
            else if (!flag.empty()) return Refusal::UnknownFlag;
        }
        if (auto refusal = Path(parts[0], key)) return refusal;
        return Patterns(patterns, key);
    }

    std::optional<Refusal> ExcludeKey(std::string_view value, Key* key) {
        const Parts parts = SplitAt(value, '|');
        const std::string_view kind = Trim(parts[0]);
        if (EqualNoCase(kind, "REG")) {
            key->kind = KeyKind::ExcludeReg;
            if (parts.size() < 2) return Refusal::HiveRoot;
            if (parts.size() > 3) return Refusal::TooManyParts;
            return Registry(value.substr(parts[0].size() + 1), key, true);
        }
        const bool file = EqualNoCase(kind, "FILE");
        if (!file && !EqualNoCase(kind, "PATH")) return Refusal::UnknownExclusion;
        if (parts.size() > 3) return Refusal::TooManyParts;
        if (parts.size() < 2) return Refusal::NoVariable;
        std::string_view folder = Trim(parts[1]);
        std::string_view names = parts.size() == 3 ? Trim(parts[2]) : std::string_view();
        if (file) {
            key->kind = KeyKind::ExcludeFile;
            if (parts.size() == 2) {  // FILE|folder\name; FILE|folder\ names no file
                const size_t slash = folder.rfind('\\');
                if (slash == std::string_view::npos) return Refusal::NoPattern;
                names = folder.substr(slash + 1);
                folder = folder.substr(0, slash);
            }
            if (names.empty()) return Refusal::NoPattern;
        } else {
            key->kind = KeyKind::ExcludePath;
        }
        if (auto refusal = Path(folder, key, true)) return refusal;
        if (names.empty()) return std::nullopt;
        return Patterns(names, key);
    }

    std::string_view input_;
    VariableSet defined_;
    Rules rules_;
    uint32_t line_ = 0;
    std::string_view lineText_;   // the current line, trimmed
    bool exclusionLine_ = false;  // it is written as an ExcludeKey
    bool inEntry_ = false;
    bool skipping_ = false;
    std::unordered_map<std::string, uint32_t> seen_;
    // The key names met in the current entry (family and number), to refuse a repeated one.
    std::vector<uint32_t> keyNames_;
    std::vector<bool> keySeen_ = std::vector<bool>(static_cast<size_t>(Family::Unknown) * 10001);
    std::pair<size_t, size_t> mark_;  // sizes of the text and the pattern list before a key
};

Rules ParseRules(std::string_view text, VariableSet defined) { return Parser(text, defined).Run(); }

Rules LoadRules(const std::string& path, VariableSet defined) {
    std::string content;
    uint64_t size = 0;
    Rules rules;
    switch (platform::probe::ReadWholeFile(path, kMaxRulesFileBytes, &content, &size)) {
        case platform::probe::ReadStatus::Read: return ParseRules(content, defined);
        case platform::probe::ReadStatus::Missing: rules.status = FileStatus::Missing; return rules;
        case platform::probe::ReadStatus::Unreadable: rules.status = FileStatus::Unreadable; return rules;
        case platform::probe::ReadStatus::TooLarge:
            rules.status = FileStatus::TooLarge;
            rules.refused.push_back({0, Refusal::FileTooLarge});
            rules.refusedCount = 1;
            return rules;
    }
    return rules;
}

namespace {

wchar_t Fold(wchar_t c) {
    if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    return platform::probe::UpperChar(c);
}

}  // namespace

bool MatchesName(std::wstring_view pattern, std::wstring_view name) {
    if (pattern == L"*.*") return true;
    size_t p = 0, n = 0;
    size_t starP = std::wstring_view::npos, starN = 0;
    // Greedy with one back-track point (the last star): a later star only ever needs the text
    // after the earlier star's match, so the walk never goes back further.
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

std::wstring Utf8ToWide(std::string_view text) { return platform::text::ToWide(std::string(text), CP_UTF8); }

std::string WideToUtf8(std::wstring_view text) { return platform::text::FromWide(text.data(), text.size(), CP_UTF8); }

namespace {

std::vector<std::string> CleanTicks(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    for (const std::string& raw : names) {
        const std::string_view name = WithoutStar(raw);
        if (name.empty()) continue;
        std::string folded(name);
        for (char& c : folded) c = Lower(c);
        if (seen.insert(std::move(folded)).second) out.emplace_back(name);
    }
    return out;
}

}  // namespace

std::vector<std::string> ReadTicks(const std::string& path) {
    std::optional<std::vector<std::string>> lines = platform::ReadLines(path);
    return lines ? CleanTicks(*lines) : std::vector<std::string>();
}

bool WriteTicks(const std::string& path, const std::vector<std::string>& names) {
    return platform::WriteLines(path, CleanTicks(names));
}

}  // namespace bw::winapp2
