// Community rules carried out through the erase plan: the dangerous shapes of the format and of
// users' incidents as rows (what must go, what must stay byte for byte, what a guard refuses),
// and ticked entries in a real erase run and preview.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "engine/EraseReport.h"
#include "engine/EraseRunner.h"
#include "engine/Executor.h"
#include "engine/Winapp2Plan.h"
#include "engine/Winapp2Run.h"
#include "platform/FileSystem.h"
#include "platform/RuleFolders.h"
#include "platform/RuleProbes.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RealRules.h"
#include "tests/support/TestSupport.h"

namespace w2 = bw::winapp2;
using namespace bw::test;

namespace {

std::string Utf8(const std::wstring& s) { return w2::WideToUtf8(s); }

std::string Folder(const char* variable) { return Utf8(bw::platform::rulefolders::VariableValues(variable).at(0)); }

// The real System32: reached as Sysnative by this 32-bit program on 64-bit Windows, else itself.
std::string RealSystem32() {
    const std::wstring native = bw::platform::rulefolders::NativeSystemFolder();
    return native.empty() ? Folder("WinDir") + "\\System32" : Utf8(native);
}

// The places a row writes: {L} a planted folder of the local application data, {O} a folder
// outside every rule, {D} the system drive ("C:"), {W} Windows, {P} the profile, {T} Temp, {S}
// the real System32, {X} where this program's own System32 name leads (SysWOW64 under WOW64, else
// the outside folder).
std::string Expand(std::string text) {
    static const std::pair<const char*, std::string> kPlaces[] = {
        {"{L}", Folder("LocalAppData") + "\\BwPlan"}, {"{O}", Folder("SystemDrive") + "\\BwPlanOutside"},
        {"{D}", Folder("SystemDrive")},                {"{W}", Folder("WinDir")},
        {"{P}", Folder("UserProfile")},                {"{T}", Folder("Temp")},
        {"{S}", RealSystem32()},
        {"{X}", bw::platform::rulefolders::NativeSystemFolder().empty() ? Folder("SystemDrive") + "\\BwPlanOutside"
                                                                       : Folder("WinDir") + "\\SysWOW64"},
    };
    for (const auto& [token, value] : kPlaces)
        for (size_t at; (at = text.find(token)) != std::string::npos;) text.replace(at, 3, value);
    return text;
}

// Plants one entry: "path" a file holding its own path, "path\" a folder, "link->target" a link;
// "!folder\\" a folder made from Unix in an existing one, whose names are not looked up without
// regard to case (a case twin).
void PlantOne(const std::string& entry, std::vector<std::string>& made) {
    if (entry[0] == '!') {
        const std::string path = Expand(entry.substr(1, entry.size() - 2));
        const size_t slash = path.rfind('\\');
        ASSERT_TRUE(RunUnix("/bin/mkdir", {UnixPath(path.substr(0, slash)) + "/" + path.substr(slash + 1)}));
        made.push_back(path);
        return;
    }
    const size_t arrow = entry.find("->");
    if (arrow != std::string::npos) {
        const std::string link = Expand(entry.substr(0, arrow));
        ASSERT_TRUE(MakeLink(Expand(entry.substr(arrow + 2)), link)) << link;
        made.push_back(link);
        return;
    }
    const std::string path = Expand(entry);
    if (path.back() == '\\') {
        ASSERT_TRUE(MakeDirs(path.substr(0, path.size() - 1))) << path;
        made.push_back(path.substr(0, path.size() - 1));
        return;
    }
    MakeDirs(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(WriteTextFile(path, path)) << path;
    made.push_back(path);
}

struct Outcome {
    w2::EntryPlanCounts counts;
    bw::ErasePlan plan;
};

// Parses `rules` (one entry), plans it and carries the plan out.
Outcome Erase(const std::string& rules) {
    Outcome out;
    w2::Computer computer;
    const w2::Rules parsed = w2::ParseRules(Expand(rules), computer.Defined());
    EXPECT_EQ(parsed.entries.size(), 1u);
    if (parsed.entries.empty()) return out;
    out.plan.BeginItem("rule");
    out.counts = w2::PlanEntry(out.plan, parsed, parsed.entries[0], computer);
    bw::Execute(out.plan, {});
    return out;
}

}  // namespace

TEST(Winapp2Plan, DangerousShapesTouchNothingOutsideTheirFolderAndNoProtectedFolder) {
    struct Row {
        const char* what;
        const char* rules;
        std::vector<const char*> plant;
        std::vector<const char*> gone;
        std::vector<const char*> kept;  // still there, files byte for byte
        bool refused;                   // a guard refused part of it, shown in the plan
        const char* shown = nullptr;    // a target or refusal as the report shows it, or its outcome
        bool wow64Only = false;         // only under WOW64, where System32 has two views
    };
    // An exclusion spelled oddly keeps what Windows reads it as; one that cannot be read stops
    // the whole entry, naming its line.
    const std::vector<const char*> app = {"{L}\\App\\a.dat", "{L}\\App\\keep\\k.db", "{L}\\App\\keep\\x.txt"};
    const Row rows[] = {
        {"REMOVESELF empties and removes its folder, subfolders too", "FileKey1=%LocalAppData%\\BwPlan\\Spot|*|REMOVESELF",
         {"{L}\\Spot\\a.dat", "{L}\\Spot\\sub\\b.dat", "{L}\\Spot\\empty\\", "{L}\\beside.dat"},
         {"{L}\\Spot"}, {"{L}\\beside.dat"}, false},
        {"an exclusion wins, and its folder stays", "FileKey1=%LocalAppData%\\BwPlan\\Keep|*|REMOVESELF\n"
                                                     "ExcludeKey1=FILE|%LocalAppData%\\BwPlan\\Keep\\sub\\|keep.txt",
         {"{L}\\Keep\\a.dat", "{L}\\Keep\\sub\\keep.txt", "{L}\\Keep\\sub\\b.dat"},
         {"{L}\\Keep\\a.dat", "{L}\\Keep\\sub\\b.dat"}, {"{L}\\Keep\\sub\\keep.txt"}, false},
        {"a link inside a REMOVESELF folder is never followed", "FileKey1=%LocalAppData%\\BwPlan\\Lnk|*|REMOVESELF",
         {"{O}\\secret.txt", "{L}\\Lnk\\a.dat", "{L}\\Lnk\\out->{O}"},
         {"{L}\\Lnk\\a.dat"}, {"{O}\\secret.txt", "{L}\\Lnk"}, true},
        {"a file link is never deleted through", "FileKey1=%LocalAppData%\\BwPlan\\FL|*",
         {"{O}\\secret.txt", "{L}\\FL\\a.dat", "{L}\\FL\\secret.txt->{O}\\secret.txt"},
         {"{L}\\FL\\a.dat"}, {"{O}\\secret.txt"}, false},
        {"a name ending in a dot never becomes the link its path text folds into",
         "FileKey1=%LocalAppData%\\BwPlan\\FR*|*|REMOVESELF",
         {"{O}\\secret.txt", "!{L}\\FRx.\\", "{L}\\FRx->{O}"}, {}, {"{O}\\secret.txt", "{L}\\FRx"}, true},
        {"a case twin of the folder is not the folder", "FileKey1=%LocalAppData%\\BwPlan\\Twin|*",
         {"!{L}\\Twin\\", "!{L}\\TWIN\\", "{L}\\Twin\\a.dat", "{L}\\TWIN\\b.dat"}, {"{L}\\Twin\\a.dat"}, {"{L}\\TWIN\\b.dat"}, false},
        {"patterns match whole names only", "FileKey1=%LocalAppData%\\BwPlan\\Look|LOG;LOG.old|RECURSE",
         {"{L}\\Look\\LOG", "{L}\\Look\\s\\LOG.old", "{L}\\Look\\BleachBit.log", "{L}\\Look\\s\\BleachBitlog.old"},
         {"{L}\\Look\\LOG", "{L}\\Look\\s\\LOG.old"}, {"{L}\\Look\\BleachBit.log", "{L}\\Look\\s\\BleachBitlog.old"}, false},
        {"a folder name written as a pattern removes nothing",
         "FileKey1=%LocalAppData%\\BwPlan\\Desk|OpenOffice.org * Installation Files|REMOVESELF",
         {"{L}\\Desk\\OpenOffice.org 3.0 Installation Files\\setup.exe", "{L}\\Desk\\notes.txt"},
         {}, {"{L}\\Desk\\OpenOffice.org 3.0 Installation Files\\setup.exe", "{L}\\Desk\\notes.txt"}, false},
        {"a folder wildcard at the drive root takes folders, never links",
         "FileKey1=%SystemDrive%\\BwPlan*.tmp|*|REMOVESELF",
         {"{O}\\secret.txt", "{D}\\BwPlanA.tmp\\a.dat", "{D}\\BwPlanF.tmp", "{D}\\BwPlanL.tmp->{O}"},
         {"{D}\\BwPlanA.tmp"}, {"{O}\\secret.txt", "{D}\\BwPlanF.tmp", "{D}\\BwPlanL.tmp"}, false},
        {"Temp may be emptied, never through a link", "FileKey1=%Temp%\\*|*|REMOVESELF",
         {"{O}\\secret.txt", "{T}\\BwPlanT\\a.dat", "{T}\\BwPlanLink->{O}"},
         {"{T}\\BwPlanT"}, {"{O}\\secret.txt", "{T}\\BwPlanLink"}, false},
        {"the Windows folder keeps its program files", "FileKey1=%WinDir%|*.ini", {"{W}\\bwplan.ini"},
         {}, {"{W}\\bwplan.ini", "{W}\\win.ini"}, true},
        {"a kind of file directly in Windows may go", "FileKey1=%WinDir%|bwplan*.log",
         {"{W}\\bwplan1.log", "{W}\\bwplan1.txt"}, {"{W}\\bwplan1.log"}, {"{W}\\bwplan1.txt"}, false},
        {"a drive root is never walked", "FileKey1=%SystemDrive%|bwplan*.log|RECURSE",
         {"{D}\\bwplan2.log", "{O}\\bwplan3.log"}, {}, {"{D}\\bwplan2.log", "{O}\\bwplan3.log"}, true},
        {"a profile is never emptied or removed", "FileKey1=%UserProfile%|*|REMOVESELF",
         {"{P}\\bwplan.dat"}, {}, {"{P}\\bwplan.dat", "{P}"}, true},
        {"every file of a protected folder is never a kind of file", "FileKey1=%UserProfile%|*.*",
         {"{P}\\bwplan.dat"}, {}, {"{P}\\bwplan.dat"}, true},
        {"a whole profile walk stops at the shell folders", "FileKey1=%UserProfile%\\*|bwplan*.gnucash|RECURSE",
         {"{P}\\AppData\\bwplan1.gnucash"}, {}, {"{P}\\AppData\\bwplan1.gnucash"}, true},
        {"a doubled backslash in an exclusion", "FileKey1=%LocalAppData%\\BwPlan\\App|*|RECURSE\n"
         "ExcludeKey1=PATH|%LocalAppData%\\BwPlan\\App\\\\keep\\|*.db",
         app, {"{L}\\App\\a.dat", "{L}\\App\\keep\\x.txt"}, {"{L}\\App\\keep\\k.db"}, false},
        {"a . folder in an exclusion", "FileKey1=%LocalAppData%\\BwPlan\\App|*|RECURSE\n"
         "ExcludeKey1=FILE|%LocalAppData%\\BwPlan\\App\\.\\keep\\|k.db",
         app, {"{L}\\App\\a.dat", "{L}\\App\\keep\\x.txt"}, {"{L}\\App\\keep\\k.db"}, false},
        {"a .. folder in an exclusion", "FileKey1=%LocalAppData%\\BwPlan\\App|*|RECURSE\n"
         "ExcludeKey1=PATH|%LocalAppData%\\BwPlan\\App\\sub\\..\\keep\\|*.db",
         app, {"{L}\\App\\a.dat", "{L}\\App\\keep\\x.txt"}, {"{L}\\App\\keep\\k.db"}, false},
        {"an exclusion number used twice", "FileKey1=%LocalAppData%\\BwPlan\\App|*|RECURSE\n"
         "ExcludeKey8=PATH|%LocalAppData%\\BwPlan\\App\\keep\\|*.db\n"
         "ExcludeKey8=FILE|%LocalAppData%\\BwPlan\\App\\|a.dat",
         app, {}, app, true, "ExcludeKey8=FILE|%LocalAppData%\\BwPlan\\App\\|a.dat (line 5): duplicate key"},
        {"an exclusion without its |", "FileKey1=%LocalAppData%\\BwPlan\\App|*|RECURSE\n"
         "ExcludeKey1=PATH %LocalAppData%\\BwPlan\\App\\keep\\",
         app, {}, app, true, "(line 4): unknown exclusion kind"},
        // %WinDir%\System32 is the real System32 (Sysnative to this program under WOW64), never
        // its SysWOW64 twin, and it stays a protected folder there.
        {"System32 below the Windows folder is the real one", "FileKey1=%WinDir%\\System32\\bwtest|*.log",
         {"{S}\\bwtest\\", "{S}\\bwtest\\a.log", "{S}\\bwtest\\b.txt", "{X}\\bwtest\\", "{X}\\bwtest\\a.log"},
         {"{S}\\bwtest\\a.log"}, {"{S}\\bwtest\\b.txt", "{X}\\bwtest\\a.log"}, false, "{S}\\bwtest\\a.log"},
        {"a kind of file directly in the real System32 may go", "FileKey1=%WinDir%\\System32|bwplan*.log",
         {"{S}\\bwplan1.log", "{S}\\bwplan1.txt"}, {"{S}\\bwplan1.log"}, {"{S}\\bwplan1.txt"}, false},
        {"the real System32 is never emptied or walked", "FileKey1=%WinDir%\\System32|*\nFileKey2=%WinDir%\\System32|*.canary|RECURSE",
         {"{S}\\bw.canary", "{S}\\drivers\\bw.canary"}, {}, {"{S}\\bw.canary", "{S}\\drivers\\bw.canary"}, true},
        // The one name this program always opens in its own view is "System32": a file of that
        // name in the real System32 is listed there but opening it by that name lands in
        // SysWOW64. It stays, reported as out of view rather than gone.
        {"a file only the 64-bit view reaches is outside this program's view", "FileKey1=%WinDir%\\System32|System32",
         {"{S}\\System32"}, {}, {"{S}\\System32"}, false, "outside this program's view", true},
    };
    const std::string outside = Expand("{O}"), planted = Expand("{L}");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.wow64Only && bw::platform::rulefolders::NativeSystemFolder().empty()) {
            std::printf("skipped \"%s\": a 32-bit prefix has one System32\n", row.what);
            continue;
        }
        RunUnix("/bin/rm", {"-rf", UnixPath(outside), UnixPath(planted)});
        MakeDirs(outside);
        MakeDirs(planted);
        std::vector<std::string> made;
        for (const char* entry : row.plant) PlantOne(entry, made);
        const Outcome out = Erase(std::string("[Shape *]\nDetect=HKCU\\Software\n") + row.rules + "\n");
        for (const char* path : row.gone) EXPECT_FALSE(PathExists(Expand(path))) << Expand(path);
        for (const char* path : row.kept) {
            const std::string p = Expand(path);
            EXPECT_TRUE(PathExists(p)) << p;
            if (!IsDirectory(p) && PathExists(p)) {
                EXPECT_EQ(ReadTextFile(p), p.find("win.ini") == std::string::npos ? p : ReadTextFile(p));
            }
        }
        EXPECT_EQ(out.counts.refused > 0, row.refused) << bw::ReportText(out.plan, false);
        if (row.shown) {  // as the folders are spelled on disk ("system32" in a 32-bit prefix)
            auto lower = [](std::string text) {
                std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
                return text;
            };
            EXPECT_NE(lower(bw::ReportText(out.plan, false)).find(lower(Expand(row.shown))), std::string::npos)
                << bw::ReportText(out.plan, false);
        }
        for (auto it = made.rbegin(); it != made.rend(); ++it) RunUnix("/bin/rm", {"-rf", UnixPath(*it)});
    }
    RunUnix("/bin/rm", {"-rf", UnixPath(outside), UnixPath(planted)});
}

// The folders a rule finds are opened again name by name when it is planned: one swapped for a
// link since it was found (the finder's listings are kept for the whole run) leads nowhere.
TEST(Winapp2Plan, AFolderSwappedForALinkAfterItWasFoundLeadsNowhere) {
    const std::string outside = Expand("{O}"), planted = Expand("{L}");
    RunUnix("/bin/rm", {"-rf", UnixPath(outside), UnixPath(planted)});
    std::vector<std::string> made;
    for (const char* entry : {"{O}\\secret.txt", "{L}\\Swap\\a.dat"}) PlantOne(entry, made);
    w2::Computer computer;
    const w2::Rules rules = w2::ParseRules(Expand("[Swap *]\nDetect=HKCU\\Software\n"
                                                  "FileKey1=%LocalAppData%\\BwPlan\\Sw*|*|REMOVESELF\n"),
                                           computer.Defined());
    ASSERT_EQ(rules.entries.size(), 1u);
    ASSERT_EQ(w2::EnumerateTargets(rules, rules.entries[0], computer).files.at(0).folders.size(), 1u);
    RunUnix("/bin/rm", {"-rf", UnixPath(planted + "\\Swap")});
    ASSERT_TRUE(MakeLink(outside, planted + "\\Swap"));
    bw::ErasePlan plan;
    plan.BeginItem("rule");
    const w2::EntryPlanCounts counts = w2::PlanEntry(plan, rules, rules.entries[0], computer);
    bw::Execute(plan, {});
    EXPECT_TRUE(PathExists(outside + "\\secret.txt"));
    EXPECT_GT(counts.refused, 0u) << bw::ReportText(plan, false);
    RunUnix("/bin/rm", {"-rf", UnixPath(outside), UnixPath(planted)});
}

TEST(Winapp2Plan, RegistryKeysActOnlyInTheUsersAndTheProgramsKeysAndKeepExclusions) {
    const HKEY hkcu = HKEY_CURRENT_USER;
    // A row may make `link` a registry link to the user's key BwPlanVictim, or with `machine` to
    // the machine's BwPlanVictimLM: the target always survives whole, and the link never leads on.
    struct Row {
        const char* what;
        const char* rules;
        bool refused;
        const char* link = nullptr;
        bool machine = false;
    };
    const Row rows[] = {
        {"a hive root's child", "RegKey1=HKCU\\Software", true},
        {"another user's hive", "RegKey1=HKU\\.DEFAULT\\Software\\BwPlanReg", true},
        {"the system's keys", "RegKey1=HKLM\\SYSTEM\\BwPlanReg", true},
        {"every program's settings", "RegKey1=HKCU\\Software\\Microsoft", true},
        {"Windows' own settings through the 32-bit view", "RegKey1=HKCU\\Software\\Wow6432Node\\Microsoft\\Windows", true},
        {"a link inside the key's tree", "RegKey1=HKCU\\Software\\BwPlanReg\\Sub", false,
         "Software\\BwPlanReg\\Sub\\evil"},
        {"a key that is a link", "RegKey1=HKCU\\Software\\BwPlanLink", false, "Software\\BwPlanLink"},
        {"a link from the user's keys to the machine's", "RegKey1=HKCU\\Software\\BwPlanLink", false,
         "Software\\BwPlanLink", true},
        {"a value of a link's target", "RegKey1=HKCU\\Software\\BwPlanLink|target", true, "Software\\BwPlanLink"},
        {"a key behind a link", "RegKey1=HKCU\\Software\\BwPlanLink\\sub", true, "Software\\BwPlanLink"},
        {"a program's key with a kept key below", "RegKey1=HKCU\\Software\\BwPlanReg\n"
                                                  "RegKey2=HKCU\\Software\\BwPlanReg\\Sub|v\n"
                                                  "ExcludeKey1=REG|HKCU\\Software\\BwPlanReg\\Keep", true},
        {"a REG exclusion that cannot be read", "RegKey1=HKCU\\Software\\BwPlanReg\nExcludeKey1=REG|HKCU", true},
        {"a REG exclusion with a doubled backslash", "RegKey1=HKCU\\Software\\BwPlanReg\n"
                                                     "ExcludeKey1=REG|HKCU\\Software\\BwPlanReg\\\\Keep", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetString(hkcu, "Software\\BwPlanReg\\Sub\\Deep", "x", "1");
        SetString(hkcu, "Software\\BwPlanReg\\Sub", "v", "1");
        SetString(hkcu, "Software\\BwPlanReg\\Keep", "k", "1");
        SetString(HKEY_USERS, ".DEFAULT\\Software\\BwPlanReg", "u", "1");
        SetString(hkcu, "Software\\BwPlanVictim", "target", "1");
        SetString(hkcu, "Software\\BwPlanVictim\\sub", "s", "1");
        SetString(HKEY_LOCAL_MACHINE, "Software\\BwPlanVictimLM\\sub", "s", "1");
        // Under WOW64 this program's HKLM\Software is the machine's Software\Wow6432Node.
        const char* victimLM = bw::platform::probe::IsWow64() ? "Software\\Wow6432Node\\BwPlanVictimLM" : "Software\\BwPlanVictimLM";
        if (row.link) {
            ASSERT_TRUE(MakeKeyLink(hkcu, row.link, row.machine ? HKEY_LOCAL_MACHINE : hkcu,
                                    row.machine ? victimLM : "Software\\BwPlanVictim"));
        }
        const Outcome out = Erase(std::string("[Reg *]\nDetect=HKCU\\Software\n") + row.rules + "\n");
        EXPECT_EQ(out.counts.refused > 0, row.refused) << bw::ReportText(out.plan, false);
        EXPECT_TRUE(KeyExists(hkcu, "Software\\Microsoft"));
        EXPECT_TRUE(ValueExists(HKEY_USERS, ".DEFAULT\\Software\\BwPlanReg", "u"));
        EXPECT_TRUE(ValueExists(hkcu, "Software\\BwPlanReg\\Keep", "k"));
        EXPECT_TRUE(ValueExists(hkcu, "Software\\BwPlanVictim", "target"));
        EXPECT_TRUE(ValueExists(hkcu, "Software\\BwPlanVictim\\sub", "s"));
        EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "Software\\BwPlanVictimLM\\sub", "s"));
        if (row.link && !row.refused) {
            EXPECT_FALSE(KeyLinkExists(hkcu, row.link)) << "the link itself goes";
            EXPECT_NE(bw::ReportText(out.plan, false).find("(registry link)"), std::string::npos)
                << bw::ReportText(out.plan, false);
        }
        if (row.link) RemoveKeyLink(hkcu, row.link);
    }
    // The last row: the kept key and its parent stay, everything beside them goes.
    EXPECT_FALSE(KeyExists(hkcu, "Software\\BwPlanReg\\Sub"));
    DeleteTree(hkcu, "Software\\BwPlanReg");
    DeleteTree(hkcu, "Software\\BwPlanVictim");
    DeleteTree(HKEY_LOCAL_MACHINE, "Software\\BwPlanVictimLM");
    DeleteTree(HKEY_USERS, ".DEFAULT\\Software\\BwPlanReg");
}

TEST(Winapp2Plan, OnWow64AMachineKeyMeansBothRegistryViews) {
    if (!bw::platform::probe::IsWow64())
        GTEST_SKIP() << "runs only under WOW64 (a 64-bit prefix): a 32-bit Windows has one registry view";
    const auto write64 = [](const std::string& subkey) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
        RegCloseKey(key);
    };
    const auto exists64 = [](const std::string& subkey) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    };
    write64("Software\\BwPlan64\\Sub");
    write64("Software\\BwPlan64\\Keep");
    SetString(HKEY_LOCAL_MACHINE, "Software\\BwPlan64\\Sub32", "v", "1");  // the 32-bit view's own
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\BwPlan64\\Sub")) << "written in the 64-bit view only";
    const std::string rules =
        "[Reg64 *]\nDetect=HKLM\\Software\\BwPlan64\\Sub\nRegKey1=HKLM\\Software\\BwPlan64\n"
        "ExcludeKey1=REG|HKLM\\Software\\BwPlan64\\Keep\n";
    {
        w2::Computer computer;
        const w2::Rules parsed = w2::ParseRules(rules, computer.Defined());
        ASSERT_EQ(parsed.entries.size(), 1u);
        EXPECT_EQ(w2::Detect(parsed, parsed.entries[0], computer), w2::Detection::Detected);
    }

    const Outcome out = Erase(rules);

    const std::string report = bw::ReportText(out.plan, false);
    EXPECT_FALSE(exists64("Software\\BwPlan64\\Sub")) << report;
    EXPECT_TRUE(exists64("Software\\BwPlan64\\Keep")) << "the exclusion holds in the 64-bit view";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\BwPlan64\\Sub32")) << "the 32-bit view is planned too";
    EXPECT_NE(report.find("BwPlan64\\Sub (64-bit)"), std::string::npos) << report;
    EXPECT_NE(report.find("BwPlan64\\Sub32 (32-bit)"), std::string::npos) << report;
    HKEY root64;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &root64) == ERROR_SUCCESS) {
        DeleteTree(root64, "BwPlan64");
        RegCloseKey(root64);
    }
    DeleteTree(HKEY_LOCAL_MACHINE, "Software\\BwPlan64");
}

TEST(Winapp2Plan, TickedDetectedEntriesRunAfterTheItemsWithTheirLinesAndReport) {
    ProgramFolder program;
    const std::string root = Folder("LocalAppData") + "\\BwPlanRun";
    RunUnix("/bin/rm", {"-rf", UnixPath(root)});
    MakeDirs(root + "\\Cache");
    WriteTextFile(root + "\\Cache\\a.dat", "a");
    WriteTextFile(root + "\\Cache\\keep.dat", "k");
    ASSERT_TRUE(WriteTextFile(program.file("winapp2.ini"),
                              "[BwPlan Run *]\r\nDetectFile=%LocalAppData%\\BwPlanRun\r\n"
                              "FileKey1=%LocalAppData%\\BwPlanRun\\Cache|*\r\nFileKey2=%WinDir%|*.exe\r\n"
                              "ExcludeKey1=FILE|%LocalAppData%\\BwPlanRun\\Cache\\|keep.dat\r\n\r\n"
                              "[BwPlan Absent *]\r\nDetectFile=%LocalAppData%\\BwPlanNowhere\r\n"
                              "FileKey1=%LocalAppData%\\BwPlanRun|*\r\n"));
    ASSERT_TRUE(w2::WriteTicks(program.file("rules.dat"), {"bwplan run", "BwPlan Absent", "Not In The File"}));

    const bw::EraseRun preview = bw::PreviewUnattended({});
    const std::string previewText = bw::ReportText(preview.plan, true);
    EXPECT_NE(previewText.find("BwPlan Run: 1 file"), std::string::npos) << previewText;
    EXPECT_NE(previewText.find("FileKey2=%WinDir%|*.exe (line 4): refused"), std::string::npos) << previewText;
    EXPECT_EQ(previewText.find("BwPlan Absent"), std::string::npos);
    EXPECT_TRUE(PathExists(root + "\\Cache\\a.dat"));

    std::vector<std::string> lines;
    bw::EraseRun run;
    run.settingsFile = program.settings();
    run.addLine = [&](const std::string& line, bool) { lines.push_back(line); };
    bw::RunItems(run, {}, bw::RunMode::Erase);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Please Waiting ,Erasing BwPlan Run......");
    EXPECT_EQ(lines.back(), "Erasing BwPlan Run......OK");
    EXPECT_FALSE(PathExists(root + "\\Cache\\a.dat"));
    EXPECT_EQ(ReadTextFile(root + "\\Cache\\keep.dat"), "k");
    EXPECT_NE(bw::ReportText(run.plan, false).find("erased\t" + root + "\\Cache\\a.dat"), std::string::npos);
    RunUnix("/bin/rm", {"-rf", UnixPath(root)});
}

namespace {

// What a planted tree promises: files that must go, and baits that must stay byte for byte.
struct Planted {
    std::vector<std::string> matches, baits, made;
    std::vector<std::string> twinBaits;  // written once the Unix commands made their folders
    std::vector<std::string> madeKeys;   // HKCU keys the planting made, removed whole afterwards
    std::vector<std::pair<std::string, std::string>> values, baitValues;  // HKCU key, value
    std::vector<std::string> keys, baitKeys;                              // HKCU keys
};

// A name a pattern matches: each wildcard filled in with `fill`.
std::string Instance(std::string_view pattern, const std::string& fill) {
    std::string out;
    for (char c : pattern) out += c == '*' ? fill : (c == '?' ? std::string("q") : std::string(1, c));
    return out;
}

bool AnyPatternMatches(const w2::Rules& rules, const w2::Entry& entry, const std::string& name) {
    for (uint32_t i = 0; i < entry.keyCount; ++i) {
        const w2::Key& key = rules.keys[entry.firstKey + i];
        if (key.kind != w2::KeyKind::FileKey) continue;
        for (uint16_t p = 0; p < key.patternCount; ++p)
            if (w2::MatchesName(w2::Utf8ToWide(rules.Text(rules.patterns[key.firstPattern + p])), w2::Utf8ToWide(name)))
                return true;
    }
    return false;
}

// The folder a key path names, every wildcard folder filled in with "bw" (or "" when the path
// cannot be planted: an undefined variable).
std::string PlantedFolder(const w2::Rules& rules, const w2::Key& key, w2::Computer& computer) {
    if (computer.Values(key.variable).empty()) return {};
    std::string folder = Utf8(computer.Values(key.variable).front());
    if (folder.size() == 2) folder += "\\";
    std::string text(rules.Text(key.text));
    const std::string user = "%UserName%";
    for (size_t at; (at = text.find(user)) != std::string::npos;)
        text.replace(at, user.size(), Utf8(computer.Values(w2::Variable::UserName).front()));
    folder += (folder.back() == '\\' && !text.empty() ? text.substr(1) : text);
    return Instance(folder, "bw");
}

bool Protected(const std::string& folder) {
    return bw::platform::fs::GuardFolder(folder, bw::platform::fs::Reach::Below).protection !=
           bw::platform::fs::Protection::None;
}

// The highest folder of `path` that is not there yet (empty when it all is), so that what a test
// plants goes whole afterwards and other tests find the prefix as it was.
std::string FirstMissing(const std::string& path) {
    std::string missing;
    for (std::string at = path; at.size() > 3 && !PathExists(at); at = at.substr(0, at.rfind('\\'))) missing = at;
    return missing;
}

// The same for a registry key of HKCU.
std::string FirstMissingKey(const std::string& subkey) {
    std::string missing;
    for (std::string at = subkey; at.find('\\') != std::string::npos && !KeyExists(HKEY_CURRENT_USER, at);
         at = at.substr(0, at.rfind('\\')))
        missing = at;
    return missing;
}

void PlantFile(Planted& planted, const std::string& path, bool match) {
    if (PathExists(path)) return;
    if (const std::string missing = FirstMissing(path.substr(0, path.rfind('\\'))); !missing.empty())
        planted.made.push_back(missing);
    MakeDirs(path.substr(0, path.rfind('\\')));
    if (!WriteTextFile(path, "planted: " + path)) return;
    (match ? planted.matches : planted.baits).push_back(path);
}

// Plants, for every FileKey of `entry`, a matching file (and one a folder down for a deep key)
// and baits: a name no pattern of the entry matches, a link to a folder outside, a file link
// whose name matches, and a case twin of a literally named folder; for each exclusion the file it
// keeps; for each HKCU RegKey the value or key and a bait beside it.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Links and case twins are made from Unix: their commands gather in `script`, run at once.
void PlantEntry(Planted& planted, const w2::Rules& rules, const w2::Entry& entry, w2::Computer& computer,
                const std::string& outside, std::string& script) {
    const std::vector<w2::ExcludeTarget> excludes = w2::EnumerateTargets(rules, entry, computer).excludes;
    for (uint32_t i = 0; i < entry.keyCount; ++i) {
        const w2::Key& key = rules.keys[entry.firstKey + i];
        if (key.kind == w2::KeyKind::ExcludeFile || key.kind == w2::KeyKind::ExcludePath) {
            const std::string folder = PlantedFolder(rules, key, computer);
            if (folder.empty() || folder.size() <= 3) continue;
            const std::string name = key.patternCount ? Instance(rules.Text(rules.patterns[key.firstPattern]), "bwx") : "bwkept.dat";
            PlantFile(planted, folder + "\\" + name, false);
            continue;
        }
        if (key.kind == w2::KeyKind::RegKey && key.hive == w2::Hive::CurrentUser) {
            const std::string subkey(rules.Text(key.text));
            // Wine quirk: once HKCU\Software\Classes\Wow6432Node exists, Wine shows a 32-bit
            // process in a 64-bit prefix all of HKCU\Software\Classes through that key, and the
            // keys planted there before vanish from its sight (Windows 7 and later share the key
            // between the views). No key is planted below it in such a prefix.
            static const std::string kClassesWow = "Software\\Classes\\Wow6432Node";
            if (bw::platform::probe::IsWow64() && _strnicmp(subkey.c_str(), kClassesWow.c_str(), kClassesWow.size()) == 0)
                continue;
            if (w2::RegistryRefusal(key.hive, w2::Utf8ToWide(subkey), key.hasValue) ||
                w2::IsRegistryExcluded(excludes, key.hive, w2::Utf8ToWide(subkey)))
                continue;
            for (const std::string& made : {FirstMissingKey(subkey), FirstMissingKey(subkey + "BwBait")})
                if (!made.empty()) planted.madeKeys.push_back(made);
            if (key.hasValue) {
                const std::string value(rules.Text(key.value));
                SetString(HKEY_CURRENT_USER, subkey, value, "planted");
                SetString(HKEY_CURRENT_USER, subkey, value + "BwBait", "bait");
                planted.values.push_back({subkey, value});
                planted.baitValues.push_back({subkey, value + "BwBait"});
            } else {
                SetString(HKEY_CURRENT_USER, subkey + "\\BwSub", "v", "planted");
                SetString(HKEY_CURRENT_USER, subkey + "BwBait", "v", "bait");
                planted.keys.push_back(subkey);
                planted.baitKeys.push_back(subkey + "BwBait");
            }
            continue;
        }
        if (key.kind != w2::KeyKind::FileKey || key.patternCount == 0 || key.text.size == 0) continue;
        const std::string folder = PlantedFolder(rules, key, computer);
        if (folder.empty()) continue;
        if (const std::string missing = FirstMissing(folder); !missing.empty()) planted.made.push_back(missing);
        MakeDirs(folder);
        const std::string_view pattern = rules.Text(rules.patterns[key.firstPattern]);
        if (!Protected(folder)) {  // protected folders have rows of their own
            PlantFile(planted, folder + "\\" + Instance(pattern, "bwm"), true);
            if (key.flag != w2::Flag::None) PlantFile(planted, folder + "\\bwsub\\" + Instance(pattern, "bwm"), true);
        }
        if (!AnyPatternMatches(rules, entry, "bwbait.zq9")) PlantFile(planted, folder + "\\bwbait.zq9", false);
        const std::string unixFolder = UnixPath(folder);
        script += "ln -s " + Quoted(UnixPath(outside)) + " " + Quoted(unixFolder + "/bwlinkout") + " 2>/dev/null\n";
        planted.made.push_back(folder + "\\bwlinkout");
        if (pattern.find('*') != std::string_view::npos) {
            script += "ln -s " + Quoted(UnixPath(outside) + "/secret.txt") + " " +
                      Quoted(unixFolder + "/" + Instance(pattern, "bwl")) + " 2>/dev/null\n";
            planted.made.push_back(folder + "\\" + Instance(pattern, "bwl"));
        }
        const size_t slash = folder.rfind('\\');
        std::string twin = folder.substr(slash + 1);
        for (char& c : twin) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : (c >= 'A' && c <= 'Z' ? c + 32 : c));
        const std::vector<std::string> siblings = SortedNames(folder.substr(0, slash));
        const bool exact = std::find(siblings.begin(), siblings.end(), folder.substr(slash + 1)) != siblings.end();
        if (exact && twin != folder.substr(slash + 1) && std::string(rules.Text(key.text)).find('*') == std::string::npos &&
            !Protected(folder)) {
            script += "mkdir -p " + Quoted(UnixPath(folder.substr(0, slash)) + "/" + twin) + "\n";
            planted.made.push_back(folder.substr(0, slash) + "\\" + twin);
            planted.twinBaits.push_back(folder.substr(0, slash) + "\\" + twin + "\\" + Instance(pattern, "bwm"));
        }
    }
}

// Plants the entries of `file` chosen by shape (at least `chosenAtLeast` of them, with at least
// `plantedAtLeast` matches and as many baits), plans and erases them: every match goes, every
// bait stays.
void PlantedPrefixLosesEveryMatchAndNoBait(const std::string& file, size_t entries, size_t chosenAtLeast,
                                           size_t plantedAtLeast) {
    w2::Computer computer;
    const w2::Rules rules = w2::LoadRules(file, computer.Defined());
    ASSERT_EQ(rules.entries.size(), entries);
    // Entries chosen by shape, up to kPerShape of each.
    const int kPerShape = 40;
    enum Shape { MidWildcard, Recurse, RemoveSelf, Exclusion, SystemDrive, ProgramFiles, RegValue, RegKey, kShapes };
    int taken[kShapes] = {};
    std::vector<size_t> chosen;
    for (size_t e = 0; e < rules.entries.size(); ++e) {
        const w2::Entry& entry = rules.entries[e];
        bool shape[kShapes] = {};
        for (uint32_t i = 0; i < entry.keyCount; ++i) {
            const w2::Key& key = rules.keys[entry.firstKey + i];
            const std::string_view text = rules.Text(key.text);
            if (key.kind == w2::KeyKind::FileKey) {
                const size_t star = text.find('*');
                shape[MidWildcard] |= star != std::string_view::npos && text.find('\\', star) != std::string_view::npos;
                shape[Recurse] |= key.flag == w2::Flag::Recurse;
                shape[RemoveSelf] |= key.flag == w2::Flag::RemoveSelf;
                shape[SystemDrive] |= key.variable == w2::Variable::SystemDrive;
                shape[ProgramFiles] |= key.variable == w2::Variable::ProgramFiles;
            }
            shape[Exclusion] |= key.kind == w2::KeyKind::ExcludeFile || key.kind == w2::KeyKind::ExcludePath ||
                                key.kind == w2::KeyKind::ExcludeReg;
            shape[RegValue] |= key.kind == w2::KeyKind::RegKey && key.hasValue && key.hive == w2::Hive::CurrentUser;
            shape[RegKey] |= key.kind == w2::KeyKind::RegKey && !key.hasValue && key.hive == w2::Hive::CurrentUser;
        }
        bool take = false;
        for (int s = 0; s < kShapes; ++s)
            if (shape[s] && taken[s] < kPerShape) take = true;
        if (!take || entry.keyCount > 60) continue;
        for (int s = 0; s < kShapes; ++s) taken[s] += shape[s];
        chosen.push_back(e);
    }
    ASSERT_GE(chosen.size(), chosenAtLeast);

    const std::string outside = Folder("SystemDrive") + "\\BwPlantOutside";
    MakeDirs(outside);
    ASSERT_TRUE(WriteTextFile(outside + "\\secret.txt", "secret"));
    // Every entry planted, links and twins made from Unix in one go.
    std::vector<Planted> plantedOf(chosen.size());
    std::string script;
    for (size_t n = 0; n < chosen.size(); ++n) PlantEntry(plantedOf[n], rules, rules.entries[chosen[n]], computer, outside, script);
    TempDir scratch;
    ASSERT_TRUE(WriteTextFile(scratch / "plant.sh", script));
    ASSERT_TRUE(RunUnix("/bin/sh", {UnixPath(scratch / "plant.sh")}));
    for (Planted& one : plantedOf)
        for (const std::string& path : one.twinBaits) PlantFile(one, path, false);

    // A bait is judged against its own entry: one that another entry's key rightly takes (the same
    // folder under another spelling, a wider key) is no bait of that entry.
    std::vector<std::set<std::string>> takes(chosen.size());
    {
        w2::Computer look;
        for (size_t n = 0; n < chosen.size(); ++n) {
            bw::ErasePlan dry;
            dry.BeginItem("dry");
            w2::PlanEntry(dry, rules, rules.entries[chosen[n]], look);
            for (const bw::Target& t : dry.Targets())
                if (t.kind == bw::TargetKind::File) takes[n].insert(Utf8(dry.Describe(t)));
        }
    }
    for (size_t n = 0; n < chosen.size(); ++n) {
        std::vector<std::string>& baitList = plantedOf[n].baits;
        baitList.erase(std::remove_if(baitList.begin(), baitList.end(), [&](const std::string& bait) {
                           for (size_t other = 0; other < chosen.size(); ++other)
                               if (other != n && takes[other].count(bait)) return true;
                           return false;
                       }),
                       baitList.end());
    }

    bw::ErasePlan plan;
    w2::Computer fresh;  // the planted tree, seen anew
    for (size_t e : chosen) {
        plan.BeginItem(std::string(rules.TickName(rules.entries[e])));
        w2::PlanEntry(plan, rules, rules.entries[e], fresh);
    }
    bw::Execute(plan, {});

    Planted planted;
    size_t left = 0, matches = 0, baits = 0;
    std::vector<std::string> allRemovedKeys;
    for (const Planted& one : plantedOf) allRemovedKeys.insert(allRemovedKeys.end(), one.keys.begin(), one.keys.end());
    // A registry bait lying below a key some entry removes whole goes with it, as it should.
    auto belowRemovedKey = [&](const std::string& subkey) {
        for (const std::string& key : allRemovedKeys)
            if (subkey.size() > key.size() && _strnicmp(subkey.c_str(), key.c_str(), key.size()) == 0 &&
                subkey[key.size()] == '\\')
                return true;
        return false;
    };
    for (size_t n = 0; n < chosen.size(); ++n) {
        const Planted& one = plantedOf[n];
        SCOPED_TRACE(std::string(rules.Name(rules.entries[chosen[n]])));
        for (const std::string& path : one.matches) left += PathExists(path);
        for (const std::string& path : one.baits) EXPECT_EQ(ReadTextFile(path), "planted: " + path) << path;
        matches += one.matches.size();
        baits += one.baits.size();
        for (auto* list : {&one.matches, &one.baits, &one.made})
            planted.made.insert(planted.made.end(), list->begin(), list->end());
        for (auto* list : {&one.keys, &one.baitKeys, &one.madeKeys})
            planted.keys.insert(planted.keys.end(), list->begin(), list->end());
        for (auto* list : {&one.values, &one.baitValues})
            planted.values.insert(planted.values.end(), list->begin(), list->end());
        for (const auto& [key, value] : one.values) EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, key, value)) << key;
        for (const auto& [key, value] : one.baitValues)
            if (!belowRemovedKey(key)) {
                EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, key, value)) << key;
            }
        for (const std::string& key : one.keys) EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key)) << key;
        for (const std::string& key : one.baitKeys)
            if (!belowRemovedKey(key)) {
                EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key)) << key;
            }
    }
    EXPECT_GE(matches, plantedAtLeast);
    EXPECT_GE(baits, plantedAtLeast);
    EXPECT_LE(left, matches / 20) << "matches left (kept by an exclusion of their entry)";
    EXPECT_EQ(ReadTextFile(outside + "\\secret.txt"), "secret");
    for (const char* v : {"WinDir", "ProgramFiles", "UserProfile", "AppData", "LocalAppData", "Temp", "ProgramData"})
        EXPECT_TRUE(IsDirectory(Folder(v))) << v;

    std::string cleanup;
    for (auto it = planted.made.rbegin(); it != planted.made.rend(); ++it)
        if (const std::string unix = UnixPath(*it); !unix.empty()) cleanup += "rm -rf " + Quoted(unix) + "\n";
    cleanup += "rm -rf " + Quoted(UnixPath(outside)) + "\n";
    ASSERT_TRUE(WriteTextFile(scratch / "clean.sh", cleanup));
    RunUnix("/bin/sh", {UnixPath(scratch / "clean.sh")});
    for (const std::string& key : planted.keys) DeleteTree(HKEY_CURRENT_USER, key);
    for (const auto& [key, value] : planted.values) DeleteTree(HKEY_CURRENT_USER, key);
}

}  // namespace

TEST(Winapp2Plan, APlantedPrefixFromTheSampleLosesEveryMatchAndNoBait) {
    PlantedPrefixLosesEveryMatchAndNoBait(SampleRulesFile(), 11u, 6u, 15u);
}

TEST(Winapp2Plan, APlantedPrefixFromTheRealFileLosesEveryMatchAndNoBait) {
    BW_REAL_RULES_OR_SKIP(file, "Winapp2.ini");
    PlantedPrefixLosesEveryMatchAndNoBait(file, 4067u, 200u, 300u);
}
