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

void ListBox::AddItems(const std::vector<std::string>& lines) {
    if (!hwnd_ || lines.empty()) return;
    size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 1;
    // WM_SETREDRAW TRUE makes a window visible in DefWindowProc, so a hidden list is left alone.
    const bool shown = (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    bytes = std::min<size_t>(bytes, 0x7FFFFFFF);
    SendMessageA(hwnd_, LB_INITSTORAGE, static_cast<WPARAM>(lines.size()), static_cast<LPARAM>(bytes));
    for (const std::string& line : lines) {
        LRESULT added = SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        if (added == LB_ERR || added == LB_ERRSPACE) break;
    }
    if (shown) {
        SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
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

void ListBox::SetListIndex(int index) {
    if (!hwnd_) return;
    if (select_ == Select::Single) {
        SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else {
        SendMessageA(hwnd_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        SendMessageA(hwnd_, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
    }
    if (onClick) onClick();
}

int ListBox::TopIndex() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETTOPINDEX, 0, 0)) : 0;
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

void ComboBox::SetListIndex(int index) {
    if (!hwnd_) return;
    SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (onChange) onChange();
}

std::string ComboBox::Text() const { return List(ListIndex()); }

void ComboBox::OnCommand(WORD code) {
    if (code == CBN_SELCHANGE && onChange) onChange();
}

}  // namespace bw::ui
