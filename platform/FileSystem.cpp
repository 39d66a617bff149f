// File and folder operations over FindFirstFileA and friends, with the link guards every
// deletion needs (see FileSystem.h).
#include "platform/FileSystem.h"

#include <utility>
#include <vector>

namespace bw::platform::fs {

namespace {

// Entry points that Windows XP lacks, looked up once at run time.
using GetFinalPathNameByHandleAFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
using SetFileInformationByHandleFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

// FILE_INFO_BY_HANDLE_CLASS values and their records (Vista and later headers only).
constexpr int kFileBasicInfo = 0;
constexpr int kFileDispositionInfo = 4;
struct BasicInfo {
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime;  // 0: leave as is
    DWORD fileAttributes;                                                   // 0: leave as is
};
struct DispositionInfo {
    BOOLEAN deleteFile;
};
constexpr DWORD kFileNameNormalized = 0x0;
constexpr DWORD kVolumeNameDos = 0x0;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct Kernel32 {
    GetFinalPathNameByHandleAFn getFinalPathNameByHandleA = nullptr;
    SetFileInformationByHandleFn setFileInformationByHandle = nullptr;
    Kernel32() {
        HMODULE k32 = GetModuleHandleA("kernel32.dll");
        if (!k32) return;
        getFinalPathNameByHandleA = reinterpret_cast<GetFinalPathNameByHandleAFn>(
            GetProcAddress(k32, "GetFinalPathNameByHandleA"));
        setFileInformationByHandle = reinterpret_cast<SetFileInformationByHandleFn>(
            GetProcAddress(k32, "SetFileInformationByHandle"));
    }
};

const Kernel32& Api() {
    static const Kernel32 api;
    return api;
}

class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() {
        if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void Close() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

bool EndsWithSlash(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string WithSlash(const std::string& path) {
    return EndsWithSlash(path) ? path : path + "\\";
}

// Drops a trailing backslash except after a drive ("C:\"), so attribute queries see the entry
// itself rather than whatever a link leads to.
std::string WithoutSlash(const std::string& path) {
    if (EndsWithSlash(path) && path.size() > 1 && path[path.size() - 2] != ':')
        return path.substr(0, path.size() - 1);
    return path;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Empty text, blanks and the registry helper's "Error" stand for a location that is missing.
bool IsMissingLocation(const std::string& path) {
    std::string t = Trimmed(path);
    return t.empty() || lstrcmpiA(t.c_str(), "Error") == 0;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool ForEachFound(const std::string& findPattern,
                  const std::function<bool(const DirEntry&)>& onEntry) {
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(findPattern.c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    DirEntry entry;
    do {
        if (IsDotOrDotDot(data.cFileName)) continue;
        entry.name = data.cFileName;
        entry.attributes = data.dwFileAttributes;
        entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.created = data.ftCreationTime;
        entry.accessed = data.ftLastAccessTime;
        entry.written = data.ftLastWriteTime;
        if (!onEntry(entry)) break;
    } while (FindNextFileA(find.get(), &data));
    return true;
}

std::optional<std::string> FinalPathOf(HANDLE h) {
    auto fn = Api().getFinalPathNameByHandleA;
    if (!fn) return std::nullopt;
    std::string buffer(MAX_PATH * 2, '\0');
    DWORD n = fn(h, &buffer[0], static_cast<DWORD>(buffer.size()), kFileNameNormalized | kVolumeNameDos);
    if (n >= buffer.size()) {
        buffer.assign(n + 1, '\0');
        n = fn(h, &buffer[0], static_cast<DWORD>(buffer.size()), kFileNameNormalized | kVolumeNameDos);
    }
    if (n == 0 || n >= buffer.size()) return std::nullopt;
    buffer.resize(n);
    return buffer;
}

// Final paths come from the disk on both sides, so they normally match exactly; the
// case-insensitive comparison covers a file system that reports case differently.
bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && (a == b || lstrcmpiA(a.c_str(), b.c_str()) == 0);
}

DWORD WithoutReadOnly(DWORD attributes) {
    DWORD kept = attributes & kSettableAttributes & ~FILE_ATTRIBUTE_READONLY;
    return kept ? kept : FILE_ATTRIBUTE_NORMAL;
}

// The path-based delete for Windows without handle-based deletion; the caller has done the
// link checks it could.
bool DeleteByPath(const std::string& path, DWORD attributes, bool force) {
    bool cleared = false;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        if (!force) return false;
        if (!SetFileAttributesA(path.c_str(), WithoutReadOnly(attributes))) return false;
        cleared = true;
    }
    if (DeleteFileA(path.c_str())) return true;
    if (cleared) SetFileAttributesA(path.c_str(), attributes & kSettableAttributes);
    return false;
}

bool SetAttributesByHandle(HANDLE h, DWORD attributes) {
    BasicInfo info{};
    info.fileAttributes = attributes;
    return Api().setFileInformationByHandle(h, kFileBasicInfo, &info, sizeof info) != 0;
}

std::pair<std::string, std::string> SplitPattern(const std::string& pattern) {
    size_t slash = pattern.find_last_of("\\/");
    if (slash == std::string::npos) return {std::string(), pattern};
    return {pattern.substr(0, slash + 1), pattern.substr(slash + 1)};
}

// Removes `root` with everything below it, breadth-first without recursion: files as they are
// listed, then the folders deepest first. Links to folders are never entered (see RemoveFolder
// for what happens to them). Returns true when `root` is gone.
bool RemoveTree(const std::string& root, bool force) {
    std::vector<FolderGuard> folders{GuardFolder(root)};
    for (size_t i = 0; i < folders.size(); ++i) {
        const FolderGuard guard = folders[i];  // a copy: the list grows while this folder is listed
        ListFolder(guard.folder, [&](const DirEntry& entry) {
            const std::string path = guard.folder + entry.name;
            if (entry.IsFolder() && entry.IsLink()) {
                RemoveFolder(path);  // Windows: removes the link only; Wine: refused
            } else if (entry.IsFolder()) {
                if (force && (entry.attributes & FILE_ATTRIBUTE_READONLY))
                    SetFileAttributesA(path.c_str(), WithoutReadOnly(entry.attributes));
                folders.push_back(GuardSubfolder(guard, entry.name));
            } else {
                DeleteFileChecked(guard, entry, force);
            }
            return true;
        });
    }
    for (size_t i = folders.size(); i-- > 0;) RemoveFolder(folders[i].folder);
    return !FolderExists(root);
}

}  // namespace

bool ListFolder(const std::string& folder, const std::function<bool(const DirEntry&)>& onEntry) {
    return ForEachFound(WithSlash(folder) + "*", onEntry);
}

bool ListMatching(const std::string& pattern, const std::function<bool(const DirEntry&)>& onEntry) {
    if (pattern.empty()) return false;
    return ForEachFound(pattern, onEntry);
}

std::optional<uint64_t> FolderSize(const std::string& path) {
    if (IsMissingLocation(path) || !FolderExists(path)) return std::nullopt;
    uint64_t total = 0;
    // Depth-first with an explicit stack: it holds folders waiting to be listed, never files.
    std::vector<std::string> pending{WithSlash(path)};
    while (!pending.empty()) {
        std::string folder = std::move(pending.back());
        pending.pop_back();
        ListFolder(folder, [&](const DirEntry& entry) {
            if (!entry.IsFolder())
                total += entry.size;
            else if (!entry.IsLink())
                pending.push_back(folder + entry.name + "\\");
            return true;
        });
    }
    return total;
}

bool FolderExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesA(WithoutSlash(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

FolderGuard GuardFolder(const std::string& folder) {
    FolderGuard guard;
    guard.folder = WithSlash(folder);
    guard.finalPathsKnown = Api().getFinalPathNameByHandleA != nullptr;
    if (!guard.finalPathsKnown) {
        guard.usable = true;  // Windows XP: the REPARSE_POINT attribute is the guard
        return guard;
    }
    std::optional<std::string> finalPath = FinalPath(guard.folder);
    if (!finalPath) return guard;
    guard.finalPath = WithSlash(*finalPath);
    guard.usable = true;
    return guard;
}

FolderGuard GuardSubfolder(const FolderGuard& parent, const std::string& name) {
    if (!parent.usable) return GuardFolder(parent.folder + name);
    FolderGuard guard = parent;
    guard.folder += name + "\\";
    if (guard.finalPathsKnown) guard.finalPath += name + "\\";
    return guard;
}

bool DeleteFileChecked(const FolderGuard& guard, const DirEntry& entry, bool force) {
    if (entry.IsFolder() || !guard.usable) return false;
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !force) return false;
    const std::string path = guard.folder + entry.name;
    if (!guard.finalPathsKnown) return !entry.IsLink() && DeleteByPath(path, entry.attributes, force);

    // One handle serves the check and the delete, so the file proven to lie in the folder is the
    // very file deleted. FILE_FLAG_OPEN_REPARSE_POINT makes Windows open a file link itself (its
    // final path is then its own); Wine ignores the flag and resolves the link, which the
    // comparison below catches.
    DWORD access = DELETE | FILE_READ_ATTRIBUTES | (readOnly ? FILE_WRITE_ATTRIBUTES : 0);
    FileHandle file(CreateFileA(path.c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return false;
    std::optional<std::string> finalPath = FinalPathOf(file.get());
    if (!finalPath || !SamePath(*finalPath, guard.finalPath + entry.name)) return false;

    if (!Api().setFileInformationByHandle) {
        file.Close();
        return DeleteByPath(path, entry.attributes, force);
    }
    if (readOnly && !SetAttributesByHandle(file.get(), WithoutReadOnly(entry.attributes)))
        return false;
    DispositionInfo disposition{TRUE};
    if (Api().setFileInformationByHandle(file.get(), kFileDispositionInfo, &disposition,
                                         sizeof disposition))
        return true;  // the file goes when the handle closes
    if (readOnly) SetAttributesByHandle(file.get(), entry.attributes & kSettableAttributes);
    return false;
}

bool DeleteFileAt(const std::string& path, bool force) {
    if (path.find_first_of("*?") != std::string::npos || IsMissingLocation(path)) return false;
    auto [folder, name] = SplitPattern(path);
    if (name.empty()) return false;
    std::optional<DirEntry> found;
    ForEachFound(path, [&](const DirEntry& entry) {
        found = entry;
        return false;
    });
    if (!found || found->IsFolder()) return false;
    return DeleteFileChecked(GuardFolder(folder.empty() ? "." : folder), *found, force);
}

int DeleteFiles(const std::string& pattern, bool force) {
    if (IsMissingLocation(pattern)) return 0;
    auto [folder, mask] = SplitPattern(pattern);
    if (mask.empty()) return 0;
    FolderGuard guard = GuardFolder(folder.empty() ? "." : folder);
    int deleted = 0;
    ListMatching(pattern, [&](const DirEntry& entry) {
        if (!entry.IsFolder() && DeleteFileChecked(guard, entry, force)) ++deleted;
        return true;
    });
    return deleted;
}

int DeleteFolders(const std::string& pattern, bool force) {
    if (IsMissingLocation(pattern)) return 0;
    auto [parent, mask] = SplitPattern(pattern);
    if (mask.empty()) return 0;
    std::vector<DirEntry> matches;  // collected first, so the parent's listing is not disturbed
    ListMatching(pattern, [&](const DirEntry& entry) {
        if (entry.IsFolder()) matches.push_back(entry);
        return true;
    });
    int removed = 0;
    for (const DirEntry& match : matches) {
        const std::string path = parent + match.name;
        if (match.IsLink()) {
            if (RemoveFolder(path)) ++removed;
            continue;
        }
        if (force && (match.attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesA(path.c_str(), WithoutReadOnly(match.attributes));
        if (RemoveTree(path, force)) ++removed;
    }
    return removed;
}

bool RemoveFolder(const std::string& path) {
    const std::string folder = WithoutSlash(path);
    DWORD a = GetFileAttributesA(folder.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if ((a & FILE_ATTRIBUTE_REPARSE_POINT) && IsWine()) return false;
    return RemoveDirectoryA(folder.c_str()) != 0;
}

std::string CurrentDirectory() {
    DWORD n = GetCurrentDirectoryA(0, nullptr);
    if (n == 0) return {};
    std::string buffer(n, '\0');
    n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), &buffer[0]);
    if (n == 0 || n >= buffer.size()) return {};
    buffer.resize(n);
    return buffer;
}

bool SetCurrentDirectory(const std::string& path) {
    return !path.empty() && ::SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string TempPath() {
    char buffer[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return std::string(buffer, n);
}

std::string WindowsDirectory() {
    char buffer[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return std::string(buffer, n);
}

bool IsWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

std::optional<std::string> FinalPath(const std::string& path) {
    if (!Api().getFinalPathNameByHandleA || path.empty()) return std::nullopt;
    FileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return std::nullopt;
    return FinalPathOf(file.get());
}

std::optional<std::string> FullPath(const std::string& path) {
    if (path.empty()) return std::nullopt;
    DWORD n = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::nullopt;
    std::string buffer(n, '\0');
    n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], nullptr);
    if (n == 0 || n >= buffer.size()) return std::nullopt;
    buffer.resize(n);
    return buffer;
}

}  // namespace bw::platform::fs
