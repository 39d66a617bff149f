// The erase run: progress lines in table order, statistics, the summary box, the settings it
// writes, and the exit-after-erasing path. Item actions are exercised by their own tests.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <thread>

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
    bw::test::TempDir temp, custom;
    bw::test::EnvironmentOverride env;
    env.Set("TMP", temp.path());
    env.Set("TEMP", temp.path());
    bw::test::MakeDirs(temp / "cache");
    for (const char* name : {"a.tmp", "b.tmp", "cache\\c.tmp"}) bw::test::WriteTextFile(temp / name, "12345");
    // A custom item, run after the temp folder, frees more: it leads the preview.
    bw::test::WriteTextFile(custom / "big.bin", std::string(2048, 'b'));
    WriteIni(folder_.settings(), "Additional", "Custom", "1");
    bw::test::WriteTextFile(folder_.file("cusd.dat"), custom / "*.bin\r\n");

    SendMessageA(erase_->Command3.hwnd(), BM_CLICK, 0, 0);  // Preview
    ASSERT_TRUE(erase_->HasPreview());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Custom Clean Items: 1 file, 2.0 KB",
                                                 "Windows Temp: 3 files, 1 folder, 15 bytes",
                                                 "More Applications: 0 files, 0 bytes",
                                                 "Total: 4 files, 1 folder, 2.0 KB"}));
    EXPECT_NEAR(erase_->List1.Share(0), 2048.0 / 2063.0, 1e-3) << "each item's bar is its share of the total";
    EXPECT_EQ(erase_->List1.Share(2), 0.0);
    EXPECT_LT(erase_->List1.Share(3), 0.0) << "the total line has no bar";
    for (const char* name : {"a.tmp", "b.tmp", "cache\\c.tmp"}) EXPECT_TRUE(bw::test::PathExists(temp / name)) << name;
    EXPECT_TRUE(IsWindowEnabled(erase_->Command4.hwnd())) << "Details... opens the chosen line";
    erase_->Show();
    bw::test::SaveScreenshot(bw::test::ArtifactsDir() + "\\erase-preview.bmp", erase_->hwnd());

    // The details of the temp item (the plan's first item, the preview's second line): one row
    // per target, with its size; b.tmp is unticked.
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
    // The summary offers the report: its extra button opens it over the box, which then closes
    // by OK as ever.
    std::string extra;
    int reportRows = -1;
    std::thread user([&] {
        HWND box = nullptr;
        HWND button = nullptr;
        bw::test::WaitFor([&] {
            box = FindWindowA("#32770", "Task Complete");
            button = box ? GetDlgItem(box, IDHELP) : nullptr;
            extra = button ? bw::test::WindowText(button) : "";
            return extra == "&Report...";
        }, 20000);
        if (!button) return;
        bw::test::SaveScreenshot(bw::test::ArtifactsDir() + "\\erase-summary.bmp", box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        HWND report = nullptr;
        bw::test::WaitFor([&] { return (report = FindWindowA(nullptr, "Brightwipe - Report")) && IsWindowVisible(report); },
                          20000);
        if (HWND list = report ? FindWindowExA(report, nullptr, "SysListView32", nullptr) : nullptr) {
            reportRows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            bw::test::SaveScreenshot(bw::test::ArtifactsDir() + "\\erase-report.bmp", report);
        }
        if (report) PostMessageA(report, WM_CLOSE, 0, 0);
        bw::test::WaitFor([&] { return IsWindowEnabled(box) || !IsWindow(box); }, 20000);
        for (int i = 0; i < 400 && IsWindow(box); ++i) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            Sleep(15);
        }
    });
    SendMessageA(erase_->Command1.hwnd(), BM_CLICK, 0, 0);
    user.join();
    EXPECT_EQ(extra, "&Report...");
    EXPECT_EQ(reportRows, 5) << "the report lists the five targets of the plan";
    EXPECT_EQ(bw::test::SortedNames(temp.path()), (std::vector<std::string>{"b.tmp", "made-after.tmp"}));
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"Please waiting,Begin Erasing", "Please Waiting ,Erasing Windows Temp.......",
                                        "Erasing Windows Temp.......OK"}));

    // The report: what went, what stayed and why.
    bw::frmreport report;
    report.Fill(erase_->Plan(), false);
    const std::string file = temp / "report.txt";
    ASSERT_TRUE(report.SaveTo(file));
    report.Unload();
    const std::string text = bw::test::ReadTextFile(file);
    EXPECT_NE(text.find("Windows Temp: erased 2 files, 1 folder, 10 bytes; left 1; planned 15 bytes, freed 10 bytes"),
              std::string::npos) << text;
    EXPECT_NE(text.find("Custom Clean Items: erased 1 file, 2.0 KB (2048 bytes); left 0; planned 2.0 KB (2048 bytes)"),
              std::string::npos) << text;
    EXPECT_NE(text.find("  left: unticked\t" + temp.path() + "\\b.tmp\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  erased\t" + temp.path() + "\\a.tmp\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("made-after"), std::string::npos);
}

// The name an item's progress line carries: "Please Waiting ,Erasing IE Cookies......." and
// "Erasing IE Cookies.......OK" both give "IE Cookies".
std::string ItemName(const std::string& line) {
    const std::string label = "Erasing ";
    const size_t at = line.find(label);
    if (at == std::string::npos) return {};
    const size_t from = at + label.size();
    return line.substr(from, line.find('.', from) - from);
}

TEST_F(EraseRun, EveryCheckedItemReportsItsStartThenItsEndOnce) {
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
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.front(), "Please waiting,Begin Erasing");
    EXPECT_EQ(lines.back(), "Task complete Successfully!");
    // Between those, each item's start line is followed at once by its own end line (Opera's
    // says instead that its folder is missing), and no item runs twice.
    std::vector<std::string> names;
    for (size_t i = 1; i + 1 < lines.size(); i += 2) {
        const std::string name = ItemName(lines[i]);
        ASSERT_EQ(lines[i].rfind("Please Waiting ,Erasing ", 0), 0u) << lines[i];
        if (lines[i + 1] != "Can't found Opera Directory!" || name != "Opera") {
            EXPECT_EQ(ItemName(lines[i + 1]), name) << lines[i + 1];
        }
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << name;
        names.push_back(name);
    }
    EXPECT_EQ(lines.size() % 2, 0u);
    EXPECT_GT(names.size(), 20u);  // the boxes checked above open most of the items
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

}  // namespace
