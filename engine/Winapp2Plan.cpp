// Community rules into erase-plan targets: each key's folders walked once through checked handles,
// protected folders kept whole, exclusions honoured, and every refusal recorded with its key.
#include "engine/Winapp2Plan.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/Paths.h"
#include "platform/RuleProbes.h"

namespace bw::winapp2 {

namespace fs = platform::fs;
namespace probe = platform::probe;

namespace {

// The deepest registry key a key walks below its own; deeper keys stay, and so do their parents.
// (Folders are walked as deep as every walk goes: platform::fs::kMaxWalkDepth.)
constexpr int kMaxDepth = 64;

wchar_t Fold(wchar_t c) { return probe::UpperChar(c); }

std::wstring Folded(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out) c = Fold(c);
    return out;
}

// "C:\a\b" from a guard's "\\?\C:\a\b\" (a drive root keeps its backslash: "C:\"), as the
// rules' folders are written, so exclusions compare with them.
std::wstring ShownFolder(const std::wstring& guardPath) {
    std::wstring path = guardPath;
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path = path.substr(4);
    if (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring JoinShown(const std::wstring& folder, const std::wstring& name) {
    return (!folder.empty() && folder.back() == L'\\' ? folder : folder + L"\\") + name;
}

std::string Shown(const std::wstring& text) { return platform::paths::Utf8(text); }

const char* ProtectionText(fs::Protection protection) {
    switch (protection) {
    case fs::Protection::DriveRoot: return "a drive root";
    case fs::Protection::Vital: return "a folder of Windows, of the programs or of the profile";
    case fs::Protection::UnixRoot: return "the root of the whole file system";
    case fs::Protection::None: break;
    }
    return "a protected folder";
}

struct Context {
    ErasePlan& plan;
    const Rules& rules;
    const EntryTargets& targets;
    EntryPlanCounts counts;
    std::unordered_set<std::wstring> planned;  // files already planned by an earlier key, folded
    std::unordered_set<std::wstring> walked;   // folders already walked by an earlier deep key, folded

    void Refuse(const Key& key, const std::string& what) {
        plan.AddRefusal(KeyText(rules, key) + ": refused, " + what);
        ++counts.refused;
    }
};

// A path as the file system compares it: under Wine "a.log" and "A.LOG" are two files.
std::wstring PathKey(const std::wstring& path) { return fs::IsWine() ? path : Folded(path); }

bool Matches(const std::vector<std::wstring>& patterns, const std::wstring& name) {
    for (const std::wstring& p : patterns)
        if (MatchesName(p, name)) return true;
    return false;
}

// Plans what the key takes in the folder `guard` (plan folder `folder`, shown as `shown`) and
// below it for a deep key. True when everything the folder holds goes by this key, so that a
// REMOVESELF key may remove the folder once it is empty. Walks without recursion, in listing
// order: a frame per open folder, and only the deepest frame's guard and the one shown path hold
// names, so a deep tree costs memory in proportion to its depth. A folder already walked is
// remembered only when the key found more than one folder (one of them may lie in another).
bool PlanFolder(Context& c, const Key& key, const FileKeyTarget& target, uint32_t folder, fs::FolderGuard guard,
                std::wstring shown, bool rememberWalked) {
    const bool deep = target.flag != Flag::None;
    const bool removeSelf = target.flag == Flag::RemoveSelf;
    struct Frame {
        uint32_t folder;
        fs::FolderGuard guard;
        size_t shownLength;
        std::vector<fs::DirEntry> entries;
        size_t next = 0;
        bool everything = true;
    };
    std::vector<Frame> stack;
    // Opens a frame for the folder `at`, shown as `shown`; false when it is not to be walked.
    auto enter = [&](uint32_t at, fs::FolderGuard opened) {
        if (deep && (rememberWalked || stack.empty()) && !c.walked.insert(PathKey(shown)).second)
            return false;  // walked already: it stays
        Frame frame{at, std::move(opened), shown.size(), {}};
        if (!fs::ListGuarded(frame.guard, [&](const fs::DirEntry& e) {
                frame.entries.push_back(e);
                return true;
            })) {
            c.Refuse(key, Shown(shown) + " cannot be listed");
            return false;
        }
        stack.push_back(std::move(frame));
        return true;
    };
    if (!enter(folder, std::move(guard))) return false;
    bool result = false;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.entries.size()) {
            // Done with this folder: its parent learns whether it was emptied, as a call returns.
            const bool emptied = top.everything;
            const uint32_t done = top.folder;
            fs::FolderGuard doneGuard = std::move(top.guard);
            stack.pop_back();
            if (stack.empty()) {
                result = emptied;
                break;
            }
            Frame& parent = stack.back();
            fs::Unshelve(parent.guard, doneGuard);
            shown.resize(parent.shownLength);
            if (removeSelf && emptied) {
                c.plan.AddFolderRemoval(done);
                ++c.counts.folders;
            } else {
                parent.everything = false;
            }
            continue;
        }
        const fs::DirEntry e = std::move(top.entries[top.next++]);
        if (e.IsFolder()) {
            const bool tooDeep = stack.size() > fs::kMaxWalkDepth;
            if (deep && e.IsLink())
                c.Refuse(key, "not followed: " + Shown(JoinShown(shown, e.wideName)) + " is a link");
            if (deep && !e.IsLink() && tooDeep)
                c.Refuse(key, "not walked into " + Shown(JoinShown(shown, e.wideName)) + ", too deep");
            if (!deep || e.IsLink() || tooDeep) {
                top.everything = false;
                continue;
            }
            fs::FolderGuard child = fs::GuardSubfolder(top.guard, e);
            if (!child.usable) {
                c.Refuse(key, "not walked into " + Shown(JoinShown(shown, e.wideName)) + ", " +
                                  (child.protection != fs::Protection::None
                                       ? std::string(ProtectionText(child.protection))
                                       : std::string("it cannot be opened as the folder listed there")));
                top.everything = false;
                continue;
            }
            const uint32_t sub = c.plan.AddFolder(top.folder, e.wideName);
            const size_t parent = stack.size() - 1, parentLength = shown.size();
            shown = JoinShown(shown, e.wideName);
            if (enter(sub, std::move(child))) {
                fs::Shelve(stack[parent].guard);  // the child's names hold the parent's
            } else {
                stack[parent].everything = false;
                shown.resize(parentLength);
            }
            continue;
        }
        if (!Matches(target.patterns, e.wideName) || IsExcluded(c.targets.excludes, shown, e.wideName) ||
            (top.guard.DirectOnly() && IsProgramFileName(e.wideName))) {
            top.everything = false;
            continue;
        }
        const std::wstring full = JoinShown(shown, e.wideName);
        if (!c.planned.insert(PathKey(full)).second) continue;  // an earlier key of the entry takes it
        c.plan.AddFile(top.folder, e);
        ++c.counts.files;
    }
    return result;
}

// Opens the folder a key found: its variable's folder by path (judged by its final name), then
// each name found below it relative to its parent, checked by name and never through a link, so
// a folder swapped for a link since it was found, or a name the path text would fold onto another
// (a trailing dot), leads nowhere.
fs::FolderGuard OpenAlong(const RuleFolder& found) {
    std::wstring root = found.path.substr(0, found.rootLength);
    if (root.size() == 2 && root[1] == L':') root += L'\\';  // a drive's root, never its current folder
    fs::FolderGuard guard = fs::GuardFolder(root, fs::Reach::DirectlyIn);
    std::wstring_view rest(found.path);
    rest.remove_prefix(std::min(found.rootLength, rest.size()));
    while (guard.usable && !rest.empty()) {
        const size_t slash = rest.find(L'\\');
        const std::wstring name(rest.substr(0, slash));
        rest.remove_prefix(slash == std::wstring_view::npos ? rest.size() : slash + 1);
        if (!name.empty()) guard = fs::GuardChild(guard, name, fs::Reach::DirectlyIn);
    }
    return guard;
}

void PlanFileKey(Context& c, const Key& key, const FileKeyTarget& target) {
    const bool deep = target.flag != Flag::None;
    c.walked.clear();
    for (const RuleFolder& found : target.folders) {
        const std::wstring& folderPath = found.path;
        fs::FolderGuard guard = OpenAlong(found);
        if (!guard.usable) {
            if (guard.protection == fs::Protection::UnixRoot)
                c.Refuse(key, Shown(folderPath) + " is " + ProtectionText(guard.protection));
            else if (probe::PathAttributes(folderPath) != INVALID_FILE_ATTRIBUTES)
                c.Refuse(key, Shown(folderPath) + " cannot be opened");
            continue;
        }
        if (guard.DirectOnly()) {
            if (deep) {
                c.Refuse(key, Shown(folderPath) + " is " + ProtectionText(guard.protection) +
                                  ": never walked, emptied or removed");
                continue;
            }
            bool refused = false;
            for (const std::wstring& p : target.patterns) {
                if (!NamesAKindOfFile(p)) {
                    c.Refuse(key, "the pattern " + Shown(p) + " would empty " + Shown(folderPath) + ", " +
                                      ProtectionText(guard.protection));
                    refused = true;
                } else if (IsProgramFileName(p)) {
                    c.Refuse(key, "the pattern " + Shown(p) + " names program or system files in " +
                                      Shown(folderPath));
                    refused = true;
                }
            }
            if (refused) continue;
        }
        const std::wstring shown = ShownFolder(guard.path);
        const uint32_t anchor = c.plan.AddAnchor(guard);
        if (anchor == ErasePlan::kNone) continue;
        const bool emptied = PlanFolder(c, key, target, anchor, guard, shown, target.folders.size() > 1);
        // The folder a variable stands for (%Temp%, %AppData%) is emptied, never removed itself.
        const bool variableFolder = found.path.size() <= found.rootLength + 1;
        if (target.flag != Flag::RemoveSelf || !emptied || guard.DirectOnly() || variableFolder) continue;
        // The key's own folder is the anchor of its targets: it is removed last, through a guard of
        // its own checked against the name it had when found, and only once empty. The removal is
        // complete when the last handle of the run lets go of it, as the item ends.
        fs::FolderGuard self = guard;
        self.handle.reset();
        ErasePlan* plan = &c.plan;
        c.plan.AddOperation("remove the folder " + Shown(shown) + " once emptied", 0, [self, plan, anchor] {
            plan->CloseAnchor(anchor);
            OperationResult result;
            result.done = fs::RemoveFolderChecked(self);
            return result;
        });
        ++c.counts.folders;
    }
}

// Adds the key `subkey` and everything below it, deepest first; false when a key below is one an
// exclusion keeps (then neither it nor any key above it goes).
bool PlanKeyTree(Context& c, const Key& key, Hive hive, const std::wstring& subkey, int depth) {
    if (IsRegistryExcluded(c.targets.excludes, hive, subkey)) return false;
    bool everything = depth < kMaxDepth;
    if (everything)
        for (const std::wstring& name : probe::RegistrySubkeys(HiveKey(hive), subkey))
            if (!PlanKeyTree(c, key, hive, subkey + L"\\" + name, depth + 1)) everything = false;
    if (!everything) return false;
    const std::string narrow = platform::paths::Narrow(subkey);
    if (narrow.empty() || platform::paths::Widen(narrow) != subkey) return false;
    c.plan.AddKey(HiveKey(hive), narrow, false);
    ++c.counts.registry;
    return true;
}

void PlanRegKey(Context& c, const Key& key, const RegKeyTarget& target) {
    if (const char* why = RegistryRefusal(target.hive, target.subkey, target.hasValue)) {
        c.Refuse(key, why);
        return;
    }
    if (!target.present32) return;
    if (IsRegistryExcluded(c.targets.excludes, target.hive, target.subkey)) return;
    if (target.hasValue) {
        const std::string path = platform::paths::Narrow(target.subkey);
        const std::string value = platform::paths::Narrow(target.value);
        if (path.empty() || platform::paths::Widen(value) != target.value) return;
        c.plan.AddValue(HiveKey(target.hive), path, value);
        ++c.counts.registry;
        return;
    }
    if (!PlanKeyTree(c, key, target.hive, target.subkey, 0))
        c.Refuse(key, "the key holds a key this entry keeps; only what lies beside it goes");
}

bool EqualsFolded(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

}  // namespace

bool NamesAKindOfFile(std::wstring_view pattern) {
    for (wchar_t ch : pattern)
        if (ch != L'*' && ch != L'?' && ch != L'.') return true;
    return false;
}

bool IsProgramFileName(std::wstring_view name) {
    static const wchar_t* const kExtensions[] = {L".exe", L".dll", L".sys", L".ini", L".inf", L".drv", L".cpl",
                                                 L".ocx", L".msi", L".bat", L".cmd", L".com", L".scr"};
    for (const wchar_t* ext : kExtensions) {
        const std::wstring_view e(ext);
        if (name.size() >= e.size() && EqualsFolded(name.substr(name.size() - e.size()), e)) return true;
        // A pattern that could end so ("*.in?", "*.*"): try it on a name of that kind.
        if (name.find_first_of(L"*?") != std::wstring_view::npos &&
            MatchesName(name, std::wstring(L"a") + ext))
            return true;
    }
    return false;
}

const char* RegistryRefusal(Hive hive, const std::wstring& subkey, bool hasValue) {
    if (hive != Hive::CurrentUser && hive != Hive::LocalMachine)
        return "only keys of the current user (HKCU) and of the programs (HKLM\\Software) are erased";
    // The key as its parts, without empty ones ("Software\\\\Microsoft\\" is Software\\Microsoft).
    std::vector<std::wstring> parts;
    for (size_t at = 0; at <= subkey.size();) {
        size_t slash = subkey.find(L'\\', at);
        if (slash == std::wstring::npos) slash = subkey.size();
        if (slash > at) parts.push_back(subkey.substr(at, slash - at));
        at = slash + 1;
    }
    if (parts.empty()) return "a hive root is never erased whole";
    if (hive == Hive::LocalMachine && !EqualsFolded(parts[0], L"Software"))
        return "only keys of the programs (HKLM\\Software) are erased in HKLM";
    if (hasValue) return nullptr;
    if (parts.size() == 1) return "a key directly below a hive root is never erased whole";
    // Keys every program or Windows itself keeps settings in, however they are reached: through
    // the 32-bit view (Wow6432Node) or the classes.
    std::wstring rest;
    size_t from = 0;
    if (EqualsFolded(parts[0], L"Software")) {
        from = 1;
        while (from < parts.size() && (EqualsFolded(parts[from], L"Wow6432Node") || EqualsFolded(parts[from], L"Classes")))
            ++from;
        if (from == parts.size()) return "a key that holds every program's settings is never erased whole";
    }
    for (size_t i = from; i < parts.size(); ++i) rest += (i > from ? L"\\" : L"") + parts[i];
    static const wchar_t* const kShared[] = {
        L"Microsoft", L"Policies", L"Microsoft\\Windows", L"Microsoft\\Windows NT",
        L"Microsoft\\Windows\\CurrentVersion", L"Microsoft\\Windows NT\\CurrentVersion", L"Microsoft\\Office",
        L"Microsoft\\Internet Explorer", L"CLSID", L"Interface", L"TypeLib", L"AppID", L"*",
        L"Control Panel", L"Control Panel\\Desktop", L"Environment", L"Keyboard Layout", L"AppEvents"};
    for (const wchar_t* shared : kShared)
        if (EqualsFolded(rest, shared)) return "a key that holds every program's settings is never erased whole";
    return nullptr;
}

std::string KeyText(const Rules& rules, const Key& key) {
    std::string text;
    auto path = [&] {
        std::string p = "%" + std::string(VariableName(key.variable)) + "%" + std::string(rules.Text(key.text));
        return p;
    };
    auto patterns = [&] {
        std::string p;
        for (uint16_t i = 0; i < key.patternCount; ++i) {
            if (i) p += ';';
            p += rules.Text(rules.patterns[key.firstPattern + i]);
        }
        return p;
    };
    auto number = [&] { return key.number ? std::to_string(key.number) : std::string(); };
    switch (key.kind) {
    case KeyKind::FileKey:
        text = "FileKey" + number() + "=" + path() + "|" + patterns();
        if (key.flag == Flag::Recurse) text += "|RECURSE";
        if (key.flag == Flag::RemoveSelf) text += "|REMOVESELF";
        break;
    case KeyKind::RegKey:
        text = "RegKey" + number() + "=" + HiveName(key.hive) + "\\" + std::string(rules.Text(key.text));
        if (key.hasValue) text += "|" + std::string(rules.Text(key.value));
        break;
    case KeyKind::Detect:
        text = "Detect" + number() + "=" + HiveName(key.hive) + "\\" + std::string(rules.Text(key.text));
        break;
    case KeyKind::DetectFile: text = "DetectFile" + number() + "=" + path(); break;
    case KeyKind::ExcludeFile: text = "ExcludeKey" + number() + "=FILE|" + path() + "\\|" + patterns(); break;
    case KeyKind::ExcludePath: text = "ExcludeKey" + number() + "=PATH|" + path() + "\\|" + patterns(); break;
    case KeyKind::ExcludeReg:
        text = "ExcludeKey" + number() + "=REG|" + HiveName(key.hive) + "\\" + std::string(rules.Text(key.text));
        break;
    }
    return text + " (line " + std::to_string(key.line) + ")";
}

EntryPlanCounts PlanEntry(ErasePlan& plan, const Rules& rules, const Entry& entry, Computer& computer) {
    const EntryTargets targets = EnumerateTargets(rules, entry, computer);
    Context c{plan, rules, targets, {}, {}, {}};
    size_t file = 0, registry = 0;
    for (uint32_t i = 0; i < entry.keyCount; ++i) {
        const Key& key = rules.keys[entry.firstKey + i];
        if (key.kind == KeyKind::FileKey && file < targets.files.size())
            PlanFileKey(c, key, targets.files[file++]);
        else if (key.kind == KeyKind::RegKey && registry < targets.registry.size())
            PlanRegKey(c, key, targets.registry[registry++]);
    }
    return c.counts;
}

}  // namespace bw::winapp2
