// Erase items for the other browsers and the search toolbar.
#include <string>

#include "engine/EraseItems.h"
#include "engine/EraseSteps.h"
#include "engine/Normal.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/Inifun.h"

namespace bw::items {

namespace {

namespace fs = platform::fs;
namespace paths = platform::paths;

bool On(const EraseRun& run, const char* section, const char* key) {
    return Inifun::IsOnByText(Inifun::ReadIni(run.settingsFile, section, key));
}

// A program folder named in the settings file, without its trailing backslash; empty text when
// it names no folder that may be cleaned. Empty text, a relative path (which would follow
// whatever the current folder happens to be) and a bare drive root all count as not found.
std::string ProgramFolder(const EraseRun& run, const char* section) {
    const std::string path = paths::Trim(Inifun::ReadIni(run.settingsFile, section, "path"));
    if (!paths::IsUsableFolder(path) || !fs::FolderExists(path)) return {};
    return paths::WithoutSlash(path);
}

}  // namespace

void NetscapeNavigator(EraseRun& run) {
    struct SubItem {
        const char* key;
        const char* fileName;  // deleted throughout the profiles; none: the cache folders are emptied
    };
    static const SubItem kSubItems[] = {
        {"Location", "localstore.rdf"},
        {"Cookies", "cookies.txt"},
        {"Cache", nullptr},
        {"History", "history.dat"},
    };
    for (const SubItem& sub : kSubItems) {
        if (!On(run, "NETSCAPE", sub.key)) continue;
        // Read anew for every sub-item: the profile tree is counted once per sub-item.
        const std::string appData = ShellFolderPath("AppData");
        if (!paths::IsUsableFolder(appData)) continue;
        const std::string profiles = paths::WithoutSlash(appData) + "\\Mozilla\\Profiles";
        FolderSize(run, profiles);
        // Walked only as real folders below the application data, never through a link.
        if (sub.fileName)
            Normal::DeleteNamedFileBelow(appData, "Mozilla\\Profiles", sub.fileName, true);
        else
            Normal::DeleteProfileCacheBelow(appData, "Mozilla\\Profiles", true);
    }
}

void Opera(EraseRun& run) {
    const std::string folder = ProgramFolder(run, "opera");
    const bool location = On(run, "opera", "Location");
    if (folder.empty()) {
        run.useAltEndLine = true;
        return;
    }
    // Opera's folder is opened once (and refused when it resolves to a drive root or a folder of
    // Windows, the programs or the profile); the profile and its cache are worked only as real
    // folders inside it.
    const fs::FolderGuard base = fs::GuardFolder(folder);
    const fs::FolderGuard profile = fs::GuardFolderBelow(base, "profile");
    if (location) {
        run.filesize += 5000;
        fs::DeleteFiles(profile, "opera.dir", false);
    }
    if (On(run, "OPERA", "Cookies")) fs::DeleteFiles(profile, "cookies4.dat", false);
    if (On(run, "OPERA", "Cache")) {
        run.filesize += 5000;
        fs::DeleteFiles(fs::GuardFolderBelow(base, "profile\\cache4"), "*.*", false);
    }
    if (On(run, "Opera", "History")) {
        run.filesize += 5000;
        fs::DeleteFiles(profile, "global.dat", false);
        fs::DeleteFiles(profile, "viewers.dat", false);
    }
}

// MSN Explorer keeps each user's browsing traces in folders below the folder named by "path":
// the typed-address list "typedurls.dat" in that folder, cookie files in "Cookies", the page
// cache in folders named "Cache" (at any depth, as the browser makes one per user) and the
// visited-page records in "History". Only files go; every folder stays, and nothing outside the
// named folder is touched (a "Cookies" or "History" that is a link is left alone). The item reports
// no statistics.
void MsnExplorer(EraseRun& run) {
    const std::string folder = ProgramFolder(run, "msn");
    const bool location = On(run, "msn", "Location");
    const bool cookies = On(run, "msn", "Cookies");
    const bool cache = On(run, "msn", "Cache");
    const bool history = On(run, "msn", "History");
    if (folder.empty()) return;
    // The folder is opened once; every step acts through that handle.
    const fs::FolderGuard base = fs::GuardFolder(folder);
    if (location) fs::DeleteFiles(base, "typedurls.dat", false);
    if (cookies) fs::DeleteFiles(fs::GuardFolderBelow(base, "Cookies"), "*.txt", false);
    if (cache) Normal::DeleteProfileCacheIn(base);
    if (history) fs::DeleteFiles(fs::GuardFolderBelow(base, "History"), "*.*", false);
}

void GoogleToolbar(EraseRun&) { RemoveKey(HKEY_CURRENT_USER, "Software\\Google\\NavClient\\1.1\\History"); }

}  // namespace bw::items
