// The URL history collection over the history object of Windows, or over the "Visited:" URL
// cache container where that object does nothing.
#include "platform/URLHistory.h"

#include <oleauto.h>
#include <shlguid.h>
#include <wininet.h>

#include <functional>

#include "platform/Text.h"
#include "platform/UrlCache.h"

namespace bw::platform {

namespace {

std::wstring Widen(const std::string& text, UINT codePage = CP_ACP) { return text::ToWide(text, codePage); }

std::string Narrow(const wchar_t* text, int length, UINT codePage = CP_ACP) {
    return length > 0 ? text::FromWide(text, static_cast<size_t>(length), codePage) : std::string();
}

std::string Narrow(const std::wstring& text, UINT codePage = CP_ACP) {
    return Narrow(text.data(), static_cast<int>(text.size()), codePage);
}

// A copy of `text` in COM task memory, as the history object hands out its texts.
LPWSTR TaskString(const std::wstring& text) {
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (out) memcpy(out, text.c_str(), bytes);
    return out;
}

double ToLocalDate(FILETIME utc) {
    FILETIME local;
    SYSTEMTIME st;
    double date = 0;
    if (!FileTimeToLocalFileTime(&utc, &local)) return 0;
    if (!FileTimeToSystemTime(&local, &st)) return 0;
    if (!SystemTimeToVariantTime(&st, &date)) return 0;
    return date;
}

}  // namespace

// ---- the stores --------------------------------------------------------------------------------

class CURLHistory::Store {
public:
    virtual ~Store() = default;
    virtual bool IsUrlCache() const = 0;
    virtual HRESULT AddUrl(const std::wstring& url, const std::wstring& title, DWORD flags) = 0;
    virtual HRESULT DeleteUrl(const std::wstring& url, DWORD flags) = 0;
    virtual HRESULT ClearHistory() = 0;
    // Delivers every record that passes the filter; `onRecord` takes over its text buffers.
    virtual HRESULT Enumerate(const std::wstring& filter, DWORD flags,
                              const std::function<void(const STATURL&)>& onRecord) = 0;
};

namespace {

// The history object of Windows.
class ComStore : public CURLHistory::Store {
public:
    explicit ComStore(IUrlHistoryStg2* stg) : stg_(stg) {}
    ~ComStore() override { stg_->Release(); }
    bool IsUrlCache() const override { return false; }

    HRESULT AddUrl(const std::wstring& url, const std::wstring& title, DWORD flags) override {
        return stg_->AddUrl(url.c_str(), title.c_str(), flags);
    }
    HRESULT DeleteUrl(const std::wstring& url, DWORD flags) override {
        return stg_->DeleteUrl(url.c_str(), flags);
    }
    HRESULT ClearHistory() override { return stg_->ClearHistory(); }

    HRESULT Enumerate(const std::wstring& filter, DWORD flags,
                      const std::function<void(const STATURL&)>& onRecord) override {
        IEnumSTATURL* urls = nullptr;
        HRESULT hr = stg_->EnumUrls(&urls);
        if (FAILED(hr)) return hr;
        hr = urls->SetFilter(filter.c_str(), flags);
        if (FAILED(hr)) {
            urls->Release();
            return hr;
        }
        STATURL record{};
        record.cbSize = sizeof(record);
        for (;;) {
            ULONG fetched = 0;
            hr = urls->Next(1, &record, &fetched);
            if (FAILED(hr) || fetched == 0) break;
            onRecord(record);  // the item owns the texts now; Next fills in fresh ones
        }
        urls->Release();
        return FAILED(hr) ? hr : S_OK;
    }

private:
    IUrlHistoryStg2* stg_;
};

// The "Visited:" container of WinINet's URL cache, which is where the history object keeps its
// entries. Entry names are "Visited: <user>@<url>"; the title and the flags word travel in the
// entry's header text as "Title: <UTF-8>" and "Flags: <decimal>" lines.
class UrlCacheStore : public CURLHistory::Store {
public:
    UrlCacheStore() {
        char name[257] = {};
        DWORD size = sizeof(name);
        if (GetUserNameA(name, &size)) user_ = name;
    }
    bool IsUrlCache() const override { return true; }

    HRESULT AddUrl(const std::wstring& url, const std::wstring& title, DWORD flags) override {
        if (url.empty()) return E_INVALIDARG;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER expires{{now.dwLowDateTime, now.dwHighDateTime}};
        expires.QuadPart += kKeepDays * 24ULL * 3600ULL * 10000000ULL;
        FILETIME expiry{expires.LowPart, expires.HighPart};
        std::string header = "Title: " + Narrow(title, CP_UTF8) + "\r\nFlags: " + std::to_string(flags) + "\r\n";
        bool ok = urlcache::CommitEntry(kPrefix + std::string(" ") + user_ + "@" + Narrow(url),
                                        NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY, now, expiry, header);
        return ok ? S_OK : HRESULT_FROM_WIN32(GetLastError());
    }

    HRESULT DeleteUrl(const std::wstring& url, DWORD) override {
        const std::string wanted = Narrow(url);
        return DeleteWhere([&](const std::string& entryUrl) { return entryUrl == wanted; });
    }

    HRESULT ClearHistory() override {
        return DeleteWhere([](const std::string&) { return true; });
    }

    HRESULT Enumerate(const std::wstring& filter, DWORD flags,
                      const std::function<void(const STATURL&)>& onRecord) override {
        const std::string prefix = Narrow(filter);
        std::vector<STATURL> records;
        bool listed = urlcache::ForEachEntry(kPrefix, [&](const urlcache::Entry& entry) {
            std::string url = UrlOf(entry.name);
            if (url.compare(0, prefix.size(), prefix) != 0) return true;
            STATURL record{};
            record.cbSize = sizeof(record);
            record.dwFlags = FlagsOf(entry.header);
            if ((flags & STATURL_QUERYFLAG_TOPLEVEL) && !(record.dwFlags & STATURLFLAG_ISTOPLEVEL)) return true;
            if (!(flags & STATURL_QUERYFLAG_NOURL)) record.pwcsUrl = TaskString(Widen(url));
            std::string title = HeaderLine(entry.header, "Title: ");
            if (!(flags & STATURL_QUERYFLAG_NOTITLE) && !title.empty())
                record.pwcsTitle = TaskString(Widen(title, CP_UTF8));
            record.ftLastVisited = entry.lastAccess;
            record.ftLastUpdated = entry.lastModified;
            record.ftExpires = entry.expires;
            records.push_back(record);
            return true;
        });
        if (!listed) {
            for (STATURL& r : records) {
                CoTaskMemFree(r.pwcsTitle);
                CoTaskMemFree(r.pwcsUrl);
            }
            return E_FAIL;
        }
        for (const STATURL& r : records) onRecord(r);
        return S_OK;
    }

private:
    static constexpr const char* kPrefix = "Visited:";
    static constexpr unsigned kKeepDays = 20;  // how long Windows keeps history by default

    // "Visited: user@http://host/" -> "http://host/". The user part is recognised as text before
    // the first '@' that holds no ':' or '/', so "mailto:a@b" keeps its '@'.
    static std::string UrlOf(const std::string& name) {
        std::string rest = name.substr(std::string(kPrefix).size());
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        size_t at = rest.find('@');
        if (at != std::string::npos && rest.find_first_of(":/") > at) rest.erase(0, at + 1);
        return rest;
    }

    static std::string HeaderLine(const std::string& header, const std::string& key) {
        size_t pos = 0;
        while (pos < header.size()) {
            size_t end = header.find("\r\n", pos);
            if (end == std::string::npos) end = header.size();
            if (header.compare(pos, key.size(), key) == 0) return header.substr(pos + key.size(), end - pos - key.size());
            pos = end + 2;
        }
        return {};
    }

    static DWORD FlagsOf(const std::string& header) {
        std::string text = HeaderLine(header, "Flags: ");
        return text.empty() ? 0 : static_cast<DWORD>(strtoul(text.c_str(), nullptr, 10));
    }

    // Deletes the entries whose URL passes `match`. The names are gathered first, so the listing
    // never runs over entries being deleted.
    HRESULT DeleteWhere(const std::function<bool(const std::string&)>& match) {
        std::vector<std::string> names;
        bool listed = urlcache::ForEachEntry(kPrefix, [&](const urlcache::Entry& entry) {
            if (match(UrlOf(entry.name))) names.push_back(entry.name);
            return true;
        });
        if (!listed) return E_FAIL;
        HRESULT result = S_OK;
        for (const std::string& name : names)
            if (!urlcache::DeleteEntry(name)) result = HRESULT_FROM_WIN32(GetLastError());
        return result;
    }

    std::string user_;
};

}  // namespace

// ---- URLHistoryItem ----------------------------------------------------------------------------

URLHistoryItem::~URLHistoryItem() {
    CoTaskMemFree(record_.pwcsTitle);
    CoTaskMemFree(record_.pwcsUrl);
}

void URLHistoryItem::Load(const STATURL& record) { record_ = record; }

double URLHistoryItem::LastVisited() const { return ToLocalDate(record_.ftLastVisited); }
double URLHistoryItem::Expires() const { return ToLocalDate(record_.ftExpires); }
double URLHistoryItem::LastUpdated() const { return ToLocalDate(record_.ftLastUpdated); }

std::string URLHistoryItem::URL() const {
    return record_.pwcsUrl ? Narrow(record_.pwcsUrl, lstrlenW(record_.pwcsUrl)) : std::string();
}

std::string URLHistoryItem::Title() const {
    return record_.pwcsTitle ? Narrow(record_.pwcsTitle, lstrlenW(record_.pwcsTitle)) : std::string();
}

// ---- CURLHistory -------------------------------------------------------------------------------

CURLHistory::CURLHistory() {
    uninitializeCom_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IUrlHistoryStg2* stg = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER, IID_IUrlHistoryStg2,
                                  reinterpret_cast<void**>(&stg));
    if (SUCCEEDED(hr) && stg) {
        store_ = std::make_unique<ComStore>(stg);
    } else if (hr == REGDB_E_CLASSNOTREG || hr == CLASS_E_CLASSNOTAVAILABLE || hr == E_NOINTERFACE ||
               hr == E_NOTIMPL) {
        store_ = std::make_unique<UrlCacheStore>();
    } else {
        status_ = FAILED(hr) ? hr : E_FAIL;
        return;
    }
    status_ = Refresh("", 0);
}

CURLHistory::~CURLHistory() {
    items_.clear();
    store_.reset();
    if (uninitializeCom_) CoUninitialize();
}

bool CURLHistory::UsesUrlCache() const { return store_ && store_->IsUrlCache(); }

template <class Call>
HRESULT CURLHistory::OnStore(Call call) {
    if (!store_) return status_;
    HRESULT hr = call(*store_);
    if (hr == E_NOTIMPL && !store_->IsUrlCache()) {
        store_ = std::make_unique<UrlCacheStore>();
        hr = call(*store_);
    }
    return hr;
}

HRESULT CURLHistory::AddURL(const std::string& url, const std::string& title, DWORD flags) {
    return OnStore([&](Store& s) { return s.AddUrl(Widen(url), Widen(title), flags); });
}

HRESULT CURLHistory::Clear() {
    HRESULT hr = OnStore([](Store& s) { return s.ClearHistory(); });
    if (FAILED(hr)) return hr;
    return Refresh("", 0);
}

HRESULT CURLHistory::Refresh(const std::string& filter, DWORD flags) {
    std::vector<std::unique_ptr<URLHistoryItem>> fresh;
    HRESULT hr = OnStore([&](Store& s) {
        fresh.clear();
        return s.Enumerate(Widen(filter), flags, [&](const STATURL& record) {
            auto item = std::make_unique<URLHistoryItem>();
            item->Load(record);
            fresh.push_back(std::move(item));
        });
    });
    if (FAILED(hr)) return hr;
    items_ = std::move(fresh);
    return S_OK;
}

const URLHistoryItem* CURLHistory::Item(long index) const {
    if (index < 1 || index > Count()) return nullptr;
    return items_[static_cast<size_t>(index - 1)].get();
}

HRESULT CURLHistory::Remove(long index) {
    if (index < 1 || index > Count()) return DISP_E_BADINDEX;
    const STATURL& record = items_[static_cast<size_t>(index - 1)]->Record();
    std::wstring url = record.pwcsUrl ? std::wstring(record.pwcsUrl) : std::wstring();
    HRESULT hr = OnStore([&](Store& s) { return s.DeleteUrl(url, 0); });
    if (FAILED(hr)) return hr;
    items_.erase(items_.begin() + (index - 1));
    return S_OK;
}

HRESULT CURLHistory::DeleteURL(const std::string& url, DWORD flags) {
    HRESULT hr = OnStore([&](Store& s) { return s.DeleteUrl(Widen(url), flags); });
    if (FAILED(hr)) return hr;
    return Refresh("", 0);
}

}  // namespace bw::platform
