// The erase plan: compact target lists with their folders, keys and operations.
#include "engine/ErasePlan.h"

#include <utility>

#include "platform/Paths.h"

namespace bw {

const char* OutcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Planned: return "planned";
    case Outcome::Erased: return "erased";
    case Outcome::InUse: return "in use";
    case Outcome::ReadOnly: return "read-only";
    case Outcome::Refused: return "refused (a link, or outside its folder)";
    case Outcome::Changed: return "changed since the preview";
    case Outcome::Vanished: return "vanished";
    case Outcome::OutsideView: return "outside this program's view";
    case Outcome::Failed: return "could not be removed";
    case Outcome::Cancelled: return "cancelled";
    case Outcome::Unticked: return "unticked";
    }
    return "";
}

uint16_t ErasePlan::BeginItem(const std::string& caption, int row) {
    items_.push_back({caption, "", row});
    return static_cast<uint16_t>(items_.size() - 1);
}

void ErasePlan::SetItemEnding(bool altEnd, bool noEnd) {
    if (items_.empty()) return;
    items_.back().altEnd = altEnd;
    items_.back().noEnd = noEnd;
}

void ErasePlan::SetItemNote(const std::string& note) {
    if (items_.empty()) return;
    std::string& text = items_.back().note;
    text += text.empty() ? note : ", " + note;
}

bool ErasePlan::ItemTicked(size_t item) const {
    bool any = false;
    for (const Target& target : targets_) {
        if (target.item != item) continue;
        if (target.ticked) return true;
        any = true;
    }
    return !any;
}

void ErasePlan::SetItemTicked(size_t item, bool ticked) {
    for (Target& target : targets_)
        if (target.item == item) target.ticked = ticked;
}

uint32_t ErasePlan::AddName(const std::wstring& name) {
    const auto offset = static_cast<uint32_t>(names_.size());
    names_ += name;
    return offset;
}

uint32_t ErasePlan::AddAnchor(platform::fs::FolderGuard guard) {
    if (!guard.usable) return kNone;
    Folder folder;
    folder.anchor = static_cast<uint32_t>(anchors_.size());
    platform::fs::Detach(guard);  // the executor opens it again, checked to be the same folder
    anchors_.push_back(std::move(guard));
    folders_.push_back(folder);
    return static_cast<uint32_t>(folders_.size() - 1);
}

uint32_t ErasePlan::AddFolder(uint32_t parent, const std::wstring& name) {
    Folder folder;
    folder.parent = parent;
    folder.text = AddName(name);
    folder.length = static_cast<uint32_t>(name.size());
    folders_.push_back(folder);
    return static_cast<uint32_t>(folders_.size() - 1);
}

void ErasePlan::AddFile(uint32_t folder, const platform::fs::DirEntry& entry, bool force) {
    Target target;
    target.force = force;
    target.kind = TargetKind::File;
    target.item = static_cast<uint16_t>(items_.empty() ? 0 : items_.size() - 1);
    target.ref = folder;
    target.text = AddName(entry.wideName);
    target.length = static_cast<uint32_t>(entry.wideName.size());
    target.size = entry.size;
    target.written = entry.written;
    targets_.push_back(target);
}

void ErasePlan::AddFolderRemoval(uint32_t folder) {
    Target target;
    target.kind = TargetKind::Folder;
    target.item = static_cast<uint16_t>(items_.empty() ? 0 : items_.size() - 1);
    target.ref = folder;
    targets_.push_back(target);
}

void ErasePlan::AddKey(HKEY root, const std::string& path, bool recreate, bool quiet, REGSAM view, bool link) {
    keys_.push_back({root, path, recreate, view, link});
    Target target;
    target.quiet = quiet;
    target.kind = TargetKind::RegistryKey;
    target.item = static_cast<uint16_t>(items_.empty() ? 0 : items_.size() - 1);
    target.ref = static_cast<uint32_t>(keys_.size() - 1);
    targets_.push_back(target);
}

void ErasePlan::AddValue(HKEY root, const std::string& path, const std::string& name, REGSAM view) {
    keys_.push_back({root, path, false, view, false});
    valueNames_.push_back(name);
    Target target;
    target.kind = TargetKind::RegistryValue;
    target.item = static_cast<uint16_t>(items_.empty() ? 0 : items_.size() - 1);
    target.ref = static_cast<uint32_t>(keys_.size() - 1);
    target.text = static_cast<uint32_t>(valueNames_.size() - 1);
    targets_.push_back(target);
}

void ErasePlan::AddOperation(const std::string& label, uint64_t expected, std::function<OperationResult()> run) {
    operations_.push_back({label, std::move(run), {}});
    Target target;
    target.kind = TargetKind::Operation;
    target.item = static_cast<uint16_t>(items_.empty() ? 0 : items_.size() - 1);
    target.ref = static_cast<uint32_t>(operations_.size() - 1);
    target.size = expected;
    targets_.push_back(target);
}

void ErasePlan::AddRefusal(const std::string& label) {
    AddOperation(label, 0, nullptr);
    targets_.back().outcome = Outcome::Refused;
}

std::wstring ErasePlan::FolderPath(uint32_t folder) const {
    std::vector<uint32_t> chain;
    for (uint32_t at = folder; at != kNone; at = folders_[at].parent) chain.push_back(at);
    std::wstring path = anchors_[folders_[chain.back()].anchor].path;
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path = path.substr(4);
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) path += FolderName(*it) + L"\\";
    return path;
}

namespace {

std::wstring Wide(const std::string& text) { return platform::paths::Widen(text); }

const char* RootName(HKEY root) {
    if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (root == HKEY_USERS) return "HKEY_USERS";
    return "HKEY";
}

// What a person reads after a key's path: its registry view where one was named, and whether it
// was a registry link.
std::string KeyNote(const ErasePlan::Key& key) {
    std::string note;
    if (key.view == KEY_WOW64_64KEY) note += " (64-bit)";
    if (key.view == KEY_WOW64_32KEY) note += " (32-bit)";
    if (key.link) note += " (registry link)";
    return note;
}

}  // namespace

std::wstring ErasePlan::Describe(const Target& target) const {
    switch (target.kind) {
    case TargetKind::File: return FolderPath(target.ref) + FileName(target);
    case TargetKind::Folder: {
        std::wstring path = FolderPath(target.ref);
        if (!path.empty()) path.pop_back();
        return path;
    }
    case TargetKind::RegistryKey: {
        const Key& key = keys_[target.ref];
        return Wide(std::string(RootName(key.root)) + "\\" + key.path + KeyNote(key));
    }
    case TargetKind::RegistryValue: {
        const Key& key = keys_[target.ref];
        return Wide(std::string(RootName(key.root)) + "\\" + key.path + "\\" + valueNames_[target.text] + KeyNote(key));
    }
    case TargetKind::Operation: return Wide(operations_[target.ref].label);
    }
    return {};
}

namespace {

void Count(TargetCounts& counts, const Target& target, uint64_t bytes) {
    switch (target.kind) {
    case TargetKind::File:
        ++counts.files;
        counts.bytes += bytes;
        break;
    case TargetKind::Folder: ++counts.folders; break;
    case TargetKind::RegistryKey: ++counts.keys; break;
    case TargetKind::RegistryValue: ++counts.values; break;
    case TargetKind::Operation:
        ++counts.operations;
        counts.entries += static_cast<int64_t>(bytes);
        break;
    }
}

}  // namespace

ItemFigures ErasePlan::FiguresOf(size_t item) const {
    ItemFigures figures;
    for (const Target& target : targets_) {
        if (target.item != item || target.quiet) continue;
        Count(figures.planned, target, target.size);
        if (target.kind == TargetKind::File && !target.sizeKnown) ++figures.unknownSizes;
        if (target.kind == TargetKind::Operation) {
            const OperationResult& result = operations_[target.ref].result;
            if (target.outcome == Outcome::Erased) {
                ++figures.erased.operations;
                figures.erased.files += result.files;
                figures.erased.bytes += result.bytes;
                figures.erased.values += result.registry;
                figures.erased.entries += result.entries;
            } else if (target.outcome != Outcome::Planned) {
                ++figures.left;
            }
            continue;
        }
        if (target.outcome == Outcome::Erased)
            Count(figures.erased, target, target.size);
        else if (target.outcome != Outcome::Planned)
            ++figures.left;
    }
    return figures;
}

ItemFigures ErasePlan::Total() const {
    ItemFigures total;
    auto add = [](TargetCounts& a, const TargetCounts& b) {
        a.files += b.files;
        a.folders += b.folders;
        a.keys += b.keys;
        a.values += b.values;
        a.operations += b.operations;
        a.entries += b.entries;
        a.bytes += b.bytes;
    };
    for (size_t item = 0; item < items_.size(); ++item) {
        ItemFigures one = FiguresOf(item);
        add(total.planned, one.planned);
        add(total.erased, one.erased);
        total.left += one.left;
        total.unknownSizes += one.unknownSizes;
    }
    return total;
}

void ErasePlan::Compact() {
    targets_.shrink_to_fit();
    folders_.shrink_to_fit();
    names_.shrink_to_fit();
}

size_t ErasePlan::MemoryBytes() const {
    size_t bytes = targets_.capacity() * sizeof(Target) + folders_.capacity() * sizeof(Folder) +
                   names_.capacity() * sizeof(wchar_t) + anchors_.capacity() * sizeof(platform::fs::FolderGuard);
    for (const platform::fs::FolderGuard& guard : anchors_)
        bytes += (guard.path.capacity() + guard.objectName.capacity()) * sizeof(wchar_t);
    for (const Key& key : keys_) bytes += sizeof key + key.path.capacity();
    for (const std::string& name : valueNames_) bytes += sizeof name + name.capacity();
    return bytes;
}

}  // namespace bw
