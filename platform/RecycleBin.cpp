// Moving one checked file into the recycle bin through handles (see RecycleBin.h).
#include "platform/RecycleBin.h"

#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "platform/WineFiles.h"

namespace bw::platform {

namespace {

constexpr int kMaxNameTries = 100;

// A plain file that may be moved: no folder, no read-only file.
bool IsPlainWritable(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileInformationByHandle(file, &info) &&
           !(info.dwFileAttributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// "report.tmp", then "report.2.tmp", "report.3.tmp"...; a name without extension gets ".2".
std::wstring Candidate(const std::wstring& name, int n) {
    if (n == 1) return name;
    const size_t dot = name.find_last_of(L'.');
    const size_t cut = dot == std::wstring::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, cut) + L"." + std::to_wstring(n) + name.substr(cut);
}


// The Linux path of a file as Wine names it (UTF-8); empty when Wine cannot say.
std::string WineUnixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const auto toUnix =
        reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) return {};
    char* name = toUnix(path.c_str());
    if (!name) return {};
    std::string text(name);
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// The desktop's trash with its two folders, each opened relative to the one above and refused
// when it is a link. Missing folders are made first, as Wine's shell makes them.
struct WineTrash {
    fs::FolderGuard files, info;
    bool usable() const { return files.usable && info.usable; }
};

fs::FolderGuard ChildFolder(const fs::FolderGuard& parent, const std::wstring& name) {
    if (!parent.usable) return {};
    CreateDirectoryW((parent.path + name).c_str(), nullptr);  // fails harmlessly when present
    return fs::GuardChild(parent, name, fs::Reach::DirectlyIn);
}

WineTrash OpenWineTrash() {
    WineTrash trash;
    const std::wstring path = paths::LongPath(WineTrashFolder());
    const size_t slash = path.find_last_of(L'\\');
    if (path.empty() || slash == std::wstring::npos) return trash;
    const fs::FolderGuard home = fs::GuardFolder(path.substr(0, slash + 1), fs::Reach::DirectlyIn);
    const fs::FolderGuard bin = ChildFolder(home, path.substr(slash + 1));
    trash.files = ChildFolder(bin, L"files");
    trash.info = ChildFolder(bin, L"info");
    return trash;
}

bool MoveIntoWineTrash(const fs::FolderGuard& folder, const std::wstring& name) {
    // Wine renames a handle's file by its path text, which a Linux process can turn elsewhere
    // after any check: without the rename between descriptors the file stays.
    if (!wine::HandlesReachLinux()) return false;
    const WineTrash trash = OpenWineTrash();
    if (!trash.usable()) return false;
    FileHandle file(fs::OpenFileInPlace(folder, name, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE));
    if (!file.valid() || !IsPlainWritable(file.get())) return false;
    const std::string unixPath = WineUnixPath(folder.path + name);
    if (unixPath.empty()) return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string record = TrashInfoText(unixPath, now);
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const std::wstring candidate = Candidate(name, n);
        const std::wstring infoName = candidate + L".trashinfo";
        // The record comes first and reserves the name; a crash leaves a record without a file,
        // never a file the bin cannot show.
        FileHandle info(fs::CreateNewFileIn(trash.info, infoName, GENERIC_WRITE));
        if (!info.valid()) continue;
        const bool written = WriteAll(info.get(), record.data(), record.size());
        info.Close();
        fs::MoveOutcome moved = fs::MoveOutcome::Failed;
        if (written) {
            switch (wine::RenameBetween(folder.handle.get(), name, trash.files.handle.get(), candidate, file.get())) {
                case wine::Move::Moved: moved = fs::MoveOutcome::Moved; break;
                case wine::Move::NameTaken: moved = fs::MoveOutcome::NameTaken; break;
                case wine::Move::Failed: moved = fs::MoveOutcome::Failed; break;
                case wine::Move::MovedOther: return false;  // it came from this folder: its record stays
            }
        }
        if (moved == fs::MoveOutcome::Moved) return true;
        fs::DeleteNamedFile(trash.info, infoName, true);
        if (moved == fs::MoveOutcome::Failed) return false;
    }
    return false;
}

// The current user's SID as text ("S-1-5-21-..."); empty when it cannot be read.
std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    FileHandle held(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

// Six characters of A-Z and 0-9 from the system's random source.
std::wstring RandomId() {
    using RtlGenRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
    static const auto gen =
        reinterpret_cast<RtlGenRandomFn>(GetProcAddress(LoadLibraryA("advapi32.dll"), "SystemFunction036"));
    unsigned char bytes[6] = {};
    if (!gen || !gen(bytes, sizeof bytes)) {
        const DWORD tick = GetTickCount() ^ GetCurrentProcessId();
        for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(tick >> (i * 5));
    }
    static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::wstring id;
    for (unsigned char b : bytes) id.push_back(kAlphabet[b % 36]);
    return id;
}

// The "$I" record of the bins of Windows Vista and later, version 2.
std::vector<unsigned char> RecycleRecord(uint64_t size, const FILETIME& deleted, const std::wstring& path) {
    const uint64_t version = 2;
    const uint32_t chars = static_cast<uint32_t>(path.size() + 1);
    std::vector<unsigned char> record(sizeof version + sizeof size + sizeof deleted + sizeof chars +
                                      chars * sizeof(wchar_t));
    size_t at = 0;
    auto put = [&](const void* data, size_t bytes) {
        std::memcpy(record.data() + at, data, bytes);
        at += bytes;
    };
    put(&version, sizeof version);
    put(&size, sizeof size);
    put(&deleted, sizeof deleted);
    put(&chars, sizeof chars);
    put(path.c_str(), chars * sizeof(wchar_t));
    return record;
}

bool MoveIntoWindowsBin(const fs::FolderGuard& folder, const std::wstring& name) {
    // "\\?\C:\..." only: the bins of network shares are not written.
    const std::wstring& path = folder.path;
    if (path.size() < 7 || path.compare(0, 4, L"\\\\?\\") != 0 || path[5] != L':' || path[6] != L'\\') return false;
    const std::wstring sid = UserSid();
    if (sid.empty()) return false;
    const fs::FolderGuard bins = fs::GuardFolder(path.substr(0, 7) + L"$Recycle.Bin", fs::Reach::DirectlyIn);
    const fs::FolderGuard bin = fs::GuardChild(bins, sid, fs::Reach::DirectlyIn);
    if (!bin.usable) return false;
    FileHandle file(fs::OpenFileInPlace(folder, name, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE));
    LARGE_INTEGER size{};
    if (!file.valid() || !IsPlainWritable(file.get()) || !GetFileSizeEx(file.get(), &size)) return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::wstring shown = paths::ShortForm(path + name);
    const std::vector<unsigned char> record =
        RecycleRecord(static_cast<uint64_t>(size.QuadPart), now, shown.empty() ? path + name : shown);
    const size_t dot = name.find_last_of(L'.');
    const std::wstring extension = dot == std::wstring::npos || dot == 0 ? std::wstring() : name.substr(dot);

    for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
        const std::wstring id = RandomId();
        const std::wstring recordName = L"$I" + id + extension;
        FileHandle info(fs::CreateNewFileIn(bin, recordName, GENERIC_WRITE));
        if (!info.valid()) continue;
        const bool written = WriteAll(info.get(), record.data(), record.size());
        info.Close();
        const fs::MoveOutcome moved =
            written ? fs::MoveIntoFolder(file.get(), bin, L"$R" + id + extension) : fs::MoveOutcome::Failed;
        if (moved == fs::MoveOutcome::Moved) return true;
        fs::DeleteNamedFile(bin, recordName, true);
        if (moved == fs::MoveOutcome::Failed) return false;
    }
    return false;
}

}  // namespace

std::string TrashInfoText(const std::string& unixPath, const SYSTEMTIME& deleted) {
    std::string encoded;
    for (const char byte : unixPath) {
        const auto c = static_cast<unsigned char>(byte);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            encoded.push_back(byte);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            encoded += hex;
        }
    }
    char date[32];
    std::snprintf(date, sizeof date, "%04u-%02u-%02uT%02u:%02u:%02u", deleted.wYear, deleted.wMonth, deleted.wDay,
                  deleted.wHour, deleted.wMinute, deleted.wSecond);
    return "[Trash Info]\nPath=" + encoded + "\nDeletionDate=" + date + "\n";
}

bool MoveToRecycleBin(const fs::FolderGuard& folder, const std::wstring& name) {
    if (!folder.usable || !folder.handle || !paths::IsSafeName(name)) return false;
    return fs::IsWine() ? MoveIntoWineTrash(folder, name) : MoveIntoWindowsBin(folder, name);
}

}  // namespace bw::platform
