// Skins: the frame laid out for the window's size, pictures from the selected skin folder, a
// missing picture, and controls that are not images.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/AppSettings.h"
#include "shell/SkinModule.h"
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
    EXPECT_EQ(form.imgWindowLeft.Picture(), nullptr) << "no file, no picture";
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

}  // namespace
