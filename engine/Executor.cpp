// The erase executor: one guarded act per target, its outcome recorded.
#include "engine/Executor.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace bw {

namespace {

namespace fs = platform::fs;
namespace reg = platform::reg;

Outcome FromFileOutcome(fs::ListedFileOutcome outcome) {
    switch (outcome) {
    case fs::ListedFileOutcome::Deleted: return Outcome::Erased;
    case fs::ListedFileOutcome::InUse: return Outcome::InUse;
    case fs::ListedFileOutcome::ReadOnly: return Outcome::ReadOnly;
    case fs::ListedFileOutcome::Refused: return Outcome::Refused;
    case fs::ListedFileOutcome::Changed: return Outcome::Changed;
    case fs::ListedFileOutcome::Vanished: return Outcome::Vanished;
    }
    return Outcome::Failed;
}

// The folders of a plan held open along one chain, from an anchor down: a target in the same
// folder as the last one reuses them, a target elsewhere keeps the common part. Finding the common
// part looks up only the folders not yet open, and only the deepest guard holds its names
// (fs::Shelve), so a chain of any depth costs time and memory in proportion to the folders it
// opens.
class OpenChain {
public:
    explicit OpenChain(const ErasePlan& plan) : plan_(plan) {}

    // The checked guard of `folder`, every folder above it opened relative to its checked
    // parent; not usable when any of them is no longer the folder found (a link, a twin, gone).
    const fs::FolderGuard& Open(uint32_t folder) {
        if (!open_.empty() && open_.back().first == folder) return open_.back().second;
        chain_.clear();
        uint32_t at = folder;
        for (; at != ErasePlan::kNone && !IsOpen(at); at = plan_.FolderAt(at).parent) chain_.push_back(at);
        Keep(at == ErasePlan::kNone ? 0 : depthOf_[at] + 1);
        while (!chain_.empty()) {
            at = chain_.back();
            chain_.pop_back();
            if (open_.empty()) {
                Push(at, fs::Reattach(plan_.AnchorGuard(at)));
                continue;
            }
            fs::FolderGuard& parent = open_.back().second;
            fs::FolderGuard child = parent.usable ? fs::GuardChild(parent, plan_.FolderName(at)) : fs::FolderGuard{};
            if (child.usable) fs::Shelve(parent);
            Push(at, std::move(child));
        }
        return open_.back().second;
    }

    // Lets go of `folder` and everything below it, so none of this chain's handles keeps it.
    void Release(uint32_t folder) {
        if (IsOpen(folder)) Keep(depthOf_[folder]);
    }

private:
    bool IsOpen(uint32_t folder) const {
        return folder < depthOf_.size() && depthOf_[folder] < open_.size() && open_[depthOf_[folder]].first == folder;
    }
    void Push(uint32_t folder, fs::FolderGuard guard) {
        if (depthOf_.size() <= folder) depthOf_.resize(static_cast<size_t>(folder) + 1, 0);
        depthOf_[folder] = open_.size();
        open_.emplace_back(folder, std::move(guard));
    }
    // Closes every folder below the first `depth`, each level giving its names back to its parent
    // as it goes, so the deepest kept holds its own.
    void Keep(size_t depth) {
        while (open_.size() > std::max<size_t>(depth, 1)) {
            fs::Unshelve(open_[open_.size() - 2].second, open_.back().second);
            open_.pop_back();
        }
        if (depth == 0) open_.clear();
    }

    const ErasePlan& plan_;
    std::vector<std::pair<uint32_t, fs::FolderGuard>> open_;
    std::vector<size_t> depthOf_;  // by plan folder: its place in open_, when IsOpen
    std::vector<uint32_t> chain_;
};

Outcome RemoveFolder(const ErasePlan& plan, OpenChain& chain, uint32_t folder) {
    const ErasePlan::Folder& record = plan.FolderAt(folder);
    if (record.parent == ErasePlan::kNone) return Outcome::Refused;  // an item's own folder stays
    chain.Release(folder);
    const fs::FolderGuard& parent = chain.Open(record.parent);
    if (!parent.usable) return Outcome::Refused;
    const std::wstring name = plan.FolderName(folder);
    if (fs::IsWine() && !parent.objectName.empty() && !parent.DirectOnly()) {
        // Under Wine a folder's protection is judged on its name alone, and the removal opens it
        // relative to its parent and checks that name itself: one open and one name query where
        // a guard first would take two of each (both cost the more the deeper the folder lies).
        // Only a folder that stays is looked at again, to tell why.
        fs::FolderGuard removal;
        removal.path = parent.path + name + L"\\";
        removal.objectName = parent.objectName + name + L"\\";
        removal.parent = parent.handle;
        removal.leaf = name;
        removal.protection = fs::ProtectionOf(removal.objectName);
        removal.usable = removal.protection == fs::Protection::None;
        if (removal.usable && fs::RemoveFolderChecked(removal)) return Outcome::Erased;
    }
    fs::FolderGuard guard = fs::GuardChild(parent, name);
    if (!guard.usable) {
        return fs::PathExists(parent.path + plan.FolderName(folder)) ? Outcome::Refused : Outcome::Vanished;
    }
    guard.handle.reset();  // this guard's own handle must not keep the folder alive
    return fs::RemoveFolderChecked(guard) ? Outcome::Erased : Outcome::Failed;
}

// A key is reached one name at a time without following a registry link, and removed through the
// handle that reached it: a link is removed itself, never its target, and nothing is reached
// through a link above it.
Outcome RemoveKey(const ErasePlan::Key& key) {
    const std::wstring path = platform::paths::Widen(key.path);
    reg::Key open;
    const reg::Reached reached = reg::OpenNoFollow(key.root, path, DELETE | KEY_ENUMERATE_SUB_KEYS, key.view, &open);
    Outcome outcome = Outcome::Failed;
    switch (reached) {
    case reg::Reached::Missing: outcome = Outcome::Vanished; break;
    case reg::Reached::ThroughLink: return Outcome::Refused;  // nothing is made behind a link either
    case reg::Reached::Failed: outcome = Outcome::Failed; break;
    case reg::Reached::Key:
    case reg::Reached::Link: outcome = reg::DeleteByHandle(open.get()) == ERROR_SUCCESS ? Outcome::Erased : Outcome::Failed;
    }
    open.reset();
    if (key.recreate) {
        reg::Key made;
        reg::CreateNoFollow(key.root, path, KEY_QUERY_VALUE, key.view, &made);
    }
    return outcome;
}

// A value is deleted through its own key's handle, and only when that key is no link.
Outcome RemoveValue(const ErasePlan::Key& key, const std::string& name) {
    reg::Key open;
    switch (reg::OpenNoFollow(key.root, platform::paths::Widen(key.path), KEY_QUERY_VALUE | KEY_SET_VALUE, key.view,
                              &open)) {
    case reg::Reached::Key: break;
    case reg::Reached::Missing: return Outcome::Vanished;
    case reg::Reached::Link:
    case reg::Reached::ThroughLink: return Outcome::Refused;
    case reg::Reached::Failed: return Outcome::Failed;
    }
    if (reg::QueryValueEx(open.get(), name, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return Outcome::Vanished;
    return reg::DeleteValue(open.get(), name) == ERROR_SUCCESS ? Outcome::Erased : Outcome::Failed;
}

}  // namespace

void ExecuteItems(ErasePlan& plan, size_t first, size_t last, const ExecuteOptions& options) {
    OpenChain chain(plan);
    std::vector<Target>& targets = plan.Targets();
    bool stopped = false;
    uint32_t failedFolder = ErasePlan::kNone;  // a folder found no longer the same: its files are refused
    for (size_t index = 0; index < targets.size(); ++index) {
        Target& target = targets[index];
        if (target.item < first || target.item >= last || target.outcome != Outcome::Planned) continue;
        if (!target.ticked) {
            target.outcome = Outcome::Unticked;
            continue;
        }
        if (!stopped && options.cancelled && options.cancelled()) stopped = true;
        if (stopped) {
            target.outcome = Outcome::Cancelled;
            continue;
        }
        if (options.progress && index % 256 == 0) options.progress(index, targets.size());
        switch (target.kind) {
        case TargetKind::File: {
            if (target.ref == failedFolder) {
                target.outcome = Outcome::Refused;
                break;
            }
            const fs::FolderGuard& folder = chain.Open(target.ref);
            if (!folder.usable) {
                failedFolder = target.ref;
                target.outcome = Outcome::Refused;
                break;
            }
            target.outcome = FromFileOutcome(fs::DeleteListedFile(folder, plan.FileName(target), target.size,
                                                                  target.written, target.force, options.securely,
                                                                  options.checkUnchanged));
            // Not found by its name, yet its folder still holds it: under WOW64 the name led to the
            // other view of the system folders, never to a file that is gone.
            if (target.outcome == Outcome::Vanished && fs::PathExists(folder.path + plan.FileName(target)))
                target.outcome = Outcome::OutsideView;
            break;
        }
        case TargetKind::Folder: target.outcome = RemoveFolder(plan, chain, target.ref); break;
        case TargetKind::RegistryKey: target.outcome = RemoveKey(plan.KeyAt(target.ref)); break;
        case TargetKind::RegistryValue:
            target.outcome = RemoveValue(plan.KeyAt(target.ref), plan.ValueName(target));
            break;
        case TargetKind::Operation: {
            ErasePlan::Operation& operation = plan.OperationAt(target.ref);
            operation.result = operation.run ? operation.run() : OperationResult{};
            target.outcome = operation.result.done ? Outcome::Erased : Outcome::Failed;
            break;
        }
        }
    }
    if (options.progress) options.progress(targets.size(), targets.size());
}

void Execute(ErasePlan& plan, const ExecuteOptions& options) { ExecuteItems(plan, 0, plan.ItemCount(), options); }

}  // namespace bw
