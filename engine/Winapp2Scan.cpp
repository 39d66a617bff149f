// Detection of community rules on this computer and the read-only resolution of their targets.
#include "engine/Winapp2Scan.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/Paths.h"
#include "platform/RuleProbes.h"

namespace bw::winapp2 {

namespace fs = platform::fs;
namespace probe = platform::probe;

namespace {

// The most folders one path may resolve to; a rule with more wildcards than sense stops there.
constexpr size_t kMaxFoldersPerPath = 20000;

wchar_t Fold(wchar_t c) {
    if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    return probe::UpperChar(c);
}

std::wstring Folded(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out) c = Fold(c);
    return out;
}

bool HasWildcard(std::wstring_view s) { return s.find_first_of(L"*?") != std::wstring_view::npos; }

bool IsBareDrive(const std::wstring& path) { return path.size() == 2 && path[1] == L':'; }

// "C:" is the drive's root folder "C:\" for listing and showing.
std::wstring AsFolder(const std::wstring& path) { return IsBareDrive(path) ? path + L"\\" : path; }

std::wstring Join(const std::wstring& folder, std::wstring_view name) {
    std::wstring out = folder;
    if (out.empty() || out.back() != L'\\') out += L'\\';
    out += name;
    return out;
}

// The folder names of a rule path's text ("\a\b*"), %UserName% replaced by the user's name.
std::vector<std::wstring> Folders(std::string_view text, Computer& computer) {
    std::vector<std::wstring> out;
    const std::wstring wide = Utf8ToWide(text);
    size_t start = 1;
    while (start <= wide.size() && !wide.empty()) {
        size_t end = wide.find(L'\\', start);
        if (end == std::wstring::npos) end = wide.size();
        std::wstring folder = wide.substr(start, end - start);
        if (Folded(folder) == L"%USERNAME%") {
            const std::vector<std::wstring>& user = computer.Values(Variable::UserName);
            folder = user.empty() ? std::wstring() : user.front();
        }
        out.push_back(std::move(folder));
        start = end + 1;
    }
    return out;
}

enum class Mode {
    Detect,   // files or folders, links allowed, literal runs probed in one call
    Targets,  // folders only, every level listed by true names, never through a link
    Exclude,  // folders only, every level listed, links allowed (an exclusion only keeps more)
};

struct Found {
    std::wstring path;
    DWORD attributes;
    size_t rootLength = 0;  // the variable's folder ends there; true names follow
};

// Every existing path the rule path `variable` + `text` stands for here.
std::vector<Found> Resolve(Variable variable, std::string_view text, Mode mode, Computer& computer,
                           bool stopAtFirst = false) {
    std::vector<Found> result;
    std::vector<std::wstring> folders = Folders(text, computer);
    for (const std::wstring& folder : folders)
        if (folder.empty()) return result;
    std::vector<std::wstring> roots = computer.Values(variable);
    // "%WinDir%\System32" is the real System32, which this program reaches as Sysnative under WOW64.
    if ((variable == Variable::WinDir || variable == Variable::SystemRoot) && !roots.empty() && !folders.empty() &&
        Folded(folders.front()) == L"SYSTEM32") {
        const std::wstring native = platform::rulefolders::NativeSystemFolder();
        if (!native.empty()) {
            roots = {native};
            folders.erase(folders.begin());
        }
    }
    for (const std::wstring& root : roots) {
        std::vector<Found> frontier{{root, FILE_ATTRIBUTE_DIRECTORY, root.size()}};
        if (folders.empty()) {  // the variable's folder itself, which must be there
            const DWORD attributes = computer.Attributes(AsFolder(root));
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        }
        size_t i = 0;
        while (i < folders.size() && !frontier.empty()) {
            std::vector<Found> next;
            const bool wildcard = HasWildcard(folders[i]);
            // A run of literal folder names below the first level is one probe when detecting.
            if (mode == Mode::Detect && !wildcard && i > 0) {
                size_t j = i;
                while (j < folders.size() && !HasWildcard(folders[j])) ++j;
                for (const Found& f : frontier) {
                    std::wstring path = f.path;
                    for (size_t k = i; k < j; ++k) path = Join(path, folders[k]);
                    const DWORD attributes = computer.Attributes(path);
                    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
                    if (j < folders.size() && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
                    next.push_back({std::move(path), attributes, f.rootLength});
                }
                frontier = std::move(next);
                i = j;
                continue;
            }
            const bool last = i + 1 == folders.size();
            const std::wstring folded = wildcard ? std::wstring() : Folded(folders[i]);
            for (const Found& f : frontier) {
                const Computer::Listing& listing = computer.List(AsFolder(f.path));
                auto take = [&](const Computer::Listed& e) {
                    const bool folder = (e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                    const bool link = (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                    if (link && mode == Mode::Targets) return;
                    if (!folder && (!last || mode != Mode::Detect)) return;
                    if (next.size() < kMaxFoldersPerPath) next.push_back({Join(f.path, e.name), e.attributes, f.rootLength});
                };
                if (wildcard) {
                    for (const Computer::Listed& e : listing.entries)
                        if (MatchesName(folders[i], e.name)) take(e);
                    continue;
                }
                auto at = listing.byFolded.find(folded);
                if (at == listing.byFolded.end()) continue;
                // A literal name takes its exact spelling where the file system holds case twins
                // (Wine's does), else every spelling that matches it without regard to case.
                bool exact = false;
                for (const Computer::Listed& e : listing.entries)
                    if (e.name == folders[i]) take(e), exact = true;
                if (!exact)
                    for (const Computer::Listed& e : listing.entries)
                        if (e.folded == folded) take(e);
            }
            frontier = std::move(next);
            ++i;
        }
        for (Found& f : frontier) result.push_back({AsFolder(f.path), f.attributes, f.rootLength});
        if (stopAtFirst && !result.empty()) return result;
    }
    // Each path once, compared exactly: case twins under Wine are two folders.
    std::unordered_set<std::wstring> seen;
    std::vector<Found> unique;
    for (Found& f : result)
        if (seen.insert(f.path).second) unique.push_back(std::move(f));
    return unique;
}

bool InRange(const platform::rulefolders::WindowsVersion& v, const OsBound& bound, bool isMin) {
    if (!bound.present) return true;
    const unsigned have[3] = {v.major, v.minor, v.build};
    const unsigned want[3] = {bound.major, bound.minor, bound.build};
    // The parser takes at most three parts; the bound keeps the arrays safe whatever it took.
    for (size_t i = 0; i < bound.parts && i < 3; ++i) {
        if (have[i] == want[i]) continue;
        return isMin ? have[i] > want[i] : have[i] < want[i];
    }
    return true;
}

struct SpecialFolder {
    const char* code;
    Variable variable;
    const char* path;
};
constexpr SpecialFolder kSpecialDetects[] = {
    {"DET_CHROME", Variable::LocalAppData, "\\Google\\Chrome"},
    {"DET_MOZILLA", Variable::AppData, "\\Mozilla\\Firefox"},
    {"DET_THUNDERBIRD", Variable::AppData, "\\Thunderbird"},
    {"DET_OPERA", Variable::AppData, "\\Opera Software"},
};

bool ViewsOf64(Hive hive) { return hive == Hive::LocalMachine || hive == Hive::ClassesRoot; }

bool StartsWithFolder(const std::wstring& foldedPath, const std::wstring& foldedFolder) {
    if (foldedPath.size() < foldedFolder.size()) return false;
    if (foldedPath.compare(0, foldedFolder.size(), foldedFolder) != 0) return false;
    return foldedPath.size() == foldedFolder.size() || foldedPath[foldedFolder.size()] == L'\\' ||
           (!foldedFolder.empty() && foldedFolder.back() == L'\\');
}

std::vector<std::wstring> PatternsOf(const Rules& rules, const Key& key) {
    std::vector<std::wstring> out;
    out.reserve(key.patternCount);
    for (uint32_t i = 0; i < key.patternCount; ++i) out.push_back(Utf8ToWide(rules.Text(rules.patterns[key.firstPattern + i])));
    return out;
}

std::vector<RuleFolder> FoldersOf(std::vector<Found> found) {
    std::vector<RuleFolder> out;
    out.reserve(found.size());
    for (Found& f : found) out.push_back({std::move(f.path), f.rootLength});
    return out;
}

std::vector<std::wstring> PathsOf(std::vector<Found> found) {
    std::vector<std::wstring> out;
    out.reserve(found.size());
    for (Found& f : found) out.push_back(std::move(f.path));
    return out;
}

}  // namespace

Computer::Computer() {
    for (size_t i = 0; i < static_cast<size_t>(Variable::Count); ++i) {
        const Variable v = static_cast<Variable>(i);
        values_[i] = platform::rulefolders::VariableValues(VariableName(v));
        if (!values_[i].empty()) defined_ |= Bit(v);
    }
    version_ = platform::rulefolders::CurrentWindowsVersion();
}

const Computer::Listing& Computer::List(const std::wstring& folder) {
    auto [it, added] = listings_.try_emplace(folder);
    Listing& listing = it->second;
    if (!added) return listing;
    listing.listed = fs::ListFolderW(folder, [&](const fs::DirEntry& e) {
        Listed item{e.wideName, Folded(e.wideName), e.attributes};
        listing.byFolded.emplace(item.folded, static_cast<uint32_t>(listing.entries.size()));
        listing.entries.push_back(std::move(item));
        return true;
    });
    return listing;
}

DWORD Computer::Attributes(const std::wstring& path) {
    auto [it, added] = attributes_.try_emplace(path, INVALID_FILE_ATTRIBUTES);
    if (added) it->second = probe::PathAttributes(path);
    return it->second;
}

bool Computer::RegistryExists(Hive hive, const std::wstring& subkey, const std::wstring* value) {
    std::wstring id(1, static_cast<wchar_t>(L'0' + static_cast<int>(hive)));
    id += Folded(subkey);
    if (value) id += L'|' + Folded(*value);
    auto [it, added] = registry_.try_emplace(std::move(id), false);
    if (!added) return it->second;
    auto probeView = [&](bool view64) {
        return value ? probe::RegistryValueExists(HiveKey(hive), subkey, *value, view64)
                     : probe::RegistryKeyExists(HiveKey(hive), subkey, view64);
    };
    it->second = probeView(false) || (ViewsOf64(hive) && probe::IsWow64() && probeView(true));
    return it->second;
}

HKEY HiveKey(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot: return HKEY_CLASSES_ROOT;
        case Hive::CurrentUser: return HKEY_CURRENT_USER;
        case Hive::LocalMachine: return HKEY_LOCAL_MACHINE;
        case Hive::Users: return HKEY_USERS;
        case Hive::CurrentConfig: return HKEY_CURRENT_CONFIG;
    }
    return nullptr;
}

Detection Detect(const Rules& rules, const Entry& entry, Computer& computer) {
    if (entry.hasDetectOS &&
        !(InRange(computer.Version(), entry.osMin, true) && InRange(computer.Version(), entry.osMax, false)))
        return Detection::NotDetected;
    bool anyKey = false;
    if (entry.specialDetect.size) {
        anyKey = true;
        const std::string_view code = rules.Text(entry.specialDetect);
        for (const SpecialFolder& s : kSpecialDetects) {
            if (code.size() != strlen(s.code)) continue;
            bool same = true;
            for (size_t i = 0; i < code.size(); ++i)
                if ((code[i] >= 'a' && code[i] <= 'z' ? code[i] - 32 : code[i]) != s.code[i]) same = false;
            if (same && !Resolve(s.variable, s.path, Mode::Detect, computer, true).empty()) return Detection::Detected;
        }
    }
    // Registry lines first: one call each, where a file line may list folders.
    for (uint32_t i = 0; i < entry.keyCount; ++i) {
        const Key& key = rules.keys[entry.firstKey + i];
        if (key.kind != KeyKind::Detect) continue;
        anyKey = true;
        const std::wstring subkey = Utf8ToWide(rules.Text(key.text));
        const std::wstring value = key.hasValue ? Utf8ToWide(rules.Text(key.value)) : std::wstring();
        if (computer.RegistryExists(key.hive, subkey, key.hasValue ? &value : nullptr)) return Detection::Detected;
    }
    for (uint32_t i = 0; i < entry.keyCount; ++i) {
        const Key& key = rules.keys[entry.firstKey + i];
        if (key.kind != KeyKind::DetectFile) continue;
        anyKey = true;
        if (!Resolve(key.variable, rules.Text(key.text), Mode::Detect, computer, true).empty())
            return Detection::Detected;
    }
    if (anyKey || entry.wroteDetection) return Detection::NotDetected;
    return Detection::NoDetectionKeys;
}

std::vector<Detection> DetectAll(const Rules& rules, Computer& computer) {
    std::vector<Detection> out;
    out.reserve(rules.entries.size());
    for (const Entry& e : rules.entries) out.push_back(Detect(rules, e, computer));
    return out;
}

std::vector<size_t> EntriesToRun(const Rules& rules, const std::vector<Detection>& detections,
                                 const std::vector<std::string>& ticks) {
    std::vector<size_t> out;
    for (const std::string& name : ticks) {
        const size_t index = rules.Find(name);
        if (index >= rules.entries.size() || index >= detections.size()) continue;
        if (detections[index] == Detection::NotDetected) continue;
        out.push_back(index);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

EntryTargets EnumerateTargets(const Rules& rules, const Entry& entry, Computer& computer) {
    EntryTargets targets;
    for (uint32_t i = 0; i < entry.keyCount; ++i) {
        const Key& key = rules.keys[entry.firstKey + i];
        switch (key.kind) {
            case KeyKind::FileKey: {
                FileKeyTarget t;
                t.line = key.line;
                t.number = key.number;
                t.flag = key.flag;
                t.folders = FoldersOf(Resolve(key.variable, rules.Text(key.text), Mode::Targets, computer));
                t.patterns = PatternsOf(rules, key);
                targets.files.push_back(std::move(t));
                break;
            }
            case KeyKind::RegKey: {
                RegKeyTarget t;
                t.line = key.line;
                t.number = key.number;
                t.hive = key.hive;
                t.subkey = Utf8ToWide(rules.Text(key.text));
                t.hasValue = key.hasValue;
                if (key.hasValue) t.value = Utf8ToWide(rules.Text(key.value));
                const HKEY root = HiveKey(key.hive);
                t.present32 = key.hasValue ? probe::RegistryValueExists(root, t.subkey, t.value, false)
                                           : probe::RegistryKeyExists(root, t.subkey, false);
                if (ViewsOf64(key.hive) && probe::IsWow64())
                    t.present64 = key.hasValue ? probe::RegistryValueExists(root, t.subkey, t.value, true)
                                               : probe::RegistryKeyExists(root, t.subkey, true);
                targets.registry.push_back(std::move(t));
                break;
            }
            case KeyKind::ExcludeFile:
            case KeyKind::ExcludePath:
            case KeyKind::ExcludeReg: {
                ExcludeTarget t;
                t.line = key.line;
                t.number = key.number;
                t.kind = key.kind;
                if (key.kind == KeyKind::ExcludeReg) {
                    t.hive = key.hive;
                    t.subkey = Utf8ToWide(rules.Text(key.text));
                    t.hasValue = key.hasValue;
                    if (key.hasValue) t.value = Utf8ToWide(rules.Text(key.value));
                } else {
                    t.folders = PathsOf(Resolve(key.variable, rules.Text(key.text), Mode::Exclude, computer));
                    // Spelled as the plan spells the folders it walks (".", ".." and "/" folded),
                    // so that no spelling of a kept folder escapes the comparison.
                    for (std::wstring& f : t.folders) {
                        std::wstring full = platform::paths::ShortForm(platform::paths::LongPath(f));
                        if (full.size() > 3 && full.back() == L'\\') full.pop_back();
                        if (!full.empty()) f = std::move(full);
                    }
                    t.patterns = PatternsOf(rules, key);
                }
                targets.excludes.push_back(std::move(t));
                break;
            }
            case KeyKind::Detect:
            case KeyKind::DetectFile: break;
        }
    }
    return targets;
}

bool IsExcluded(const std::vector<ExcludeTarget>& excludes, const std::wstring& folder, const std::wstring& name) {
    if (excludes.empty()) return false;
    const std::wstring foldedFolder = Folded(folder);
    for (const ExcludeTarget& x : excludes) {
        if (x.kind == KeyKind::ExcludeReg) continue;
        bool inPlace = false;
        for (const std::wstring& f : x.folders) {
            const std::wstring foldedX = Folded(f);
            if (x.kind == KeyKind::ExcludeFile ? foldedFolder == foldedX : StartsWithFolder(foldedFolder, foldedX))
                inPlace = true;
        }
        if (!inPlace) continue;
        if (x.patterns.empty()) return true;
        for (const std::wstring& p : x.patterns)
            if (MatchesName(p, name)) return true;
    }
    return false;
}

bool IsRegistryExcluded(const std::vector<ExcludeTarget>& excludes, Hive hive, const std::wstring& subkey) {
    const std::wstring folded = Folded(subkey);
    for (const ExcludeTarget& x : excludes)
        if (x.kind == KeyKind::ExcludeReg && x.hive == hive && StartsWithFolder(folded, Folded(x.subkey))) return true;
    return false;
}


size_t WalkMatches(const FileKeyTarget& target, const std::vector<ExcludeTarget>& excludes,
                   const MatchCallback& onMatch) {
    const bool deep = target.flag != Flag::None;
    // With a deep walk, a folder inside another folder of the same key is walked with it.
    std::vector<std::wstring> starts;
    for (const RuleFolder& f : target.folders) {
        const std::wstring folded = Folded(f.path);
        bool inside = false;
        for (const RuleFolder& other : target.folders)
            if (deep && &other != &f && Folded(other.path) != folded && StartsWithFolder(folded, Folded(other.path)))
                inside = true;
        if (!inside) starts.push_back(AsFolder(f.path));
    }
    size_t listed = 0;
    bool go = true;
    for (const std::wstring& start : starts) {
        std::vector<std::wstring> pending{start};
        while (go && !pending.empty()) {
            std::wstring folder = std::move(pending.back());
            pending.pop_back();
            ++listed;
            fs::ListFolderW(folder, [&](const fs::DirEntry& e) {
                if (e.IsFolder()) {
                    if (deep && !e.IsLink()) pending.push_back(Join(folder, e.wideName));
                    return true;
                }
                for (const std::wstring& p : target.patterns) {
                    if (!MatchesName(p, e.wideName)) continue;
                    go = onMatch(folder, e, IsExcluded(excludes, folder, e.wideName));
                    break;
                }
                return go;
            });
        }
        if (!go) break;
    }
    return listed;
}

}  // namespace bw::winapp2
