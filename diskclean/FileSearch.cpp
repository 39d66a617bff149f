// The disk cleaner's breadth-first search by true names (see FileSearch.h).
#include "diskclean/FileSearch.h"

#include <utility>

#include "platform/FileOperations.h"
#include "platform/Paths.h"

namespace bw::diskclean {

namespace fs = platform::fs;
namespace paths = platform::paths;

void FolderQueue::Reset(const std::wstring& start) {
    pending.clear();
    pending.push_back(start);
    worked = 0;
    last = 1;
}

void FolderQueue::Push(std::wstring folder) {
    pending.push_back(std::move(folder));
    ++last;
}

void FolderQueue::Clear() {
    pending.clear();
    worked = last = 0;
}

FileSearch::FileSearch(const std::string& patternText, bool subFolders)
    : entries_(ParsePatterns(patternText)), subFolders_(subFolders) {
    for (const PatternEntry& entry : entries_) {
        // Windows looks a name up without its trailing dots and blanks.
        std::string name = entry.upper;
        while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        const bool exact = entry.kind() == PatternEntry::Class::ExactName && IsPlainFileName(entry.literal);
        exactNames_.push_back(exact ? name : std::string());
        if (exact && !name.empty()) hasExactNames_ = true;
    }
    exactTested_.assign(entries_.size(), false);
    exactFiles_.assign(entries_.size(), std::wstring());
    exactFilesCased_.assign(entries_.size(), false);
}

bool FileSearch::Run(const std::wstring& start, FolderQueue& queue, const OnFolder& onFolder) {
    queue.Clear();
    if (entries_.empty()) return true;
    const std::wstring longStart = paths::LongPath(start);
    if (longStart.empty()) return true;
    queue.Reset(longStart.back() == L'\\' ? longStart : longStart + L'\\');
    while (!queue.pending.empty()) {
        // Taken out before the caller is asked: the caller may pump messages, and a newer
        // search started meanwhile may reset the queue.
        const std::wstring folder = std::move(queue.pending.front());
        queue.pending.pop_front();
        ++queue.worked;
        Step step{folder, found_, subFolders_};
        if (!onFolder(step)) return false;
        const bool subFolders = step.subFolders;

        // One listing serves both: sub-folders are queued (links to folders never), files examined.
        StartFolder(folder);
        fs::ListFolderW(folder, [&](const fs::DirEntry& entry) {
            if (entry.IsFolder()) {
                if (subFolders && !entry.IsLink()) queue.Push(folder + entry.wideName + L'\\');
            } else {
                ExamineFile(entry);
            }
            return true;
        });
        FinishFolder();
    }
    return true;
}

void FileSearch::StartFolder(const std::wstring& folder) {
    folder_ = &folder;
    folderText_.clear();
    exactTested_.assign(entries_.size(), false);
    exactSlots_.clear();
    if (hasExactNames_) {
        for (std::wstring& name : exactFiles_) name.clear();
        exactFilesCased_.assign(entries_.size(), false);
    }
}

const std::string& FileSearch::FolderText() {
    if (folderText_.empty()) {
        folderText_ = paths::Narrow(paths::ShortForm(*folder_));
        // The excluded words hold no backslash, so they lie wholly in the folder or in the name.
        folderExcluded_ = IsExcludedPath(folderText_);
    }
    return folderText_;
}

const std::string& FileSearch::TimeText(const FILETIME& written) {
    // The text shows whole seconds; files written in the same second share it.
    const int64_t second =
        static_cast<int64_t>(((static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime) /
                             10000000u);
    if (second != timeSecond_) {
        timeText_ = platform::ListedTimeText(written);
        timeSecond_ = second;
    }
    return timeText_;
}

void FileSearch::ExamineFile(const fs::DirEntry& file) {
    const std::string upperName = UpperAscii(file.name);
    if (hasExactNames_) NoteExactCandidate(file, upperName);
    bool found = false;
    for (size_t k = 0; k < entries_.size(); ++k) {
        PatternEntry& entry = entries_[k];
        // An exact name is looked for once per folder, at the first file that reaches it, and
        // listed at most once per search; its line goes where it was looked for, once the
        // folder's listing has shown whether the file is there.
        if (entry.kind() == PatternEntry::Class::ExactName && !entry.ExactFound && !exactTested_[k]) {
            exactTested_[k] = true;
            if (!exactNames_[k].empty()) exactSlots_.push_back({k, found_.lines.size()});
        }
        // Every entry is tried on its own: a name too short for one entry may still match a later one.
        if (!found && NameMatches(entry, upperName)) found = true;
        if (!found) continue;
        const std::string& folderText = FolderText();
        if (folderExcluded_ || IsExcludedPath(file.name)) continue;
        found_.lines.push_back(WildcardLine(folderText + file.name, file.size, TimeText(file.written)));
        found_.paths.push_back(*folder_ + file.wideName);
        totalSize_ += file.size;
        ++entry.MatchCount;
        return;
    }
}

// Remembers `file` for each exact name it answers, as Windows would find it by that name:
// regardless of letter case, the name in its own case first (under Wine "Thumbs.db" and
// "thumbs.db" can both be there).
void FileSearch::NoteExactCandidate(const fs::DirEntry& file, const std::string& upperName) {
    for (size_t k = 0; k < entries_.size(); ++k) {
        if (exactNames_[k].empty() || entries_[k].ExactFound || exactFilesCased_[k]) continue;
        if (upperName != exactNames_[k] || !file.nameFits) continue;
        const bool cased = entries_[k].literal.compare(0, file.name.size(), file.name) == 0;
        if (cased || exactFiles_[k].empty()) {
            exactFiles_[k] = file.wideName;
            exactFilesCased_[k] = cased;
        }
    }
}

void FileSearch::FinishFolder() {
    // Latest first, so the earlier positions stay where they were.
    for (size_t i = exactSlots_.size(); i-- > 0;) {
        const ExactSlot& slot = exactSlots_[i];
        PatternEntry& entry = entries_[slot.entry];
        const std::wstring& name = exactFiles_[slot.entry];
        if (name.empty()) continue;
        found_.lines.insert(found_.lines.begin() + static_cast<std::ptrdiff_t>(slot.position),
                            FolderText() + entry.literal);
        found_.paths.insert(found_.paths.begin() + static_cast<std::ptrdiff_t>(slot.position), *folder_ + name);
        entry.ExactFound = true;
        ++entry.MatchCount;
    }
    folder_ = nullptr;
}

}  // namespace bw::diskclean
