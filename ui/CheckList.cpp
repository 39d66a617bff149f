// Check lists over the list view.
#include "ui/CheckList.h"

#include <commctrl.h>

namespace bw::ui {

namespace {

UINT StateImage(const CheckList::Line& line) {
    return INDEXTOSTATEIMAGEMASK(line.checkable ? (line.checked ? 2u : 1u) : 0u);
}

}  // namespace

const char* CheckList::ClassName() const {
    static bool init = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&icc);
    }();
    (void)init;
    return WC_LISTVIEWA;
}

DWORD CheckList::Style() const {
    return WS_TABSTOP | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER;
}

void CheckList::AfterCreate() {
    SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT area{};
    GetClientRect(hwnd_, &area);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = area.right - GetSystemMetrics(SM_CXVSCROLL) - 4;
    SendMessageA(hwnd_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    Fill();
}

void CheckList::SetLines(const std::vector<Line>& lines) {
    lines_ = lines;
    if (hwnd_) Fill();
}

void CheckList::Fill() {
    setting_ = true;
    SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(hwnd_, LVM_SETITEMCOUNT, lines_.size(), 0);
    for (size_t i = 0; i < lines_.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(lines_[i].text.c_str());
        SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.mask = LVIF_STATE;
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = StateImage(lines_[i]);
        SendMessageA(hwnd_, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
    setting_ = false;
}

int CheckList::ListCount() const { return static_cast<int>(lines_.size()); }

std::string CheckList::List(int index) const {
    return index >= 0 && index < ListCount() ? lines_[static_cast<size_t>(index)].text : std::string();
}

bool CheckList::Checked(int index) const {
    return index >= 0 && index < ListCount() && lines_[static_cast<size_t>(index)].checked;
}

void CheckList::SetChecked(int index, bool on) {
    if (index < 0 || index >= ListCount() || !lines_[static_cast<size_t>(index)].checkable) return;
    lines_[static_cast<size_t>(index)].checked = on;
    if (!hwnd_) return;
    setting_ = true;
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = StateImage(lines_[static_cast<size_t>(index)]);
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    setting_ = false;
}

void CheckList::Toggle(int index) {
    if (index < 0 || index >= ListCount() || !lines_[static_cast<size_t>(index)].checkable) return;
    const bool wanted = !lines_[static_cast<size_t>(index)].checked;
    if (onCheck && !onCheck(index, wanted)) return;
    SetChecked(index, wanted);
}

LRESULT CheckList::OnNotify(NMHDR* hdr) {
    if (hdr->code != LVN_ITEMCHANGING || setting_) return 0;
    auto* change = reinterpret_cast<NMLISTVIEW*>(hdr);
    if (!(change->uChanged & LVIF_STATE) || !((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)) return 0;
    const int index = change->iItem;
    if (index < 0 || index >= ListCount()) return TRUE;
    Line& line = lines_[static_cast<size_t>(index)];
    const bool wanted = (change->uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    if (!line.checkable || (wanted == line.checked)) return line.checkable ? 0 : TRUE;
    if (onCheck && !onCheck(index, wanted)) return TRUE;  // the list view keeps the old state
    line.checked = wanted;
    return 0;
}

}  // namespace bw::ui
