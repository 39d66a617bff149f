// The options window against the settings file and the registry: opening, OK, Cancel, and
// the boss key switched at once.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ProgramDir.h"
#include "platform/regfun.h"
#include "settings/Inifun.h"
#include "shell/IEWindows.h"
#include "shell/frmoptions.h"
#include "shell/frmtray.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

namespace {

const char* const kKeys[] = {"bosskey", "startup", "autoclean", "exit", "Custom", "securely"};
const std::string kRun = std::string("HKEY_LOCAL_MACHINE\\") + bw::frmoptions::kRunKey;

class Options : public ::testing::Test {
protected:
    void TearDown() override {
        bw::ui::Release<bw::frmoptions>();
        bw::ui::Release<bw::frmtray>();
    }
    bw::frmoptions& Open() {
        bw::frmoptions& form = bw::ui::Get<bw::frmoptions>();
        form.Load();
        return form;
    }
    std::vector<bw::ui::CheckBox*> Boxes(bw::frmoptions& f) {
        return {&f.Check1, &f.Check2, &f.Check3, &f.Check4, &f.Check5, &f.Check6};
    }
    bw::test::ProgramFolder folder_;
};

TEST_F(Options, OpeningShowsStoredValuesAndOkWritesEveryKeyAndTheRegistry) {
    for (const char* path : bw::frmoptions::kBrowserKeys) bw::regfun::CreateKey(path);
    bw::regfun::SetKeyValue(bw::frmoptions::kBrowserKeys[1], "Start Page", "about:blank");
    HKEY main;
    RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main", &main);
    RegDeleteValueA(main, "Window Title");
    RegCloseKey(main);
    const char* stored[] = {"0", "1", "01", "abc", "1.0", ""};
    for (int i = 0; i < 6; ++i) WriteIni(folder_.settings(), "Additional", kKeys[i], stored[i]);

    bw::frmoptions& form = Open();
    EXPECT_EQ(form.Text1.Text(), "about:blank");
    EXPECT_EQ(form.Text2.Text(), "") << "a missing value shows empty";
    const int shown[] = {0, 1, 1, 0, 1, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Boxes(form)[static_cast<size_t>(i)]->Value(), shown[i]) << kKeys[i];

    for (auto* box : Boxes(form)) box->SetValue(box->Value() ? 0 : 1);  // every box flipped
    form.Command1_Click();
    EXPECT_FALSE(form.IsLoaded());
    const char* written[] = {"1", "0", "0", "1", "0", "1"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(ReadIni(folder_.settings(), "Additional", kKeys[i]), written[i]) << kKeys[i];
    for (HKEY root : {HKEY_USERS, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        std::string sub = root == HKEY_USERS ? ".DEFAULT\\" : "", page, title;
        sub += "Software\\Microsoft\\Internet Explorer\\Main";
        EXPECT_TRUE(bw::test::GetString(root, sub, "Start Page", &page) && page == "about:blank") << sub;
        EXPECT_TRUE(bw::test::GetString(root, sub, "Window Title", &title) && title == " ") << sub;
    }
    EXPECT_EQ(bw::regfun::GetKeyValue(kRun, "Brightwipe"), "Error") << "start-up cleared: no Run value";

    Open().Check2.SetValue(1);
    bw::ui::Get<bw::frmoptions>().Command1_Click();
    EXPECT_EQ(bw::regfun::GetKeyValue(kRun, "Brightwipe"), "\"" + bw::platform::ProgramDir() + "\\Brightwipe.exe\"");
    Open().Check2.SetValue(0);
    bw::ui::Get<bw::frmoptions>().Command1_Click();
    EXPECT_EQ(bw::regfun::GetKeyValue(kRun, "Brightwipe"), "Error");
}

TEST_F(Options, CancelWritesNothing) {
    WriteIni(folder_.settings(), "Additional", "exit", "1");
    std::string before = bw::test::ReadTextFile(folder_.settings());
    bw::frmoptions& form = Open();
    for (auto* box : Boxes(form)) box->SetValue(box->Value() ? 0 : 1);
    form.Text1.SetText("http://example.invalid/");
    form.Command2_Click();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(bw::test::ReadTextFile(folder_.settings()), before);
    EXPECT_FALSE(bw::IEWindows::BossKeyOn());
    EXPECT_NE(bw::regfun::GetKeyValue(bw::frmoptions::kBrowserKeys[1], "Start Page"), "http://example.invalid/");
}

TEST_F(Options, BossKeyFollowsTheBoxAtOnceAndIsNeverRegisteredTwice) {
    bw::frmtray& tray = bw::ui::Get<bw::frmtray>();
    tray.Load();
    ASSERT_FALSE(bw::IEWindows::BossKeyOn());
    for (int i = 0; i < 2; ++i) {  // OK twice with the box checked
        Open().Check1.SetValue(1);
        bw::ui::Get<bw::frmoptions>().Command1_Click();
        EXPECT_TRUE(bw::IEWindows::BossKeyOn());
    }
    // A second registration of the same key by the same window fails: the first still holds it.
    EXPECT_FALSE(RegisterHotKey(tray.hwnd(), bw::IEWindows::BOSS_HIDE_ID, MOD_WIN, 'Z'));
    // The hot-key procedure passes other messages on: the tray icon still answers.
    EXPECT_TRUE(tray.Icon().Present());

    Open().Check1.SetValue(0);
    bw::ui::Get<bw::frmoptions>().Command1_Click();
    EXPECT_FALSE(bw::IEWindows::BossKeyOn());
    EXPECT_EQ(ReadIni(folder_.settings(), "Additional", "bosskey"), "0");
    EXPECT_TRUE(RegisterHotKey(tray.hwnd(), bw::IEWindows::BOSS_HIDE_ID, MOD_WIN, 'Z')) << "the key was freed";
    UnregisterHotKey(tray.hwnd(), bw::IEWindows::BOSS_HIDE_ID);
}

}  // namespace
