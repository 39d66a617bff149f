// Skins: the frame laid out for the window's size, pictures from the selected skin folder, a
// missing picture, and controls that are not images; the skinned message box fitting its text.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/AppSettings.h"
#include <atomic>
#include <thread>

#include "shell/SkinModule.h"
#include "shell/SkinnedMessage.h"
#include "tests/support/Driver.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Form.h"

namespace {

class SkinnedForm : public bw::ui::Form, public bw::SkinFrame {
public:
    SkinnedForm() : bw::ui::Form("test", 400, 300) {}
    bw::ui::Label imgLabel;  // "img" in its name, but no image control
    std::vector<bw::NamedControl> NamedControls() override {
        auto all = SkinFrame::NamedControls();
        all.push_back({"imgLabel", &imgLabel});
        return all;
    }

protected:
    DWORD FormStyle() const override { return WS_POPUP; }
    void Build() override {
        auto places = FramePlaces(400, 300);
        places.push_back({&imgLabel, nullptr, "label", 100, 100, 50, 16});
        Layout(places);
        lblTitle.SetCaption("Skinned");
    }
};

RECT Where(HWND child) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

TEST(SkinModule, FrameFollowsTheWindowSizeAndPicturesComeFromTheSkinFolder) {
    bw::test::ProgramFolder folder;
    bw::platform::OverrideAppSettingsRoot("Software\\BrightwipeTests\\Skin");
    bw::platform::SaveSetting("Brightwipe", "Options", "Current Skin", "Test");
    std::string skin = folder.path() + "\\Skinz\\Test";
    bw::test::MakeDirs(skin);
    for (const char* name : {"imgTitleLeft", "imgTitleMain", "imgTitleClose", "imgWindowBottom"})
        CopyFileA((std::string(BW_DIST_DIR) + "\\Skinz\\Blue\\" + name + ".gif").c_str(),
                  (skin + "\\" + name + ".gif").c_str(), FALSE);
    // No imgTitleHelp.gif here: that image keeps the picture it had.
    SkinnedForm form;
    form.Load();
    HBITMAP own = CreateBitmap(5, 7, 1, 32, nullptr);
    form.imgTitleHelp.SetPicture(own);
    DeleteObject(own);

    bw::SkinModule::ApplySkinLayout(form, form);
    bw::SkinModule::ApplySkinImages(form, form);
    EXPECT_EQ(form.Caption(), "Skinned");
    EXPECT_EQ(form.BackColor(), RGB(192, 192, 192));

    // Figures for a 400 x 300 window; -1: the picture's own size (Blue: bars 30 high, buttons 16 x 14).
    struct Row { bw::ui::Control* c; int left, top, width, height; };
    const Row rows[] = {
        {&form.lblTitle, 16, 7, -1, -1},
        {&form.imgTitleLeft, 0, 0, 19, 30},
        {&form.imgTitleMain, 19, 0, 381, 30},
        {&form.imgTitleClose, 378, 8, 16, 14},
        {&form.imgTitleHelp, 327, 8, 5, 7},
        {&form.imgWindowBottom, 19, 270, 362, 30},
        {&form.imgWindowLeft, 0, 30, -1, 240},
        {&form.imgWindowRight, 381, 30, -1, 262},
        {&form.imgTitleMinimize, 344, 8, -1, -1},
        {&form.imgTitleMaxRestore, 361, 8, -1, -1},
    };
    for (const Row& r : rows) {
        RECT rc = Where(r.c->hwnd());
        EXPECT_EQ(rc.left, r.left) << r.c->Caption();
        EXPECT_EQ(rc.top, r.top) << r.c->Caption();
        if (r.width >= 0) {
            EXPECT_EQ(rc.right - rc.left, r.width) << r.c->Caption();
        }
        if (r.height >= 0) {
            EXPECT_EQ(rc.bottom - rc.top, r.height) << r.c->Caption();
        }
    }
    EXPECT_NE(form.imgTitleClose.Picture(), nullptr);
    EXPECT_NE(form.imgWindowLeft.Picture(), nullptr) << "no file: the built-in bar, never a blank tile";
    EXPECT_EQ(form.imgLabel.Caption(), "label");

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(form.hwnd(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 1, 1)) << "corners are rounded";
    EXPECT_TRUE(PtInRegion(region, 200, 150));
    DeleteObject(region);

    bw::platform::DeleteSetting("Brightwipe", "Options", "");
    bw::platform::OverrideAppSettingsRoot("");
}

TEST(SkinModule, WithoutASettingTheSkinIsBlue) {
    bw::platform::OverrideAppSettingsRoot("Software\\BrightwipeTests\\NoSkin");
    EXPECT_EQ(bw::SkinModule::CurrentSkin(), "Blue");
    bw::platform::OverrideAppSettingsRoot("");
}

// The message box as the user meets it: modal, under the given title (the program's name when
// none), big enough for the whole message with OK centred below it, and gone after OK.
TEST(SkinnedMessage, FitsItsMessageUnderItsTitleAndClosesWithOK) {
    bw::test::ProgramFolder folder;
    ASSERT_TRUE(bw::test::InstallProgram(folder.path())) << "the Blue skin beside the program";
    struct Row { const char* message; long style; const char* title; const char* caption; };
    const Row rows[] = {
        {"Short.", 0, "", "Brightwipe"},
        {"Cannot find the skin picture C:\\Program Files\\Brightwipe\\Skinz\\Blue\\imgTitleMain.gif "
         "because the folder has gone.\r\nThe window keeps its own pictures.",
         16, "Skin", "Skin"},
    };
    LONG widths[2] = {};
    for (size_t i = 0; i < 2; ++i) {
        const Row& row = rows[i];
        RECT window{}, message{}, ok{};
        std::atomic<bool> seen{false};
        std::thread user([&] {
            HWND box = nullptr;
            bw::test::WaitFor([&] { return (box = FindWindowA("BrightwipeForm", row.caption)) && IsWindowVisible(box); },
                              10000);
            if (!box) return;
            HWND label = bw::test::FindChild(box, "Static", row.message);
            HWND button = bw::test::FindChild(box, "Button", "OK");
            seen = label && button;
            GetWindowRect(box, &window);
            GetWindowRect(label, &message);
            GetWindowRect(button, &ok);
            if (i == 1) bw::test::SaveScreenshot(bw::test::ArtifactsDir() + "\\shell-message.bmp", box);
            PostMessageA(button ? button : box, button ? BM_CLICK : WM_CLOSE, 0, 0);
        });
        bw::ShowSkinnedMessage(row.message, row.style, row.title);
        user.join();
        ASSERT_TRUE(seen) << row.caption;
        EXPECT_FALSE(IsWindow(FindWindowA("BrightwipeForm", row.caption))) << "OK closes it";
        EXPECT_GE(message.left - window.left, 19) << "clear of the left border";
        EXPECT_LE(message.right, window.right - 19) << "clear of the right border";
        EXPECT_LT(message.bottom, ok.top) << "OK sits below the whole message";
        EXPECT_LE(ok.bottom, window.bottom - 6) << "and above the bottom border";
        EXPECT_LE(std::abs((ok.left + ok.right) - (window.left + window.right)), 1) << "OK is centred";
        widths[i] = window.right - window.left;
    }
    EXPECT_GT(widths[1], widths[0]) << "a longer message makes a wider box";
}

}  // namespace
