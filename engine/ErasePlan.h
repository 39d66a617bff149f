// What an erase run means to remove, found before anything is removed: the files below checked
// folders, folders to remove, registry keys and values, and named operations that have no file
// or key. The executor (Executor.h) carries a plan out and writes each target's outcome into it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace bw {

enum class TargetKind : uint8_t {
    File,           // a file below an anchor
    Folder,         // an emptied folder below an anchor, removed once empty
    RegistryKey,    // a key removed (and made again, empty, when the plan says so)
    RegistryValue,  // one value of a key
    Operation,      // work with no file or key (the clipboard, the URL history...)
};

enum class Outcome : uint8_t {
    Planned,    // found, not yet acted on
    Erased,
    InUse,      // held by another program
    ReadOnly,   // read-only, or access was denied
    Refused,    // no longer what was found: a link, a case twin, outside its folder
    Changed,    // written to since it was found
    Vanished,   // gone before it was reached
    OutsideView,  // its folder still holds it, but opening it by name reaches another view (WOW64)
    Failed,     // the system refused (a folder not empty, a key with subkeys)
    Cancelled,  // the run was cancelled before it was reached
    Unticked,   // the user took it out of this run
};

// The words a report uses for an outcome: "erased", "in use", "read-only"...
const char* OutcomeText(Outcome outcome);

// What a named operation did, measured by the operation itself.
struct OperationResult {
    bool done = false;
    int64_t files = 0;
    uint64_t bytes = 0;
    int64_t registry = 0;  // registry keys and values removed
    int64_t entries = 0;   // other entries removed (history entries, items of the Recycle Bin)
};

// Counts of one item or of a whole plan, as found and as carried out.
struct TargetCounts {
    int64_t files = 0, folders = 0, keys = 0, values = 0, operations = 0, entries = 0;
    uint64_t bytes = 0;
    int64_t Registry() const { return keys + values; }
};
struct ItemFigures {
    TargetCounts planned;         // every target the item found (unticked ones included)
    TargetCounts erased;           // what the executor removed
    int64_t left = 0;         // targets not removed (in use, refused, cancelled...)
    int64_t unknownSizes = 0; // files whose size could not be read ("?")
};

// One target of a plan; a few bytes each, so that a cache of 150,000 files fits in a few MiB.
// Names and texts are held once in the plan's pools.
struct Target {
    uint64_t size = 0;        // bytes (File), or the count the operation expects (Operation)
    FILETIME written{};       // File: the last write time as listed
    uint32_t ref = 0;         // File, Folder: the folder; keys and values: the key; Operation: its index
    uint32_t text = 0;        // File: offset of its name in the name pool; RegistryValue: value index
    uint32_t length = 0;      // File: length of its name
    uint16_t item = 0;
    TargetKind kind = TargetKind::File;
    Outcome outcome = Outcome::Planned;
    bool ticked = true;
    bool sizeKnown = true;
    bool force = false;       // File: a read-only file goes too
    bool quiet = false;       // RegistryKey: only made to exist, neither shown nor counted
};

class ErasePlan {
public:
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    // Starts the targets of the item `caption`; every target added after belongs to it.
    uint16_t BeginItem(const std::string& caption, int row = -1);
    // The row of the erase item table the item stands for (-1: none).
    int ItemRow(size_t item) const { return items_[item].row; }
    // How the item's status line ends: its alternative end line, or none at all.
    void SetItemEnding(bool altEnd, bool noEnd);
    bool ItemAltEnd(size_t item) const { return items_[item].altEnd; }
    bool ItemNoEnd(size_t item) const { return items_[item].noEnd; }
    size_t ItemCount() const { return items_.size(); }
    const std::string& ItemCaption(size_t item) const { return items_[item].caption; }
    // Extra work an item will do, shown on its line ("clipboard text").
    void SetItemNote(const std::string& note);
    const std::string& ItemNote(size_t item) const { return items_[item].note; }
    bool ItemTicked(size_t item) const;
    void SetItemTicked(size_t item, bool ticked);

    // A folder an item starts from, opened and checked (shared by every target found below it).
    // The plan keeps its names and identity, not its handle: a plan of any size holds no open
    // folder, and the executor opens it again, checked to be the same folder. kNone when the guard
    // is not usable.
    uint32_t AddAnchor(platform::fs::FolderGuard guard);
    // A folder found below `parent` by its true name.
    uint32_t AddFolder(uint32_t parent, const std::wstring& name);
    // The file `entry` listed in `folder`.
    void AddFile(uint32_t folder, const platform::fs::DirEntry& entry, bool force = false);
    // Removing the folder `folder` once what it holds has gone (add it after its contents).
    void AddFolderRemoval(uint32_t folder);
    // A registry key to remove; with `recreate` it is made again, empty. A `quiet` key is missing
    // and only made (empty), as the item leaves it: no target a person sees or counts. `view` is
    // the registry view it lies in (0: the program's own; KEY_WOW64_64KEY or KEY_WOW64_32KEY under
    // WOW64, then shown with it); a `link` is a registry link found there, removed itself (never
    // its target), and shown as one.
    void AddKey(HKEY root, const std::string& path, bool recreate, bool quiet = false, REGSAM view = 0,
                bool link = false);
    // A value to remove, in the registry view `view`.
    void AddValue(HKEY root, const std::string& path, const std::string& name, REGSAM view = 0);
    // Work with no file or key; `expected` is what it is expected to remove (shown in a preview),
    // `label` says what it is ("URL history").
    void AddOperation(const std::string& label, uint64_t expected, std::function<OperationResult()> run);

    // Something a guard kept the item from doing, `label` saying what and why: a target that is
    // shown in a preview and a report but never acted on (its outcome is Refused from the start).
    void AddRefusal(const std::string& label);


    std::vector<Target>& Targets() { return targets_; }
    const std::vector<Target>& Targets() const { return targets_; }

    // The folder a file or folder target lies in, and its parent; the anchor of a top folder.
    struct Folder {
        uint32_t parent = kNone;  // kNone: an anchor
        uint32_t text = 0, length = 0;
        uint32_t anchor = kNone;  // index of its guard, for an anchor
    };
    const Folder& FolderAt(uint32_t index) const { return folders_[index]; }
    const platform::fs::FolderGuard& AnchorGuard(uint32_t folder) const { return anchors_[folders_[folder].anchor]; }
    std::wstring FolderName(uint32_t folder) const { return names_.substr(folders_[folder].text, folders_[folder].length); }
    std::wstring FileName(const Target& target) const { return names_.substr(target.text, target.length); }

    struct Key {
        HKEY root;
        std::string path;
        bool recreate;
        REGSAM view = 0;    // 0, KEY_WOW64_64KEY or KEY_WOW64_32KEY
        bool link = false;  // a registry link when found
    };
    const Key& KeyAt(uint32_t index) const { return keys_[index]; }
    const std::string& ValueName(const Target& target) const { return valueNames_[target.text]; }
    struct Operation {
        std::string label;
        std::function<OperationResult()> run;
        OperationResult result;
    };
    Operation& OperationAt(uint32_t index) { return operations_[index]; }
    const Operation& OperationAt(uint32_t index) const { return operations_[index]; }

    // The full path of a target as a person reads it: "C:\...\name" (UTF-16 for the true names),
    // "HKEY_CURRENT_USER\key" with "\value" for a value (then " (64-bit)" or " (32-bit)" for a
    // key in a view named under WOW64, " (registry link)" for a link), or the operation's label.
    std::wstring Describe(const Target& target) const;
    // The folder's path: its anchor's long path without "\\?\" and the names below it.
    std::wstring FolderPath(uint32_t folder) const;

    // The figures of one item, from its targets' outcomes.
    ItemFigures FiguresOf(size_t item) const;
    // The figures of the whole plan.
    ItemFigures Total() const;

    // Bytes the plan holds, its pools included (an estimate from capacities).
    size_t MemoryBytes() const;
    // Gives back the room the lists grew into but do not use (once the search is done).
    void Compact();

    // Called by a long search now and then (each folder it enters): lets the window repaint and
    // answer Cancel. True stops the search; what was found so far stays in the plan.
    void SetPulse(std::function<bool()> pulse) { pulse_ = std::move(pulse); }
    bool Pulse() const { return pulse_ && pulse_(); }

private:
    struct Item {
        std::string caption, note;
        int row = -1;
        bool altEnd = false, noEnd = false;
    };
    std::vector<Item> items_;
    std::vector<Target> targets_;
    std::vector<Folder> folders_;
    std::vector<platform::fs::FolderGuard> anchors_;
    std::wstring names_;
    std::vector<Key> keys_;
    std::vector<std::string> valueNames_;
    std::vector<Operation> operations_;
    std::function<bool()> pulse_;
    uint32_t AddName(const std::wstring& name);
};

}  // namespace bw
