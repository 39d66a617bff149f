// Base of every control: creation from a layout row, properties, subclassing and dispatch.
#include "ui/Control.h"

#include <commctrl.h>

#include "ui/WindowProcGuard.h"

namespace bw::ui {

namespace {
int nextId = 1000;
}  // namespace

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

HFONT DefaultFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof ncm;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
            return CreateFontIndirectA(&ncm.lfMessageFont);
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

Control::~Control() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    }
}

// The control object rides in the window's user data, which the standard control classes leave
// to the program: reading it costs no trip to the window server, unlike a window property, and
// the window procedure reads it on every message. Only a window running our subclass procedure
// is taken for a control, since other windows (forms) keep their own objects there.
Control* Control::FromHwnd(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(GuardedWindowProc<SubclassProc>))
        return nullptr;
    return reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void Control::Create(HWND parent, const Place& place) {
    caption_ = place.caption ? place.caption : "";
    enabled_ = true;
    visible_ = true;
    ResetState();
    DWORD style = WS_CHILD | Style() | place.style;
    if (visible_) style |= WS_VISIBLE;
    hwnd_ = CreateWindowExA(ExStyle(), ClassName(), caption_.c_str(), style, place.x, place.y,
                            place.w, place.h, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)), Instance(),
                            nullptr);
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont()), FALSE);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GuardedWindowProc<SubclassProc>)));
    AfterCreate();
}

void Control::Destroy() { hwnd_ = nullptr; }

std::string Control::Caption() const {
    if (!hwnd_) return caption_;
    int len = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(hwnd_, &text[0], len + 1);
    text.resize(static_cast<size_t>(got));
    return text;
}

void Control::SetCaption(const std::string& text) {
    caption_ = text;
    if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

void Control::SetEnabled(bool on) {
    enabled_ = on;
    if (hwnd_) EnableWindow(hwnd_, on);
}

void Control::SetVisible(bool on) {
    visible_ = on;
    if (hwnd_) ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
}

void Control::Move(int x, int y, int w, int h) {
    if (hwnd_) MoveWindow(hwnd_, x, y, w, h, TRUE);
}

SIZE Control::Size() const {
    RECT rc{};
    if (hwnd_) GetWindowRect(hwnd_, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

void Control::Refresh() {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
}

void Control::BringToTop() {
    if (hwnd_) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::SetFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    WNDPROC original = self->original_;
    if (msg == WM_MOUSEMOVE && self->onMouseMove) self->onMouseMove();
    LRESULT result = 0;
    if (self->OnMessage(msg, wp, lp, &result)) return result;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        self->hwnd_ = nullptr;
    }
    return CallWindowProcA(original, hwnd, msg, wp, lp);
}

bool DispatchToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case WM_COMMAND:
        if (Control* c = Control::FromHwnd(reinterpret_cast<HWND>(lp))) {
            c->OnCommand(HIWORD(wp));
            *result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (Control* c = Control::FromHwnd(hdr->hwndFrom)) {
            *result = c->OnNotify(hdr);
            return true;
        }
        return false;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (Control* c = Control::FromHwnd(dis->hwndItem)) {
            *result = c->OnDrawItem(dis) ? TRUE : FALSE;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

}  // namespace bw::ui
