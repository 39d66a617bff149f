// The disk cleaner's search, without any window: walks a folder (and, when asked, every folder
// below it, breadth-first) by the file system's true names and collects the files whose names
// match the patterns of a search text, with their result lines, counts and total size.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "diskclean/SearchPatterns.h"
#include "platform/FileSystem.h"

namespace bw::diskclean {

// The folders of one search still to be examined, in breadth-first order: true UTF-16 paths in
// the long "\\?\" form, each ending in "\", with counts of the folders examined and queued so
// far. Folders already examined are dropped, so it holds one level's frontier rather than the
// whole tree.
struct FolderQueue {
    std::deque<std::wstring> pending;
    int64_t worked = 0;  // folders taken out so far
    int64_t last = 0;    // folders queued in all
    void Reset(const std::wstring& start);
    void Push(std::wstring folder);
    void Clear();
};

// Result lines found and not yet shown. Line i is the text a user reads (code page: '?' where a
// name holds a character the code page lacks); path i is the true long path of the file it
// stands for, the only thing a delete may act on.
struct FoundFiles {
    std::vector<std::string> lines;
    std::vector<std::wstring> paths;
    bool empty() const { return lines.empty(); }
    void clear() {
        lines.clear();
        paths.clear();
    }
};

// One search. Every path it produces is built from the start folder and names read from the
// W listing (never "." or "..", never holding a separator), so no look-alike name can lead it out
// of the start folder; entries carrying REPARSE_POINT (links to folders) are never entered. A
// link to a file reads as a plain file and is listed like one: deleting guards against it.
class FileSearch {
public:
    // What the search tells its caller before it lists each folder.
    struct Step {
        const std::wstring& folder;  // the folder about to be listed (long form, trailing "\")
        FoundFiles& found;           // lines found so far and not yet taken: the caller may take
                                     // them (and must then clear it) or leave them for later
        bool subFolders;             // whether this folder's sub-folders are queued; the caller
                                     // may change it for this folder
    };
    // Returns false to end the search before that folder.
    using OnFolder = std::function<bool(Step& step)>;

    // Splits `patternText` into entries (ParsePatterns). `subFolders` is what each Step offers
    // until a caller changes it.
    explicit FileSearch(const std::string& patternText, bool subFolders = true);

    // Walks `start` (an absolute path, everyday or long form, trailing backslash or not), using
    // `queue` for the folders still to be listed (reset first), calling `onFolder` before each
    // folder. True when the walk ran to its end, false when `onFolder` ended it. A start folder
    // that cannot be listed, or a text without patterns, finds nothing. One run per object: the
    // counts add up.
    bool Run(const std::wstring& start, FolderQueue& queue, const OnFolder& onFolder);

    // The entries, with the lines each added (MatchCount) and whether an exact name was listed.
    const std::vector<PatternEntry>& Entries() const { return entries_; }
    // Bytes of the files listed by wildcard entries (exact-name lines carry no size).
    uint64_t TotalSize() const { return totalSize_; }
    // Lines found and not yet taken by a Step (after Run: the last folders' lines).
    FoundFiles& Found() { return found_; }

private:
    // An exact name looked for in the folder being listed (entry `entry`), and where its line
    // goes among the found lines should the listing show the file.
    struct ExactSlot {
        size_t entry;
        size_t position;
    };
    void StartFolder(const std::wstring& folder);
    void ExamineFile(const platform::fs::DirEntry& file);
    void NoteExactCandidate(const platform::fs::DirEntry& file, const std::string& upperName);
    void FinishFolder();
    const std::string& FolderText();
    const std::string& TimeText(const FILETIME& written);

    std::vector<PatternEntry> entries_;
    std::vector<std::string> exactNames_;  // each exact entry's literal as the file system looks it up
    bool hasExactNames_ = false;
    bool subFolders_;
    uint64_t totalSize_ = 0;
    FoundFiles found_;

    // The folder being listed.
    const std::wstring* folder_ = nullptr;
    std::string folderText_;  // its everyday code-page form, made at the first line it needs
    bool folderExcluded_ = false;
    std::vector<bool> exactTested_;
    std::vector<ExactSlot> exactSlots_;
    std::vector<std::wstring> exactFiles_;  // per entry: the true name found for it, or empty
    std::vector<bool> exactFilesCased_;     // per entry: that name is the literal in its own case

    // The date text of the last time shown, by whole second.
    int64_t timeSecond_ = -1;
    std::string timeText_;
};

}  // namespace bw::diskclean
