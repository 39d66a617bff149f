// Start-up: the splash loads the main window hidden; its timer brings the tray and the main
// window and goes.
#include <gtest/gtest.h>

#include "app/frmMainCode.h"
#include "shell/Frmsplash.h"
#include "shell/MainWindow.h"
#include "shell/frmtray.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

TEST(Frmsplash, TimerShowsTheMainWindowWithTheTrayIconAndUnloadsTheSplash) {
    bw::test::ProgramFolder folder;
    bw::shell::MainWindowAccessor() = []() -> bw::ui::Form& { return bw::ui::Get<bw::frmMainCode>(); };
    bw::Frmsplash& splash = bw::ui::Get<bw::Frmsplash>();
    splash.Show();
    bw::frmMainCode& main = bw::ui::Get<bw::frmMainCode>();
    EXPECT_EQ(splash.Caption(), "Brightwipe");
    EXPECT_TRUE(main.IsLoaded());
    EXPECT_FALSE(main.Visible());
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmtray>());
    EXPECT_TRUE(splash.Timer1.Enabled());
    EXPECT_EQ(splash.Timer1.Interval(), 2000u);

    splash.Timer1_Timer();
    EXPECT_FALSE(splash.IsLoaded());
    EXPECT_FALSE(splash.Timer1.Enabled());
    ASSERT_TRUE(bw::ui::IsLoaded<bw::frmtray>());
    EXPECT_TRUE(bw::ui::Get<bw::frmtray>().Icon().Present());
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.Caption(), "Brightwipe V2.60");

    bw::ui::Release<bw::frmMainCode>();  // its close sequence takes the tray with it
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmtray>());
    bw::ui::Release<bw::Frmsplash>();
    bw::shell::MainWindowAccessor() = nullptr;
}
