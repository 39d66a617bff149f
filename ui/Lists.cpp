// List boxes and combo boxes.
#include "ui/Lists.h"

#include <algorithm>
#include <vector>

namespace bw::ui {

DWORD ListBox::Style() const {
    DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (select_ == Select::Extended) style |= LBS_EXTENDEDSEL;
    if (select_ == Select::Multi) style |= LBS_MULTIPLESEL;
    return style;
}

void ListBox::AddItem(const std::string& text) {
    if (hwnd_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

size_t ListBox::AddItems(const std::vector<std::string>& lines) {
    if (!hwnd_ || lines.empty()) return 0;
    size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 1;
    // WM_SETREDRAW FALSE clears WS_VISIBLE and TRUE sets it, so a list without the style is
    // either hidden or already held by the caller: either way it is left alone.
    const bool shown = (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    bytes = std::min<size_t>(bytes, 0x7FFFFFFF);
    SendMessageA(hwnd_, LB_INITSTORAGE, static_cast<WPARAM>(lines.size()), static_cast<LPARAM>(bytes));
    size_t added = 0;
    for (const std::string& line : lines) {
        LRESULT at = SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        if (at == LB_ERR || at == LB_ERRSPACE) break;
        ++added;
    }
    if (shown) {
        SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    return added;
}

void ListBox::RemoveItem(int index) {
    if (hwnd_) SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::Clear() {
    if (hwnd_) SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
}

int ListBox::ListCount() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)) : 0;
}

std::string ListBox::List(int index) const {
    if (!hwnd_ || index < 0 || index >= ListCount()) return {};
    LRESULT len = SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == LB_ERR) return {};
    std::vector<char> buf(static_cast<size_t>(len) + 1);
    SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
    return std::string(buf.data());
}

bool ListBox::Selected(int index) const {
    if (!hwnd_) return false;
    if (select_ == Select::Single) return ListIndex() == index && index >= 0;
    return SendMessageA(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void ListBox::SetSelected(int index, bool on) {
    if (!hwnd_) return;
    if (select_ == Select::Single)
        SendMessageA(hwnd_, LB_SETCURSEL, on ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
    else
        SendMessageA(hwnd_, LB_SETSEL, on ? TRUE : FALSE, static_cast<LPARAM>(index));
}

int ListBox::ListIndex() const {
    if (!hwnd_) return -1;
    LRESULT i = (select_ == Select::Single) ? SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)
                                            : SendMessageA(hwnd_, LB_GETCARETINDEX, 0, 0);
    return i == LB_ERR ? -1 : static_cast<int>(i);
}

void ListBox::SetListIndex(int index, bool notify) {
    if (!hwnd_) return;
    if (select_ == Select::Single) {
        SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else {
        SendMessageA(hwnd_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        SendMessageA(hwnd_, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
    }
    if (notify && onClick) onClick();
}

int ListBox::TopIndex() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETTOPINDEX, 0, 0)) : 0;
}

void ListBox::SelectAll(bool on) {
    if (hwnd_ && select_ != Select::Single)
        SendMessageA(hwnd_, LB_SETSEL, on ? TRUE : FALSE, static_cast<LPARAM>(-1));
}

std::vector<int> ListBox::SelectedIndexes() const {
    std::vector<int> indexes;
    if (!hwnd_) return indexes;
    if (select_ == Select::Single) {
        if (ListIndex() >= 0) indexes.push_back(ListIndex());
        return indexes;
    }
    LRESULT count = SendMessageA(hwnd_, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return indexes;
    indexes.resize(static_cast<size_t>(count));
    LRESULT got = SendMessageA(hwnd_, LB_GETSELITEMS, static_cast<WPARAM>(count),
                               reinterpret_cast<LPARAM>(indexes.data()));
    indexes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

void ListBox::SetHorizontalExtent(int pixels) {
    if (hwnd_) SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels), 0);
}

int ListBox::HorizontalExtent() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETHORIZONTALEXTENT, 0, 0)) : 0;
}

int ListBox::TextWidth(const std::vector<std::string>& lines) const {
    if (!hwnd_ || lines.empty()) return 0;
    // A line of ASCII text measures as its characters' widths added up (a text extent takes no
    // kerning), which a table gives at once; other lines, where a code page may join two bytes
    // into one character, are measured by the font.
    HDC dc = GetDC(hwnd_);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    INT asciiWidths[128];
    const bool haveWidths = GetCharWidth32A(dc, 0, 127, asciiWidths) != 0;
    int widest = 0;
    for (const std::string& line : lines) {
        int width = 0;
        bool ascii = haveWidths;
        for (size_t i = 0; ascii && i < line.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(line[i]);
            if (c < 128)
                width += asciiWidths[c];
            else
                ascii = false;
        }
        SIZE size{};
        if (!ascii)
            width = GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size) ? size.cx : 0;
        widest = std::max(widest, width);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd_, dc);
    return widest;
}

void ListBox::ShowLineEnds() {
    if (!hwnd_) return;
    std::vector<std::string> lines;
    for (int i = 0; i < ListCount(); ++i) lines.push_back(List(i));
    const int extent = TextWidth(lines) + 6;
    SetHorizontalExtent(extent);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (extent > client.right)
        SendMessageA(hwnd_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, extent - client.right), 0);
}

void ListBox::OnCommand(WORD code) {
    if (code == LBN_SELCHANGE && onClick) onClick();
    if (code == LBN_DBLCLK && onDblClick) onDblClick();
}

void ComboBox::AddItem(const std::string& text) {
    if (hwnd_) SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::Clear() {
    if (hwnd_) SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)) : 0;
}

std::string ComboBox::List(int index) const {
    if (!hwnd_ || index < 0 || index >= ListCount()) return {};
    LRESULT len = SendMessageA(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == CB_ERR) return {};
    std::vector<char> buf(static_cast<size_t>(len) + 1);
    SendMessageA(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
    return std::string(buf.data());
}

int ComboBox::ListIndex() const {
    if (!hwnd_) return -1;
    LRESULT i = SendMessageA(hwnd_, CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? -1 : static_cast<int>(i);
}

void ComboBox::SetListIndex(int index, bool notify) {
    if (!hwnd_) return;
    SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (notify && onChange) onChange();
}

std::string ComboBox::Text() const { return List(ListIndex()); }

void ComboBox::OnCommand(WORD code) {
    if (code == CBN_SELCHANGE && onChange) onChange();
}

}  // namespace bw::ui
