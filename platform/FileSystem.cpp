// File and folder operations by the file system's own UTF-16 names, with the link guards every
// deletion needs (see FileSystem.h).
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/Handles.h"

namespace bw::platform::fs {

namespace {

using platform::FileHandle;
using platform::FindHandle;

// ntdll's file and object calls; present from Windows XP on and in Wine.
using NTSTATUS_ = LONG;
struct IoStatusBlock {
    union {
        NTSTATUS_ status;
        PVOID pointer;
    };
    ULONG_PTR information;
};
using NtQueryObjectFn = NTSTATUS_(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
using NtSetInformationFileFn = NTSTATUS_(WINAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
using GetFinalPathNameByHandleAFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

constexpr int kObjectNameInformation = 1;
constexpr int kFileBasicInformation = 4;
constexpr int kFileDispositionInformation = 13;
constexpr int kFileRenameInformation = 10;
constexpr NTSTATUS_ kStatusSuccess = 0;

struct BasicInfo {
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime;  // 0: leave as is
    ULONG fileAttributes;                                                   // 0: leave as is
};
struct DispositionInfo {
    BOOLEAN deleteFile;
};
struct UnicodeString {
    USHORT length, maximumLength;
    PWSTR buffer;
};

constexpr DWORD kFileNameNormalized = 0x0;
constexpr DWORD kVolumeNameDos = 0x0;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct SystemCalls {
    NtQueryObjectFn ntQueryObject = nullptr;
    NtSetInformationFileFn ntSetInformationFile = nullptr;
    GetFinalPathNameByHandleAFn getFinalPathNameByHandleA = nullptr;
    SystemCalls() {
        if (HMODULE ntdll = GetModuleHandleA("ntdll.dll")) {
            ntQueryObject = reinterpret_cast<NtQueryObjectFn>(GetProcAddress(ntdll, "NtQueryObject"));
            ntSetInformationFile =
                reinterpret_cast<NtSetInformationFileFn>(GetProcAddress(ntdll, "NtSetInformationFile"));
        }
        if (HMODULE k32 = GetModuleHandleA("kernel32.dll"))
            getFinalPathNameByHandleA = reinterpret_cast<GetFinalPathNameByHandleAFn>(
                GetProcAddress(k32, "GetFinalPathNameByHandleA"));
    }
    bool HandleDeletes() const { return ntQueryObject && ntSetInformationFile; }
};

const SystemCalls& Api() {
    static const SystemCalls api;
    return api;
}

std::wstring WithSlashW(const std::wstring& path) {
    return !path.empty() && path.back() == L'\\' ? path : path + L'\\';
}

std::wstring WithoutSlashW(std::wstring path) {
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':') path.pop_back();
    return path;
}

std::pair<std::wstring, std::wstring> SplitLast(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {std::wstring(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

bool FillEntry(const WIN32_FIND_DATAW& data, DirEntry& entry) {
    entry.wideName = data.cFileName;
    if (!paths::IsSafeName(entry.wideName)) return false;
    entry.name = paths::Narrow(entry.wideName);
    entry.nameFits = paths::FitsCodePage(entry.wideName);
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.created = data.ftCreationTime;
    entry.accessed = data.ftLastAccessTime;
    entry.written = data.ftLastWriteTime;
    return true;
}

// Lists what FindFirstFileW finds for `findPattern` (a long path ending in a mask), safe names only.
bool ForEachFound(const std::wstring& findPattern, const std::function<bool(const DirEntry&)>& onEntry) {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(findPattern.c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    DirEntry entry;
    do {
        if (!FillEntry(data, entry)) continue;
        if (!onEntry(entry)) break;
    } while (FindNextFileW(find.get(), &data));
    return true;
}

// The name the system gives the object behind `h` (NtQueryObject), or empty text.
std::wstring ObjectName(HANDLE h) {
    if (!Api().ntQueryObject) return {};
    std::vector<char> buffer(1024);
    for (int attempt = 0; attempt < 3; ++attempt) {
        ULONG needed = 0;
        NTSTATUS_ status = Api().ntQueryObject(h, kObjectNameInformation, buffer.data(),
                                               static_cast<ULONG>(buffer.size()), &needed);
        if (status == kStatusSuccess) {
            const auto* name = reinterpret_cast<const UnicodeString*>(buffer.data());
            if (!name->buffer) return {};
            return std::wstring(name->buffer, name->length / sizeof(wchar_t));
        }
        if (needed <= buffer.size()) needed = static_cast<ULONG>(buffer.size() * 2);
        if (needed > (1u << 20)) return {};
        buffer.assign(needed + sizeof(wchar_t), 0);
    }
    return {};
}

bool SetInformation(HANDLE h, void* info, ULONG size, int infoClass) {
    IoStatusBlock io{};
    return Api().ntSetInformationFile(h, &io, info, size, infoClass) == kStatusSuccess;
}

bool SetAttributesByHandle(HANDLE h, DWORD attributes) {
    BasicInfo info{};
    info.fileAttributes = attributes;
    return SetInformation(h, &info, sizeof info, kFileBasicInformation);
}

bool MarkForDeletion(HANDLE h) {
    DispositionInfo disposition{TRUE};
    return SetInformation(h, &disposition, sizeof disposition, kFileDispositionInformation);
}

DWORD WithoutReadOnly(DWORD attributes) {
    DWORD kept = attributes & kSettableAttributes & ~FILE_ATTRIBUTE_READONLY;
    return kept ? kept : FILE_ATTRIBUTE_NORMAL;
}

// Opens `path` for deletion and attribute changes without following a Windows link; Wine
// follows Linux links whatever the flags, which the name check catches.
HANDLE OpenForDelete(const std::wstring& path, bool folder, bool writeAttributes) {
    DWORD access = DELETE | FILE_READ_ATTRIBUTES | (writeAttributes ? FILE_WRITE_ATTRIBUTES : 0);
    DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    return CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

// The path-based delete of systems without ntdll's handle calls; the caller has done the
// link checks it could.
bool DeleteByPath(const std::wstring& path, DWORD attributes, bool force) {
    bool cleared = false;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        if (!force) return false;
        if (!SetFileAttributesW(path.c_str(), WithoutReadOnly(attributes))) return false;
        cleared = true;
    }
    if (DeleteFileW(path.c_str())) return true;
    if (cleared) SetFileAttributesW(path.c_str(), attributes & kSettableAttributes);
    return false;
}

std::optional<DirEntry> FindOne(const std::wstring& path) {
    std::optional<DirEntry> found;
    ForEachFound(path, [&](const DirEntry& entry) {
        found = entry;
        return false;
    });
    return found;
}


// Secure erasing: the process-wide switch of SecureEraseScope, random bytes, and the steps of
// one secure delete.
bool& SecureSwitch() {
    static bool on = false;
    return on;
}

using RtlGenRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);

// Seeds from the system's random source (advapi32's RtlGenRandom, present from Windows XP on),
// falling back on the clock.
uint64_t RandomSeed() {
    static const RtlGenRandomFn genRandom = [] {
        HMODULE advapi = LoadLibraryA("advapi32.dll");
        return advapi ? reinterpret_cast<RtlGenRandomFn>(GetProcAddress(advapi, "SystemFunction036")) : nullptr;
    }();
    uint64_t seed = 0;
    if (!genRandom || !genRandom(&seed, sizeof seed) || seed == 0) {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        seed = static_cast<uint64_t>(now.QuadPart) ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^
               0x9E3779B97F4A7C15ull;
    }
    return seed ? seed : 1;
}

// xorshift64*: fast enough to fill a pass at disk speed; the seed is what must be unpredictable.
class RandomBytes {
public:
    RandomBytes() : state_(RandomSeed()) {}
    uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    void Fill(std::vector<char>& buffer) {
        for (size_t i = 0; i < buffer.size(); i += sizeof(uint64_t)) {
            uint64_t r = Next();
            std::memcpy(buffer.data() + i, &r, std::min(sizeof r, buffer.size() - i));
        }
    }

private:
    uint64_t state_;
};

constexpr DWORD kPassChunk = 1 << 16;

bool WritePass(HANDLE file, uint64_t size, std::vector<char>& buffer, RandomBytes* random) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    for (uint64_t done = 0; done < size;) {
        if (random) random->Fill(buffer);
        DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(kPassChunk, size - done));
        DWORD written = 0;
        if (!WriteFile(file, buffer.data(), chunk, &written, nullptr) || written != chunk) return false;
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}

// A name of `length` characters drawn from lower-case letters and digits: valid on every file
// system, and telling nothing of the name it replaces.
std::wstring RandomName(size_t length, RandomBytes& random) {
    static const wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring name(length, L'a');
    for (wchar_t& c : name) c = kAlphabet[random.Next() % 36];
    return name;
}

// The NT form ("\??\C:\...") of a long "\\?\" path, as NtSetInformationFile takes it.
std::wstring NtPath(const std::wstring& longPath) {
    if (longPath.compare(0, 4, L"\\\\?\\") == 0) return L"\\??\\" + longPath.substr(4);
    return L"\\??\\" + longPath;
}

// Renames the open file `file` to `newPath` (an NT path in the same folder), never replacing.
bool RenameByHandle(HANDLE file, const std::wstring& newPath) {
    const size_t nameBytes = newPath.size() * sizeof(wchar_t);
    // FILE_RENAME_INFORMATION: ReplaceIfExists, RootDirectory, FileNameLength, FileName[].
    struct RenameHead {
        BOOLEAN replaceIfExists;
        HANDLE rootDirectory;
        ULONG fileNameLength;
    };
    const size_t headBytes = (sizeof(RenameHead) + alignof(wchar_t) - 1) / alignof(wchar_t) * alignof(wchar_t);
    std::vector<char> buffer(headBytes + nameBytes + sizeof(wchar_t), 0);
    RenameHead head{FALSE, nullptr, static_cast<ULONG>(nameBytes)};
    std::memcpy(buffer.data(), &head, sizeof head);
    std::memcpy(buffer.data() + headBytes, newPath.data(), nameBytes);
    return SetInformation(file, buffer.data(), static_cast<ULONG>(buffer.size()), kFileRenameInformation);
}

// The secure form of DeleteFileChecked's handle path: one handle, opened for writing and
// deleting and shared with no one, serves the name check, the overwrite, the rename and the
// delete.
bool SecureDeleteChecked(const FolderGuard& guard, const DirEntry& entry) {
    if (entry.attributes & FILE_ATTRIBUTE_READONLY) return false;  // read-only: left as it is
    FileHandle file(CreateFileW((guard.path + entry.wideName).c_str(), DELETE | GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return false;
    if (!SameFinalPath(ObjectName(file.get()), guard.objectName + entry.wideName)) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    // Another name still leads to this content: it is the user's there, so only this name goes.
    if (info.nNumberOfLinks > 1) return MarkForDeletion(file.get());

    OverwriteFile(file.get());  // a failed pass still leaves the file to be deleted as asked
    LARGE_INTEGER start{};
    if (SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) SetEndOfFile(file.get());
    RandomBytes random;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (RenameByHandle(file.get(), NtPath(guard.path + RandomName(entry.wideName.size(), random)))) break;
    }
    return MarkForDeletion(file.get());
}

}  // namespace

bool ListFolderW(const std::wstring& folder, const std::function<bool(const DirEntry&)>& onEntry) {
    const std::wstring longFolder = paths::LongPath(folder);
    if (longFolder.empty()) return false;
    return ForEachFound(WithSlashW(longFolder) + L"*", onEntry);
}

bool ListFolder(const std::string& folder, const std::function<bool(const DirEntry&)>& onEntry) {
    if (paths::IsMissingLocation(folder)) return false;
    const std::wstring longFolder = paths::LongPath(folder);
    if (longFolder.empty()) {
        // A relative folder: listed as Windows resolves it, by the short form.
        return ForEachFound(paths::Widen(paths::WithSlash(folder)) + L"*", [&](const DirEntry& entry) {
            return !entry.nameFits || onEntry(entry);
        });
    }
    return ForEachFound(WithSlashW(longFolder) + L"*",
                        [&](const DirEntry& entry) { return !entry.nameFits || onEntry(entry); });
}

bool ListMatching(const std::string& pattern, const std::function<bool(const DirEntry&)>& onEntry) {
    if (paths::IsMissingLocation(pattern)) return false;
    auto [folder, mask] = SplitLast(paths::Widen(pattern));
    if (mask.empty()) return false;
    std::wstring longFolder = paths::LongPath(folder.empty() ? L".\\" : folder);
    if (longFolder.empty()) longFolder = folder;
    return ForEachFound(WithSlashW(longFolder) + mask, onEntry);
}

std::optional<uint64_t> FolderSize(const std::string& path) {
    if (paths::IsMissingLocation(path) || !FolderExists(path)) return std::nullopt;
    const std::wstring start = paths::LongPath(path);
    if (start.empty()) return std::nullopt;
    uint64_t total = 0;
    // Depth-first with an explicit stack: it holds folders waiting to be listed, never files.
    std::vector<std::wstring> pending{WithSlashW(start)};
    while (!pending.empty()) {
        std::wstring folder = std::move(pending.back());
        pending.pop_back();
        ForEachFound(folder + L"*", [&](const DirEntry& entry) {
            if (!entry.IsFolder())
                total += entry.size;
            else if (!entry.IsLink())
                pending.push_back(folder + entry.wideName + L"\\");
            return true;
        });
    }
    return total;
}

bool FolderExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesA(paths::WithoutSlash(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

FolderGuard GuardFolder(const std::string& folder) {
    if (paths::IsMissingLocation(folder)) return {};
    return GuardFolder(paths::Widen(paths::Trim(folder)));
}

FolderGuard GuardFolder(const std::wstring& folder) {
    FolderGuard guard;
    const std::wstring longFolder = paths::LongPath(folder);
    if (longFolder.empty()) return guard;
    guard.path = WithSlashW(longFolder);
    FileHandle handle(CreateFileW(WithoutSlashW(longFolder).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.valid()) return guard;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle.get(), &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return guard;
    if (Api().HandleDeletes()) {
        std::wstring name = ObjectName(handle.get());
        if (name.empty()) return guard;
        guard.objectName = WithSlashW(name);
    }
    guard.usable = true;
    return guard;
}

FolderGuard GuardSubfolder(const FolderGuard& parent, const DirEntry& entry) {
    FolderGuard guard = parent;
    guard.path += entry.wideName + L"\\";
    if (!guard.objectName.empty()) guard.objectName += entry.wideName + L"\\";
    return guard;
}

FolderGuard GuardFolderBelow(const std::string& base, const std::string& below) {
    FolderGuard guard = GuardFolder(base);
    std::wstring rest = paths::Widen(below);
    while (guard.usable && !rest.empty()) {
        const size_t slash = rest.find(L'\\');
        const std::wstring name = rest.substr(0, slash);
        rest = slash == std::wstring::npos ? std::wstring() : rest.substr(slash + 1);
        std::optional<DirEntry> found;
        if (paths::IsSafeName(name)) found = FindOne(guard.path + name);
        if (!found || !found->IsFolder() || found->IsLink()) return {};
        guard = GuardSubfolder(guard, *found);
    }
    return guard;
}

bool DeleteFileChecked(const FolderGuard& guard, const DirEntry& entry, bool force) {
    if (entry.IsFolder() || !guard.usable || !paths::IsSafeName(entry.wideName)) return false;
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !force) return false;
    // Windows XP-era systems without ntdll's calls: the REPARSE_POINT attribute is the guard.
    if (!Api().HandleDeletes())
        return !entry.IsLink() && DeleteByPath(guard.path + entry.wideName, entry.attributes, force);

    if (SecureEraseOn()) return SecureDeleteChecked(guard, entry);

    // One handle serves the check and the delete, so the file proven to lie in the folder is the
    // very file deleted. FILE_FLAG_DELETE_ON_CLOSE is never used: under Wine closing such a
    // handle opened through a link deletes the link's target whatever happened meanwhile.
    // Opened without FILE_FLAG_BACKUP_SEMANTICS, a folder put in the file's place fails to open.
    FileHandle file(OpenForDelete(guard.path + entry.wideName, false, readOnly));
    if (!file.valid()) return false;
    if (!SameFinalPath(ObjectName(file.get()), guard.objectName + entry.wideName)) return false;
    if (readOnly && !SetAttributesByHandle(file.get(), WithoutReadOnly(entry.attributes))) return false;
    if (MarkForDeletion(file.get())) return true;  // the file goes when the handle closes
    if (readOnly) SetAttributesByHandle(file.get(), entry.attributes & kSettableAttributes);
    return false;
}

bool LeadsElsewhere(const std::string& path) {
    if (!Api().HandleDeletes() || paths::IsMissingLocation(path)) return false;
    const std::wstring longPath = paths::LongPath(path);
    if (longPath.empty()) return false;
    auto [folder, name] = SplitLast(longPath);
    std::optional<DirEntry> found = FindOne(longPath);
    if (!found || found->IsFolder()) return false;
    const FolderGuard guard = GuardFolder(folder);
    if (!guard.usable) return true;
    FileHandle file(CreateFileW(longPath.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return false;
    return !SameFinalPath(ObjectName(file.get()), guard.objectName + found->wideName);
}

HANDLE OpenFileInPlace(const FolderGuard& guard, const std::wstring& name, DWORD access) {
    if (!guard.usable || !paths::IsSafeName(name)) return INVALID_HANDLE_VALUE;
    FileHandle file(CreateFileW((guard.path + name).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return INVALID_HANDLE_VALUE;
    if (Api().HandleDeletes() && !SameFinalPath(ObjectName(file.get()), guard.objectName + name))
        return INVALID_HANDLE_VALUE;
    return file.release();
}

bool DeleteFileAt(const std::string& path, bool force) {
    if (paths::IsMissingLocation(path)) return false;
    return DeleteFileAt(paths::Widen(paths::Trim(path)), force);
}

bool DeleteFileAt(const std::wstring& path, bool force) {
    if (path.empty() || paths::ShortForm(path).find_first_of(L"*?") != std::wstring::npos) return false;
    const std::wstring longPath = paths::LongPath(path);
    if (longPath.empty()) return false;
    auto [folder, name] = SplitLast(longPath);
    if (name.empty() || !paths::IsSafeName(name)) return false;
    std::optional<DirEntry> found = FindOne(longPath);
    if (!found || found->IsFolder() || found->wideName != name) return false;
    return DeleteFileChecked(GuardFolder(folder), *found, force);
}

bool DeleteFileAt(const std::string& path, bool force, bool securely) {
    SecureEraseScope scope(securely || SecureEraseOn());
    return DeleteFileAt(path, force);
}

SecureEraseScope::SecureEraseScope(bool on) : previous_(SecureSwitch()) { SecureSwitch() = on; }
SecureEraseScope::~SecureEraseScope() { SecureSwitch() = previous_; }

bool SecureEraseOn() { return SecureSwitch(); }

bool OverwriteFile(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return false;
    const uint64_t bytes = static_cast<uint64_t>(size.QuadPart);
    std::vector<char> buffer(kPassChunk, 0);
    if (!WritePass(file, bytes, buffer, nullptr)) return false;
    RandomBytes random;
    return WritePass(file, bytes, buffer, &random);
}

bool IsFileInPlace(const std::wstring& path) {
    const std::wstring longPath = paths::LongPath(path);
    if (longPath.empty() || paths::ShortForm(longPath).find_first_of(L"*?") != std::wstring::npos) return false;
    auto [folder, name] = SplitLast(longPath);
    if (name.empty() || !paths::IsSafeName(name)) return false;
    std::optional<DirEntry> found = FindOne(longPath);
    if (!found || found->IsFolder() || found->IsLink() || found->wideName != name) return false;
    const FolderGuard guard = GuardFolder(folder);
    if (!guard.usable) return false;
    FileHandle file(OpenForDelete(longPath, false, false));
    if (!file.valid()) return false;
    if (!Api().HandleDeletes()) return true;
    return SameFinalPath(ObjectName(file.get()), guard.objectName + name);
}

namespace {

// DeleteFiles and DeleteFolders once their folder is guarded: `mask` is matched in that folder only.
int DeleteMatchingFiles(const FolderGuard& guard, const std::wstring& mask, bool force) {
    if (!guard.usable || mask.empty() || mask.find(L'\\') != std::wstring::npos) return 0;
    int deleted = 0;
    ForEachFound(guard.path + mask, [&](const DirEntry& entry) {
        if (!entry.IsFolder() && DeleteFileChecked(guard, entry, force)) ++deleted;
        return true;
    });
    return deleted;
}

int DeleteMatchingFolders(const FolderGuard& parentGuard, const std::wstring& mask, bool force) {
    if (!parentGuard.usable || mask.empty() || mask.find(L'\\') != std::wstring::npos) return 0;
    std::vector<DirEntry> matches;  // collected first, so the parent's listing is not disturbed
    ForEachFound(parentGuard.path + mask, [&](const DirEntry& entry) {
        if (entry.IsFolder()) matches.push_back(entry);
        return true;
    });
    int removed = 0;
    for (const DirEntry& match : matches) {
        const std::wstring path = parentGuard.path + match.wideName;
        if (match.IsLink()) {
            if (RemoveFolder(path)) ++removed;
            continue;
        }
        if (force && (match.attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(path.c_str(), WithoutReadOnly(match.attributes));
        if (RemoveTree(GuardSubfolder(parentGuard, match), force)) ++removed;
    }
    return removed;
}

}  // namespace

int DeleteFiles(const std::string& pattern, bool force) {
    if (paths::IsMissingLocation(pattern)) return 0;
    auto [folder, mask] = SplitLast(paths::Widen(paths::Trim(pattern)));
    return DeleteMatchingFiles(GuardFolder(folder), mask, force);
}

int DeleteFiles(const FolderGuard& folder, const std::string& mask, bool force) {
    return DeleteMatchingFiles(folder, paths::Widen(mask), force);
}

int DeleteFolders(const std::string& pattern, bool force) {
    if (paths::IsMissingLocation(pattern)) return 0;
    auto [parent, mask] = SplitLast(paths::Widen(paths::Trim(pattern)));
    return DeleteMatchingFolders(GuardFolder(parent), mask, force);
}

int DeleteFolders(const FolderGuard& parent, const std::string& mask, bool force) {
    return DeleteMatchingFolders(parent, paths::Widen(mask), force);
}

bool RemoveTree(const FolderGuard& rootGuard, bool force) {
    std::vector<FolderGuard> folders{rootGuard};
    for (size_t i = 0; i < folders.size(); ++i) {
        const FolderGuard guard = folders[i];  // a copy: the list grows while this folder is listed
        if (!guard.usable) continue;
        ListFolderW(guard.path, [&](const DirEntry& entry) {
            const std::wstring path = guard.path + entry.wideName;
            if (entry.IsFolder() && entry.IsLink()) {
                RemoveFolder(path);  // Windows: removes the link only; Wine: refused
            } else if (entry.IsFolder()) {
                if (force && (entry.attributes & FILE_ATTRIBUTE_READONLY))
                    SetFileAttributesW(path.c_str(), WithoutReadOnly(entry.attributes));
                folders.push_back(GuardSubfolder(guard, entry));
            } else {
                DeleteFileChecked(guard, entry, force);
            }
            return true;
        });
    }
    for (size_t i = folders.size(); i-- > 0;) RemoveFolderChecked(folders[i]);
    return GetFileAttributesW(WithoutSlashW(rootGuard.path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RemoveFolderChecked(const FolderGuard& guard) {
    if (!guard.usable) return false;
    const std::wstring path = WithoutSlashW(guard.path);
    if (!Api().HandleDeletes()) return RemoveFolder(path);
    FileHandle folder(OpenForDelete(path, true, false));
    if (!folder.valid()) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(folder.get(), &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsWine()) return false;
    if (!SameFinalPath(WithSlashW(ObjectName(folder.get())), guard.objectName)) return false;
    return MarkForDeletion(folder.get());  // refused while the folder holds anything
}

bool RemoveFolder(const std::string& path) {
    if (paths::IsMissingLocation(path)) return false;
    return RemoveFolder(paths::Widen(paths::Trim(path)));
}

bool RemoveFolder(const std::wstring& path) {
    std::wstring folder = paths::LongPath(path);
    if (folder.empty()) return false;
    folder = WithoutSlashW(folder);
    DWORD a = GetFileAttributesW(folder.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if ((a & FILE_ATTRIBUTE_REPARSE_POINT) && IsWine()) return false;
    return RemoveDirectoryW(folder.c_str()) != 0;
}

bool SameFinalPath(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || a.size() != b.size()) return false;
    if (a == b) return true;
    if (IsWine()) return false;  // a Unix file system: "Temp" and "TEMP" are two folders
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool SameFinalPath(const std::string& a, const std::string& b) {
    return SameFinalPath(paths::Widen(a), paths::Widen(b));
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
    auto fn = Api().getFinalPathNameByHandleA;
    if (!fn || path.empty()) return std::nullopt;
    FileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return std::nullopt;
    std::string buffer(MAX_PATH * 2, '\0');
    DWORD n = fn(file.get(), &buffer[0], static_cast<DWORD>(buffer.size()), kFileNameNormalized | kVolumeNameDos);
    if (n >= buffer.size()) {
        buffer.assign(n + 1, '\0');
        n = fn(file.get(), &buffer[0], static_cast<DWORD>(buffer.size()), kFileNameNormalized | kVolumeNameDos);
    }
    if (n == 0 || n >= buffer.size()) return std::nullopt;
    buffer.resize(n);
    return buffer;
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
