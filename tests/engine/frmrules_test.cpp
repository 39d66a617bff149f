// The community rules page with the real rules file beside the program: the detected browsers
// listed by section, the search, ticks kept in rules.dat, and an erase that takes the ticked
// entries' cache, cookies and history files from planted Chrome and Firefox profiles and
// leaves every other file of the profiles as it was.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/EraseReport.h"
#include "engine/EraseRunner.h"
#include "engine/Winapp2.h"
#include "engine/frmcleannow.h"
#include "engine/frmpreview.h"
#include "engine/frmrules.h"
#include "platform/RuleFolders.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RealRules.h"
#include "tests/support/TestSupport.h"
#include "ui/Forms.h"

namespace w2 = bw::winapp2;
using namespace bw::test;

namespace {

std::string Folder(const char* variable) {
    return w2::WideToUtf8(bw::platform::rulefolders::VariableValues(variable).at(0));
}

int LineOf(const bw::frmrules& page, const std::string& text) {
    for (int i = 0; i < page.lstRules.ListCount(); ++i)
        if (page.lstRules.List(i) == text) return i;
    return -1;
}

std::vector<std::string> Lines(const bw::frmrules& page) {
    std::vector<std::string> lines;
    for (int i = 0; i < page.lstRules.ListCount(); ++i) lines.push_back(page.lstRules.List(i));
    return lines;
}

}  // namespace

TEST(frmrules, RealRulesListTheBrowsersAndTickedOnesEraseOnlyWhatTheyName) {
    BW_REAL_RULES_OR_SKIP(file, "Non-CCleaner/Winapp2.ini");
    ProgramFolder program;
    ASSERT_TRUE(CopyFileA(file.c_str(), program.file("winapp2.ini").c_str(), FALSE));
    const std::string chrome = Folder("LocalAppData") + "\\Google\\Chrome\\User Data\\Default";
    const std::string firefox = Folder("AppData") + "\\Mozilla\\Firefox\\Profiles\\bw.default";
    const std::string firefoxLocal = Folder("LocalAppData") + "\\Mozilla\\Firefox\\Profiles\\bw.default";
    const std::vector<std::string> gone = {
        chrome + "\\History", chrome + "\\History-journal", chrome + "\\Visited Links", chrome + "\\Network\\Cookies",
        chrome + "\\Cache\\Cache_Data\\data_0", chrome + "\\Code Cache\\js\\index", firefox + "\\cookies.sqlite",
        firefox + "\\cookies.sqlite-wal", firefoxLocal + "\\cache2\\entries\\0A1B", firefoxLocal + "\\thumbnails\\t.png",
    };
    const std::vector<std::string> kept = {
        chrome + "\\Bookmarks", chrome + "\\Preferences", chrome + "\\Login Data", chrome + "\\Network\\TransportSecurity",
        firefox + "\\places.sqlite", firefox + "\\prefs.js", firefox + "\\logins.json", firefoxLocal + "\\bw-notes.txt",
    };
    for (const std::string& path : gone) {
        MakeDirs(path.substr(0, path.rfind('\\')));
        ASSERT_TRUE(WriteTextFile(path, "gone: " + path));
    }
    for (const std::string& path : kept) {
        MakeDirs(path.substr(0, path.rfind('\\')));
        ASSERT_TRUE(WriteTextFile(path, "kept: " + path));
    }

    auto& page = bw::ui::Get<bw::frmrules>();
    const auto start = std::chrono::steady_clock::now();
    page.Show();
    const double openMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("page_open_ms", std::to_string(openMs));
    EXPECT_EQ(page.Rules().entries.size(), 4067u);
    EXPECT_NE(page.lblCount.Caption().find(" of 4,067 detected"), std::string::npos) << page.lblCount.Caption();
    const std::vector<std::string> names = {"Google Chrome Caches", "Google Chrome Web Browsing Cookies",
                                            "Google Chrome Web Browsing History", "Mozilla Firefox Caches",
                                            "Mozilla Firefox Web Browsing Cookies"};
    const int heading = LineOf(page, "[Google Chrome Web Browser]");
    ASSERT_GE(heading, 0);
    EXPECT_EQ(page.EntryAt(heading), nullptr);
    for (const std::string& name : names) {
        const int line = LineOf(page, name);
        ASSERT_GT(line, 0) << name;
        EXPECT_FALSE(page.lstRules.Checked(line)) << "every entry starts unticked";
    }
    // A list view with check boxes: a real standard control, read by screen readers.
    EXPECT_EQ(ClassOf(page.lstRules.hwnd()), "SysListView32");
    SaveScreenshot(ArtifactsDir() + "\\frmrules.png", page.hwnd());

    // The search filters as the user types, headings and all.
    page.txtSearch.SetCaption("firefox");
    for (const std::string& line : Lines(page))
        EXPECT_NE(line.find("Firefox"), std::string::npos) << line;
    EXPECT_GE(LineOf(page, "Mozilla Firefox Caches"), 0);
    page.txtSearch.SetCaption("");

    // Ticking through the list view as a user does (space on a line).
    for (const std::string& name : names) {
        const int line = LineOf(page, name);
        ListView_SetItemState(page.lstRules.hwnd(), line, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
        EXPECT_TRUE(page.lstRules.Checked(line)) << name;
    }
    EXPECT_EQ(w2::ReadTicks(program.file("rules.dat")).size(), names.size());
    bw::ui::Release<bw::frmrules>();

    // The erase window's preview lists the ticked entries after the items, with their targets.
    {
        auto& erase = bw::ui::Get<bw::frmcleannow>();
        erase.Load();
        SendMessageA(erase.Command3.hwnd(), BM_CLICK, 0, 0);  // Preview
        ASSERT_TRUE(erase.HasPreview());
        std::string shown;
        for (int i = 0; i < erase.List1.ListCount(); ++i) shown += erase.List1.List(i) + "\n";
        for (const std::string& name : names) EXPECT_NE(shown.find(name + ": "), std::string::npos) << shown;
        erase.Show();
        SaveScreenshot(ArtifactsDir() + "\\erase-preview-rules.png", erase.hwnd());
        size_t history = 0;
        while (history < erase.Plan().ItemCount() && erase.Plan().ItemCaption(history) != "Google Chrome Web Browsing History")
            ++history;
        ASSERT_LT(history, erase.Plan().ItemCount());
        bw::frmdetails details;
        details.Fill(erase.Plan(), history);
        details.Show();
        SaveScreenshot(ArtifactsDir() + "\\erase-details-rules.png", details.hwnd());
        details.Unload();
        const std::string previewText = bw::ReportText(erase.Plan(), true);
        EXPECT_NE(previewText.find(chrome + "\\History"), std::string::npos);
        for (const std::string& path : gone) EXPECT_TRUE(PathExists(path)) << "a preview removes nothing: " << path;
        // (The preview's plan holds its folders open until it goes: let it go before erasing.)
        bw::ui::Release<bw::frmcleannow>();
    }

    const bw::EraseRun run = bw::EraseUnattended({});
    const std::string report = bw::ReportText(run.plan, false);
    for (const std::string& path : gone) EXPECT_FALSE(PathExists(path)) << path << "\n" << report;
    for (const std::string& path : kept) EXPECT_EQ(ReadTextFile(path), "kept: " + path);
    EXPECT_FALSE(PathExists(chrome + "\\Cache")) << "REMOVESELF removes the cache folder it emptied";
    EXPECT_TRUE(PathExists(chrome + "\\Network")) << "the folder holding kept files stays";

    RunUnix("/bin/rm", {"-rf", UnixPath(Folder("LocalAppData") + "\\Google"), UnixPath(Folder("AppData") + "\\Mozilla"),
                        UnixPath(Folder("LocalAppData") + "\\Mozilla")});
}

TEST(frmrules, LoadingARulesFileChecksItWholeAndKeepsTheOldOneWhenItHoldsNone) {
    ProgramFolder program;
    ASSERT_TRUE(WriteTextFile(program.file("winapp2.ini"), "[Old *]\r\nDetect=HKCU\\Software\r\nFileKey1=%Temp%|bw.x\r\n"));
    TempDir dir;
    ASSERT_TRUE(WriteTextFile(dir / "empty.ini", ""));
    ASSERT_TRUE(WriteTextFile(dir / "new.ini", "[New *]\r\nDetect=HKCU\\Software\r\nFileKey1=%Temp%|bw.y|BAD\r\n"
                                               "FileKey2=%Temp%|bw.z\r\n\r\n[Stopped *]\r\nDetect=HKCU\\Software\r\n"
                                               "ExcludeKey8=FILE|%Temp%\\|a\r\nExcludeKey8=FILE|%Temp%\\|b\r\n"));
    auto& page = bw::ui::Get<bw::frmrules>();
    page.Load();
    EXPECT_GE(LineOf(page, "Old"), 0);
    EXPECT_FALSE(page.LoadRulesFrom(dir / "empty.ini", false));
    EXPECT_FALSE(page.LoadRulesFrom(dir / "missing.ini", false));
    EXPECT_GE(LineOf(page, "Old"), 0);
    EXPECT_TRUE(page.LoadRulesFrom(dir / "new.ini", false));
    EXPECT_EQ(ReadTextFile(program.file("winapp2.ini")), ReadTextFile(dir / "new.ini"));
    EXPECT_GE(LineOf(page, "New"), 0);
    const int stopped = LineOf(page, "Stopped - not run: ExcludeKey8=FILE|%Temp%\\|b (line 9): duplicate key");
    ASSERT_GE(stopped, 0) << ::testing::PrintToString(Lines(page));
    ListView_SetItemState(page.lstRules.hwnd(), stopped, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    EXPECT_FALSE(page.lstRules.Checked(stopped));
    EXPECT_EQ(page.lblRefused.Caption(), "2 lines of winapp2.ini refused (see Details)");
    page.cmdDetails_Click();
    EXPECT_TRUE(page.lstRefused.Visible());
    ASSERT_EQ(page.lstRefused.ListCount(), 2);
    EXPECT_EQ(page.lstRefused.List(0).rfind("Line 3: ", 0), 0u) << page.lstRefused.List(0);
    EXPECT_EQ(page.lstRefused.List(1), "Line 9: duplicate key, so Stopped is not run");
    bw::ui::Release<bw::frmrules>();
}
