// Community rules into erase-plan targets: each key's folders walked once through checked handles,
// protected folders kept whole, exclusions honoured, and every refusal recorded with its key.
#include "engine/Winapp2Plan.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/RuleProbes.h"
#include "platform/Text.h"

namespace bw::winapp2 {

namespace fs = platform::fs;
namespace probe = platform::probe;
namespace reg = platform::reg;

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
        // The key's own folder is the anchor of its targets: it is removed last, opened by its path
        // and checked against the name it had when found, and only once empty. The removal is
        // complete when the last handle of the run lets go of it, as the item ends.
        fs::FolderGuard self = guard;
        fs::Detach(self);
        c.plan.AddOperation("remove the folder " + Shown(shown) + " once emptied", 0, [self] {
            OperationResult result;
            result.done = fs::RemoveFolderChecked(self);
            return result;
        });
        ++c.counts.folders;
    }
}

// Plans a key of the rule's tree: false when its name cannot be held as the plan holds keys.
bool PlanKeyTarget(Context& c, Hive hive, const std::wstring& subkey, REGSAM view, bool link) {
    const std::string narrow = platform::paths::Narrow(subkey);
    if (narrow.empty() || platform::paths::Widen(narrow) != subkey) return false;
    c.plan.AddKey(HiveKey(hive), narrow, false, false, view, link);
    ++c.counts.registry;
    return true;
}

// Adds the open key `top` (named `subkey`) and everything below it, deepest first, walking a stack
// of held handles: each subkey is opened relative to its checked parent and a registry link is
// never entered (the link itself is planned, so that only it goes). False when a key below is one
// an exclusion keeps or one that cannot be reached as itself (then neither it nor any key above it
// goes).
bool PlanKeyTree(Context& c, Hive hive, const std::wstring& subkey, reg::Key top, REGSAM view) {
    if (IsRegistryExcluded(c.targets.excludes, hive, subkey)) return false;
    struct Frame {
        reg::Key key;
        std::wstring subkey;
        DWORD index = 0;
        bool everything = true;
    };
    std::vector<Frame> stack;
    stack.push_back({std::move(top), subkey, 0, true});
    for (;;) {
        Frame& frame = stack.back();
        std::wstring childName;
        LONG status = ERROR_NO_MORE_ITEMS;
        if (stack.size() > kMaxDepth)
            frame.everything = false;  // deeper keys stay, and so do their parents
        else
            status = reg::EnumSubkey(frame.key.get(), frame.index, &childName);
        if (status == ERROR_SUCCESS) {
            ++frame.index;
            std::wstring child = frame.subkey + L"\\" + childName;
            if (IsRegistryExcluded(c.targets.excludes, hive, child)) {
                frame.everything = false;
                continue;
            }
            reg::Key open;
            const reg::Reached reached = reg::OpenChild(frame.key.get(), childName, KEY_ENUMERATE_SUB_KEYS, view, &open);
            if (reached == reg::Reached::Key)
                stack.push_back({std::move(open), std::move(child), 0, true});  // `frame` is not used after this
            else if (reached == reg::Reached::Link)
                frame.everything = PlanKeyTarget(c, hive, child, view, true) && frame.everything;
            else if (reached != reg::Reached::Missing)
                frame.everything = false;
            continue;
        }
        if (status == ERROR_MORE_DATA) {  // a name longer than the registry allows: it stays
            ++frame.index;
            frame.everything = false;
            continue;
        }
        if (status != ERROR_NO_MORE_ITEMS) frame.everything = false;  // the listing failed
        const bool planned = frame.everything && PlanKeyTarget(c, hive, frame.subkey, view, false);
        stack.pop_back();
        if (stack.empty()) return planned;
        if (!planned) stack.back().everything = false;
    }
}

// The hive and key the registry's own name of a key stands for ("\REGISTRY\MACHINE\SOFTWARE\X" is
// HKLM, "Software\X"); false for a key outside the current user's and the machine's.
bool FromRealName(const std::wstring& real, Hive* hive, std::wstring* subkey) {
    const std::wstring folded = Folded(real);
    const std::wstring user = Folded(reg::CurrentUserRealName()) + L"\\";
    const std::wstring machine = L"\\REGISTRY\\MACHINE\\";
    if (user.size() > 1 && folded.compare(0, user.size(), user) == 0) {
        *hive = Hive::CurrentUser;
        *subkey = real.substr(user.size());
        return true;
    }
    if (folded.compare(0, machine.size(), machine) == 0) {
        *hive = Hive::LocalMachine;
        *subkey = real.substr(machine.size());
        return true;
    }
    return false;
}

// Plans the key in one registry view, judged on the key reached, never through a link.
void PlanRegKeyIn(Context& c, const Key& key, const RegKeyTarget& target, REGSAM view,
                  std::vector<std::wstring>& reachedKeys) {
    reg::Key open;
    const reg::Reached reached = reg::OpenNoFollow(HiveKey(target.hive), target.subkey, KEY_ENUMERATE_SUB_KEYS, view, &open);
    if (reached == reg::Reached::Missing) return;
    if (reached == reg::Reached::ThroughLink) return c.Refuse(key, "the key lies behind a registry link, which is never followed");
    if (reached == reg::Reached::Failed) return c.Refuse(key, "the key cannot be opened as itself");
    // The limits hold on the key the registry names, whatever the rule's text says.
    Hive realHive = Hive::Users;
    std::wstring realSubkey;
    const std::wstring real = reg::RealName(open.get());
    if (!FromRealName(real, &realHive, &realSubkey))
        return c.Refuse(key, "only keys of the current user (HKCU) and of the programs (HKLM\\Software) are erased");
    if (const char* why = RegistryRefusal(realHive, realSubkey, target.hasValue)) return c.Refuse(key, why);
    // Where both views reach one key (a key Windows shares between them), it is planned once.
    const std::wstring same = Folded(real);
    if (std::find(reachedKeys.begin(), reachedKeys.end(), same) != reachedKeys.end()) return;
    reachedKeys.push_back(same);
    if (target.hasValue) {
        if (reached == reg::Reached::Link)
            return c.Refuse(key, "the key is a registry link; the value lies in its target, which is never followed");
        const std::string path = platform::paths::Narrow(target.subkey);
        const std::string value = platform::paths::Narrow(target.value);
        if (path.empty() || platform::paths::Widen(value) != target.value) return;
        if (!reg::HasValue(open.get(), target.value)) return;
        c.plan.AddValue(HiveKey(target.hive), path, value, view);
        ++c.counts.registry;
        return;
    }
    if (reached == reg::Reached::Link) {
        PlanKeyTarget(c, target.hive, target.subkey, view, true);
        return;
    }
    if (!PlanKeyTree(c, target.hive, target.subkey, std::move(open), view))
        c.Refuse(key, "the key holds a key this entry keeps; only what lies beside it goes");
}

void PlanRegKey(Context& c, const Key& key, const RegKeyTarget& target) {
    if (const char* why = RegistryRefusal(target.hive, target.subkey, target.hasValue)) {
        c.Refuse(key, why);
        return;
    }
    if (IsRegistryExcluded(c.targets.excludes, target.hive, target.subkey)) return;
    // On 64-bit Windows a machine key means the 64-bit view and the 32-bit one (Wow6432Node): each
    // is planned where the scan found it, and named with its view.
    std::vector<std::wstring> reachedKeys;
    if (target.hive == Hive::LocalMachine && probe::IsWow64()) {
        if (target.present64) PlanRegKeyIn(c, key, target, KEY_WOW64_64KEY, reachedKeys);
        if (target.present32) PlanRegKeyIn(c, key, target, KEY_WOW64_32KEY, reachedKeys);
    } else if (target.present32) {
        PlanRegKeyIn(c, key, target, 0, reachedKeys);
    }
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
    const std::vector<std::wstring> parts = platform::text::PathParts(subkey);
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

std::string EntryRefusalText(const Rules& rules, const Entry& entry) {
    if (!entry.refusedExclusion) return std::string();
    const std::string_view line = rules.Text(entry.exclusionText);
    return (line.empty() ? std::string("an exclusion") : std::string(line)) + " (line " +
           std::to_string(entry.refusedExclusion) + "): " + RefusalText(entry.exclusionReason);
}

EntryPlanCounts PlanEntry(ErasePlan& plan, const Rules& rules, const Entry& entry, Computer& computer) {
    if (entry.refusedExclusion) {
        plan.AddRefusal(EntryRefusalText(rules, entry) + "; what the entry keeps is unknown, so none of it is erased");
        EntryPlanCounts counts;
        counts.refused = 1;
        return counts;
    }
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
