// The virtual report list view with tick boxes (see ListView.h).
#include "ui/ListView.h"

#include <commctrl.h>

namespace bw::ui {

DWORD CheckListView::Style() const {
    return WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
}

void CheckListView::AfterCreate() {
    SendMessageW(hwnd_, CCM_SETUNICODEFORMAT, TRUE, 0);
    SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT box{};
    GetClientRect(hwnd_, &box);
    int fixed = 0;
    for (const Column& column : columns) fixed += column.width > 0 ? column.width : 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<wchar_t*>(columns[i].title.c_str());
        column.cx = columns[i].width > 0 ? columns[i].width : (box.right - box.left) - fixed;
        column.fmt = columns[i].rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void CheckListView::SetRowCount(int rows) {
    if (!hwnd_) return;
    SendMessageW(hwnd_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows < 0 ? 0 : rows), 0);
    Repaint();
}

void CheckListView::Repaint() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CheckListView::RepaintRow(int row) {
    if (hwnd_) SendMessageW(hwnd_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

LRESULT CheckListView::OnNotify(NMHDR* hdr) {
    switch (hdr->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(hdr)->item;
        if (item.iItem < 0) return 0;
        if ((item.mask & LVIF_TEXT) && textOf) {
            text_ = textOf(item.iItem, item.iSubItem);
            item.pszText = const_cast<wchar_t*>(text_.c_str());
        }
        if ((item.mask & LVIF_STATE) && tickedOf) {
            item.state = INDEXTOSTATEIMAGEMASK(tickedOf(item.iItem) ? 2u : 1u);
            item.stateMask = LVIS_STATEIMAGEMASK;
        }
        return 0;
    }
    case LVN_COLUMNCLICK:
        if (onColumnClick) onColumnClick(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
        return 0;
    case NM_CLICK: {
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<NMITEMACTIVATE*>(hdr)->ptAction;
        SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) && onToggle) onToggle(hit.iItem);
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(hdr)->wVKey == VK_SPACE && onToggle) {
            const int focused =
                static_cast<int>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (focused >= 0) onToggle(focused);
        }
        return 0;
    default:
        return 0;
    }
}

}  // namespace bw::ui
