// WinINet's URL cache, listed through FindFirstUrlCacheEntryA and its companions.
#include "platform/UrlCache.h"

#include "platform/FileSystem.h"

#include <wininet.h>

#include <vector>

namespace bw::platform::urlcache {

namespace {

// Closes a cache enumeration handle when the listing ends.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() {
        if (h_) FindCloseUrlCache(h_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

Entry ToEntry(const INTERNET_CACHE_ENTRY_INFOA& info) {
    Entry e;
    if (info.lpszSourceUrlName) e.name = info.lpszSourceUrlName;
    e.type = info.CacheEntryType;
    e.lastAccess = info.LastAccessTime;
    e.lastModified = info.LastModifiedTime;
    e.expires = info.ExpireTime;
    if (info.lpHeaderInfo && info.dwHeaderInfoSize > 0)
        e.header.assign(info.lpHeaderInfo, info.dwHeaderInfoSize);
    // The stored header may carry its terminating NUL.
    while (!e.header.empty() && e.header.back() == '\0') e.header.pop_back();
    return e;
}

}  // namespace

bool ForEachEntry(const std::string& containerPrefix, const std::function<bool(const Entry&)>& onEntry) {
    std::vector<char> buffer(4096);
    auto info = [&] { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()); };
    const char* pattern = containerPrefix.empty() ? nullptr : containerPrefix.c_str();

    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE first = FindFirstUrlCacheEntryA(pattern, info(), &size);
    if (!first && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        size = static_cast<DWORD>(buffer.size());
        first = FindFirstUrlCacheEntryA(pattern, info(), &size);
    }
    if (!first) return GetLastError() == ERROR_NO_MORE_ITEMS;
    FindHandle find(first);

    for (;;) {
        if (!onEntry(ToEntry(*info()))) return true;
        size = static_cast<DWORD>(buffer.size());
        if (FindNextUrlCacheEntryA(find.get(), info(), &size)) continue;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return true;  // ERROR_NO_MORE_ITEMS
        buffer.resize(size);
        size = static_cast<DWORD>(buffer.size());
        if (!FindNextUrlCacheEntryA(find.get(), info(), &size)) return true;
    }
}

bool CommitEntry(const std::string& name, DWORD type, const FILETIME& lastModified,
                 const FILETIME& expires, const std::string& header) {
    std::vector<BYTE> bytes(header.begin(), header.end());
    return CommitUrlCacheEntryA(name.c_str(), nullptr, expires, lastModified, type,
                                bytes.empty() ? nullptr : bytes.data(),
                                static_cast<DWORD>(bytes.size()), nullptr, nullptr) != FALSE;
}

std::string LocalFileOf(const std::string& name) {
    std::vector<char> buffer(4096);
    DWORD size = static_cast<DWORD>(buffer.size());
    auto info = [&] { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()); };
    if (!GetUrlCacheEntryInfoA(name.c_str(), info(), &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > (1u << 20)) return {};
        buffer.assign(size, 0);
        if (!GetUrlCacheEntryInfoA(name.c_str(), info(), &size)) return {};
    }
    return info()->lpszLocalFileName ? std::string(info()->lpszLocalFileName) : std::string();
}

bool DeleteEntry(const std::string& name) {
    // WinINet deletes an entry's local file by its name, and so through a link in its place
    // (under Wine, the link's target goes). The file is handled first by the checked delete: an
    // entry whose file leads elsewhere is left, with its file.
    const std::string local = LocalFileOf(name);
    if (!local.empty() && fs::FileExists(local)) {
        if (fs::LeadsElsewhere(local) || !fs::DeleteFileAt(local, true, false)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
    }
    return DeleteUrlCacheEntryA(name.c_str()) != FALSE;
}

}  // namespace bw::platform::urlcache
