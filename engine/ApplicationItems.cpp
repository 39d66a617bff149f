// Erase items for the recent-file lists and temporary files of other applications. Each
// application is a row of data (the keys, values, file patterns and counts it touches), walked
// by one function.
#include <optional>
#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseSteps.h"
#include "engine/PlanWalk.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/regfun.h"
#include "settings/Inifun.h"

namespace bw::items {

namespace {

namespace fs = platform::fs;
namespace paths = platform::paths;

const char kUser[] = "HKEY_CURRENT_USER\\";

enum class Do {
    RemoveValues,   // each named value of the key goes (the key is only opened, never made)
    BlankValues,    // each named value of an existing key becomes empty text (made when missing)
    RemoveKey,      // the key goes, when it has no subkeys
    DeleteKey,      // the same through the registry helper
    DeleteFiles,    // the files matching each pattern, directly in its folder only
    EmptyFolder,    // every file and sub-folder below each folder; the folder itself stays
    ReceivedFiles,  // the files matching each pattern directly in a real folder below the user's documents
};

// One action of an application. Registry paths are below HKEY_CURRENT_USER. For file actions,
// `drives` repeats all of `targets` once more for each letter, in turn, in place of the drive
// letter they are written with.
struct Step {
    Do what;
    std::vector<const char*> targets;
    std::vector<const char*> names = {};
    const char* drives = "";
};

struct Application {
    const char* key;  // its on/off key in section "MOREAPPLICATIONS"
    std::vector<Step> steps;
};

const std::vector<const char*> kFile1to8 = {"File1", "File2", "File3", "File4",
                                            "File5", "File6", "File7", "File8"};

const std::vector<Application>& MoreApplicationsTable() {
    static const std::vector<Application> table = {
        {"ACDSee5",
         {{Do::RemoveValues, {"Software\\ACD Systems\\ACDSee"}, {"ImageDB"}},
          {Do::RemoveValues, {"Software\\ACD Systems\\ACDSee\\50"},
           {"OpenFolder", "HistMCFDestFolder", "HistFileFilters", "HistSearchText", "HistPaths"}}}},
        {"ACDsee4", {{Do::BlankValues, {"Software\\ACD Systems\\ACDSee"}, {"Favorites", "LastFolder", "Openfolder"}}}},
        {"AcrobatReader4",
         {{Do::BlankValues, {"Software\\Adobe\\Acrobat Reader\\4.0\\AdobeViewer"}, {"avpRecentFile"}}}},
        {"AcrobatReader5", {{Do::RemoveKey, {"Software\\Adobe\\Acrobat Reader\\5.0\\AVGeneral\\cRecentFiles"}}}},
        {"AOL", {{Do::DeleteFiles, {"c:\\America Online 6.0\\AOLTEMP\\*.*"}, {}, "def"}}},
        {"CuteFTP",
         {{Do::DeleteFiles,
           {"c:\\Program Files\\GlobalSCAPE\\CuteFTP\\sm.dat", "c:\\Program Files\\GlobalSCAPE\\CuteFTP\\sm.bak",
            "c:\\Program Files\\GlobalSCAPE\\CuteFTP\\log\\*.*"},
           {},
           "defgh"}}},
        {"DivxPlayer",
         {{Do::RemoveKey, {"Software\\DivXNetworks\\DivX Player\\file"}},
          {Do::BlankValues, {"Software\\DivXNetworks\\DivX Player"}, {"file"}},
          {Do::RemoveValues, {"Software\\DivXNetworks\\DivX Player"}, kFile1to8}}},
        {"FlashGet",
         {{Do::RemoveKey, {"Software\\JetCar\\JetCar\\Recent File List"}},
          {Do::DeleteFiles, {"C:\\Program Files\\FlashGet\\Default.*"}}}},
        {"GetRight",
         {{Do::DeleteKey, {"Software\\Headlight\\GetRight\\MRU", "Software\\Headlight\\GetRight\\Recent File List"}},
          {Do::DeleteFiles, {"C:\\Program Files\\GetRight\\GetRight.hst"}}}},
        {"Hotbar",
         {{Do::RemoveKey, {"Software\\Hotbar\\hotbar\\ImagesHistory"}},
          {Do::EmptyFolder, {"c:\\Program Files\\Hotbar\\v3.0\\dynamic"}},
          {Do::DeleteFiles, {"c:\\Program Files\\Hotbar\\v3.0\\static\\*.*"}}}},
        {"ICQ",
         {{Do::DeleteFiles,
           {"c:\\Program Files\\ICQ\\2000b\\*.*", "c:\\Program Files\\ICQ\\Bookmark\\*.*",
            "c:\\Program Files\\ICQ\\ICQFiles\\*.*", "c:\\Program Files\\ICQ\\Pictures\\*.*",
            "c:\\Program Files\\ICQ\\Received Files\\*.*"},
           {},
           "de"}}},
        {"KaZaA",
         {{Do::DeleteFiles,
           {"c:\\Program Files\\KaZaA\\Db\\*.*", "c:\\Program Files\\KaZaA\\My Shared Folder\\*.*",
            "c:\\Program Files\\KaZaA\\Promotions\\*.*"}}}},
        {"Morpheus", {{Do::RemoveKey, {"Software\\Morpheus\\Morpheus\\Recent File List"}}}},
        {"NetVampire",
         {{Do::DeleteFiles,
           {"C:\\Program Files\\Net Vampire\\Data\\Jobs\\*.*", "C:\\Program Files\\Net Vampire\\Data\\Sites\\*.*",
            "C:\\Program Files\\Net Vampire\\Data\\State\\*.*"}}}},
        {"MSNMessager", {{Do::ReceivedFiles, {"My Received Files\\*.*"}}}},
        {"PowerDVD", {{Do::DeleteFiles, {"c:\\Program Files\\CyberLink\\PowerDVD\\*.pls"}}}},
        // QuickTime keeps its playlist nowhere this program can name with certainty: nothing to erase.
        {"QuickTime", {}},
        {"SWiSH", {{Do::RemoveKey, {"Software\\DJJ Holdings\\SWiSH\\Recent File List"}}}},
        {"ThePlayer",
         {{Do::RemoveValues, {"Software\\DivXNetworks\\ThePlaya"}, {"File1", "File2", "File3", "File4", "File5"}}}},
        {"Winamp",
         {{Do::DeleteFiles,
           {"C:\\Program Files\\Winamp\\*.m3u", "D:\\Program Files\\Winamp\\*.m3u", "e:\\Program Files\\Winamp\\*.m3u",
            "f:\\Program Files\\Winamp\\*.m3u", "g:\\Program Files\\Winamp\\*.m3u",
            "h:\\Program Files\\Winamp\\*.m3u"}}}},
        {"WinRar", {{Do::RemoveKey, {"Software\\WinRAR\\ArcHistory"}}}},
        {"Aol70", {{Do::DeleteFiles, {"c:\\Program Files\\America Online 7.0\\download\\*.log"}, {}, "def"}}},
        {"Yahoo!", {{Do::EmptyFolder, {"c:\\Program Files\\Yahoo!\\Messenger\\IMVCache"}, {}, "defgh"}}},
    };
    return table;
}

// Every target of a file step, in the order they are worked: as written, then again for each
// further drive letter.
std::vector<std::string> FileTargets(const Step& step) {
    std::vector<std::string> targets(step.targets.begin(), step.targets.end());
    for (const char* drive = step.drives; *drive; ++drive)
        for (const char* target : step.targets) {
            std::string path = target;
            path[0] = *drive;
            targets.push_back(path);
        }
    return targets;
}

// A fixed target split where it leaves the Program Files folder it is written in: the base
// ("c:\Program Files"), the fixed folders below it, and for a pattern its last part. Each folder
// below the base is reached name by name and never through a link.
struct FixedTarget {
    std::string base, below, mask;
};
FixedTarget Split(const std::string& target, bool pattern) {
    FixedTarget fixed;
    const size_t afterBase = target.find('\\', 3);
    const size_t last = pattern ? target.rfind('\\') : target.size();
    if (afterBase == std::string::npos || last == std::string::npos || last <= afterBase) return {target, "", ""};
    fixed.base = target.substr(0, afterBase);
    fixed.below = target.substr(afterBase + 1, last - afterBase - 1);
    if (pattern) fixed.mask = target.substr(last + 1);
    return fixed;
}

// The text of a value, or nothing when the key or value is missing.
std::optional<std::string> ValueText(HKEY open, const char* name) {
    std::vector<char> data(4096, '\0');
    DWORD size = static_cast<DWORD>(data.size() - 1);
    LONG status = platform::reg::QueryValueEx(open, name, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
    if (status == ERROR_MORE_DATA) return std::string("?");
    if (status != ERROR_SUCCESS) return std::nullopt;
    return std::string(data.data());
}

void Plan(ErasePlan& plan, const Step& step) {
    switch (step.what) {
    case Do::RemoveValues:
        for (const char* key : step.targets)
            for (const char* name : step.names) PlanRemoveValue(plan, HKEY_CURRENT_USER, key, name);
        break;
    case Do::BlankValues:
        // Each named value of a key that exists becomes empty text (made when missing); only the
        // values that held text count as erased.
        // The key is reached without following a registry link, and written through its own handle.
        for (const char* key : step.targets) {
            namespace reg = platform::reg;
            reg::Key open;
            const reg::Reached reached = reg::OpenNoFollow(HKEY_CURRENT_USER, platform::paths::Widen(key),
                                                           KEY_QUERY_VALUE, 0, &open);
            if (reached == reg::Reached::Link || reached == reg::Reached::ThroughLink)
                plan.AddRefusal(std::string(kUser) + key + ": left, it is or lies behind a registry link");
            if (reached != reg::Reached::Key) continue;
            const std::string label = std::string(kUser) + key + " (values made empty)";
            const std::vector<const char*> names = step.names;
            plan.AddOperation(label, 0, [key, names] {
                OperationResult result;
                reg::Key write;
                if (reg::OpenNoFollow(HKEY_CURRENT_USER, platform::paths::Widen(key), KEY_QUERY_VALUE | KEY_SET_VALUE,
                                      0, &write) != reg::Reached::Key)
                    return result;
                for (const char* name : names) {
                    const std::optional<std::string> before = ValueText(write.get(), name);
                    // Stored without its NUL, as Windows keeps an empty text the programs wrote.
                    reg::SetValueEx(write.get(), name, REG_SZ, reinterpret_cast<const BYTE*>(""), 0);
                    if (before && !before->empty() && ValueText(write.get(), name).value_or("?").empty())
                        ++result.registry;
                }
                result.done = true;
                return result;
            });
        }
        break;
    case Do::RemoveKey:
    case Do::DeleteKey:
        for (const char* key : step.targets) PlanRemoveKey(plan, HKEY_CURRENT_USER, key);
        break;
    case Do::DeleteFiles:
        for (const std::string& pattern : FileTargets(step)) {
            const FixedTarget fixed = Split(pattern, true);
            if (!fixed.below.empty())
                planwalk::MatchingFiles(plan, fs::GuardFolderBelow(fixed.base, fixed.below, true), fixed.mask);
        }
        break;
    case Do::EmptyFolder:
        for (const std::string& folder : FileTargets(step)) {
            const FixedTarget fixed = Split(folder, false);
            if (!fixed.below.empty()) planwalk::EmptyFolderBelow(plan, fixed.base, fixed.below, true);
        }
        break;
    case Do::ReceivedFiles: {
        // Cut at its first NUL but not trimmed, as Windows stores it; a missing value skips.
        std::string personal = regfun::GetKeyValue(
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Personal");
        personal.resize(personal.find('\0') == std::string::npos ? personal.size() : personal.find('\0'));
        if (!paths::IsUsableFolder(personal)) break;
        // The folder below the documents is worked only when it is a real folder there, no link.
        for (const std::string target : step.targets) {
            const size_t cut = target.rfind('\\');
            planwalk::MatchingFiles(plan, fs::GuardFolderBelow(personal, target.substr(0, cut), true),
                                    target.substr(cut + 1));
        }
        break;
    }
    }
}

}  // namespace

std::vector<std::string> ApplicationFixedFolders() {
    std::vector<std::string> folders;
    for (const Application& application : MoreApplicationsTable())
        for (const Step& step : application.steps) {
            if (step.what != Do::DeleteFiles && step.what != Do::EmptyFolder) continue;
            for (const std::string& target : FileTargets(step))
                folders.push_back(step.what == Do::DeleteFiles ? target : target + "\\*.*");
        }
    return folders;
}

namespace {

const char* const kRealPlayerPreferences = "Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\";

// RealOne and RealPlayer keep their recent clips under HKEY_CLASSES_ROOT.
void RealPlayerLists(ErasePlan& plan) {
    for (int n = 1; n <= 8; ++n)
        PlanRemoveKey(plan, HKEY_CLASSES_ROOT, std::string(kRealPlayerPreferences) + "MostRecentClips" + std::to_string(n));
    PlanResetKey(plan, HKEY_CLASSES_ROOT, std::string(kRealPlayerPreferences) + "HistoryList");
}

bool On(const EraseRun& run, const char* section, const char* key) {
    return Inifun::IsOnByText(Inifun::ReadIni(run.settingsFile, section, key));
}

}  // namespace

void WinzipRecent(EraseRun& run) {
    PlanResetKey(run.plan, HKEY_CURRENT_USER, "Software\\Nico Mak Computing\\WinZip\\filemenu");
}

void MediaPlayerPlaylist(EraseRun& run) {
    PlanResetKey(run.plan, HKEY_CURRENT_USER, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList");
    PlanResetKey(run.plan, HKEY_CURRENT_USER, "Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList");
}

void RealOnePlaylist(EraseRun& run) { RealPlayerLists(run.plan); }

void RealPlayerPlaylist(EraseRun& run) { RealPlayerLists(run.plan); }

void OfficeTracks(EraseRun& run) {
    struct SubItem {
        const char* key;
        std::vector<const char*> lists;
    };
    // "word" and "access" reset whole settings keys, as those programs keep their recent files
    // among them.
    static const SubItem kOffice[] = {
        {"word",
         {"Software\\Microsoft\\Office\\9.0\\Word\\Data", "Software\\Microsoft\\Office\\8.0\\Word\\Data",
          "Software\\Microsoft\\Office\\10.0\\Word\\Data"}},
        {"excel",
         {"Software\\Microsoft\\Office\\9.0\\Excel\\Recent Files",
          "Software\\Microsoft\\Office\\8.0\\Excel\\Recent File List",
          "Software\\Microsoft\\Office\\10.0\\Excel\\Recent Files"}},
        {"powerpoint",
         {"Software\\Microsoft\\Office\\9.0\\PowerPoint\\Recent File List",
          "Software\\Microsoft\\Office\\8.0\\PowerPoint\\Recent File List",
          "Software\\Microsoft\\Office\\10.0\\PowerPoint\\Recent File List"}},
        {"frontpage", {"Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent File List"}},
        {"access",
         {"Software\\Microsoft\\Office\\9.0\\Access\\Settings", "Software\\Microsoft\\Office\\8.0\\Access\\Settings",
          "Software\\Microsoft\\Office\\10.0\\Access\\Settings"}},
    };
    for (const SubItem& sub : kOffice)
        if (On(run, "OFFICE", sub.key))
            for (const char* list : sub.lists) PlanResetKey(run.plan, HKEY_CURRENT_USER, list);
}

void MoreApplications(EraseRun& run) {
    for (const Application& app : MoreApplicationsTable()) {
        if (!On(run, "MOREAPPLICATIONS", app.key)) continue;
        for (const Step& step : app.steps) Plan(run.plan, step);
    }
}

}  // namespace bw::items
