// The erase run: progress lines in table order, statistics, the summary box, the settings it
// writes, and the exit-after-erasing path. Item actions are exercised by their own tests.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "ui/Forms.h"
#include "engine/EraseRun.h"
#include "engine/frmcleannow.h"
#include "engine/frmpreview.h"
#include "settings/Inifun.h"
#include "app/frmMainCode.h"
#include "tests/support/Overrides.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "tests/support/MainWindowState.h"

using bw::frmcleannow;
using bw::frmMainCode;
using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

namespace {

TEST(FormatSize, FollowsTheFourHashDotTwoHashPattern) {
    EXPECT_EQ(bw::FormatSize(0), ".");
    EXPECT_EQ(bw::FormatSize(0.5), ".5");
    EXPECT_EQ(bw::FormatSize(12.345), "12.35");
    EXPECT_EQ(bw::FormatSize(3), "3.");
    EXPECT_EQ(bw::FormatSize(500000.0 / 1048576.0), ".48");
    EXPECT_EQ(bw::FormatSize(0.004), ".");
    EXPECT_EQ(bw::FormatSize(0.005), ".01");
    EXPECT_EQ(bw::FormatSize(9.999), "10.");
    EXPECT_EQ(bw::FormatSize(12345.6), "12345.6");
    EXPECT_EQ(bw::FormatSize(1.10), "1.1");
}

TEST(FormatCount, IsTheShortestDecimalText) {
    EXPECT_EQ(bw::FormatCount(0), "0");
    EXPECT_EQ(bw::FormatCount(47), "47");
    EXPECT_EQ(bw::FormatCount(-3), "-3");
    EXPECT_EQ(bw::FormatCount(1234567), "1234567");
}

class EraseRun : public ::testing::Test {
protected:
    void SetUp() override {
        // Start with every item off; each test checks what it needs.
        main_ = &bw::test::LoadMainWindowWithNothingChecked();
        erase_ = &bw::ui::Get<frmcleannow>();
        erase_->Load();
    }
    void TearDown() override {
        bw::ui::Release<frmcleannow>();
        bw::ui::Release<frmMainCode>();
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < erase_->List1.ListCount(); ++i) lines.push_back(erase_->List1.List(i));
        return lines;
    }

    // Presses "Erase Now" and returns the boxes shown during the run.
    std::vector<bw::test::MessageBoxWatcher::Box> EraseNow() {
        bw::test::MessageBoxWatcher watcher;
        SendMessageA(erase_->Command1.hwnd(), BM_CLICK, 0, 0);
        return watcher.boxes();
    }

    bw::test::ProgramFolder folder_;
    frmMainCode* main_ = nullptr;
    frmcleannow* erase_ = nullptr;
};

TEST_F(EraseRun, NothingCheckedStillRunsMoreApplicationsAndSummarises) {
    auto boxes = EraseNow();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Please waiting,Begin Erasing",
                                                 "Please Waiting ,Erasing More Applications......",
                                                 "Erasing More Applications......OK",
                                                 "Task complete Successfully!"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Task Complete");
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 0 Released HD Space:.MB");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "regnum"), "0");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "filesize"), ".");
    EXPECT_NE(ReadIni(folder_.settings(), "WINDOWS", "lastclean"), "");
    EXPECT_EQ(erase_->coolprogressbar1.Value(), 100);
    EXPECT_EQ(erase_->Frame1.Caption(), "Status");
    EXPECT_TRUE(IsWindowEnabled(erase_->Command1.hwnd()));
}

// The summary and the statistics carry what was really removed: a second run over the same items,
// with nothing left to remove, reports nothing (no fixed figures for the history, Office...).
TEST_F(EraseRun, ASecondRunWithNothingLeftReportsNothing) {
    for (auto* box : {&main_->Check2, &main_->Check11, &main_->Check12, &main_->Check15, &main_->Check16,
                      &main_->Check17, &main_->Check23, &main_->Check28, &main_->Check29})
        box->SetValue(1);
    WriteIni(folder_.settings(), "OFFICE", "word", "1");
    bw::test::SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\9.0\\Word\\Data", "Settings", "x");
    bw::test::SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", "a",
                        "notepad\\1");
    auto first = EraseNow();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].text, "Task complete Successfully! Erased Registry Keys: 2 Released HD Space:.MB");
    auto second = EraseNow();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].text, "Task complete Successfully! Erased Registry Keys: 0 Released HD Space:.MB");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "regnum"), "0");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "filesize"), ".");
}

// Preview, details, untick, Erase Now: the preview removes nothing and shows a line per item;
// the details list every target with its size; Erase Now then erases exactly the plan: an
// unticked file and a file made after the preview stay. Screenshots of the three windows.
TEST_F(EraseRun, PreviewThenEraseNowErasesExactlyThePlan) {
    main_->Check13.SetValue(1);
    bw::test::TempDir temp;
    bw::test::EnvironmentOverride env;
    env.Set("TMP", temp.path());
    env.Set("TEMP", temp.path());
    bw::test::MakeDirs(temp / "cache");
    for (const char* name : {"a.tmp", "b.tmp", "cache\\c.tmp"}) bw::test::WriteTextFile(temp / name, "12345");

    SendMessageA(erase_->Command3.hwnd(), BM_CLICK, 0, 0);  // Preview
    ASSERT_TRUE(erase_->HasPreview());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Windows Temp: 3 files, 1 folder, 15 bytes",
                                                 "More Applications: 0 files, 0 bytes",
                                                 "Total: 3 files, 1 folder, 15 bytes"}));
    for (const char* name : {"a.tmp", "b.tmp", "cache\\c.tmp"}) EXPECT_TRUE(bw::test::PathExists(temp / name)) << name;
    EXPECT_TRUE(IsWindowEnabled(erase_->Command4.hwnd())) << "Details... opens the chosen line";
    erase_->Show();
    bw::test::SaveScreenshot(bw::test::ArtifactsDir() + "\\erase-preview.bmp", erase_->hwnd());

    // The details of the temp item: one row per target, with its size; b.tmp is unticked.
    bw::frmdetails details;
    details.Fill(erase_->Plan(), 0);
    details.Show();
    const int rows = static_cast<int>(SendMessageW(details.List1.hwnd(), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(rows, 4);  // three files and the folder "cache"
    details.List1.SortBy(bw::TargetList::Column::Path);
    std::vector<std::string> shown;
    for (int row = 0; row < rows; ++row) {
        wchar_t text[1024] = L"";
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 1024;
        SendMessageW(details.List1.hwnd(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        std::wstring path = text;
        shown.push_back(std::string(path.begin() + static_cast<long>(path.rfind(L'\\') + 1), path.end()));
        if (path.size() > 5 && path.compare(path.size() - 5, 5, L"b.tmp") == 0) details.List1.Toggle(row);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"a.tmp", "b.tmp", "cache", "c.tmp"}));
    bw::test::SaveScreenshot(bw::test::ArtifactsDir() + "\\erase-details.bmp", details.hwnd());
    details.Unload();

    bw::test::WriteTextFile(temp / "made-after.tmp", "new");
    auto boxes = EraseNow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 0 Released HD Space:.MB");
    EXPECT_EQ(bw::test::SortedNames(temp.path()), (std::vector<std::string>{"b.tmp", "made-after.tmp"}));
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"Please waiting,Begin Erasing", "Please Waiting ,Erasing Windows Temp.......",
                                        "Erasing Windows Temp.......OK"}));

    // The report: what went, what stayed and why.
    bw::frmreport report;
    report.Fill(erase_->Plan(), false);
    report.Show();
    bw::test::SaveScreenshot(bw::test::ArtifactsDir() + "\\erase-report.bmp", report.hwnd());
    const std::string file = temp / "report.txt";
    ASSERT_TRUE(report.SaveTo(file));
    report.Unload();
    const std::string text = bw::test::ReadTextFile(file);
    EXPECT_NE(text.find("Windows Temp: erased 2 files, 1 folder, 10 bytes; left 1; planned 15 bytes, freed 10 bytes"),
              std::string::npos) << text;
    EXPECT_NE(text.find("  left: unticked\t" + temp.path() + "\\b.tmp\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  erased\t" + temp.path() + "\\a.tmp\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("made-after"), std::string::npos);
}

TEST_F(EraseRun, EveryCheckedItemReportsItsLinesInTableOrder) {
    main_->Check9.SetValue(1);
    main_->Check18.SetValue(1);
    for (auto* box : {&main_->Check19, &main_->Check20, &main_->Check21, &main_->Check22, &main_->Check23})
        box->SetValue(1);
    // The temp item empties the temp folder, where this test's program folder lives: give the
    // run a temp folder of its own.
    bw::test::TempDir privateTemp;
    {
        bw::test::EnvironmentOverride env;
        env.Set("TMP", privateTemp.path());
        env.Set("TEMP", privateTemp.path());
        bw::test::WriteTextFile(privateTemp / "junk.tmp", "junk");
        EraseNow();
    }
    EXPECT_FALSE(bw::test::PathExists(privateTemp / "junk.tmp"));
    EXPECT_TRUE(bw::test::PathExists(folder_.settings()));
    std::vector<std::string> lines = Lines();
    const std::vector<std::string> expected = {
        "Please waiting,Begin Erasing",
        "Please Waiting ,Erasing IE Location Bar History......", "Erasing IE Location Bar History.....OK",
        "Please Waiting ,Erasing IE Internet History Files......", "Erasing IE Internet History Files......OK",
        "Please Waiting ,Erasing IE Internet Cache......", "Erasing IE Internet Cache......OK",
        "Please Waiting ,Erasing IE Cookies.......", "Erasing IE Cookies.......OK",
        "Please Waiting ,Erasing IE Favorites.......", "Erasing IE Favorites.......OK",
        "Please Waiting ,Erasing IE Autocomplete Memory......", "Erasing IE Autocomplete Memory......OK",
        "Please Waiting ,Erasing IE Downloaded program Files Director......",
        "Erasing IE Downloaded program Files Director......OK",
        "Please Waiting ,Erasing Netscape Navigator......", "Erasing Netscape Navigator......OK",
        "Please Waiting ,Erasing Opera......", lines.size() > 18 ? lines[18] : "",
        "Please Waiting ,Erasing MSN Explorer......", "Erasing MSN Explorer......OK",
        "Please Waiting ,Erasing Google Tool Bar Search History......",
        "Erasing Google Tool Bar Search History......OK",
        "Please Waiting ,Erasing Recent Documents History......", "Erasing Recent Documents History......OK",
        "Please Waiting ,Erasing Start Menu Run History......", "Erasing Start Menu Run History......OK",
        "Please Waiting ,Erasing Start Menu Search History......", "Erasing Start Menu Search History......OK",
        "Please Waiting ,Erasing Windows Temp.......", "Erasing Windows Temp.......OK",
        "Please Waiting ,Erasing Recycle Bin....", "Erasing Recycle Bin......OK",
        "Please Waiting ,Erasing Open/Save Dialog Box History......",
        "Erasing Open/Save Dialog Box History......OK",
        "Please Waiting ,Erasing Scandisk Temp Files......", "Erasing Scandisk Temp Files......OK",
        "Please Waiting ,Erasing Windows Passwords......", "Erasing Windows Passwords......OK",
        "Please Waiting ,Erasing Windows Clipboard......", "Erasing Windows Clipboard......",
        "Please Waiting ,Erasing Wordpad Recent Files......", "Erasing Wordpad Recent Files......OK",
        "Please Waiting ,Erasing Windows Paint Recent Files......", "Erasing Windows Paint Recent Files......OK",
        "Please Waiting ,Erasing Winzip Recent Files......", "Erasing Winzip Recent Files......OK",
        "Please Waiting ,Erasing Media Player playlist......", "Erasing Media Player playlist......OK",
        "Please Waiting ,Erasing RealOne Player Recent Files......",
        "Erasing RealOne Player Recent Files......OK",
        "Please Waiting ,Erasing Real Player playlist......", "Erasing Real Player playlist......OK",
        "Please Waiting ,Erasing MS-Office Tracks......", "Erasing MS-Office Tracks......OK",
        "Please Waiting ,Erasing More Applications......", "Erasing More Applications......OK",
        "Task complete Successfully!",
    };
    EXPECT_EQ(lines, expected);
    ASSERT_GT(lines.size(), 18u);
    EXPECT_TRUE(lines[18] == "Erasing Opera......OK" || lines[18] == "Can't found Opera Directory!");
    // The newest line is selected, which keeps it in view.
    EXPECT_EQ(erase_->List1.ListIndex(), erase_->List1.ListCount() - 1);
}

TEST_F(EraseRun, SecondRunStartsAfresh) {
    main_->Check2.SetValue(1);
    EraseNow();
    main_->Check2.SetValue(0);
    auto boxes = EraseNow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 0 Released HD Space:.MB");
    EXPECT_EQ(Lines().size(), 4u);
}

TEST_F(EraseRun, ExitAfterErasingClosesWithoutSummaryOrStatistics) {
    WriteIni(folder_.settings(), "WINDOWS", "regnum", "99");
    WriteIni(folder_.settings(), "WINDOWS", "filesize", "1.5");
    WriteIni(folder_.settings(), "WINDOWS", "lastclean", "long ago");
    WriteIni(folder_.settings(), "Additional", "exit", "1");
    main_->Check2.SetValue(1);
    auto boxes = EraseNow();
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(erase_->IsLoaded());
    EXPECT_FALSE(main_->IsLoaded());
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "regnum"), "99");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "filesize"), "1.5");
    EXPECT_NE(ReadIni(folder_.settings(), "WINDOWS", "lastclean"), "long ago");
    // The main window's close sequence saved the selection on the way out.
    EXPECT_EQ(ReadIni(folder_.settings(), "BROWSERS", "history"), "1");
    EXPECT_EQ(ReadIni(folder_.settings(), "BROWSERS", "location"), "0");
}

TEST_F(EraseRun, ExitKeyIsReadAsExactText) {
    WriteIni(folder_.settings(), "Additional", "exit", "1.0");
    auto boxes = EraseNow();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(erase_->IsLoaded());
}

TEST_F(EraseRun, CancelClosesTheEraseWindowAndShowsTheMainWindow) {
    erase_->Show();
    SendMessageA(erase_->Command2.hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(erase_->IsLoaded());
    EXPECT_TRUE(main_->Visible());
}

TEST_F(EraseRun, WindowCarriesItsControls) {
    EXPECT_EQ(erase_->Caption(), "Brightwipe");
    EXPECT_EQ(erase_->Command1.Caption(), "Erase Now");
    EXPECT_EQ(erase_->Command2.Caption(), "Cancel");
    EXPECT_EQ(erase_->Frame1.Caption(), "Status");
    EXPECT_EQ(erase_->coolprogressbar1.Value(), 0);
    EXPECT_EQ(SendMessageA(erase_->coolprogressbar1.hwnd(), PBM_GETRANGE, FALSE, 0), 100);
}

}  // namespace
