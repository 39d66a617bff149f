// The erase run: progress lines in table order, statistics, the summary box, the settings it
// writes, and the exit-after-erasing path. Item actions are exercised by their own tests.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "ui/Forms.h"
#include "engine/EraseRun.h"
#include "engine/frmcleannow.h"
#include "settings/Inifun.h"
#include "app/frmMainCode.h"
#include "tests/support/Overrides.h"
#include "tests/support/ProgramFolder.h"
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

TEST_F(EraseRun, OfficeTracksCountsSixEvenWithNoOfficeKeyEnabled) {
    main_->Check23.SetValue(1);
    auto boxes = EraseNow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 6 Released HD Space:.MB");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "regnum"), "6");
}

TEST_F(EraseRun, HistoryItemSetsItsFixedStatistics) {
    main_->Check2.SetValue(1);
    auto boxes = EraseNow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 15 Released HD Space:.48MB");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "filesize"), ".48");
    EXPECT_EQ(ReadIni(folder_.settings(), "WINDOWS", "regnum"), "15");
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
