// Labels and images.
#include "ui/Statics.h"

#include <algorithm>
#include <string>

#include "platform/Pictures.h"

namespace bw::ui {

void Label::OnCommand(WORD code) {
    if (code == STN_CLICKED && onClick) onClick();
}

Label::~Label() {
    if (backdrop_) DeleteObject(backdrop_);
}

void Label::SetBackdrop(COLORREF color, HBITMAP backdrop, int top) {
    if (backdrop_) DeleteObject(backdrop_);
    backdrop_ = backdrop ? CreatePatternBrush(backdrop) : nullptr;
    backdropTop_ = top;
    textColor_ = color;
    Refresh();
}

bool Label::PaintWrapped() {
    const LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
    if ((style & SS_TYPEMASK) != SS_LEFT) return false;
    const std::string text = Caption();
    RECT rc;
    GetClientRect(hwnd_, &rc);
    HDC measure = GetDC(hwnd_);
    HGDIOBJ before = SelectObject(measure, DefaultFont());
    const UINT flags = DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    RECT single = rc;
    DrawTextA(measure, text.c_str(), -1, &single, flags | DT_CALCRECT | DT_SINGLELINE);
    SelectObject(measure, before);
    ReleaseDC(hwnd_, measure);
    // A caption on one line is drawn by the control itself.
    if (single.right <= rc.right) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(hwnd_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    if (!IsWindowEnabled(hwnd_)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(dc, DefaultFont());
    // Wine draws text a little wider than it measures it (about a letter in 400 pixels), so
    // lines wrapped at the very edge lose their last letters: wrap a little inside it.
    RECT inside = rc;
    inside.right -= std::max(3L, rc.right / 40);
    DrawTextA(dc, text.c_str(), -1, &inside, flags);
    SelectObject(dc, old);
    EndPaint(hwnd_, &ps);
    return true;
}

bool Label::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_LBUTTONDOWN && onMouseDown) onMouseDown();
    if (msg == WM_PAINT && PaintWrapped()) {
        *result = 0;
        return true;
    }
    if (!(GetWindowLongA(hwnd_, GWL_STYLE) & WS_TABSTOP)) return false;
    switch (msg) {
    case WM_GETDLGCODE:
        *result = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        return true;
    case BM_CLICK:
        if (onClick) onClick();
        *result = 0;
        return true;
    case WM_KEYUP:
        if (wp != VK_SPACE) break;
        if (onClick) onClick();
        *result = 0;
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd_, nullptr, TRUE);
        if (onFocus) onFocus(msg == WM_SETFOCUS);
        break;
    default:
        break;
    }
    return false;
}

SIZE Label::TextSize(int maxWidth) const {
    RECT rc{0, 0, maxWidth, 0};
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, DefaultFont());
    std::string text = Caption();
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return SIZE{rc.right, rc.bottom};
}

SIZE Image::PictureSize() const {
    BITMAP bm{};
    if (!bitmap_ || !GetObject(bitmap_, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

Image::~Image() {
    if (bitmap_) DeleteObject(bitmap_);
}

bool Image::LoadPicture(const std::string& path) {
    HBITMAP loaded = path.empty() ? nullptr : platform::LoadPictureFile(path);
    if (!loaded && !path.empty()) return false;
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = loaded;
    Refresh();
    return true;
}

void Image::SetPicture(HBITMAP bitmap) {
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = bitmap ? static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    Refresh();
}

void Image::SetBorder(bool on) {
    if (on == border_) return;
    border_ = on;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Image::OnCommand(WORD code) {
    if (code == STN_CLICKED && onClick) onClick();
}

bool Image::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_LBUTTONDOWN && onMouseDown) onMouseDown();
    return false;
}

bool Image::OnDrawItem(DRAWITEMSTRUCT* dis) {
    HDC dc = dis->hDC;
    RECT rc = dis->rcItem;
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (bitmap_) {
        BITMAP bm;
        GetObject(bitmap_, sizeof bm, &bm);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, bitmap_);
        StretchBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem, 0, 0,
                   bm.bmWidth, bm.bmHeight, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    } else {
        // No picture yet: a plain raised tile keeps the place clickable and visible.
        RECT tile = rc;
        InflateRect(&tile, -4, -4);
        DrawEdge(dc, &tile, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (border_) {
        HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
        FrameRect(dc, &rc, frame);
    }
    return true;
}

}  // namespace bw::ui
