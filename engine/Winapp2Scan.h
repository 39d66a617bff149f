// The community rules met with this computer: which entries are detected here, and, read-only,
// what a detected entry's keys resolve to (folders with their patterns, registry keys and
// values, exclusions) as plain data for the erase plan, and the files a key would take.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/Winapp2.h"
#include "platform/FileSystem.h"
#include "platform/RuleFolders.h"

namespace bw::winapp2 {

// What this computer offers the rules: every variable's folders, the Windows version, and
// caches of folder listings and registry probes. The caches make one look at the computer:
// make a new Computer for a fresh one (after files changed).
class Computer {
public:
    Computer();
    Computer(const Computer&) = delete;
    Computer& operator=(const Computer&) = delete;

    // The variables that have a value here; rules using any other are refused (ParseRules).
    VariableSet Defined() const { return defined_; }
    // The folders `v` names here (two for ProgramFiles on 64-bit Windows), or the user name for
    // UserName; empty when undefined.
    const std::vector<std::wstring>& Values(Variable v) const { return values_[static_cast<size_t>(v)]; }
    const platform::rulefolders::WindowsVersion& Version() const { return version_; }

    // One folder listing by true names, kept for the life of this object.
    struct Listed {
        std::wstring name;
        std::wstring folded;  // upper-cased as Windows compares names
        DWORD attributes = 0;
    };
    struct Listing {
        bool listed = false;
        std::vector<Listed> entries;
        std::unordered_map<std::wstring, uint32_t> byFolded;  // first entry of each folded name
    };
    const Listing& List(const std::wstring& folder);
    DWORD Attributes(const std::wstring& path);
    bool RegistryExists(Hive hive, const std::wstring& subkey, const std::wstring* value);

private:
    std::vector<std::wstring> values_[static_cast<size_t>(Variable::Count)];
    VariableSet defined_ = 0;
    platform::rulefolders::WindowsVersion version_;
    std::unordered_map<std::wstring, Listing> listings_;
    std::unordered_map<std::wstring, DWORD> attributes_;
    std::unordered_map<std::wstring, bool> registry_;
};

// The registry root a hive stands for.
HKEY HiveKey(Hive hive);

enum class Detection : uint8_t {
    NotDetected,
    Detected,
    NoDetectionKeys,  // the entry has no detection line at all: shown, marked as such
};

// An entry is detected when DetectOS (if any) admits this Windows and any of its Detect (key,
// or value with "|name"; HKLM and HKCR are also looked up in the 64-bit view on 64-bit
// Windows), DetectFile (file or folder, wildcards in any folder) or known SpecialDetect
// (DET_CHROME, DET_MOZILLA, DET_THUNDERBIRD, DET_OPERA: their programs' folders) is present.
// An entry whose detection lines were all refused is not detected.
Detection Detect(const Rules& rules, const Entry& entry, Computer& computer);
std::vector<Detection> DetectAll(const Rules& rules, Computer& computer);

// The entries to run: named in `ticks` (rules.dat), present in `rules` and detected here (or
// having no detection key), in file order.
std::vector<size_t> EntriesToRun(const Rules& rules, const std::vector<Detection>& detections,
                                 const std::vector<std::string>& ticks);

// What one FileKey resolves to here. `folders` are absolute ("C:\..."; a bare drive root as
// "C:\"), without a trailing backslash, each once, found by true names on folder listings: a
// wildcard folder matches folders only, and nothing below the variable's own folder is reached
// through a link (an entry carrying FILE_ATTRIBUTE_REPARSE_POINT is never matched).
// Each folder is kept as the variable's folder and the true names found below it, so that it
// can be opened again name by name from that folder, never through a link met on the way.
struct RuleFolder {
    std::wstring path;      // the whole folder, for showing and comparing
    size_t rootLength = 0;  // how much of `path` is the variable's folder; below it, true names
};
struct FileKeyTarget {
    uint32_t line = 0;
    uint16_t number = 0;  // FileKey<number>
    Flag flag = Flag::None;
    std::vector<RuleFolder> folders;
    std::vector<std::wstring> patterns;
};

// One RegKey: the key, or one value of it, and where it is present now.
struct RegKeyTarget {
    uint32_t line = 0;
    uint16_t number = 0;
    Hive hive = Hive::CurrentUser;
    std::wstring subkey;
    bool hasValue = false;
    std::wstring value;
    bool present32 = false;  // in this program's own view
    bool present64 = false;  // in the 64-bit view (64-bit Windows, HKLM and HKCR only)
};

// One ExcludeKey. For ExcludeFile and ExcludePath, `folders` are resolved like a FileKey's
// (links included: an exclusion only ever keeps more); `patterns` empty for ExcludePath keeps
// the whole folder. For ExcludeReg, hive/subkey (and value) name what is kept.
struct ExcludeTarget {
    uint32_t line = 0;
    uint16_t number = 0;
    KeyKind kind = KeyKind::ExcludePath;
    std::vector<std::wstring> folders;
    std::vector<std::wstring> patterns;
    Hive hive = Hive::CurrentUser;
    std::wstring subkey;
    bool hasValue = false;
    std::wstring value;
};

struct EntryTargets {
    std::vector<FileKeyTarget> files;
    std::vector<RegKeyTarget> registry;
    std::vector<ExcludeTarget> excludes;
};

// Resolves every key of `entry` on this computer. Reads only.
EntryTargets EnumerateTargets(const Rules& rules, const Entry& entry, Computer& computer);

// True when the file `name` lying in `folder` (as a walk builds it) is kept by one of
// `excludes`: FILE keeps matching names directly in its folder, PATH keeps matching names (or
// everything) in its folder and below. Folders compare without regard to case.
bool IsExcluded(const std::vector<ExcludeTarget>& excludes, const std::wstring& folder, const std::wstring& name);

// True when the registry key `subkey` of `hive` is a key an ExcludeReg keeps (it or below it).
bool IsRegistryExcluded(const std::vector<ExcludeTarget>& excludes, Hive hive, const std::wstring& subkey);

// Walks each folder of `target` once, testing every file name against all of its patterns:
// files directly in the folder, or at any depth for RECURSE and REMOVESELF (a folder lying below
// another of the same key is not walked twice). Folders carrying FILE_ATTRIBUTE_REPARSE_POINT
// are never entered. `onMatch` receives the folder (no trailing backslash but a drive root's,
// "C:\"), the listed entry and whether an exclusion keeps it; it returns false to stop. Reads
// only. Returns the number of folders listed.
using MatchCallback =
    std::function<bool(const std::wstring& folder, const platform::fs::DirEntry& entry, bool excluded)>;
size_t WalkMatches(const FileKeyTarget& target, const std::vector<ExcludeTarget>& excludes,
                   const MatchCallback& onMatch);

}  // namespace bw::winapp2
