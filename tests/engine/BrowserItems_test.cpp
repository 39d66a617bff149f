// The other browsers' items on the run's Wine prefix: what goes from the profile and program
// folders, what stays (other files, sub-folders of wildcard deletes, whatever a link reaches),
// and folder settings that must never turn into a path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseRunner.h"
#include "settings/Inifun.h"
#include "tests/support/Overrides.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;

namespace {

// Ten-byte files below `base` in a folder, a folder outside it, and the sub-item keys of
// `section` all on.
struct Prepared {
    TempDir dir, outside, program;
    std::string base;
    bw::EraseRun run;
    Prepared(const char* section, std::initializer_list<const char*> files, std::string under = "") : base(under) {
        run.settingsFile = program / "bwsd.dat";
        for (const char* f : files) {
            MakeDirs((dir / base + f).substr(0, (dir / base + f).rfind('\\')));
            WriteTextFile(dir / base + f, "0123456789");
        }
        WriteTextFile(outside / "target.txt", "elsewhere");
        for (const char* key : {"Location", "Cookies", "Cache", "History"})
            bw::Inifun::WriteIni(run.settingsFile, section, key, "1");
    }
    void Expect(std::initializer_list<const char*> gone, std::initializer_list<const char*> kept) {
        for (const char* f : gone) EXPECT_FALSE(PathExists(dir / base + f)) << f;
        for (const char* f : kept) EXPECT_TRUE(PathExists(dir / base + f)) << f;
        EXPECT_EQ(ReadTextFile(outside / "target.txt"), "elsewhere");
    }
};

TEST(BrowserItems, NetscapeSweepsEachChosenFileAndCountsWhatWent) {
    Prepared p("NETSCAPE", {"localstore.rdf", "cookies.txt", "prefs.js", "b\\history.dat", "Cache\\_C_", "Cache\\d\\p"},
               "Mozilla\\Profiles\\a\\");
    ASSERT_TRUE(MakeLink(p.outside.path(), p.dir / p.base + "linked"));
    ValueOverride appData(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                          "AppData", &p.dir.path());
    bw::EraseItem(bw::items::NetscapeNavigator, p.run);
    EXPECT_EQ(p.run.filesize, 50) << "five files of ten bytes went";
    p.Expect({"localstore.rdf", "cookies.txt", "b\\history.dat", "Cache\\_C_", "Cache\\d\\p"}, {"prefs.js", "Cache\\d"});
}

TEST(BrowserItems, OperaDeletesTheChosenProfileFilesOnlyInAFolderThatIsFound) {
    Prepared p("OPERA", {"profile\\opera.dir", "profile\\cookies4.dat", "profile\\global.dat", "profile\\viewers.dat",
                         "profile\\opera6.ini", "profile\\cache4\\opr1.tmp", "profile\\cache4\\sub\\kept.tmp"});
    ASSERT_TRUE(MakeLink(p.outside / "target.txt", p.dir / "profile\\cache4\\linked.tmp"));
    SetCurrentDirectoryA(p.dir.path().c_str());
    for (const std::string& path : std::vector<std::string>{"", "Error", ".", "C:\\", p.dir / "missing"}) {
        bw::Inifun::WriteIni(p.run.settingsFile, "OPERA", "Path", path);
        bw::EraseItem(bw::items::Opera, p.run);
        EXPECT_TRUE(p.run.useAltEndLine) << path;
        EXPECT_EQ(p.run.filesize, 0) << path;
    }
    SetCurrentDirectoryA("C:\\");
    p.run.useAltEndLine = false;
    bw::Inifun::WriteIni(p.run.settingsFile, "OPERA", "Path", p.dir.path() + "\\");
    bw::Inifun::WriteIni(p.run.settingsFile, "OPERA", "Cookies", "1.0");  // only exactly "1" is on
    bw::EraseItem(bw::items::Opera, p.run);
    EXPECT_FALSE(p.run.useAltEndLine);
    EXPECT_EQ(p.run.filesize, 40) << "four files of ten bytes went";
    p.Expect({"profile\\opera.dir", "profile\\global.dat", "profile\\viewers.dat", "profile\\cache4\\opr1.tmp"},
             {"profile\\cookies4.dat", "profile\\opera6.ini", "profile\\cache4\\sub\\kept.tmp"});
}

TEST(BrowserItems, MsnExplorerDeletesChosenTracesInsideItsFolderAndCountsThem) {
    Prepared p("MSN", {"typedurls.dat", "Cookies\\u@site.txt", "Cookies\\index.dat", "Cache\\ABC\\page.htm",
                       "History\\visit.dat", "History\\old\\visit.dat", "msn6.ini"});
    ASSERT_TRUE(MakeLink(p.outside / "target.txt", p.dir / "Cookies\\linked.txt"));
    bw::Inifun::WriteIni(p.run.settingsFile, "msn", "path", p.dir.path());
    bw::EraseItem(bw::items::MsnExplorer, p.run);
    EXPECT_EQ(p.run.filesize, 40);
    EXPECT_EQ(p.run.regnum, 0);
    p.Expect({"typedurls.dat", "Cookies\\u@site.txt", "Cache\\ABC\\page.htm", "History\\visit.dat"},
             {"Cookies\\index.dat", "History\\old\\visit.dat", "msn6.ini"});
}

}  // namespace
