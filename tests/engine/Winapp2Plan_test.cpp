// Community rules carried out through the erase plan: the dangerous shapes of the format and of
// users' incidents as rows (what must go, what must stay byte for byte, what a guard refuses),
// and ticked entries in a real erase run and preview.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/EraseReport.h"
#include "engine/EraseRunner.h"
#include "engine/Executor.h"
#include "engine/Winapp2Plan.h"
#include "engine/Winapp2Run.h"
#include "platform/RuleFolders.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

namespace w2 = bw::winapp2;
using namespace bw::test;

namespace {

std::string Utf8(const std::wstring& s) { return w2::WideToUtf8(s); }
std::string Folder(const char* variable) { return Utf8(bw::platform::rulefolders::VariableValues(variable).at(0)); }

// The places a row writes: {L} a planted folder of the local application data, {O} a folder
// outside every rule, {D} the system drive ("C:"), {W} Windows, {P} the profile, {T} Temp.
std::string Expand(std::string text) {
    static const std::pair<const char*, std::string> kPlaces[] = {
        {"{L}", Folder("LocalAppData") + "\\BwPlan"}, {"{O}", Folder("SystemDrive") + "\\BwPlanOutside"},
        {"{D}", Folder("SystemDrive")},                {"{W}", Folder("WinDir")},
        {"{P}", Folder("UserProfile")},                {"{T}", Folder("Temp")},
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
    };
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
    };
    const std::string outside = Expand("{O}"), planted = Expand("{L}");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
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
            if (!IsDirectory(p) && PathExists(p)) EXPECT_EQ(ReadTextFile(p), p.find("win.ini") == std::string::npos ? p : ReadTextFile(p));
        }
        EXPECT_EQ(out.counts.refused > 0, row.refused) << bw::ReportText(out.plan, false);
        for (auto it = made.rbegin(); it != made.rend(); ++it) RunUnix("/bin/rm", {"-rf", UnixPath(*it)});
    }
    RunUnix("/bin/rm", {"-rf", UnixPath(outside), UnixPath(planted)});
}

TEST(Winapp2Plan, RegistryKeysActOnlyInTheUsersAndTheProgramsKeysAndKeepExclusions) {
    const HKEY hkcu = HKEY_CURRENT_USER;
    struct Row {
        const char* what;
        const char* rules;
        bool refused;
    };
    const Row rows[] = {
        {"a hive root's child", "RegKey1=HKCU\\Software", true},
        {"another user's hive", "RegKey1=HKU\\.DEFAULT\\Software\\BwPlanReg", true},
        {"the system's keys", "RegKey1=HKLM\\SYSTEM\\BwPlanReg", true},
        {"every program's settings", "RegKey1=HKCU\\Software\\Microsoft", true},
        {"a program's key with a kept key below", "RegKey1=HKCU\\Software\\BwPlanReg\n"
                                                  "RegKey2=HKCU\\Software\\BwPlanReg\\Sub|v\n"
                                                  "ExcludeKey1=REG|HKCU\\Software\\BwPlanReg\\Keep", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetString(hkcu, "Software\\BwPlanReg\\Sub\\Deep", "x", "1");
        SetString(hkcu, "Software\\BwPlanReg\\Sub", "v", "1");
        SetString(hkcu, "Software\\BwPlanReg\\Keep", "k", "1");
        SetString(HKEY_USERS, ".DEFAULT\\Software\\BwPlanReg", "u", "1");
        const Outcome out = Erase(std::string("[Reg *]\nDetect=HKCU\\Software\n") + row.rules + "\n");
        EXPECT_EQ(out.counts.refused > 0, row.refused);
        EXPECT_TRUE(KeyExists(hkcu, "Software\\Microsoft"));
        EXPECT_TRUE(ValueExists(HKEY_USERS, ".DEFAULT\\Software\\BwPlanReg", "u"));
        EXPECT_TRUE(ValueExists(hkcu, "Software\\BwPlanReg\\Keep", "k"));
    }
    // The last row: the kept key and its parent stay, everything beside them goes.
    EXPECT_FALSE(KeyExists(hkcu, "Software\\BwPlanReg\\Sub"));
    DeleteTree(hkcu, "Software\\BwPlanReg");
    DeleteTree(HKEY_USERS, ".DEFAULT\\Software\\BwPlanReg");
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
