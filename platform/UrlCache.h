// WinINet's URL cache: listing the entries of one cache container, adding an entry without a
// local file, and deleting entries by name.
//
// Containers are chosen by the prefix of their entry names, exactly and case-sensitively:
// "Visited:" is the history container ("visited:" finds nothing), "Cookie:" the cookies, and
// no prefix the content cache. Facts measured on Wine 8: an entry committed without a local
// file keeps its header text and is listed by FindFirstUrlCacheEntryA / FindNextUrlCacheEntryA
// with that text; DeleteUrlCacheEntryA removes it at once.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace bw::platform::urlcache {

// One entry as the cache lists it.
struct Entry {
    std::string name;    // the full entry name, container prefix included
    DWORD type = 0;      // CacheEntryType
    FILETIME lastAccess{}, lastModified{}, expires{};  // UTC
    std::string header;  // the header text stored with the entry ("" when none)
};

// Lists every entry of the container whose names begin with `containerPrefix`, in the order
// WinINet returns them. `onEntry` returns false to stop. Returns false only when the listing
// could not start for a reason other than an empty container.
bool ForEachEntry(const std::string& containerPrefix, const std::function<bool(const Entry&)>& onEntry);

// Adds or replaces the entry `name` (no local file) with the given times and header text.
// False when WinINet refuses it.
bool CommitEntry(const std::string& name, DWORD type, const FILETIME& lastModified,
                 const FILETIME& expires, const std::string& header);

// Deletes the entry `name`; false when it is missing or cannot be deleted.
bool DeleteEntry(const std::string& name);

}  // namespace bw::platform::urlcache
