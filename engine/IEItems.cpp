// Erase items for Internet Explorer's traces: typed addresses, history, cache, cookies,
// favorites, autocomplete data and downloaded program files.
#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseSteps.h"
#include "engine/Normal.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/URLHistory.h"
#include "platform/regfun.h"
#include "settings/KeepLists.h"

namespace bw::items {

namespace {

const char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

// Removes every value of a key that could not be deleted because it has subkeys, so that no old
// address outlives the erase. The subkeys are not the address list and stay.
void RemoveAllValues(HKEY root, const std::string& path) {
    namespace reg = platform::reg;
    reg::Key key;
    if (reg::OpenKey(root, path, key.put()) != ERROR_SUCCESS) return;
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        std::string name;
        LONG status = reg::EnumValue(key.get(), index, &name, 16384, nullptr, nullptr, 0);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;  // a name we cannot read; try the next
        names.push_back(name);
        if (index > 100000) break;
    }
    for (const std::string& name : names) reg::DeleteValue(key.get(), name);
}

// Internet Explorer's stores of typed form entries and of remembered passwords.
const char kFormStore[] = "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage1";
const char kPasswordStore[] = "Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage2";

}  // namespace

void LocationBarHistory(EraseRun& run) {
    // The addresses as they are before the key is touched.
    const int current = static_cast<int>(keeplist::TypedUrls().size());
    const std::vector<std::string> kept = keeplist::Entries(keeplist::UrlFile());

    RemoveKey(HKEY_CURRENT_USER, kTypedUrls);
    // A key with subkeys survives the delete; its old addresses must not.
    RemoveAllValues(HKEY_CURRENT_USER, kTypedUrls);
    const std::string path = std::string("HKEY_CURRENT_USER\\") + kTypedUrls;
    regfun::CreateKey(path);
    for (size_t n = 0; n < kept.size(); ++n) regfun::SetKeyValue(path, "url" + std::to_string(n + 1), kept[n]);

    // Addresses erased: those listed minus those written back, never below none.
    int erased = current - static_cast<int>(kept.size());
    run.regnum = erased > 0 ? erased : 0;
}

void InternetHistory(EraseRun&) {
    platform::CURLHistory history;
    if (SUCCEEDED(history.Status())) history.Clear();
}

void InternetCache(EraseRun& run) {
    namespace fs = platform::fs;
    const std::string path = ShellFolderPath("Cache");
    if (!platform::paths::IsUsableFolder(path)) return;
    FolderSize(run, path);

    // The index's sub-folders go one initial at a time, files first ("i" has no file pass). The
    // index folder is worked only as a real folder of the cache: a link there leads elsewhere.
    // The cache folder is opened once; every step below acts through that handle, so a cache
    // folder swapped for a link between two steps leads nowhere.
    const fs::FolderGuard cache = fs::GuardFolder(path);
    const fs::FolderGuard index = fs::GuardFolderBelow(cache, "Content.IE5");
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        if (letter == 'i') continue;
        fs::DeleteFiles(index, std::string(1, letter) + "*.*", false);
    }
    fs::DeleteFiles(index, "*.*", false);
    for (char letter = 'a'; letter <= 'z'; ++letter) fs::DeleteFolders(index, std::string(1, letter) + "*.*", false);
    fs::DeleteFolders(index, "*.*", false);

    fs::DeleteFiles(cache, "*.*", false);
    fs::DeleteFolders(cache, "*.*", false);
    fs::DeleteFiles(cache, "*.*", false);
    fs::DeleteNamedFile(cache, L"desktop.ini", true);
}

void Cookies(EraseRun& run) {
    namespace fs = platform::fs;
    const std::string path = ShellFolderPath("Cookies");
    if (!platform::paths::IsUsableFolder(path)) return;
    FolderSize(run, path);

    const std::vector<std::string> kept = keeplist::Entries(keeplist::CookieFile());
    // The cookie folder is opened once and listed by true names through that handle; each cookie
    // is deleted through a handle opened relative to it.
    const fs::FolderGuard folder = fs::GuardFolder(path);
    std::vector<fs::DirEntry> cookies;
    fs::ListGuarded(folder, [&](const fs::DirEntry& entry) {
        if (keeplist::IsCookieFile(entry)) cookies.push_back(entry);
        return true;
    });
    // Kept cookies are matched by their whole path as the keep list shows it, letter case included.
    const std::string prefix = platform::paths::WithSlash(path);
    for (const fs::DirEntry& cookie : cookies) {
        bool isKept = false;
        for (const std::string& entry : kept) isKept = isKept || entry == prefix + cookie.name;
        if (!isKept) fs::DeleteFileChecked(folder, cookie, false);
    }
}

void Favorites(EraseRun& run) {
    const std::string path = ShellFolderPath("Favorites");
    if (!platform::paths::IsUsableFolder(path)) return;
    FolderSize(run, path);
    Normal::EmptyFolder(path);
}

void AutocompleteMemory(EraseRun&) {
    RemoveKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW");
    RemoveKey(HKEY_USERS, ".DEFAULT\\Software\\Microsoft\\Internet Explorer\\IntelliForms");
    // What the Internet Options panel's "Clear Forms" and "Clear Passwords" clear: the stores of
    // typed form entries and of remembered passwords. They are cleared here directly, so no
    // window opens and no key is typed into anything, attended or not.
    RemoveKey(HKEY_CURRENT_USER, kFormStore);
    RemoveKey(HKEY_CURRENT_USER, kPasswordStore);
}

void DownloadedProgramFiles(EraseRun& run) {
    const std::string path = ActiveXCachePath();
    if (!platform::paths::IsUsableFolder(path)) return;
    FolderSize(run, path);
    Normal::EmptyFolder(path);
}

}  // namespace bw::items
