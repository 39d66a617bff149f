// Planning walks: the guarded folder walks of the erase items, collecting targets.
#include "engine/PlanWalk.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "engine/Normal.h"
#include "platform/Paths.h"

namespace bw::planwalk {

using Normal::SameName;
using Normal::StartingFolderBelow;
using Normal::VisibleOnly;

namespace {

void WalkFrom(ErasePlan& plan, std::optional<fs::FolderGuard> start, const fs::WalkRules& rules) {
    if (!start) return;
    const uint32_t anchor = plan.AddAnchor(*start);
    if (anchor != ErasePlan::kNone) Walk(plan, anchor, std::move(*start), rules);
}

}  // namespace

namespace {

// A sub-folder a walk found and leaves, with what it holds: a refusal the preview and the report
// show, naming the folder.
void RefuseFolder(ErasePlan& plan, uint32_t parent, const std::wstring& name, const char* why) {
    std::wstring path = plan.FolderPath(parent);
    path += name;
    plan.AddRefusal("not entered: " + platform::paths::Narrow(path) + ", " + why + "; what it holds stays");
}

}  // namespace

void Walk(ErasePlan& plan, uint32_t folder, fs::FolderGuard guard, const fs::WalkRules& rules) {
    if (!guard.usable || guard.DirectOnly()) return;
    // Depth-first, one open handle per level, as fs::Walk: a frame holds its folder and the
    // sub-folders it listed and has yet to enter. Only the deepest frame's guard holds its names
    // (fs::Shelve), so memory grows with the depth, never with its square.
    struct Frame {
        uint32_t folder;
        fs::FolderGuard guard;
        int tag;
        std::vector<std::pair<std::wstring, int>> pending;
    };
    std::vector<Frame> stack;
    auto enter = [&](uint32_t at, fs::FolderGuard opened, int tag) {
        Frame frame{at, std::move(opened), tag, {}};
        fs::ListGuarded(frame.guard, [&](const fs::DirEntry& entry) {
            if (entry.IsFolder()) {
                if (entry.IsLink()) return true;
                int childTag = frame.tag;
                if (!rules.enter || rules.enter(frame.guard, entry, frame.tag, childTag))
                    frame.pending.emplace_back(entry.wideName, childTag);
            } else if (!rules.deleteFile || rules.deleteFile(frame.guard, entry, frame.tag)) {
                plan.AddFile(frame.folder, entry, rules.force);
            }
            return true;
        });
        std::reverse(frame.pending.begin(), frame.pending.end());
        stack.push_back(std::move(frame));
    };
    enter(folder, std::move(guard), rules.rootTag);
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.pending.empty()) {
            if (plan.Pulse()) return;  // cancelled: the folders not yet entered are not listed
            auto [name, tag] = std::move(top.pending.back());
            top.pending.pop_back();
            if (stack.size() > fs::kMaxWalkDepth) {
                RefuseFolder(plan, top.folder, name, "too deep");
                continue;
            }
            fs::FolderGuard child = fs::GuardChild(top.guard, name);
            if (!child.usable) {
                // Swapped for a link, gone, or (under Wine) a path too long for the system to open.
                RefuseFolder(plan, top.folder, name, "it cannot be opened as the folder listed there");
                continue;
            }
            fs::Shelve(top.guard);
            enter(plan.AddFolder(top.folder, name), std::move(child), tag);
            continue;
        }
        const uint32_t done = top.folder;
        fs::FolderGuard doneGuard = std::move(top.guard);
        stack.pop_back();
        const bool isRoot = stack.empty();
        if (!isRoot) fs::Unshelve(stack.back().guard, doneGuard);
        if (rules.removeFolders && (!isRoot || rules.removeRoot)) plan.AddFolderRemoval(done);
    }
}

void EmptyFolderBelow(ErasePlan& plan, const std::string& path, const std::string& below, bool baseMayBeProtected) {
    fs::WalkRules rules = VisibleOnly([](const fs::DirEntry&, bool) { return true; });
    rules.removeFolders = true;
    WalkFrom(plan, StartingFolderBelow(path, below, baseMayBeProtected), rules);
}

void NamedFileBelow(ErasePlan& plan, const std::string& path, const std::string& below, const char* fileName,
                    bool baseMayBeProtected) {
    WalkFrom(plan, StartingFolderBelow(path, below, baseMayBeProtected),
             VisibleOnly([fileName](const fs::DirEntry& file, bool) { return SameName(file.name, fileName); }));
}

void ProfileCacheBelow(ErasePlan& plan, const std::string& path, const std::string& below, bool baseMayBeProtected) {
    WalkFrom(plan, StartingFolderBelow(path, below, baseMayBeProtected),
             VisibleOnly([](const fs::DirEntry&, bool inCache) { return inCache; }));
}

void ProfileCacheIn(ErasePlan& plan, const fs::FolderGuard& start) {
    if (!start.usable) return;
    WalkFrom(plan, start, VisibleOnly([](const fs::DirEntry&, bool inCache) { return inCache; }));
}

void MatchingFiles(ErasePlan& plan, const fs::FolderGuard& folder, const std::string& mask, bool force) {
    const std::wstring wideMask = platform::paths::Widen(mask);
    if (!folder.usable || wideMask.empty() || wideMask.find(L'\\') != std::wstring::npos) return;
    std::vector<fs::DirEntry> matches;
    fs::ListGuarded(folder, [&](const fs::DirEntry& entry) {
        if (!entry.IsFolder() && fs::MatchesMask(wideMask, entry.wideName)) matches.push_back(entry);
        return true;
    });
    if (matches.empty()) return;
    const uint32_t anchor = plan.AddAnchor(folder);
    if (anchor == ErasePlan::kNone) return;
    for (const fs::DirEntry& entry : matches) plan.AddFile(anchor, entry, force);
}

void MatchingFiles(ErasePlan& plan, const std::string& pattern, fs::Reach reach, bool vitalToo) {
    if (platform::paths::IsMissingLocation(pattern)) return;
    const std::string trimmed = platform::paths::Trim(pattern);
    const size_t cut = trimmed.find_last_of('\\');
    if (cut == std::string::npos) return;
    const fs::FolderGuard folder = fs::GuardFolder(trimmed.substr(0, cut + 1), reach);
    if (folder.protection == fs::Protection::Vital && !vitalToo) return;
    MatchingFiles(plan, folder, trimmed.substr(cut + 1));
}

void MatchingFolders(ErasePlan& plan, const fs::FolderGuard& parent, const std::string& mask) {
    const std::wstring wideMask = platform::paths::Widen(mask);
    if (!parent.usable || parent.DirectOnly() || wideMask.empty() || wideMask.find(L'\\') != std::wstring::npos)
        return;
    std::vector<std::wstring> matches;
    fs::ListGuarded(parent, [&](const fs::DirEntry& entry) {
        if (entry.IsFolder() && !entry.IsLink() && fs::MatchesMask(wideMask, entry.wideName))
            matches.push_back(entry.wideName);
        return true;
    });
    if (matches.empty()) return;
    const uint32_t anchor = plan.AddAnchor(parent);
    if (anchor == ErasePlan::kNone) return;
    fs::WalkRules everything;
    everything.removeFolders = true;
    everything.removeRoot = true;
    for (const std::wstring& name : matches) {
        fs::FolderGuard child = fs::GuardChild(parent, name);
        if (child.usable) Walk(plan, plan.AddFolder(anchor, name), std::move(child), everything);
    }
}

}  // namespace bw::planwalk
