// The other browsers' items on the run's Wine prefix: what goes from the profile and program
// folders, what stays (other files, sub-folders of wildcard deletes, whatever a link reaches),
// and the folder settings that must never turn into a path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "settings/Inifun.h"
#include "tests/support/Overrides.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
using bw::Inifun::WriteIni;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct Tree {
    TempDir dir, outside;
    Tree(std::initializer_list<const char*> files) {
        for (const char* f : files) {
            std::string path = dir / f;
            MakeDirs(path.substr(0, path.rfind('\\')));
            WriteTextFile(path, "0123456789");
        }
        WriteTextFile(outside / "cookies.txt", "elsewhere");
        WriteTextFile(outside / "global.dat", "elsewhere");
    }
};

bw::EraseRun NewRun(const std::string& settings) {
    bw::EraseRun run;
    run.settingsFile = settings;
    return run;
}

TEST(BrowserItems, NetscapeSweepsEachChosenFileAndCountsTheTreeOncePerSubItem) {
    Tree tree{"Mozilla\\Profiles\\a\\localstore.rdf", "Mozilla\\Profiles\\a\\cookies.txt",
              "Mozilla\\Profiles\\a\\prefs.js", "Mozilla\\Profiles\\a\\b\\history.dat",
              "Mozilla\\Profiles\\a\\Cache\\_CACHE_001_", "Mozilla\\Profiles\\a\\Cache\\d\\page"};
    ASSERT_TRUE(MakeLink(tree.outside.path(), tree.dir / "Mozilla\\Profiles\\a\\linked"));
    ValueOverride appData(HKEY_CURRENT_USER, kShellFolders, "AppData", &tree.dir.path());
    TempDir program;
    const std::string settings = program / "bwsd.dat";
    for (const char* key : {"Location", "Cookies", "Cache", "History"}) WriteIni(settings, "NETSCAPE", key, "1");

    bw::EraseRun run = NewRun(settings);
    bw::items::NetscapeNavigator(run);

    // Each sub-item counts the tree as it finds it: six files of ten bytes, then five, four, two.
    EXPECT_EQ(run.filesize, 60 + 50 + 40 + 20);
    for (const char* gone : {"localstore.rdf", "cookies.txt", "b\\history.dat", "Cache\\_CACHE_001_", "Cache\\d\\page"})
        EXPECT_FALSE(PathExists(tree.dir / "Mozilla\\Profiles\\a\\" + gone)) << gone;
    EXPECT_TRUE(PathExists(tree.dir / "Mozilla\\Profiles\\a\\prefs.js"));
    EXPECT_TRUE(IsDirectory(tree.dir / "Mozilla\\Profiles\\a\\Cache\\d"));
    EXPECT_TRUE(PathExists(tree.outside / "cookies.txt"));
}

TEST(BrowserItems, OperaFolderThatIsMissingRelativeOrARootIsNotFound) {
    Tree tree{"profile\\opera.dir"};
    TempDir program;
    const std::string settings = program / "bwsd.dat";
    for (const char* key : {"Location", "Cookies", "Cache", "History"}) WriteIni(settings, "OPERA", key, "1");
    for (const std::string& path : std::vector<std::string>{"", "   ", "Error", "profile\\..", "C:\\", tree.dir / "missing"}) {
        WriteIni(settings, "OPERA", "Path", path);
        SetCurrentDirectoryA(tree.dir.path().c_str());
        bw::EraseRun run = NewRun(settings);
        bw::items::Opera(run);
        EXPECT_TRUE(run.useAltEndLine) << path;
        EXPECT_EQ(run.filesize, 0) << path;
    }
    SetCurrentDirectoryA("C:\\");
    EXPECT_TRUE(PathExists(tree.dir / "profile\\opera.dir"));
}

TEST(BrowserItems, OperaDeletesTheChosenProfileFilesOnly) {
    Tree tree{"profile\\opera.dir", "profile\\cookies4.dat", "profile\\global.dat", "profile\\viewers.dat",
              "profile\\opera6.ini", "profile\\cache4\\opr0001.tmp", "profile\\cache4\\sub\\kept.tmp"};
    ASSERT_TRUE(MakeLink(tree.outside / "global.dat", tree.dir / "profile\\cache4\\linked.tmp"));
    TempDir program;
    const std::string settings = program / "bwsd.dat";
    WriteIni(settings, "OPERA", "Path", tree.dir.path() + "\\");
    for (const char* key : {"Location", "Cache", "History"}) WriteIni(settings, "OPERA", key, "1");
    WriteIni(settings, "OPERA", "Cookies", "1.0");  // only exactly "1" is on

    bw::EraseRun run = NewRun(settings);
    bw::items::Opera(run);

    EXPECT_FALSE(run.useAltEndLine);
    EXPECT_EQ(run.filesize, 15000);
    for (const char* gone : {"opera.dir", "global.dat", "viewers.dat", "cache4\\opr0001.tmp"})
        EXPECT_FALSE(PathExists(tree.dir / "profile\\" + gone)) << gone;
    for (const char* kept : {"cookies4.dat", "opera6.ini", "cache4\\sub\\kept.tmp"})
        EXPECT_TRUE(PathExists(tree.dir / "profile\\" + kept)) << kept;
    EXPECT_EQ(ReadTextFile(tree.outside / "global.dat"), "elsewhere");
}

TEST(BrowserItems, MsnExplorerDeletesChosenTracesInsideItsFolderAndCountsNothing) {
    Tree tree{"typedurls.dat", "Cookies\\user@site.txt", "Cookies\\index.dat", "Cache\\ABC\\page.htm",
              "History\\visit.dat", "History\\old\\visit.dat", "msn6.ini"};
    ASSERT_TRUE(MakeLink(tree.outside / "cookies.txt", tree.dir / "Cookies\\linked.txt"));
    TempDir program;
    const std::string settings = program / "bwsd.dat";
    WriteIni(settings, "msn", "path", tree.dir.path());
    for (const char* key : {"Location", "Cookies", "Cache", "History"}) WriteIni(settings, "MSN", key, "1");

    bw::EraseRun run = NewRun(settings);
    bw::items::MsnExplorer(run);

    EXPECT_EQ(run.filesize, 0);
    EXPECT_EQ(run.regnum, 0);
    for (const char* gone : {"typedurls.dat", "Cookies\\user@site.txt", "Cache\\ABC\\page.htm", "History\\visit.dat"})
        EXPECT_FALSE(PathExists(tree.dir / gone)) << gone;
    for (const char* kept : {"Cookies\\index.dat", "History\\old\\visit.dat", "msn6.ini"})
        EXPECT_TRUE(PathExists(tree.dir / kept)) << kept;
    EXPECT_EQ(ReadTextFile(tree.outside / "cookies.txt"), "elsewhere");
}

TEST(BrowserItems, GoogleToolbarHistoryKeyGoesAndItsParentStays) {
    const std::string client = "Software\\Google\\NavClient\\1.1";
    SetString(HKEY_CURRENT_USER, client + "\\History", "q1", "secret search");
    SetString(HKEY_CURRENT_USER, client, "Setting", "kept");
    bw::EraseRun run;
    bw::items::GoogleToolbar(run);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, client + "\\History"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, client, "Setting"));
    DeleteTree(HKEY_CURRENT_USER, "Software\\Google");
}

}  // namespace
