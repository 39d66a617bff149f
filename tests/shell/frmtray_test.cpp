// The tray window: its icon (each window removes only its own), the icon's mouse codes, and
// the exit sequence from the tray menu.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/frmMainCode.h"
#include "engine/frmcleannow.h"
#include "settings/Inifun.h"
#include "shell/IEWindows.h"
#include "shell/MainWindow.h"
#include "shell/frmabout.h"
#include "shell/frmtray.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

namespace {

bool menuShown = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND menu = FindWindowA("#32768", nullptr);
    menuShown = menu && IsWindowVisible(menu);
    EndMenu();
}

class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        bw::shell::MainWindowAccessor() = []() -> bw::ui::Form& { return bw::ui::Get<bw::frmMainCode>(); };
    }
    void TearDown() override {
        bw::ui::Release<bw::frmtray>();
        bw::ui::Release<bw::frmMainCode>();
        bw::shell::MainWindowAccessor() = nullptr;
    }
    bw::test::ProgramFolder folder_;
};

TEST_F(Tray, EachTrayWindowAddsAndRemovesOnlyItsOwnIcon) {
    bw::frmtray first, second;
    first.Load();
    second.Load();
    EXPECT_EQ(std::string(first.Icon().record().szTip), "Brightwipe" + std::string(53, ' '));
    EXPECT_TRUE(first.Icon().Present());
    EXPECT_TRUE(second.Icon().Present());
    EXPECT_FALSE(bw::IEWindows::BossKeyOn()) << "no bosskey setting: no hot keys";
    first.Unload();
    EXPECT_FALSE(first.Icon().Present());
    EXPECT_TRUE(second.Icon().Present());
    second.Unload();
    EXPECT_FALSE(second.Icon().Present());
}

TEST_F(Tray, LeftButtonUpShowsTheMainWindowAndOtherCodesDoNothing) {
    bw::frmtray& tray = bw::ui::Get<bw::frmtray>();
    tray.Load();
    bw::frmMainCode& main = bw::ui::Get<bw::frmMainCode>();
    main.Load();
    for (LPARAM code : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                      WM_MBUTTONUP, WM_RBUTTONDBLCLK}) {
        SendMessageA(tray.hwnd(), WM_MOUSEMOVE, 0, code);
        EXPECT_FALSE(main.Visible()) << code;
    }
    main.Show();
    main.Minimize();
    EXPECT_FALSE(main.Visible()) << "minimising hides the main window";
    SendMessageA(tray.hwnd(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);
    EXPECT_TRUE(main.Visible());
    EXPECT_FALSE(IsIconic(main.hwnd()));

    // The right button opens the tray menu (closed again here at once).
    menuShown = false;
    SetTimer(nullptr, 0, 200, CloseMenu);
    SendMessageA(tray.hwnd(), WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    EXPECT_TRUE(menuShown);
}

TEST_F(Tray, ExitUnloadsEveryWindowRemovesTheIconAndSavesTheSelection) {
    bw::Inifun::WriteIni(folder_.settings(), "Additional", "bosskey", "1");
    bw::frmMainCode& main = bw::ui::Get<bw::frmMainCode>();
    main.Load();
    bw::frmtray& tray = bw::ui::Get<bw::frmtray>();
    tray.Load();
    ASSERT_TRUE(bw::IEWindows::BossKeyOn());
    bw::ui::Get<bw::frmcleannow>().Show();
    bw::ui::Get<bw::frmabout>().Load();
    main.Check2.SetValue(0);

    tray.Exit_Click();
    EXPECT_FALSE(tray.IsLoaded());
    EXPECT_FALSE(tray.Icon().Present());
    EXPECT_FALSE(bw::IEWindows::BossKeyOn());
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmcleannow>());
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmabout>());
    EXPECT_FALSE(main.IsLoaded());
    EXPECT_EQ(bw::Inifun::ReadIni(folder_.settings(), "BROWSERS", "history"), "0");
    EXPECT_EQ(bw::Inifun::ReadIni(folder_.settings(), "BROWSERS", "location"), "1");
}

}  // namespace
