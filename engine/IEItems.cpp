// Erase items for Internet Explorer's traces: typed addresses, history, cache, cookies,
// favorites, autocomplete data and downloaded program files.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseSteps.h"
#include "engine/PlanWalk.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/TextCompare.h"
#include "platform/URLHistory.h"
#include "settings/KeepLists.h"

namespace bw::items {

namespace {

namespace fs = platform::fs;
namespace reg = platform::reg;

const char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

// The values of a key, names with their text, in listing order.
std::vector<std::pair<std::string, std::string>> TextValues(HKEY root, const std::string& path) {
    std::vector<std::pair<std::string, std::string>> values;
    reg::Key key;
    // A registry link in the key's place is never read through: its target is not this list.
    if (reg::OpenNoFollow(root, platform::paths::Widen(path), KEY_READ, 0, &key) != reg::Reached::Key) return values;
    for (DWORD index = 0; index < 100000; ++index) {
        std::string name;
        std::vector<BYTE> data;
        DWORD type = 0;
        LONG status = reg::EnumValue(key.get(), index, &name, 16384, &type, &data, 65536);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;  // a value we cannot read; try the next
        std::string text(data.begin(), data.end());
        text.resize(std::min(text.size(), text.find('\0')));
        values.emplace_back(name, text);
    }
    return values;
}

// Writes the typed addresses anew as "url1"... : the kept ones in keep-list order, then any still
// there that were not taken (unticked in a preview). Nothing is written when they already read so.
OperationResult RenumberTypedUrls(const std::vector<std::string>& kept) {
    std::vector<std::string> urls = kept;
    const auto current = TextValues(HKEY_CURRENT_USER, kTypedUrls);
    for (const auto& value : current)
        if (std::find(kept.begin(), kept.end(), value.second) == kept.end()) urls.push_back(value.second);
    OperationResult result;
    // Every value is deleted and written through the key's own handle, reached without following a
    // registry link: a link in its place is left alone, and so is its target.
    reg::Key key;
    if (reg::CreateNoFollow(HKEY_CURRENT_USER, platform::paths::Widen(kTypedUrls), KEY_READ | KEY_WRITE, 0, &key) !=
        reg::Reached::Key)
        return result;
    for (const auto& value : current) reg::DeleteValue(key.get(), value.first);
    for (size_t n = 0; n < urls.size(); ++n)
        // Stored without its NUL, as the list's other writers store it.
        reg::SetValueEx(key.get(), "url" + std::to_string(n + 1), REG_SZ,
                        reinterpret_cast<const BYTE*>(urls[n].data()), static_cast<DWORD>(urls[n].size()));
    result.done = true;
    return result;
}

// Internet Explorer's stores of typed form entries and of remembered passwords.
const char kFormStore[] = "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage1";
const char kPasswordStore[] = "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage2";

// The empty cache folder that the index would be without it, and the files and folders of the
// cache folder: everything goes, hidden and system files included, the folder itself stays.
void PlanCache(ErasePlan& plan, const fs::FolderGuard& cache) {
    if (!cache.usable) return;
    const uint32_t anchor = plan.AddAnchor(cache);
    if (anchor == ErasePlan::kNone) return;
    fs::WalkRules rules;
    rules.removeFolders = true;
    planwalk::Walk(plan, anchor, cache, rules);
    // The read-only desktop.ini directly in the cache folder is planned forced.
    for (Target& target : plan.Targets())
        if (target.kind == TargetKind::File && target.ref == anchor &&
            platform::CompareNoCase(plan.FileName(target), std::wstring(L"desktop.ini")) == 0)
            target.force = true;
}

}  // namespace

void LocationBarHistory(EraseRun& run) {
    const std::vector<std::string> kept = keeplist::Entries(keeplist::UrlFile());
    const auto current = TextValues(HKEY_CURRENT_USER, kTypedUrls);
    bool changes = false;
    for (const auto& value : current) {
        if (std::find(kept.begin(), kept.end(), value.second) != kept.end()) continue;
        run.plan.AddValue(HKEY_CURRENT_USER, kTypedUrls, value.first);
        changes = true;
    }
    // The kept addresses come back numbered from one, in keep-list order, whatever was there.
    std::vector<std::string> now;
    for (const auto& value : current) now.push_back(value.second);
    if (changes || now != kept || (current.empty() && !kept.empty()))
        run.plan.AddOperation("kept addresses written back", kept.size(), [kept] { return RenumberTypedUrls(kept); });
}

void InternetHistory(EraseRun& run) {
    long entries = 0;
    {
        platform::CURLHistory history;
        if (SUCCEEDED(history.Status())) entries = history.Count();
    }
    if (entries == 0) return;
    run.plan.SetItemNote(std::to_string(entries) + " history entries");
    run.plan.AddOperation("URL history (" + std::to_string(entries) + " entries)", static_cast<uint64_t>(entries), [] {
        OperationResult result;
        platform::CURLHistory history;
        if (FAILED(history.Status())) return result;
        const long before = history.Count();
        result.done = SUCCEEDED(history.Clear());
        platform::CURLHistory after;
        result.entries = before - (SUCCEEDED(after.Status()) ? after.Count() : before);
        return result;
    });
}

void InternetCache(EraseRun& run) {
    const std::string path = ShellFolderPath("Cache");
    if (!platform::paths::IsUsableFolder(path)) return;
    // The cache folder is opened once and judged by its final name; everything below it is found
    // through that handle and removed through it, so a folder swapped for a link leads nowhere.
    PlanCache(run.plan, fs::GuardFolder(path));
}

void Cookies(EraseRun& run) {
    const std::string path = ShellFolderPath("Cookies");
    if (!platform::paths::IsUsableFolder(path)) return;
    const std::vector<std::string> kept = keeplist::Entries(keeplist::CookieFile());
    // The cookie folder is opened once and listed by true names through that handle.
    const fs::FolderGuard folder = fs::GuardFolder(path);
    std::vector<fs::DirEntry> cookies;
    fs::ListGuarded(folder, [&](const fs::DirEntry& entry) {
        if (keeplist::IsCookieFile(entry)) cookies.push_back(entry);
        return true;
    });
    if (cookies.empty()) return;
    const uint32_t anchor = run.plan.AddAnchor(folder);
    if (anchor == ErasePlan::kNone) return;
    // Kept cookies are matched by their whole path as the keep list shows it, letter case included.
    const std::string prefix = platform::paths::WithSlash(path);
    for (const fs::DirEntry& cookie : cookies) {
        bool isKept = false;
        for (const std::string& entry : kept) isKept = isKept || entry == prefix + cookie.name;
        if (!isKept) run.plan.AddFile(anchor, cookie);
    }
}

void Favorites(EraseRun& run) {
    const std::string path = ShellFolderPath("Favorites");
    if (!platform::paths::IsUsableFolder(path)) return;
    planwalk::EmptyFolderBelow(run.plan, path, "");
}

void AutocompleteMemory(EraseRun& run) {
    PlanRemoveKey(run.plan, HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW");
    PlanRemoveKey(run.plan, HKEY_USERS, ".DEFAULT\\Software\\Microsoft\\Internet Explorer\\IntelliForms");
    // What the Internet Options panel's "Clear Forms" and "Clear Passwords" clear: the stores of
    // typed form entries and of remembered passwords. They are cleared here directly, so no
    // window opens and no key is typed into anything, attended or not.
    PlanRemoveKey(run.plan, HKEY_CURRENT_USER, kFormStore);
    PlanRemoveKey(run.plan, HKEY_CURRENT_USER, kPasswordStore);
}

void DownloadedProgramFiles(EraseRun& run) {
    const std::string path = ActiveXCachePath();
    if (!platform::paths::IsUsableFolder(path)) return;
    planwalk::EmptyFolderBelow(run.plan, path, "");
}

}  // namespace bw::items
