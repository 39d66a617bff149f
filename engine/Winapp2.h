// The community cleaning rules (winapp2.ini): the file read into compact rules, every line that
// is refused and why, the name matcher the rules use, and the list of ticked entries (rules.dat).
// Nothing here touches the computer beyond reading files; detection and the targets a rule
// resolves to on this computer live in Winapp2Scan.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bw::winapp2 {

// The folder variables a rule path may start with (%LocalAppData%...), plus %UserName%, the one
// that stands for a folder name inside a path. Names compare without regard to case.
enum class Variable : uint8_t {
    LocalAppData, AppData, ProgramFiles, ProgramData, UserProfile, WinDir, SystemDrive,
    CommonProgramFiles, Public, LocalLowAppData, Temp, Documents, AllUsersProfile, CommonAppData,
    HomeDrive, Music, Pictures, Video, SystemRoot, Tmp, RootDir, ProgramFilesX86, ProgramW6432,
    UserName,
    Count
};
// The name as rules write it ("LocalAppData", "ProgramFiles(x86)").
const char* VariableName(Variable v);
// A set of variables, one bit each.
using VariableSet = uint32_t;
constexpr VariableSet kAllVariables = (1u << static_cast<unsigned>(Variable::Count)) - 1;
constexpr VariableSet Bit(Variable v) { return 1u << static_cast<unsigned>(v); }

enum class Hive : uint8_t { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };
// "HKCU", "HKLM"...
const char* HiveName(Hive hive);

enum class Flag : uint8_t { None, Recurse, RemoveSelf };

enum class KeyKind : uint8_t {
    Detect,       // registry key (and value) whose presence detects the entry
    DetectFile,   // file or folder whose presence detects the entry
    FileKey,      // folder, name patterns and flag of files to erase
    RegKey,       // registry key, or one value of it, to erase
    ExcludeFile,  // ExcludeKey FILE|folder\|names: files of that folder to keep
    ExcludePath,  // ExcludeKey PATH|folder\[|names]: files of that folder and below to keep
    ExcludeReg,   // ExcludeKey REG|key[|value]: a key and everything below it to keep
};

// A piece of the rules' own text (Rules::Text).
struct TextSpan {
    uint32_t offset = 0;
    uint32_t size = 0;
};

// One accepted key line. A path (DetectFile, FileKey, ExcludeFile, ExcludePath) is `variable`
// plus `text`: empty, or "\Folder\Sub*" with single backslashes, no trailing backslash, no "."
// or ".." folder, `*` and `?` allowed in any folder, and %UserName% as a whole folder name. A
// registry key is `hive` plus `text` ("Software\Vendor", never empty), and `value` when the
// line names a value. An exclusion's path is read as Windows reads a path ("/" and doubled
// backslashes as one, "." and ".." folded; "\\" in a REG key as one), so every spelling of
// what it keeps is kept; a rule that removes is refused for such a spelling.
struct Key {
    uint32_t line = 0;      // 1-based line in the file
    uint16_t number = 0;    // the digits after the key name (FileKey7 -> 7); 0 when none
    KeyKind kind = KeyKind::FileKey;
    Flag flag = Flag::None;
    Variable variable = Variable::Count;
    Hive hive = Hive::CurrentUser;
    bool hasValue = false;
    bool pathHasWildcard = false;  // a folder of the path holds * or ?
    TextSpan text;
    TextSpan value;
    uint32_t firstPattern = 0;   // into Rules::patterns; FileKey, ExcludeFile, ExcludePath
    uint16_t patternCount = 0;   // 0 for ExcludePath means the whole folder
};

// Windows versions as "major.minor[.build]"; parts left out match any value.
struct OsBound {
    bool present = false;
    uint8_t parts = 0;
    unsigned major = 0, minor = 0, build = 0;
};

enum class Refusal : uint8_t;

struct Entry {
    TextSpan name;           // as written between the brackets, trailing " *" included
    TextSpan tickName;       // the name without its trailing " *": how rules.dat names it
    uint32_t line = 0;
    uint16_t langSecRef = 0;  // 0 when absent
    TextSpan section;        // Section=, may be empty
    TextSpan warning;        // Warning=, may be empty
    TextSpan specialDetect;  // SpecialDetect=, may be empty
    OsBound osMin, osMax;    // DetectOS=min|max
    bool hasDetectOS = false;
    // True when the entry wrote any detection line (Detect, DetectFile, SpecialDetect), even
    // if every one of them was refused: such an entry is never taken as "no detection".
    bool wroteDetection = false;
    // The first exclusion line of the entry that could not be read (malformed, or an ExcludeKey
    // number used twice): what the entry meant to keep is unknown, so it is never run. 0: none.
    uint32_t refusedExclusion = 0;
    Refusal exclusionReason{};
    TextSpan exclusionText;  // that line as written, shortened; empty when it is not text
    uint32_t firstKey = 0;  // into Rules::keys, in file order
    uint32_t keyCount = 0;
};

enum class Refusal : uint8_t {
    NotUtf8,             // the line is not UTF-8 text
    BinaryData,          // the line holds NUL or control characters
    OverlongLine,        // longer than kMaxLineBytes
    BadSection,          // "[" without "]" or an empty name
    DuplicateEntry,      // the same name (ignoring case and " *") as an earlier entry
    TooManyEntries,      // beyond kMaxEntries; the entry is dropped
    OutsideEntry,        // a key before the first entry
    NotAKey,             // no "="
    UnknownKey,
    DuplicateKey,        // the same key name twice in one entry
    EmptyValue,
    NoVariable,          // a path that does not start with %Variable%
    UnknownVariable,     // %Name% that is not a rule variable
    UndefinedVariable,   // a rule variable this computer does not have (Public on XP)
    BadPath,             // empty folder name, "." or "..", a stray %, a drive colon
    NoPattern,           // FileKey without a pattern, or with a flag in its place
    BadPattern,          // empty pattern, or one holding \ / or :
    UnknownFlag,
    TooManyParts,
    UnknownHive,
    HiveRoot,            // a registry path naming a whole hive
    BadRegistryPath,     // empty key name or empty value name
    UnknownExclusion,    // ExcludeKey not FILE|, PATH| or REG|
    BadNumber,           // LangSecRef or DetectOS that is not a number
    FileTooLarge,        // the whole file, above kMaxRulesFileBytes (line 0)
};
// A short English reason, for the details view ("unknown flag").
const char* RefusalText(Refusal reason);

struct RefusedLine {
    uint32_t line = 0;
    Refusal reason = Refusal::NotAKey;
};

// The most a rules file may hold; a larger file is refused whole.
constexpr uint64_t kMaxRulesFileBytes = 8u << 20;
// The longest line taken (the real file's longest is about 1,050 bytes).
constexpr size_t kMaxLineBytes = 8192;
// The most entries taken; later ones are refused.
constexpr size_t kMaxEntries = 20000;
// The refused lines kept with their numbers; beyond, they are only counted.
constexpr size_t kMaxRefusalsKept = 10000;

enum class FileStatus { Read, Missing, TooLarge, Unreadable, Empty };

class Rules {
public:
    FileStatus status = FileStatus::Read;
    std::vector<Entry> entries;
    std::vector<Key> keys;
    std::vector<TextSpan> patterns;
    std::vector<RefusedLine> refused;  // in line order, at most kMaxRefusalsKept
    size_t refusedCount = 0;           // every refused line, kept or not
    size_t lineCount = 0;

    std::string_view Text(TextSpan span) const { return std::string_view(text_).substr(span.offset, span.size); }
    std::string_view Name(const Entry& e) const { return Text(e.name); }
    std::string_view TickName(const Entry& e) const { return Text(e.tickName); }
    // The group an entry shows under: its LangSecRef's group, else its Section, else
    // "Other Applications".
    std::string GroupName(const Entry& e) const;
    // The index of the entry named `tickName` (with or without " *", ignoring ASCII case);
    // entries.size() when there is none.
    size_t Find(std::string_view name) const;
    // Bytes held by the parsed rules (capacities of every container).
    size_t MemoryBytes() const;

private:
    friend class Parser;
    std::string text_;  // names, paths, patterns and values, UTF-8
    std::vector<uint32_t> byName_;  // entry indices sorted by folded tick name
};

// Parses winapp2.ini text (UTF-8, a BOM allowed, CR LF, LF or CR line ends). Malformed lines are
// refused one by one and the rest kept. A path whose variable is not in `defined` (variables
// this computer lacks) is refused as undefined, never expanded to nothing.
Rules ParseRules(std::string_view text, VariableSet defined = kAllVariables);

// Reads and parses the file `path`: Missing, Unreadable, TooLarge (above kMaxRulesFileBytes;
// nothing parsed, one refusal counted) or Empty (no entries) in Rules::status.
Rules LoadRules(const std::string& path, VariableSet defined = kAllVariables);

// True when the file name `name` matches the rule pattern `pattern`: the whole name, ignoring
// case as Windows does; `*` is any run of characters (dots included, or none), `?` exactly one,
// every other character itself ("[" and "]" included); "*.*" alone matches every name, with a
// dot or without. Linear in practice; never worse than their lengths multiplied.
bool MatchesName(std::wstring_view pattern, std::wstring_view name);

// UTF-8 to UTF-16; an invalid byte becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
// UTF-16 to UTF-8.
std::string WideToUtf8(std::wstring_view text);

// rules.dat: the ticked entries, one name per line as winapp2.ini writes it without the
// trailing " *" (UTF-8, as winapp2.ini is), so a new winapp2.ini keeps the ticks.
// Reading drops blanks around names, a trailing " *", empty lines and repeats (ignoring ASCII
// case); a missing or unreadable file reads as nothing ticked.
std::vector<std::string> ReadTicks(const std::string& path);
// Writes `names` (same clean-up) through a scratch file that then replaces rules.dat.
bool WriteTicks(const std::string& path, const std::vector<std::string>& names);

}  // namespace bw::winapp2
