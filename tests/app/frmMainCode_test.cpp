// The main window: loading and saving the selection, the enabling rule, group boxes, pages and
// the status area, driven through its real controls.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui/Forms.h"
#include "settings/Inifun.h"
#include "app/frmMainCode.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

using bw::frmMainCode;
using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

namespace {


struct Row {
    bw::ui::CheckBox frmMainCode::*box;
    const char* section;
    const char* key;
};

const Row kRows[] = {
    {&frmMainCode::Check1, "BROWSERS", "location"},   {&frmMainCode::Check2, "BROWSERS", "history"},
    {&frmMainCode::Check3, "BROWSERS", "cache"},      {&frmMainCode::Check4, "BROWSERS", "cookies"},
    {&frmMainCode::Check5, "BROWSERS", "favorites"},  {&frmMainCode::Check6, "BROWSERS", "autocomplete"},
    {&frmMainCode::Check7, "BROWSERS", "downloaded"}, {&frmMainCode::Check8, "BROWSERS", "netscape"},
    {&frmMainCode::Check24, "BROWSERS", "opera"},     {&frmMainCode::Check27, "BROWSERS", "msn"},
    {&frmMainCode::Check25, "BROWSERS", "google"},    {&frmMainCode::Check10, "WINDOWS", "recent"},
    {&frmMainCode::Check11, "WINDOWS", "run"},        {&frmMainCode::Check12, "WINDOWS", "search"},
    {&frmMainCode::Check13, "WINDOWS", "temp"},       {&frmMainCode::Check14, "WINDOWS", "recycle"},
    {&frmMainCode::Check15, "WINDOWS", "open"},       {&frmMainCode::Check16, "WINDOWS", "scandisk"},
    {&frmMainCode::Check17, "WINDOWS", "passwords"},  {&frmMainCode::Check26, "WINDOWS", "clip"},
    {&frmMainCode::Check28, "WINDOWS", "wordpad"},    {&frmMainCode::Check29, "WINDOWS", "paint"},
    {&frmMainCode::Check19, "APPLICATIONS", "winzip"}, {&frmMainCode::Check20, "APPLICATIONS", "media"},
    {&frmMainCode::Check21, "APPLICATIONS", "realplayer"},
    {&frmMainCode::Check22, "APPLICATIONS", "realone"}, {&frmMainCode::Check23, "APPLICATIONS", "office"},
};

class MainWindow : public ::testing::Test {
protected:
    void TearDown() override { bw::ui::Release<frmMainCode>(); }

    frmMainCode& Load() {
        frmMainCode& form = bw::ui::Get<frmMainCode>();
        form.Load();
        return form;
    }

    void WriteAll(const char* value) {
        for (const Row& row : kRows) WriteIni(folder_.settings(), row.section, row.key, value);
    }

    // Clicks a control the way a user (or a screen reader) would.
    static void Click(HWND hwnd) { SendMessageA(hwnd, BM_CLICK, 0, 0); }
    static bool Checked(HWND hwnd) { return SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    bw::test::ProgramFolder folder_;
};

// Everything but the user's own Favorites, which a first "Erase Now" would delete.
TEST_F(MainWindow, FirstStartWithoutSettingsChecksEverythingButFavorites) {
    frmMainCode& form = Load();
    for (const Row& row : kRows) {
        const int expected = std::string(row.key) == "favorites" ? 0 : 1;
        EXPECT_EQ((form.*row.box).Value(), expected) << row.key;
        EXPECT_EQ(Checked((form.*row.box).hwnd()), expected == 1) << row.key;
    }
    for (auto* button : {&form.Command1, &form.Command2, &form.Command3, &form.Command6, &form.Command7,
                         &form.Command8})
        EXPECT_TRUE(IsWindowEnabled(button->hwnd()));
    EXPECT_EQ(form.Label12.Caption(), "");
    EXPECT_EQ(form.Label14.Caption(), "Cleaned Registry Keys:  Released HD Space:MB");
    EXPECT_EQ(form.Check9.Value(), 0);
    EXPECT_EQ(form.Check18.Value(), 0);
    EXPECT_TRUE(form.Frame2.Visible());
    EXPECT_FALSE(form.Frame7.Visible());
    EXPECT_FALSE(bw::test::PathExists(folder_.settings())) << "opening must not write settings";
}

TEST_F(MainWindow, AllOffAndZeroStatisticsClearEverything) {
    WriteAll("0");
    WriteIni(folder_.settings(), "WINDOWS", "regnum", "0");
    WriteIni(folder_.settings(), "WINDOWS", "filesize", "0");
    WriteIni(folder_.settings(), "WINDOWS", "lastclean", "0");
    frmMainCode& form = Load();
    for (const Row& row : kRows) EXPECT_EQ((form.*row.box).Value(), 0) << row.key;
    for (auto* button : {&form.Command1, &form.Command2, &form.Command3, &form.Command6, &form.Command7,
                         &form.Command8})
        EXPECT_FALSE(IsWindowEnabled(button->hwnd()));
    EXPECT_EQ(form.Label14.Caption(), "");
    EXPECT_EQ(form.Label12.Caption(), "");
}

TEST_F(MainWindow, ValuesAreReadByNumber) {
    WriteAll("0");
    WriteIni(folder_.settings(), "BROWSERS", "location", "1.0");
    WriteIni(folder_.settings(), "BROWSERS", "history", "01");
    WriteIni(folder_.settings(), "BROWSERS", "cache", "2");
    WriteIni(folder_.settings(), "BROWSERS", "cookies", "yes");  // not a number: checked
    frmMainCode& form = Load();
    EXPECT_EQ(form.Check1.Value(), 1);
    EXPECT_EQ(form.Check2.Value(), 1);
    EXPECT_EQ(form.Check3.Value(), 0);
    EXPECT_EQ(form.Check4.Value(), 1);
    EXPECT_EQ(form.Check5.Value(), 0);
}

TEST_F(MainWindow, StatusAreaShowsLastErase) {
    WriteIni(folder_.settings(), "WINDOWS", "lastclean", "12/7/2026 8:45:12 AM");
    WriteIni(folder_.settings(), "WINDOWS", "regnum", "47");
    WriteIni(folder_.settings(), "WINDOWS", "filesize", ".");
    frmMainCode& form = Load();
    EXPECT_EQ(form.Label12.Caption(), "12/7/2026 8:45:12 AM");
    EXPECT_EQ(form.Label14.Caption(), "Cleaned Registry Keys: 47 Released HD Space:.MB");
}

TEST_F(MainWindow, GroupBoxesSetTheirElevenItemsAndButtonsFollow) {
    WriteAll("0");
    frmMainCode& form = Load();
    form.Command6.SetEnabled(true);  // untouched by the Browsers group box
    Click(form.Check9.hwnd());
    EXPECT_EQ(form.Check9.Value(), 1);
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ((form.*kRows[i].box).Value(), 1) << kRows[i].key;
    for (size_t i = 11; i < 27; ++i) EXPECT_EQ((form.*kRows[i].box).Value(), 0) << kRows[i].key;
    for (auto* button : {&form.Command7, &form.Command8, &form.Command3, &form.Command1, &form.Command2})
        EXPECT_TRUE(IsWindowEnabled(button->hwnd()));

    Click(form.Check1.hwnd());  // clearing one item leaves the group box alone
    EXPECT_EQ(form.Check1.Value(), 0);
    EXPECT_EQ(form.Check9.Value(), 1);
    EXPECT_FALSE(IsWindowEnabled(form.Command7.hwnd()));

    Click(form.Check9.hwnd());
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ((form.*kRows[i].box).Value(), 0) << kRows[i].key;
    for (auto* button : {&form.Command7, &form.Command8, &form.Command3, &form.Command1, &form.Command2})
        EXPECT_FALSE(IsWindowEnabled(button->hwnd()));

    Click(form.Check18.hwnd());
    for (size_t i = 11; i < 22; ++i) EXPECT_EQ((form.*kRows[i].box).Value(), 1) << kRows[i].key;
    for (size_t i = 22; i < 27; ++i) EXPECT_EQ((form.*kRows[i].box).Value(), 0) << kRows[i].key;
}

TEST_F(MainWindow, OfficeOptionsFollowTheirItem) {
    frmMainCode& form = Load();
    Click(form.Check23.hwnd());
    EXPECT_FALSE(IsWindowEnabled(form.Command6.hwnd()));
    Click(form.Check23.hwnd());
    EXPECT_TRUE(IsWindowEnabled(form.Command6.hwnd()));
}

TEST_F(MainWindow, ClosingSavesAllTwentyNineKeys) {
    WriteAll("1");
    frmMainCode& form = Load();
    Click(form.Check2.hwnd());
    Click(form.Check14.hwnd());
    Click(form.Check23.hwnd());
    SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.IsLoaded());
    for (const Row& row : kRows) {
        bool cleared = row.box == &frmMainCode::Check2 || row.box == &frmMainCode::Check14 ||
                       row.box == &frmMainCode::Check23;
        EXPECT_EQ(ReadIni(folder_.settings(), row.section, row.key), cleared ? "0" : "1") << row.key;
    }
}

TEST_F(MainWindow, FirstCloseCreatesTheSettingsFile) {
    frmMainCode& form = Load();
    form.Image9_Click();  // "EXIT"
    EXPECT_FALSE(form.IsLoaded());
    for (const Row& row : kRows)
        EXPECT_EQ(ReadIni(folder_.settings(), row.section, row.key), std::string(row.key) == "favorites" ? "0" : "1")
            << row.key;
}

TEST_F(MainWindow, PagesSwitchTitles) {
    frmMainCode& form = Load();
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(form.Label2.hwnd()), STN_CLICKED),
                 reinterpret_cast<LPARAM>(form.Label2.hwnd()));
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_TRUE(form.Frame7.Visible());
    EXPECT_EQ(form.Label9.Caption(), "Custom Erase items");
    EXPECT_EQ(form.Label8.Caption(), "Custom File and Folder Item Editor.");
    form.Image1_Click();
    EXPECT_TRUE(form.Frame2.Visible());
    EXPECT_FALSE(form.Frame7.Visible());
    EXPECT_EQ(form.Label9.Caption(), "Standard Items");
    EXPECT_EQ(form.Label8.Caption(), frmMainCode::kStandardSubtitle);
}

TEST_F(MainWindow, HoverBordersOneNavigationImage) {
    frmMainCode& form = Load();
    SendMessageA(form.Image3.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(form.Image3.Border());
    EXPECT_FALSE(form.Image1.Border());
    SendMessageA(form.Image5.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(form.Image3.Border());
    EXPECT_TRUE(form.Image5.Border());
    SendMessageA(form.Picture1.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_FALSE(form.Image5.Border());
}

TEST_F(MainWindow, EveryItemIsAStandardCheckBoxWithItsCaption) {
    frmMainCode& form = Load();
    char cls[32];
    GetClassNameA(form.Check14.hwnd(), cls, sizeof cls);
    EXPECT_STREQ(cls, "Button");
    EXPECT_EQ(form.Check14.Caption(), "Recycle Bin\r");
    EXPECT_EQ(form.Check28.Caption(), "Woadpad Recent Files");
    EXPECT_EQ(form.Label4.Caption(), "Search and  Erase");
    EXPECT_EQ(form.Image4.Caption(), "Search and  Erase");
    EXPECT_EQ(form.Command4.Caption(), " Export");
}

TEST_F(MainWindow, CustomItemsPageKeepsCusdDatAsBuilt) {
    frmMainCode& form = Load();
    const std::string file = folder_.file("cusd.dat");
    auto items = [&] {
        std::string all;
        for (int i = 0; i < form.List1.ListCount(); ++i) all += form.List1.List(i) + "|";
        return all;
    };
    form.Image2_Click();
    EXPECT_EQ(items(), "");
    {
        bw::test::MessageBoxWatcher watcher;
        Click(form.Command101.hwnd());  // no folder
        ASSERT_EQ(watcher.boxes().size(), 1u);
        EXPECT_EQ(watcher.boxes()[0].text, "Please fill in all data.");
    }
    for (const char* folder : {"C:\\", "C:\\Temp", "C:\\Temp"}) {
        form.Text102.SetText(folder);
        form.Text103.SetText(folder[3] ? "*.log   " : "*.chk");
        Click(form.Command101.hwnd());
    }
    EXPECT_EQ(items(), "C:\\\\*.chk|C:\\Temp\\*.log|C:\\Temp\\*.log|");
    {
        // A folder of Windows, reached however it is written, is refused with the reason.
        bw::test::MessageBoxWatcher watcher;
        form.Text102.SetText("C:\\users\\..\\windows\\.");
        form.Text103.SetText("*.log");
        Click(form.Command101.hwnd());
        ASSERT_EQ(watcher.boxes().size(), 1u);
        EXPECT_NE(watcher.boxes()[0].text.find("belongs to Windows"), std::string::npos);
    }
    EXPECT_EQ(bw::test::ReadTextFile(file), "C:\\\\*.chk\r\nC:\\Temp\\*.log\r\nC:\\Temp\\*.log\r\n");
    Click(form.Command102.hwnd());  // nothing selected
    EXPECT_EQ(bw::test::ReadTextFile(file).size(), 41u);
    for (int i = 0; i < 3; ++i) {
        form.List1.SetListIndex(0);
        Click(form.Command102.hwnd());
    }
    EXPECT_EQ(items() + bw::test::ReadTextFile(file), "");
    EXPECT_TRUE(bw::test::PathExists(file));

    bw::test::WriteTextFile(file, "  D:\\x\\*.bak  \r\n\r\nE:\\y\\*.old");  // edited by hand
    form.Image2_Click();
    EXPECT_EQ(items(), "  D:\\x\\*.bak||E:\\y\\*.old|");
}

TEST_F(MainWindow, OptionsButtonsOpenTheirOwnWindows) {
    frmMainCode& form = Load();
    const std::pair<bw::ui::Control*, const char*> opens[] = {{&form.Command3, "Netscape Navigator"},
        {&form.Command1, "Opera"}, {&form.Command2, "MSN Explorer"}, {&form.Command6, "MS Office"},
        {&form.Label31, "More Applications"}};
    for (const auto& [control, caption] : opens) {
        std::atomic<bool> seen{false};
        std::thread closer([&, title = caption] {  // closes the modal window once it shows
            for (int i = 0; i < 400 && !seen; ++i, Sleep(25))
                if (HWND w = FindWindowA("BrightwipeForm", title); w && IsWindowVisible(w))
                    seen = true, PostMessageA(w, WM_CLOSE, 0, 0);
        });
        control == &form.Label31 ? form.Label31_Click() : Click(control->hwnd());
        closer.join();
        EXPECT_TRUE(seen) << caption;
    }
}

}  // namespace
