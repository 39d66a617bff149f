// The list box of lines with bars (see BarList.h).
#include "ui/BarList.h"

#include <algorithm>
#include <cmath>

#include "ui/Form.h"

namespace bw::ui {

namespace {

// A line's item data says how it is drawn: kPlain, kTotal, or kShared plus its share in
// ten-thousandths. The data rides with the line, so lines added by AddItem are plain.
constexpr LPARAM kPlain = 0;
constexpr LPARAM kShared = 1;
constexpr LPARAM kTotal = kShared + 10001;
constexpr int kShareSteps = 10000;

// `a` mixed with `b`: `percent` of a, the rest b.
COLORREF Mix(COLORREF a, COLORREF b, int percent) {
    auto channel = [&](int shift) {
        const int x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
        return static_cast<COLORREF>((x * percent + y * (100 - percent)) / 100) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

void FillColor(HDC dc, const RECT& rc, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

// A line with a bar is its text, a gap and the bar below it; a plain line is its text alone.
int BarHeight() { return Scaled(3); }
int Pad() { return Scaled(2); }

}  // namespace

void BarList::AfterCreate() {
    // An owner-drawn list takes its line height from the system font before ours is set: the
    // height is measured in the list's own font.
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    textHeight_ = metrics.tmHeight;
    SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, textHeight_ + Pad());
}

bool BarList::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT*) {
    // Emptied (by Clear): back to plain lines.
    if (msg == LB_RESETCONTENT) SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, textHeight_ + Pad());
    return false;
}

void BarList::SetRows(const std::vector<Row>& rows) {
    Clear();
    if (hwnd_) SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, textHeight_ + BarHeight() + 2 * Pad());
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const Row& row : rows) lines.push_back(row.text);
    const size_t added = AddItems(lines);
    for (size_t i = 0; i < added; ++i) {
        LPARAM data = kPlain;
        if (rows[i].total) {
            data = kTotal;
        } else if (rows[i].share >= 0) {
            // A share that rounds to nothing still gets the least of bars: it is not nothing.
            const double share = std::min(rows[i].share, 1.0);
            data = kShared + std::max<LPARAM>(share > 0 ? 1 : 0, std::lround(share * kShareSteps));
        }
        SendMessageA(hwnd_, LB_SETITEMDATA, i, data);
    }
}

double BarList::Share(int index) const {
    if (!hwnd_ || index < 0 || index >= ListCount()) return -1;
    const LPARAM data = SendMessageA(hwnd_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data < kShared || data >= kTotal) return -1;
    return static_cast<double>(data - kShared) / kShareSteps;
}

bool BarList::OnDrawItem(DRAWITEMSTRUCT* dis) {
    HDC dc = dis->hDC;
    const RECT rc = dis->rcItem;
    if (dis->itemID == static_cast<UINT>(-1)) {  // an empty list with the focus
        if (dis->itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
        return true;
    }
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    FillColor(dc, rc, back);
    const int pad = Pad();
    const LPARAM data = static_cast<LPARAM>(dis->itemData);
    const bool shared = data >= kShared && data < kTotal;
    if (data > kShared && data < kTotal) {
        // Below the text, a faint track the width of the line, and over it the line's share in
        // the selection's colour; a share too small to see still shows. A share of nothing has
        // neither, so the eye goes to the lines that count.
        RECT track{rc.left + pad, rc.bottom - pad - BarHeight(), rc.right - pad, rc.bottom - pad};
        FillColor(dc, track, Mix(fore, back, 15));
        RECT bar = track;
        const long room = track.right - track.left;
        bar.right = track.left + std::max<long>(pad, room * (data - kShared) / kShareSteps);
        FillColor(dc, bar, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_HIGHLIGHT));
    } else if (data == kTotal) {
        RECT rule{rc.left + pad, rc.top, rc.right - pad, rc.top + 1};
        FillColor(dc, rule, GetSysColor(COLOR_GRAYTEXT));
    }
    const std::string text = List(static_cast<int>(dis->itemID));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (dis->itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : fore);
    // Text on the line's top when a bar may share it, in the middle otherwise.
    RECT textRect{rc.left + 2 * pad, rc.top + pad / 2, rc.right - pad, rc.top + pad / 2 + textHeight_};
    if (!shared) textRect = RECT{rc.left + 2 * pad, rc.top, rc.right - pad, rc.bottom};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    if (dis->itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
    return true;
}

}  // namespace bw::ui
