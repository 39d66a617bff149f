// Laying out and loading the skin of a window.
#include "shell/SkinModule.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "platform/AppSettings.h"
#include "platform/ProgramDir.h"
#include "platform/WindowShape.h"
#include "ui/Form.h"

namespace bw {

namespace {

// Sizes of the frame pieces while they have no picture yet.
constexpr int kBorder = 19, kTitleHeight = 30, kButton = 16;

struct Size {
    int width, height;
};

Size DesignSize(const std::string& name) {
    if (name.rfind("imgTitle", 0) == 0 && name != "imgTitleLeft" && name != "imgTitleMain" &&
        name != "imgTitleRight")
        return {kButton, kButton - 2};
    if (name.rfind("imgTitle", 0) == 0) return {kBorder, kTitleHeight};
    return {kBorder, kTitleHeight};
}

Size PictureSize(ui::Image& image, const std::string& name) {
    SIZE own = image.PictureSize();
    if (own.cx > 0 && own.cy > 0) return {own.cx, own.cy};
    return DesignSize(name);
}

std::map<std::string, ui::Image*> FrameImages(SkinFrame& frame) {
    std::map<std::string, ui::Image*> images;
    for (const NamedControl& c : frame.SkinFrame::NamedControls())
        if (auto* image = dynamic_cast<ui::Image*>(c.control)) images[c.name] = image;
    return images;
}

Size WindowSize(const ui::Form& form) {
    SIZE outer = form.OuterSize();
    return {outer.cx, outer.cy};
}

void PlaceImages(ui::Form& form, SkinFrame& frame) {
    Size window = WindowSize(form);
    auto images = FrameImages(frame);
    for (const SkinModule::ImagePlace& p : SkinModule::SkinLayout(window.width, window.height)) {
        auto found = images.find(p.name);
        if (found == images.end()) continue;
        Size own = PictureSize(*found->second, p.name);
        found->second->Move(p.left, p.top, p.width >= 0 ? p.width : own.width,
                            p.height >= 0 ? p.height : own.height);
    }
}

// The picture a frame piece shows when its skin has no file for it (a missing or unreadable
// Skinz folder): the system's own caption buttons, and bars in the active caption's colour.
HBITMAP BuiltInPicture(const std::string& name) {
    const Size size = DesignSize(name);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.width, size.height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT rc{0, 0, size.width, size.height};
    const std::pair<const char*, UINT> buttons[] = {
        {"imgTitleClose", DFCS_CAPTIONCLOSE},
        {"imgTitleMinimize", DFCS_CAPTIONMIN},
        {"imgTitleHelp", DFCS_CAPTIONHELP},
        {"imgTitleMaxRestore", DFCS_CAPTIONMAX | DFCS_INACTIVE},
        {"imgTitleMaximize", DFCS_CAPTIONMAX | DFCS_INACTIVE},
    };
    bool drawn = false;
    for (const auto& [button, state] : buttons)
        if (name == button) drawn = DrawFrameControl(dc, &rc, DFC_CAPTION, state) != FALSE;
    if (!drawn) FillRect(dc, &rc, GetSysColorBrush(COLOR_ACTIVECAPTION));
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

}  // namespace

std::vector<NamedControl> SkinFrame::NamedControls() {
    return {
        {"lblTitle", &lblTitle},
        {"imgTitleLeft", &imgTitleLeft},
        {"imgTitleMain", &imgTitleMain},
        {"imgTitleRight", &imgTitleRight},
        {"imgWindowLeft", &imgWindowLeft},
        {"imgWindowRight", &imgWindowRight},
        {"imgWindowBottomLeft", &imgWindowBottomLeft},
        {"imgWindowBottom", &imgWindowBottom},
        {"imgWindowBottomRight", &imgWindowBottomRight},
        {"imgTitleClose", &imgTitleClose},
        {"imgTitleMaxRestore", &imgTitleMaxRestore},
        {"imgTitleMinimize", &imgTitleMinimize},
        {"imgTitleHelp", &imgTitleHelp},
        {"imgTitleMaximize", &imgTitleMaximize},
    };
}

std::vector<ui::Place> SkinFrame::FramePlaces(int width, int height) {
    std::map<std::string, SkinModule::ImagePlace> at;
    for (const SkinModule::ImagePlace& p : SkinModule::SkinLayout(width, height)) at[p.name] = p;
    auto row = [&](ui::Image& image, const char* name, const char* caption) {
        const SkinModule::ImagePlace& p = at[name];
        Size own = DesignSize(name);
        // The bars never paint over the caption buttons and title that lie on them.
        return ui::Place{&image, nullptr, caption, p.left, p.top, p.width >= 0 ? p.width : own.width,
                         p.height >= 0 ? p.height : own.height, WS_CLIPSIBLINGS};
    };
    std::vector<ui::Place> places = {
        row(imgTitleClose, "imgTitleClose", "Close"),
        row(imgTitleMaxRestore, "imgTitleMaxRestore", "Maximize (Disabled)"),
        row(imgTitleMinimize, "imgTitleMinimize", "Minimize"),
        row(imgTitleHelp, "imgTitleHelp", "Help"),
        {&lblTitle, nullptr, "", 16, 7, width - 100 > 0 ? width - 100 : 0, 16, SS_NOPREFIX},
        row(imgTitleLeft, "imgTitleLeft", ""),
        row(imgTitleRight, "imgTitleRight", ""),
        row(imgTitleMain, "imgTitleMain", ""),
        row(imgWindowLeft, "imgWindowLeft", ""),
        row(imgWindowBottomLeft, "imgWindowBottomLeft", ""),
        row(imgWindowBottom, "imgWindowBottom", ""),
        row(imgWindowBottomRight, "imgWindowBottomRight", ""),
        row(imgWindowRight, "imgWindowRight", ""),
        {&imgTitleMaximize, nullptr, "", 0, 0, kButton, kButton - 2},
    };
    return places;
}

namespace SkinModule {

std::vector<ImagePlace> SkinLayout(int w, int h) {
    return {
        {"imgTitleLeft", 0, 0, -1, -1},
        {"imgTitleRight", w - 19, 0, -1, -1},
        {"imgTitleMain", 19, 0, w - 19, -1},
        {"imgWindowLeft", 0, 30, -1, h - 60},
        {"imgWindowBottomLeft", 0, h - 30, -1, -1},
        {"imgWindowBottom", 19, h - 30, w - 38, -1},
        {"imgWindowBottomRight", w - 19, h - 30, -1, -1},
        {"imgWindowRight", w - 19, 30, -1, h - 38},
        {"imgTitleClose", w - 22, 8, -1, -1},
        {"imgTitleMaxRestore", w - 39, 8, -1, -1},
        {"imgTitleMinimize", w - 56, 8, -1, -1},
        {"imgTitleHelp", w - 73, 8, -1, -1},
    };
}

std::string CurrentSkin() { return platform::GetSetting("Brightwipe", "Options", "Current Skin", "Blue"); }

std::string SkinFolder(const std::string& skin) { return platform::ProgramDir() + "\\Skinz\\" + skin; }

void ApplySkinLayout(ui::Form& form, SkinFrame& frame) {
    if (!form.hwnd()) return;
    form.SetBackColor(kBackColor);
    form.SetCaption(frame.lblTitle.Caption());
    // As tall as the caption's font needs at this DPI, within the title bar's picture.
    frame.lblTitle.Move(16, 7, WindowSize(form).width - 100, std::min(ui::Scaled(16), kTitleHeight - 7));
    frame.lblTitle.onMouseDown = [&form] { DragWindow(form); };
    RoundWindowCorners(form);
    PlaceImages(form, frame);
    frame.imgTitleMaximize.SetVisible(false);
    for (ui::Control* top : {static_cast<ui::Control*>(&frame.lblTitle), static_cast<ui::Control*>(&frame.imgTitleHelp),
                             static_cast<ui::Control*>(&frame.imgTitleMinimize),
                             static_cast<ui::Control*>(&frame.imgTitleMaxRestore),
                             static_cast<ui::Control*>(&frame.imgTitleClose)})
        top->BringToTop();
}

void ApplySkinImages(ui::Form& form, SkinFrame& frame) {
    const std::string folder = SkinFolder(CurrentSkin());
    for (const NamedControl& c : frame.NamedControls()) {
        auto* image = dynamic_cast<ui::Image*>(c.control);
        if (!image || std::string(c.name).find("img") == std::string::npos) continue;
        image->LoadPicture(folder + "\\" + c.name + ".gif");  // a missing file keeps the old one
        if (!image->Picture()) {
            HBITMAP builtIn = BuiltInPicture(c.name);
            image->SetPicture(builtIn);  // takes a copy
            DeleteObject(builtIn);
        }
    }
    if (frame.imgTitleMaximize.Picture()) frame.imgTitleMaxRestore.SetPicture(frame.imgTitleMaximize.Picture());
    // The caption is written straight on the title bar's picture.
    if (frame.imgTitleMain.Picture()) frame.lblTitle.SetBackdrop(RGB(255, 255, 255), frame.imgTitleMain.Picture(), 7);
    PlaceImages(form, frame);
}

void RoundWindowCorners(ui::Form& form) {
    Size window = WindowSize(form);
    platform::SetRoundedOutline(form.hwnd(), window.width, window.height, 24, 24);
}

void DragWindow(ui::Form& form) {
    if (!form.hwnd() || form.IsMaximized()) return;
    platform::BeginCaptionDrag(form.hwnd());
}

}  // namespace SkinModule
}  // namespace bw
