// The browser's URL history (the store behind Internet Explorer's History list) as a small
// collection: a snapshot of its entries, and adding, deleting and clearing entries.
//
// The store is the URL history object of Windows (IUrlHistoryStg2). Where that object is
// missing or answers E_NOTIMPL (Wine creates it, but implements none of its methods), the
// collection works directly on what the object keeps its entries in: the "Visited:" container
// of WinINet's URL cache, entries named "Visited: <user>@<url>". Callers see the same members and
// the same snapshot behaviour either way; UsesUrlCache() tells which store answered.
//
// Text is in the system code page; the store speaks UTF-16 and is converted at this boundary.
// Failures are returned as HRESULTs and stop the member at that point; nothing is thrown.
// Use from one thread, the one that created the collection.
#pragma once
#include <windows.h>
#include <urlhist.h>

#include <memory>
#include <string>
#include <vector>

namespace bw::platform {

// One history entry exactly as the store's enumerator delivered it. The item owns the record's
// two text buffers (COM task memory) and frees them when it goes: the title first, then the URL.
class URLHistoryItem {
public:
    URLHistoryItem() = default;
    ~URLHistoryItem();
    URLHistoryItem(const URLHistoryItem&) = delete;
    URLHistoryItem& operator=(const URLHistoryItem&) = delete;

    // The record's UTC times as local dates (days since 30 December 1899, the fraction being
    // the time of day). Each read converts a copy; the record never changes. 0 when a time
    // cannot be converted.
    double LastVisited() const;
    double Expires() const;
    double LastUpdated() const;
    // The record's texts; empty when the store gave none.
    std::string URL() const;
    std::string Title() const;
    DWORD Flags() const { return record_.dwFlags; }

private:
    friend class CURLHistory;
    // Copies a record as the enumerator delivered it and takes over its text buffers.
    void Load(const STATURL& record);
    const STATURL& Record() const { return record_; }
    STATURL record_{};
};

class CURLHistory {
public:
    // Opens the store and takes a snapshot of the whole history (Refresh("", 0)). Status()
    // tells whether that worked; a collection that failed to open holds no items and every
    // member answers the same failure.
    CURLHistory();
    ~CURLHistory();
    CURLHistory(const CURLHistory&) = delete;
    CURLHistory& operator=(const CURLHistory&) = delete;

    HRESULT Status() const { return status_; }
    bool UsesUrlCache() const;

    // Adds or updates an entry (visited now). The snapshot is not refreshed.
    HRESULT AddURL(const std::string& url, const std::string& title, DWORD flags);
    // The number of items in the snapshot.
    long Count() const { return static_cast<long>(items_.size()); }
    // Empties the whole history, then Refresh("", 0). A failing clear skips the refresh.
    HRESULT Clear();
    // Replaces the snapshot with the entries whose URL begins with `filter` (all for ""), in
    // the store's order. `flags` are the STATURL_QUERYFLAG_* of IEnumSTATURL::SetFilter. On
    // failure the old snapshot stays.
    HRESULT Refresh(const std::string& filter = "", DWORD flags = 0);
    // The item at a 1-based position; null outside 1..Count().
    const URLHistoryItem* Item(long index) const;
    // Deletes the entry at a 1-based position from the store and from the snapshot (later
    // items move down one place; no refresh). DISP_E_BADINDEX outside 1..Count().
    HRESULT Remove(long index);
    // Deletes every entry of `url` from the store, then Refresh("", 0).
    HRESULT DeleteURL(const std::string& url, DWORD flags);

    // Iteration over the snapshot: for (const URLHistoryItem& item : history.NewEnum()).
    class Iterator {
    public:
        explicit Iterator(std::vector<std::unique_ptr<URLHistoryItem>>::const_iterator it) : it_(it) {}
        const URLHistoryItem& operator*() const { return **it_; }
        Iterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return it_ != other.it_; }

    private:
        std::vector<std::unique_ptr<URLHistoryItem>>::const_iterator it_;
    };
    struct Range {
        Iterator first, last;
        Iterator begin() const { return first; }
        Iterator end() const { return last; }
    };
    Range NewEnum() const { return {begin(), end()}; }
    Iterator begin() const { return Iterator(items_.begin()); }
    Iterator end() const { return Iterator(items_.end()); }

    // The store behind the collection (defined in URLHistory.cpp).
    class Store;

private:
    // Runs `call` on the current store; when the history object answers E_NOTIMPL, moves to the
    // URL-cache store for good and runs it there.
    template <class Call>
    HRESULT OnStore(Call call);

    std::unique_ptr<Store> store_;
    std::vector<std::unique_ptr<URLHistoryItem>> items_;
    HRESULT status_ = E_FAIL;
    bool uninitializeCom_ = false;
};

}  // namespace bw::platform
