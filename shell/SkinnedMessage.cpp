// The skinned message box.
#include "shell/SkinnedMessage.h"

#include <algorithm>

#include "platform/MessageBox.h"
#include "platform/Pictures.h"

namespace bw {

namespace {
constexpr int kWidth = 320, kHeight = 150;
constexpr int kMessageLeft = 72, kMessageTop = 42;
constexpr int kMinWidth = 240;
}  // namespace

int SkinnedMessageIcon(long style) {
    switch (style) {
    case 16: return 32513;
    case 64: return 32516;
    default: return 32515;
    }
}

frmMessage::frmMessage() : ui::Form("Brightwipe", kWidth, kHeight) {}

void frmMessage::Build() {
    std::vector<ui::Place> places = FramePlaces(kWidth, kHeight);
    places.push_back({&lblMessage, nullptr, "", kMessageLeft, kMessageTop, 200, 16, SS_NOPREFIX});
    places.push_back({&cmdOK, nullptr, "OK", 120, 90, 80, 23});
    Layout(places);
    cmdOK.onClick = [this] { Unload(); };
    SetDefaultButton(&cmdOK);
    SetCancelButton(&cmdOK);
    imgTitleClose.onClick = [this] { Unload(); };
    onPaint = [this](HDC dc) { platform::DrawStandardIcon(dc, 24, 40, icon); };
    for (ui::Image* bar : {&imgTitleLeft, &imgTitleMain, &imgTitleRight})
        bar->onMouseDown = [this] { SkinModule::DragWindow(*this); };
}

void frmMessage::Prepare(const std::string& message, const std::string& title) {
    lblMessage.SetCaption(message);
    lblTitle.SetCaption(title);
    SIZE text = lblMessage.TextSize(420);
    lblMessage.Move(kMessageLeft, kMessageTop, text.cx, text.cy);
    SIZE ok = cmdOK.Size();
    int okWidth = ok.cx, okHeight = ok.cy;
    // The message's right end plus room for the right border, and never narrower than the
    // caption buttons need.
    int width = std::max(kMessageLeft + static_cast<int>(text.cx) + 19 + 12, kMinWidth);
    int height = std::max(kMessageTop + static_cast<int>(text.cy), 40 + 32) + okHeight + 40;
    int okTop = kMessageTop + static_cast<int>(text.cy) + okHeight;
    if (okTop + okHeight > height - 8) okTop = height - 8 - okHeight;
    cmdOK.Move((width - okWidth) / 2, okTop - okHeight / 2, okWidth, okHeight);
    Resize(width, height);
    SkinModule::ApplySkinLayout(*this, *this);
    SkinModule::ApplySkinImages(*this, *this);
    Center();
}

void ShowSkinnedMessage(const std::string& message, long style, const std::string& title) {
    frmMessage box;
    box.icon = SkinnedMessageIcon(style);
    box.Load();
    if (!box.hwnd()) {
        platform::MsgBox(nullptr, message, title.empty() ? "Brightwipe" : title, MB_OK);
        return;
    }
    box.Prepare(message, title.empty() ? "Brightwipe" : title);
    box.ShowModal();
    box.Unload();
}

}  // namespace bw
