// The erase executor: one guarded act per target, its outcome recorded.
#include "engine/Executor.h"

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
// folder as the last one reuses them, a target elsewhere keeps the common part.
class OpenChain {
public:
    explicit OpenChain(const ErasePlan& plan) : plan_(plan) {}

    // The checked guard of `folder`, every folder above it opened relative to its checked
    // parent; not usable when any of them is no longer the folder found (a link, a twin, gone).
    const fs::FolderGuard& Open(uint32_t folder) {
        chain_.clear();
        for (uint32_t at = folder; at != ErasePlan::kNone; at = plan_.FolderAt(at).parent) chain_.push_back(at);
        size_t keep = 0;
        while (keep < open_.size() && keep < chain_.size() && open_[keep].first == chain_[chain_.size() - 1 - keep])
            ++keep;
        open_.resize(keep);
        for (size_t depth = keep; depth < chain_.size(); ++depth) {
            const uint32_t at = chain_[chain_.size() - 1 - depth];
            if (depth == 0) {
                open_.emplace_back(at, plan_.AnchorGuard(at));
            } else {
                const fs::FolderGuard& parent = open_.back().second;
                open_.emplace_back(at, parent.usable ? fs::GuardChild(parent, plan_.FolderName(at)) : fs::FolderGuard{});
            }
        }
        return open_.back().second;
    }

    // Lets go of `folder` and everything below it, so none of this chain's handles keeps it.
    void Release(uint32_t folder) {
        for (size_t depth = 0; depth < open_.size(); ++depth)
            if (open_[depth].first == folder) {
                open_.resize(depth);
                return;
            }
    }

private:
    const ErasePlan& plan_;
    std::vector<std::pair<uint32_t, fs::FolderGuard>> open_;
    std::vector<uint32_t> chain_;
};

Outcome RemoveFolder(const ErasePlan& plan, OpenChain& chain, uint32_t folder) {
    const ErasePlan::Folder& record = plan.FolderAt(folder);
    if (record.parent == ErasePlan::kNone) return Outcome::Refused;  // an item's own folder stays
    chain.Release(folder);
    const fs::FolderGuard& parent = chain.Open(record.parent);
    if (!parent.usable) return Outcome::Refused;
    fs::FolderGuard guard = fs::GuardChild(parent, plan.FolderName(folder));
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
