// File and folder operations by the file system's own UTF-16 names, with the link guards every
// deletion needs (see FileSystem.h).
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Handles.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"
#include "platform/WineFiles.h"

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
using GetFinalPathNameByHandleWFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
struct UnicodeString;
struct ObjectAttributes;
using NtOpenFileFn = NTSTATUS_(WINAPI*)(PHANDLE, ACCESS_MASK, ObjectAttributes*, IoStatusBlock*, ULONG, ULONG);
using NtQueryDirectoryFileFn = NTSTATUS_(WINAPI*)(HANDLE, HANDLE, PVOID, PVOID, IoStatusBlock*, PVOID, ULONG, int,
                                                  BOOLEAN, UnicodeString*, BOOLEAN);
using NtQueryInformationFileFn = NTSTATUS_(WINAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
using NtCreateFileFn = NTSTATUS_(WINAPI*)(PHANDLE, ACCESS_MASK, ObjectAttributes*, IoStatusBlock*, PLARGE_INTEGER,
                                          ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);

constexpr int kObjectNameInformation = 1;
constexpr int kFileBasicInformation = 4;
constexpr int kFileDispositionInformation = 13;
constexpr int kFileRenameInformation = 10;
constexpr int kFileDirectoryInformation = 1;
constexpr int kFileStandardInformation = 5;
constexpr NTSTATUS_ kStatusSuccess = 0;
constexpr ULONG kObjCaseInsensitive = 0x40;
constexpr ULONG kFileDirectoryFile = 0x1;
constexpr ULONG kFileSynchronousIoNonalert = 0x20;
constexpr ULONG kFileNonDirectoryFile = 0x40;
constexpr ULONG kFileOpenForBackupIntent = 0x4000;
constexpr ULONG kFileOpenReparsePoint = 0x200000;
constexpr ULONG kFileCreate = 2;  // CreateDisposition FILE_CREATE: fails when the name exists

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
struct ObjectAttributes {
    ULONG length;
    HANDLE rootDirectory;
    UnicodeString* objectName;
    ULONG attributes;
    PVOID securityDescriptor;
    PVOID securityQualityOfService;
};
// FILE_DIRECTORY_INFORMATION, as NtQueryDirectoryFile fills it.
struct DirectoryInfo {
    ULONG nextEntryOffset;
    ULONG fileIndex;
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime;
    LARGE_INTEGER endOfFile, allocationSize;
    ULONG fileAttributes;
    ULONG fileNameLength;
    WCHAR fileName[1];
};
// FILE_STANDARD_INFORMATION.
struct StandardInfo {
    LARGE_INTEGER allocationSize, endOfFile;
    ULONG numberOfLinks;
    BOOLEAN deletePending, directory;
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
    GetFinalPathNameByHandleWFn getFinalPathNameByHandleW = nullptr;
    NtOpenFileFn ntOpenFile = nullptr;
    NtQueryDirectoryFileFn ntQueryDirectoryFile = nullptr;
    NtQueryInformationFileFn ntQueryInformationFile = nullptr;
    NtCreateFileFn ntCreateFile = nullptr;
    SystemCalls() {
        if (HMODULE ntdll = GetModuleHandleA("ntdll.dll")) {
            ntQueryObject = reinterpret_cast<NtQueryObjectFn>(GetProcAddress(ntdll, "NtQueryObject"));
            ntSetInformationFile =
                reinterpret_cast<NtSetInformationFileFn>(GetProcAddress(ntdll, "NtSetInformationFile"));
            ntOpenFile = reinterpret_cast<NtOpenFileFn>(GetProcAddress(ntdll, "NtOpenFile"));
            ntQueryDirectoryFile =
                reinterpret_cast<NtQueryDirectoryFileFn>(GetProcAddress(ntdll, "NtQueryDirectoryFile"));
            ntQueryInformationFile =
                reinterpret_cast<NtQueryInformationFileFn>(GetProcAddress(ntdll, "NtQueryInformationFile"));
            ntCreateFile = reinterpret_cast<NtCreateFileFn>(GetProcAddress(ntdll, "NtCreateFile"));
        }
        if (HMODULE k32 = GetModuleHandleA("kernel32.dll")) {
            getFinalPathNameByHandleA = reinterpret_cast<GetFinalPathNameByHandleAFn>(
                GetProcAddress(k32, "GetFinalPathNameByHandleA"));
            getFinalPathNameByHandleW = reinterpret_cast<GetFinalPathNameByHandleWFn>(
                GetProcAddress(k32, "GetFinalPathNameByHandleW"));
        }
    }
    bool HandleDeletes() const {
        return ntQueryObject && ntSetInformationFile && ntOpenFile && ntQueryDirectoryFile && ntQueryInformationFile;
    }
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

// The name the system gives the object behind `h` (NtQueryObject), as a view into a buffer kept
// for the next query (valid until then), or an empty view. Under Wine a name query costs the more
// the deeper the folder (each folder above is looked at again), so the buffer keeps the largest
// size met and a deep walk asks once per handle, not twice.
std::wstring_view QueryObjectName(HANDLE h) {
    if (!Api().ntQueryObject) return {};
    thread_local std::vector<ULONGLONG> buffer(1024 / sizeof(ULONGLONG));  // aligned as the record needs
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto bytes = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
        ULONG needed = 0;
        NTSTATUS_ status = Api().ntQueryObject(h, kObjectNameInformation, buffer.data(), bytes, &needed);
        if (status == kStatusSuccess) {
            const auto* name = reinterpret_cast<const UnicodeString*>(buffer.data());
            if (!name->buffer) return {};
            return std::wstring_view(name->buffer, name->length / sizeof(wchar_t));
        }
        if (needed <= bytes) needed = bytes * 2;
        if (needed > (1u << 20)) return {};
        buffer.assign((needed + sizeof(wchar_t)) / sizeof(ULONGLONG) + 1, 0);
    }
    return {};
}

std::wstring ObjectName(HANDLE h) { return std::wstring(QueryObjectName(h)); }

// True when the object behind `h` is named `folder` + `leaf` (+ a backslash with `asFolder`),
// compared as SameFinalPath compares, without building the expected name: a deep walk compares
// in place instead of copying its folder's whole name for each entry.
bool NamedAs(HANDLE h, const std::wstring& folder, const std::wstring& leaf, bool asFolder) {
    std::wstring_view name = QueryObjectName(h), expected = folder;
    if (asFolder && !name.empty() && name.back() == L'\\') name.remove_suffix(1);
    if (asFolder && leaf.empty() && !expected.empty() && expected.back() == L'\\') expected.remove_suffix(1);
    if (name.empty() || expected.empty() || name.size() != expected.size() + leaf.size()) return false;
    const std::wstring_view head = name.substr(0, expected.size()), tail = name.substr(expected.size());
    if (head == expected && tail == leaf) return true;
    if (IsWine()) return false;  // a Unix file system: "Temp" and "TEMP" are two folders
    auto same = [](std::wstring_view a, std::wstring_view b) {
        return a.empty() || CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                           b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
    };
    return same(head, expected) && same(tail, leaf);
}

// The protection of the folder open as `h`, named `objectName`. Windows names a handle by the
// name it was opened with (a short 8.3 name stays short), so there the normalized final name is
// judged as well; under Wine the object name is already final.
Protection JudgedProtection(HANDLE h, const std::wstring& objectName) {
    const Protection protection = ProtectionOf(objectName);
    if (protection != Protection::None || IsWine() || !Api().getFinalPathNameByHandleW) return protection;
    std::vector<wchar_t> buffer(1024);
    const DWORD n = Api().getFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_NT);
    if (n == 0 || n >= buffer.size()) return protection;
    return ProtectionOf(WithSlashW(std::wstring(buffer.data(), n)));
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
    DWORD kept = attributes & kSettableAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
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

// An open handle shared by the copies of a FolderGuard.
std::shared_ptr<void> Share(HANDLE h) {
    return std::shared_ptr<void>(h, [](void* p) {
        if (p && p != INVALID_HANDLE_VALUE) CloseHandle(p);
    });
}

// Opens `name` (one true name, no folder part) relative to the open folder `parent`. Under
// Wine a link child is followed whatever the options, which the caller's name check catches.
HANDLE OpenRelative(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options) {
    if (!Api().ntOpenFile || name.empty() || name.size() > 32000) return INVALID_HANDLE_VALUE;
    UnicodeString text{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                       static_cast<USHORT>(name.size() * sizeof(wchar_t)), const_cast<PWSTR>(name.c_str())};
    ObjectAttributes attributes{sizeof(ObjectAttributes), parent, &text, kObjCaseInsensitive, nullptr, nullptr};
    IoStatusBlock io{};
    HANDLE h = nullptr;
    const ListedView view(name);
    if (Api().ntOpenFile(&h, access | SYNCHRONIZE, &attributes, &io, share,
                         options | kFileSynchronousIoNonalert | kFileOpenReparsePoint) != kStatusSuccess)
        return INVALID_HANDLE_VALUE;
    return h ? h : INVALID_HANDLE_VALUE;
}

std::optional<BasicInfo> QueryBasic(HANDLE h) {
    BasicInfo info{};
    IoStatusBlock io{};
    if (Api().ntQueryInformationFile(h, &io, &info, sizeof info, kFileBasicInformation) != kStatusSuccess)
        return std::nullopt;
    return info;
}

std::optional<StandardInfo> QueryStandard(HANDLE h) {
    StandardInfo info{};
    IoStatusBlock io{};
    if (!Api().ntQueryInformationFile ||
        Api().ntQueryInformationFile(h, &io, &info, sizeof info, kFileStandardInformation) != kStatusSuccess)
        return std::nullopt;
    return info;
}

// Lists the open folder `h` through NtQueryDirectoryFile, a buffer at a time: `onBatch` gets the
// safe entries of each buffer and returns false to stop. False when the listing cannot start.
bool ListHandle(HANDLE h, const std::function<bool(std::vector<DirEntry>&)>& onBatch) {
    constexpr NTSTATUS_ kStatusNoMoreFiles = static_cast<NTSTATUS_>(0x80000006);
    std::vector<ULONGLONG> buffer(64 * 1024 / sizeof(ULONGLONG));  // aligned as the records need
    std::vector<DirEntry> batch;
    for (bool first = true;; first = false) {
        IoStatusBlock io{};
        NTSTATUS_ status = Api().ntQueryDirectoryFile(h, nullptr, nullptr, nullptr, &io, buffer.data(),
                                                      static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)),
                                                      kFileDirectoryInformation, FALSE, nullptr, first);
        if (status == kStatusNoMoreFiles) return true;
        if (status != kStatusSuccess) return !first;
        batch.clear();
        const char* at = reinterpret_cast<const char*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const DirectoryInfo*>(at);
            DirEntry entry;
            entry.wideName.assign(info->fileName, info->fileNameLength / sizeof(wchar_t));
            if (paths::IsSafeName(entry.wideName)) {
                entry.name = paths::Narrow(entry.wideName);
                entry.nameFits = paths::FitsCodePage(entry.wideName);
                entry.attributes = info->fileAttributes;
                entry.size = static_cast<uint64_t>(info->endOfFile.QuadPart);
                auto time = [](const LARGE_INTEGER& t) {
                    return FILETIME{t.LowPart, static_cast<DWORD>(t.HighPart)};
                };
                entry.created = time(info->creationTime);
                entry.accessed = time(info->lastAccessTime);
                entry.written = time(info->lastWriteTime);
                batch.push_back(std::move(entry));
            }
            if (info->nextEntryOffset == 0) break;
            at += info->nextEntryOffset;
        }
        if (!onBatch(batch)) return true;
    }
}

std::function<void(const std::wstring&)>& WalkHook() {
    static std::function<void(const std::wstring&)> hook;
    return hook;
}

void RunWalkHook(const FolderGuard& guard) {
    if (WalkHook()) WalkHook()(guard.path);
}

// Upper-case copy for comparing names without regard to case.
std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool WildMatch(const wchar_t* mask, const wchar_t* name) {
    const wchar_t* starMask = nullptr;
    const wchar_t* starName = nullptr;
    while (*name) {
        if (*mask == L'*') {
            starMask = ++mask;
            starName = name;
        } else if (*mask == L'?' || *mask == *name) {
            ++mask;
            ++name;
        } else if (starMask) {
            mask = starMask;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == L'*') ++mask;
    return *mask == 0;
}

// Secure erasing: random bytes, and the steps of one secure delete.

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
// With `root`, `newPath` is a name in the folder open as `root`.
bool RenameByHandle(HANDLE file, const std::wstring& newPath, bool replace = false, HANDLE root = nullptr) {
    const size_t nameBytes = newPath.size() * sizeof(wchar_t);
    // FILE_RENAME_INFORMATION: ReplaceIfExists, RootDirectory, FileNameLength, FileName[].
    struct RenameHead {
        BOOLEAN replaceIfExists;
        HANDLE rootDirectory;
        ULONG fileNameLength;
    };
    const size_t headBytes = (sizeof(RenameHead) + alignof(wchar_t) - 1) / alignof(wchar_t) * alignof(wchar_t);
    std::vector<char> buffer(headBytes + nameBytes + sizeof(wchar_t), 0);
    RenameHead head{static_cast<BOOLEAN>(replace), root, static_cast<ULONG>(nameBytes)};
    std::memcpy(buffer.data(), &head, sizeof head);
    std::memcpy(buffer.data() + headBytes, newPath.data(), nameBytes);
    std::optional<ListedView> view;
    if (root) view.emplace(newPath);
    return SetInformation(file, buffer.data(), static_cast<ULONG>(buffer.size()), kFileRenameInformation);
}

// The secure form of DeleteFileChecked's handle path: one handle, opened for writing and
// deleting and shared with no one, serves the name check, the overwrite, the rename and the
// delete.
bool SecureDeleteChecked(const FolderGuard& guard, const DirEntry& entry, bool force) {
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !force) return false;  // read-only: left as it is
    if (readOnly) {
        // Made writable through a checked handle first, as the plain delete does when forced.
        FileHandle attributes(OpenRelative(guard.handle.get(), entry.wideName, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                           kShareAll, kFileNonDirectoryFile));
        if (!attributes.valid() || !SameFinalPath(ObjectName(attributes.get()), guard.objectName + entry.wideName) ||
            !SetAttributesByHandle(attributes.get(), WithoutReadOnly(entry.attributes)))
            return false;
    }
    FileHandle file(guard.handle ? OpenRelative(guard.handle.get(), entry.wideName,
                                                DELETE | GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, kFileNonDirectoryFile)
                                 : INVALID_HANDLE_VALUE);
    if (!file.valid()) return false;
    if (!SameFinalPath(ObjectName(file.get()), guard.objectName + entry.wideName)) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    // Another name still leads to this content: it is the user's there, so only this name goes.
    if (info.nNumberOfLinks > 1) return MarkForDeletion(file.get());

    OverwriteFile(file.get());  // a failed pass (a full disk) still leaves the file to be deleted as asked
    LARGE_INTEGER start{};
    if (SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) SetEndOfFile(file.get());
    RandomBytes random;
    for (int attempt = 0; attempt < 4; ++attempt) {
        // A new name in the very folder held open, never one read from its path again.
        if (RenameByHandle(file.get(), RandomName(entry.wideName.size(), random), false, guard.handle.get())) break;
    }
    return MarkForDeletion(file.get());
}

}  // namespace

std::optional<bool> RenameOver(HANDLE file, const std::string& path) {
    if (!Api().HandleDeletes()) return std::nullopt;
    const std::wstring longPath = paths::LongPath(path);
    return !longPath.empty() && RenameByHandle(file, NtPath(longPath), true);
}

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
    // A protected folder is never emptied, so none of it is counted (nor is the Unix root walked).
    if (Api().HandleDeletes() && ProtectionOf(FolderObjectName(start)) != Protection::None) return std::nullopt;
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

bool PathExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

FolderGuard GuardFolder(const std::string& folder, Reach reach) {
    if (paths::IsMissingLocation(folder)) return {};
    return GuardFolder(paths::Widen(paths::Trim(folder)), reach);
}

FolderGuard GuardFolder(const std::wstring& folder, Reach reach) {
    FolderGuard guard;
    const std::wstring longFolder = paths::LongPath(folder);
    if (longFolder.empty()) return guard;
    guard.path = WithSlashW(longFolder);
    FileHandle handle(CreateFileW(WithoutSlashW(longFolder).c_str(),
                                  FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.valid()) return guard;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle.get(), &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return guard;
    if (Api().HandleDeletes()) {
        std::wstring name = ObjectName(handle.get());
        if (name.empty()) return guard;
        guard.objectName = WithSlashW(name);
        guard.protection = JudgedProtection(handle.get(), guard.objectName);
    } else {
        guard.protection = ProtectionOf(guard.path);
    }
    if (guard.protection == Protection::UnixRoot) return guard;
    if (guard.protection != Protection::None && reach == Reach::Below) return guard;
    guard.handle = Share(handle.release());
    guard.usable = true;
    return guard;
}

void Detach(FolderGuard& guard) {
    BY_HANDLE_FILE_INFORMATION info;
    if (guard.handle && GetFileInformationByHandle(guard.handle.get(), &info)) {
        guard.volume = info.dwVolumeSerialNumber;
        guard.fileIndex = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    guard.handle.reset();
    guard.parent.reset();
}

FolderGuard Reattach(const FolderGuard& detached) {
    if (!detached.usable) return {};
    // Without the handle calls every guard works by its path, as the detached one already does.
    if (!Api().HandleDeletes()) return detached;
    FileHandle handle(CreateFileW(WithoutSlashW(detached.path).c_str(),
                                  FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.valid()) return {};
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle.get(), &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        info.dwVolumeSerialNumber != detached.volume ||
        ((static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) != detached.fileIndex ||
        !SameFinalPath(WithSlashW(ObjectName(handle.get())), detached.objectName))
        return {};
    FolderGuard guard = detached;
    guard.handle = Share(handle.release());
    return guard;
}

FolderGuard GuardChild(const FolderGuard& parent, const std::wstring& name, Reach reach) {
    FolderGuard guard;
    if (!parent.usable || (parent.DirectOnly() && reach == Reach::Below) || !paths::IsSafeName(name)) return guard;
    guard.path = parent.path + name + L"\\";
    guard.parent = parent.handle;
    guard.leaf = name;
    if (!Api().HandleDeletes()) {
        DWORD a = GetFileAttributesW(guard.path.c_str());
        guard.protection = ProtectionOf(guard.path);
        guard.usable = a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) &&
                       !(a & FILE_ATTRIBUTE_REPARSE_POINT) &&
                       (guard.protection == Protection::None ||
                        (reach == Reach::DirectlyIn && guard.protection != Protection::UnixRoot));
        return guard;
    }
    FileHandle handle(OpenRelative(parent.handle.get(), name, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                                   kShareAll, kFileDirectoryFile | kFileOpenForBackupIntent));
    if (!handle.valid()) return guard;
    if (!NamedAs(handle.get(), parent.objectName, name, true)) return guard;
    guard.objectName = parent.objectName + name + L"\\";
    std::optional<BasicInfo> info = QueryBasic(handle.get());
    if (!info || !(info->fileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (info->fileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return guard;
    guard.protection = JudgedProtection(handle.get(), guard.objectName);
    if (guard.protection == Protection::UnixRoot || (guard.protection != Protection::None && reach == Reach::Below))
        return guard;
    guard.handle = Share(handle.release());
    guard.usable = true;
    return guard;
}

FolderGuard GuardSubfolder(const FolderGuard& parent, const DirEntry& entry) {
    if (!entry.IsFolder() || entry.IsLink()) return {};
    return GuardChild(parent, entry.wideName);
}

FolderGuard GuardFolderBelow(const std::string& base, const std::string& below, bool baseMayBeProtected) {
    if (below.empty()) return GuardFolder(base);
    return GuardFolderBelow(GuardFolder(base, Reach::DirectlyIn), below, baseMayBeProtected);
}

FolderGuard GuardFolderBelow(const FolderGuard& base, const std::string& below, bool baseMayBeProtected) {
    if (below.empty()) return base.DirectOnly() ? FolderGuard{} : base;
    if (!base.usable || (base.DirectOnly() && (!baseMayBeProtected || base.protection != Protection::Vital))) return {};
    // A fixed folder inside a protected one (Documents, AppData) is reached name by name.
    FolderGuard guard = base;
    guard.protection = Protection::None;
    std::wstring rest = paths::Widen(below);
    while (guard.usable && !rest.empty()) {
        const size_t slash = rest.find(L'\\');
        const std::wstring name = rest.substr(0, slash);
        rest = slash == std::wstring::npos ? std::wstring() : rest.substr(slash + 1);
        guard = GuardChild(guard, name);
    }
    return guard;
}

bool ListGuarded(const FolderGuard& guard, const std::function<bool(const DirEntry&)>& onEntry) {
    if (!guard.usable) return false;
    bool listed = !Api().HandleDeletes() || !guard.handle
                      ? ListFolderW(guard.path, onEntry)
                      : ListHandle(guard.handle.get(), [&](std::vector<DirEntry>& batch) {
                            for (const DirEntry& entry : batch)
                                if (!onEntry(entry)) return false;
                            return true;
                        });
    RunWalkHook(guard);
    return listed;
}

bool MatchesMask(const std::wstring& mask, const std::wstring& name) {
    if (mask.empty() || name.empty()) return false;
    const std::wstring upperMask = Upper(mask), upperName = Upper(name);
    if (WildMatch(upperMask.c_str(), upperName.c_str())) return true;
    // "*.*" and "name.*" also match names without an extension, as listings match them.
    if (upperMask.size() >= 2 && upperMask.compare(upperMask.size() - 2, 2, L".*") == 0 &&
        upperName.find(L'.') == std::wstring::npos)
        return WildMatch(upperMask.substr(0, upperMask.size() - 2).c_str(), upperName.c_str());
    return false;
}

void SetWalkHookForTests(std::function<void(const std::wstring& folder)> hook) { WalkHook() = std::move(hook); }

std::wstring FolderObjectName(const std::wstring& path) {
    const std::wstring longPath = paths::LongPath(path);
    if (longPath.empty() || !Api().ntQueryObject) return {};
    FileHandle handle(CreateFileW(WithoutSlashW(longPath).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.valid()) return {};
    const std::wstring name = ObjectName(handle.get());
    return name.empty() ? name : WithSlashW(name);
}

SearchAnchor AnchorSearch(const std::wstring& start) {
    SearchAnchor anchor;
    const FolderGuard guard = GuardFolder(start, Reach::DirectlyIn);
    if (!guard.usable) return anchor;
    BY_HANDLE_FILE_INFORMATION info;
    if (!guard.handle || !GetFileInformationByHandle(guard.handle.get(), &info)) return anchor;
    anchor.path = guard.path;
    anchor.objectName = guard.objectName;
    anchor.fileId = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    anchor.volume = info.dwVolumeSerialNumber;
    anchor.valid = true;
    return anchor;
}

std::optional<ChosenFile> LocateChosen(const SearchAnchor& anchor, const std::wstring& path) {
    if (!anchor.valid || !Api().HandleDeletes()) return std::nullopt;
    const std::wstring longPath = paths::LongPath(path);
    if (longPath.size() <= anchor.path.size() || longPath.compare(0, anchor.path.size(), anchor.path) != 0)
        return std::nullopt;
    ChosenFile chosen;
    chosen.folder = GuardFolder(anchor.path, Reach::DirectlyIn);
    if (!chosen.folder.usable) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(chosen.folder.handle.get(), &info) ||
        ((static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) != anchor.fileId ||
        info.dwVolumeSerialNumber != anchor.volume || !SameFinalPath(chosen.folder.objectName, anchor.objectName))
        return std::nullopt;
    // The start itself is held without sharing delete too, once proven the same folder.
    {
        HANDLE lock = CreateFileW(WithoutSlashW(anchor.path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                  nullptr);
        if (lock == INVALID_HANDLE_VALUE) return std::nullopt;
        chosen.locks.push_back(Share(lock));
        BY_HANDLE_FILE_INFORMATION held;
        if (!GetFileInformationByHandle(lock, &held) || held.nFileIndexHigh != info.nFileIndexHigh ||
            held.nFileIndexLow != info.nFileIndexLow || held.dwVolumeSerialNumber != info.dwVolumeSerialNumber)
            return std::nullopt;
    }
    // The chosen file may lie anywhere below the start, inside protected folders too (the user
    // picked it by name); each folder on the way must still be a real folder where it was found.
    std::wstring rest = longPath.substr(anchor.path.size());
    for (size_t slash; (slash = rest.find(L'\\')) != std::wstring::npos; rest = rest.substr(slash + 1)) {
        const std::wstring name = rest.substr(0, slash);
        if (!paths::IsSafeName(name)) return std::nullopt;
        FolderGuard next;
        next.path = chosen.folder.path + name + L"\\";
        next.objectName = chosen.folder.objectName + name + L"\\";
        next.parent = chosen.folder.handle;
        next.leaf = name;
        FileHandle handle(OpenRelative(chosen.folder.handle.get(), name,
                                       FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES, kShareAll,
                                       kFileDirectoryFile | kFileOpenForBackupIntent));
        if (!handle.valid() || !SameFinalPath(WithSlashW(ObjectName(handle.get())), next.objectName)) return std::nullopt;
        // Wine names a handle from path text read after the open, so a Linux process swapping
        // the folder for a link and back in between goes unseen by the name: the folder's own
        // entry in its parent must be what was opened.
        if (const std::optional<bool> same = wine::IsEntryOf(chosen.folder.handle.get(), name, handle.get());
            same.has_value() && !*same)
            return std::nullopt;
        std::optional<BasicInfo> basic = QueryBasic(handle.get());
        if (!basic || (basic->fileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
        // Held without sharing delete: the folder cannot be renamed or replaced meanwhile.
        HANDLE lock = OpenRelative(chosen.folder.handle.get(), name, FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, kFileDirectoryFile | kFileOpenForBackupIntent);
        if (lock == INVALID_HANDLE_VALUE) return std::nullopt;
        chosen.locks.push_back(Share(lock));
        next.handle = Share(handle.release());
        next.usable = true;
        chosen.folder = std::move(next);
    }
    if (!paths::IsSafeName(rest)) return std::nullopt;
    chosen.name = rest;
    return chosen;
}

bool IsFileInFolder(const FolderGuard& guard, const std::wstring& name) {
    if (!guard.usable || !guard.handle || !paths::IsSafeName(name) || !Api().HandleDeletes()) return false;
    FileHandle file(OpenRelative(guard.handle.get(), name, DELETE | FILE_READ_ATTRIBUTES, kShareAll, kFileNonDirectoryFile));
    if (!file.valid() || !SameFinalPath(ObjectName(file.get()), guard.objectName + name)) return false;
    std::optional<BasicInfo> info = QueryBasic(file.get());
    return info && !(info->fileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool DeleteChosen(const SearchAnchor& anchor, const std::wstring& path, bool securely) {
    std::optional<ChosenFile> chosen = LocateChosen(anchor, path);
    if (!chosen) return false;
    return DeleteNamedFile(chosen->folder, chosen->name, false, securely);
}

bool DeleteFileChecked(const FolderGuard& guard, const DirEntry& entry, bool force, bool securely) {
    if (entry.IsFolder() || !guard.usable || !paths::IsSafeName(entry.wideName)) return false;
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !force) return false;
    // Windows XP-era systems without ntdll's calls: the REPARSE_POINT attribute is the guard.
    if (!Api().HandleDeletes() || !guard.handle)
        return !entry.IsLink() && DeleteByPath(guard.path + entry.wideName, entry.attributes, force);

    if (securely) return SecureDeleteChecked(guard, entry, force);

    // One handle, opened relative to the checked folder, serves the check and the delete, so the
    // file proven to lie in the folder is the very file deleted. FILE_FLAG_DELETE_ON_CLOSE is never
    // used: under Wine closing such a handle opened through a link deletes the link's target
    // whatever happened meanwhile. A folder put in the file's place fails to open.
    FileHandle file(OpenRelative(guard.handle.get(), entry.wideName,
                                 DELETE | FILE_READ_ATTRIBUTES | (readOnly ? FILE_WRITE_ATTRIBUTES : 0), kShareAll,
                                 kFileNonDirectoryFile));
    if (!file.valid()) return false;
    if (!NamedAs(file.get(), guard.objectName, entry.wideName, false)) return false;
    if (readOnly && !SetAttributesByHandle(file.get(), WithoutReadOnly(entry.attributes))) return false;
    if (MarkForDeletion(file.get())) return true;  // the file goes when the handle closes
    if (readOnly) SetAttributesByHandle(file.get(), entry.attributes & kSettableAttributes);
    return false;
}

bool DeleteNamedFile(const FolderGuard& guard, const std::wstring& name, bool force, bool securely) {
    return DeleteListedFile(guard, name, 0, FILETIME{}, force, securely, false) == ListedFileOutcome::Deleted;
}

bool LeadsElsewhere(const std::string& path) {
    if (!Api().HandleDeletes() || paths::IsMissingLocation(path)) return false;
    const std::wstring longPath = paths::LongPath(path);
    if (longPath.empty()) return false;
    auto [folder, name] = SplitLast(longPath);
    std::optional<DirEntry> found = FindOne(longPath);
    if (!found || found->IsFolder()) return false;
    // The file may lie directly in a protected folder (a program kept on the Desktop or at D:\).
    const FolderGuard guard = GuardFolder(folder, Reach::DirectlyIn);
    if (!guard.usable) return true;
    FileHandle file(CreateFileW(longPath.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return true;  // listed but not to be opened: a link leading nowhere, say
    return !SameFinalPath(ObjectName(file.get()), guard.objectName + found->wideName);
}

HANDLE OpenFileInPlace(const FolderGuard& guard, const std::wstring& name, DWORD access) {
    if (!guard.usable || !paths::IsSafeName(name)) return INVALID_HANDLE_VALUE;
    FileHandle file(Api().HandleDeletes() && guard.handle
                        ? OpenRelative(guard.handle.get(), name, access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       kFileNonDirectoryFile)
                        : CreateFileW((guard.path + name).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return INVALID_HANDLE_VALUE;
    if (Api().HandleDeletes() && !SameFinalPath(ObjectName(file.get()), guard.objectName + name))
        return INVALID_HANDLE_VALUE;
    return file.release();
}

HANDLE CreateNewFileIn(const FolderGuard& guard, const std::wstring& name, DWORD access) {
    if (!guard.usable || !guard.handle || !paths::IsSafeName(name) || !Api().ntCreateFile) return INVALID_HANDLE_VALUE;
    UnicodeString text{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                       static_cast<USHORT>(name.size() * sizeof(wchar_t)), const_cast<PWSTR>(name.c_str())};
    ObjectAttributes attributes{sizeof(ObjectAttributes), guard.handle.get(), &text, kObjCaseInsensitive, nullptr,
                                nullptr};
    IoStatusBlock io{};
    HANDLE h = nullptr;
    if (Api().ntCreateFile(&h, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, 0,
                           kFileCreate, kFileNonDirectoryFile | kFileSynchronousIoNonalert | kFileOpenReparsePoint,
                           nullptr, 0) != kStatusSuccess)
        return INVALID_HANDLE_VALUE;
    return h ? h : INVALID_HANDLE_VALUE;
}

MoveOutcome MoveIntoFolder(HANDLE file, const FolderGuard& to, const std::wstring& name) {
    if (!to.usable || !to.handle || !paths::IsSafeName(name) || !Api().HandleDeletes()) return MoveOutcome::Failed;
    if (RenameByHandle(file, name, false, to.handle.get())) return MoveOutcome::Moved;
    FileHandle there(OpenRelative(to.handle.get(), name, FILE_READ_ATTRIBUTES, kShareAll, 0));
    return there.valid() ? MoveOutcome::NameTaken : MoveOutcome::Failed;
}

bool DeleteFileAt(const std::string& path, bool force) {
    if (paths::IsMissingLocation(path)) return false;
    return DeleteFileAt(paths::Widen(paths::Trim(path)), force);
}

bool DeleteFileAt(const std::wstring& path, bool force) { return DeleteFileAt(path, force, false); }

bool DeleteFileAt(const std::wstring& path, bool force, bool securely) {
    if (path.empty() || paths::ShortForm(path).find_first_of(L"*?") != std::wstring::npos) return false;
    const std::wstring longPath = paths::LongPath(path);
    if (longPath.empty()) return false;
    auto [folder, name] = SplitLast(longPath);
    if (name.empty() || !paths::IsSafeName(name)) return false;
    std::optional<DirEntry> found = FindOne(longPath);
    if (!found || found->IsFolder() || found->wideName != name) return false;
    // One named file: it may lie directly in a protected folder (nothing is walked).
    return DeleteFileChecked(GuardFolder(folder, Reach::DirectlyIn), *found, force, securely);
}

bool DeleteFileAt(const std::string& path, bool force, bool securely) {
    if (paths::IsMissingLocation(path)) return false;
    return DeleteFileAt(paths::Widen(paths::Trim(path)), force, securely);
}



bool OverwriteFile(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return false;
    const uint64_t bytes = static_cast<uint64_t>(size.QuadPart);
    // A sparse or compressed file occupies less than its size: writing its whole length would
    // fill holes with real bytes (a sparse terabyte would fill the disk). Such a file is only
    // deleted; what it really holds on disk cannot be reached by overwriting its length.
    if (std::optional<StandardInfo> standard = QueryStandard(file)) {
        const uint64_t allocated = static_cast<uint64_t>(standard->allocationSize.QuadPart);
        // Small files may live inside their folder's record with nothing allocated for them.
        if (allocated < bytes && bytes - allocated > kPassChunk) return false;
    }
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
int DeleteMatchingFiles(const FolderGuard& guard, const std::wstring& mask, bool force, bool securely) {
    if (!guard.usable || mask.empty() || mask.find(L'\\') != std::wstring::npos) return 0;
    int deleted = 0;
    std::vector<DirEntry> matches;
    ListGuarded(guard, [&](const DirEntry& entry) {
        if (!entry.IsFolder() && MatchesMask(mask, entry.wideName)) matches.push_back(entry);
        return true;
    });
    for (const DirEntry& entry : matches)
        if (DeleteFileChecked(guard, entry, force, securely)) ++deleted;
    return deleted;
}

// Removes the link (a junction) `name` in the folder `parent` itself, never what it leads to:
// opened relative to the folder without following it. Windows only; under Wine a link stays.
bool RemoveLinkIn(const FolderGuard& parent, const std::wstring& name) {
    if (IsWine() || !parent.handle || !Api().HandleDeletes() || !paths::IsSafeName(name)) return false;
    FileHandle link(OpenRelative(parent.handle.get(), name, DELETE | FILE_READ_ATTRIBUTES, kShareAll,
                                 kFileOpenReparsePoint | kFileOpenForBackupIntent));
    if (!link.valid()) return false;
    std::optional<BasicInfo> info = QueryBasic(link.get());
    if (!info || !(info->fileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    if (!SameFinalPath(WithSlashW(ObjectName(link.get())), parent.objectName + name + L"\\")) return false;
    return MarkForDeletion(link.get());
}

int DeleteMatchingFolders(const FolderGuard& parentGuard, const std::wstring& mask, bool force, bool securely) {
    if (!parentGuard.usable || parentGuard.DirectOnly() || mask.empty() || mask.find(L'\\') != std::wstring::npos)
        return 0;
    std::vector<DirEntry> matches;  // collected first, so the parent's listing is not disturbed
    ListGuarded(parentGuard, [&](const DirEntry& entry) {
        if (entry.IsFolder() && MatchesMask(mask, entry.wideName)) matches.push_back(entry);
        return true;
    });
    int removed = 0;
    for (const DirEntry& match : matches) {
        if (match.IsLink()) {
            if (RemoveLinkIn(parentGuard, match.wideName)) ++removed;  // Windows: the link only
            continue;
        }
        if (RemoveTree(GuardSubfolder(parentGuard, match), force, securely)) ++removed;
    }
    return removed;
}

// Removes the empty folder `guard` names through a handle opened relative to its parent and
// checked by name; with `force` a read-only folder is made writable first.
bool RemoveFolderBelowParent(const FolderGuard& guard, bool force) {
    FileHandle folder(OpenRelative(guard.parent.get(), guard.leaf,
                                   DELETE | FILE_READ_ATTRIBUTES | (force ? FILE_WRITE_ATTRIBUTES : 0), kShareAll,
                                   kFileDirectoryFile | kFileOpenForBackupIntent));
    if (!folder.valid()) return false;
    std::optional<BasicInfo> info = QueryBasic(folder.get());
    if (!info || !(info->fileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if ((info->fileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsWine()) return false;
    if (!NamedAs(folder.get(), guard.objectName, {}, true)) return false;
    if (force && (info->fileAttributes & FILE_ATTRIBUTE_READONLY))
        SetAttributesByHandle(folder.get(), WithoutReadOnly(info->fileAttributes));
    return MarkForDeletion(folder.get());  // refused while the folder holds anything
}

}  // namespace

void Shelve(FolderGuard& guard) {
    std::wstring().swap(guard.path);
    std::wstring().swap(guard.objectName);
}

void Unshelve(FolderGuard& guard, const FolderGuard& child) {
    if (!guard.path.empty() || !child.usable) return;
    const size_t cut = child.leaf.size() + 1;  // the child's name and its backslash
    if (child.path.size() > cut) guard.path.assign(child.path, 0, child.path.size() - cut);
    if (child.objectName.size() > cut) guard.objectName.assign(child.objectName, 0, child.objectName.size() - cut);
}

WalkCounts Walk(FolderGuard root, const WalkRules& rules) {
    WalkCounts counts;
    if (!root.usable || root.DirectOnly()) return counts;
    // Depth-first, one open handle per level: a frame holds its folder and the sub-folders it
    // listed and has yet to enter.
    struct Frame {
        FolderGuard guard;
        int tag;
        std::vector<std::pair<std::wstring, int>> pending;  // sub-folder name, its tag
    };
    std::vector<Frame> stack;
    auto enterFolder = [&](FolderGuard guard, int tag) {
        Frame frame{std::move(guard), tag, {}};
        std::vector<DirEntry> files;
        ListGuarded(frame.guard, [&](const DirEntry& entry) {
            if (entry.IsFolder() && entry.IsLink()) {
                if (rules.removeLinks) RemoveLinkIn(frame.guard, entry.wideName);
            } else if (entry.IsFolder()) {
                int childTag = frame.tag;
                if (!rules.enter || rules.enter(frame.guard, entry, frame.tag, childTag))
                    frame.pending.emplace_back(entry.wideName, childTag);
            } else if (!rules.deleteFile || rules.deleteFile(frame.guard, entry, frame.tag)) {
                files.push_back(entry);
            }
            return true;
        });
        for (const DirEntry& file : files) {
            if (DeleteFileChecked(frame.guard, file, rules.force, rules.securely)) {
                ++counts.filesDeleted;
                counts.bytesDeleted += file.size;
            } else {
                ++counts.filesLeft;
            }
        }
        std::reverse(frame.pending.begin(), frame.pending.end());  // entered in listing order
        stack.push_back(std::move(frame));
    };
    enterFolder(std::move(root), rules.rootTag);
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.pending.empty()) {
            auto [name, tag] = std::move(top.pending.back());
            top.pending.pop_back();
            if (stack.size() > kMaxWalkDepth) continue;  // too deep: it stays, and so does its parent
            FolderGuard child = GuardChild(top.guard, name);
            if (!child.usable) continue;
            Shelve(top.guard);
            enterFolder(std::move(child), tag);
            continue;
        }
        FolderGuard done = std::move(top.guard);
        stack.pop_back();
        const bool isRoot = stack.empty();
        if (!isRoot) Unshelve(stack.back().guard, done);
        if (!rules.removeFolders || (isRoot && !rules.removeRoot)) continue;
        done.handle.reset();  // this walk's handle must not keep the folder alive
        if (done.parent && Api().HandleDeletes() ? RemoveFolderBelowParent(done, rules.force)
                                                 : RemoveFolderChecked(done))
            ++counts.foldersRemoved;
    }
    return counts;
}

int DeleteFiles(const std::string& pattern, bool force, Reach reach) {
    if (paths::IsMissingLocation(pattern)) return 0;
    auto [folder, mask] = SplitLast(paths::Widen(paths::Trim(pattern)));
    return DeleteMatchingFiles(GuardFolder(folder, reach), mask, force, false);
}

int DeleteFiles(const FolderGuard& folder, const std::string& mask, bool force, bool securely) {
    return DeleteMatchingFiles(folder, paths::Widen(mask), force, securely);
}

int DeleteFolders(const std::string& pattern, bool force) {
    if (paths::IsMissingLocation(pattern)) return 0;
    auto [parent, mask] = SplitLast(paths::Widen(paths::Trim(pattern)));
    return DeleteMatchingFolders(GuardFolder(parent), mask, force, false);
}

int DeleteFolders(const FolderGuard& parent, const std::string& mask, bool force, bool securely) {
    return DeleteMatchingFolders(parent, paths::Widen(mask), force, securely);
}

bool RemoveTree(FolderGuard root, bool force, bool securely) {
    if (!root.usable || root.DirectOnly()) return false;
    const std::wstring path = WithoutSlashW(root.path);
    WalkRules rules;
    rules.force = force;
    rules.removeFolders = true;
    rules.removeRoot = true;
    rules.removeLinks = true;
    rules.securely = securely;
    Walk(std::move(root), rules);
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RemoveFolderChecked(const FolderGuard& guard) {
    if (!guard.usable || guard.DirectOnly()) return false;
    const std::wstring path = WithoutSlashW(guard.path);
    if (!Api().HandleDeletes()) return RemoveFolder(path);
    if (guard.parent) return RemoveFolderBelowParent(guard, false);
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
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    // A name the code page cannot hold is no name here, never a look-alike of another folder.
    bool lossy = false;
    std::string path = text::FromWide(std::wstring(buffer, n), CP_ACP, '?', &lossy);
    return lossy ? std::string() : path;
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


ListedFileOutcome DeleteListedFile(const FolderGuard& guard, const std::wstring& name, uint64_t size,
                                   const FILETIME& written, bool force, bool securely, bool checkUnchanged) {
    if (!guard.usable || !paths::IsSafeName(name)) return ListedFileOutcome::Refused;
    if (!Api().HandleDeletes() || !guard.handle) {
        std::optional<DirEntry> found = FindOne(guard.path + name);
        if (!found || found->wideName != name) return ListedFileOutcome::Vanished;
        if (found->IsFolder() || found->IsLink()) return ListedFileOutcome::Refused;
        if (checkUnchanged && (found->size != size || CompareFileTime(&found->written, &written) != 0))
            return ListedFileOutcome::Changed;
        if ((found->attributes & FILE_ATTRIBUTE_READONLY) && !force) return ListedFileOutcome::ReadOnly;
        return DeleteFileChecked(guard, *found, force, securely) ? ListedFileOutcome::Deleted : ListedFileOutcome::InUse;
    }
    constexpr NTSTATUS_ kNameNotFound = static_cast<NTSTATUS_>(0xC0000034);
    constexpr NTSTATUS_ kPathNotFound = static_cast<NTSTATUS_>(0xC000003A);
    constexpr NTSTATUS_ kSharingViolation = static_cast<NTSTATUS_>(0xC0000043);
    constexpr NTSTATUS_ kAccessDenied = static_cast<NTSTATUS_>(0xC0000022);
    constexpr NTSTATUS_ kDeletePending = static_cast<NTSTATUS_>(0xC0000056);
    // The open that serves the checks and the delete; its status tells a vanished file from one
    // held by another program.
    UnicodeString text{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                       static_cast<USHORT>(name.size() * sizeof(wchar_t)), const_cast<PWSTR>(name.c_str())};
    ObjectAttributes attributes{sizeof(ObjectAttributes), guard.handle.get(), &text, kObjCaseInsensitive, nullptr,
                                nullptr};
    IoStatusBlock io{};
    HANDLE opened = nullptr;
    const NTSTATUS_ status = [&] {
        const ListedView view(name);
        return Api().ntOpenFile(&opened, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, &attributes,
                         &io, kShareAll, kFileNonDirectoryFile | kFileSynchronousIoNonalert | kFileOpenReparsePoint);
    }();
    if (status != kStatusSuccess) {
        if (status == kNameNotFound || status == kPathNotFound || status == kDeletePending)
            return ListedFileOutcome::Vanished;
        if (status == kSharingViolation) return ListedFileOutcome::InUse;
        if (status == kAccessDenied) return ListedFileOutcome::ReadOnly;
        return ListedFileOutcome::Refused;  // a folder in its place, or anything else unexpected
    }
    FileHandle file(opened);
    if (!NamedAs(file.get(), guard.objectName, name, false)) return ListedFileOutcome::Refused;
    if (!checkUnchanged && !securely) {
        // Two requests fewer a file: a read-only file refuses the mark, and only then is asked.
        if (MarkForDeletion(file.get())) return ListedFileOutcome::Deleted;
        std::optional<BasicInfo> basic = QueryBasic(file.get());
        if (!basic) return ListedFileOutcome::Vanished;
        const DWORD fileAttributes = basic->fileAttributes;
        if (!(fileAttributes & FILE_ATTRIBUTE_READONLY)) return ListedFileOutcome::InUse;
        if (!force || !SetAttributesByHandle(file.get(), WithoutReadOnly(fileAttributes))) return ListedFileOutcome::ReadOnly;
        if (MarkForDeletion(file.get())) return ListedFileOutcome::Deleted;
        SetAttributesByHandle(file.get(), fileAttributes & kSettableAttributes);
        return ListedFileOutcome::InUse;
    }
    std::optional<BasicInfo> basic = QueryBasic(file.get());
    std::optional<StandardInfo> standard = QueryStandard(file.get());
    if (!basic || !standard) return ListedFileOutcome::Vanished;
    if (checkUnchanged && (static_cast<uint64_t>(standard->endOfFile.QuadPart) != size ||
                           static_cast<DWORD>(basic->lastWriteTime.LowPart) != written.dwLowDateTime ||
                           static_cast<DWORD>(basic->lastWriteTime.HighPart) != written.dwHighDateTime))
        return ListedFileOutcome::Changed;
    const DWORD fileAttributes = basic->fileAttributes;
    const bool readOnly = (fileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !force) return ListedFileOutcome::ReadOnly;
    if (securely) {
        // The secure path needs its own handle shared with no one; this one must not hold it up.
        file.Close();
        DirEntry entry;
        entry.wideName = name;
        entry.attributes = fileAttributes;
        return SecureDeleteChecked(guard, entry, force) ? ListedFileOutcome::Deleted : ListedFileOutcome::InUse;
    }
    if (readOnly && !SetAttributesByHandle(file.get(), WithoutReadOnly(fileAttributes))) return ListedFileOutcome::ReadOnly;
    if (MarkForDeletion(file.get())) return ListedFileOutcome::Deleted;
    if (readOnly) SetAttributesByHandle(file.get(), fileAttributes & kSettableAttributes);
    return ListedFileOutcome::InUse;
}

}  // namespace bw::platform::fs
