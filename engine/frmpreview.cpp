// The preview's details window, the report window, and the list view of targets they share.
#include "engine/frmpreview.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "engine/EraseReport.h"
#include "platform/MessageBox.h"
#include "ui/Dialogs.h"

namespace bw {

namespace {

std::wstring WideText(const std::string& text) {
    std::wstring wide;
    for (unsigned char c : text) wide += static_cast<wchar_t>(c);  // the texts shown here are ASCII
    return wide;
}

}  // namespace

DWORD TargetList::Style() const {
    return WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
}

void TargetList::AfterCreate() {
    SendMessageW(hwnd_, CCM_SETUNICODEFORMAT, TRUE, 0);
    SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT box{};
    GetClientRect(hwnd_, &box);
    const int width = box.right - box.left;
    const struct {
        const wchar_t* title;
        int width;
        int format;
    } columns[] = {{L"Path", width - 200, LVCFMT_LEFT}, {L"Size", 100, LVCFMT_RIGHT}, {L"Outcome", 96, LVCFMT_LEFT}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<wchar_t*>(columns[i].title);
        column.cx = columns[i].width;
        column.fmt = columns[i].format;
        SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void TargetList::Show(ErasePlan* plan, std::vector<uint32_t> targets) {
    plan_ = plan;
    rows_ = std::move(targets);
    folderPaths_.clear();
    if (hwnd_) {
        SendMessageW(hwnd_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows_.size()), 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

const std::wstring& TargetList::FolderPathOf(uint32_t folder) {
    if (folderPaths_.size() <= folder) folderPaths_.resize(static_cast<size_t>(folder) + 1);
    if (folderPaths_[folder].empty()) folderPaths_[folder] = plan_->FolderPath(folder);
    return folderPaths_[folder];
}

void TargetList::SortBy(Column column) {
    if (!plan_) return;
    const std::vector<Target>& targets = plan_->Targets();
    if (column == Column::Size) {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [&](uint32_t a, uint32_t b) { return targets[a].size > targets[b].size; });
    } else if (column == Column::Outcome) {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [&](uint32_t a, uint32_t b) { return targets[a].outcome < targets[b].outcome; });
    } else {
        // Files by their folder's path, then name; everything else by its description.
        auto key = [&](uint32_t index) {
            const Target& target = targets[index];
            if (target.kind == TargetKind::File) return FolderPathOf(target.ref) + plan_->FileName(target);
            return plan_->Describe(target);
        };
        std::vector<std::pair<std::wstring, uint32_t>> keyed;
        keyed.reserve(rows_.size());
        for (uint32_t index : rows_) keyed.emplace_back(key(index), index);
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            return _wcsicmp(a.first.c_str(), b.first.c_str()) < 0;
        });
        for (size_t i = 0; i < keyed.size(); ++i) rows_[i] = keyed[i].second;
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TargetList::Toggle(int row) {
    if (!plan_ || row < 0 || row >= Count()) return;
    Target& target = plan_->Targets()[rows_[static_cast<size_t>(row)]];
    if (target.outcome != Outcome::Planned) return;  // done with: nothing to choose
    target.ticked = !target.ticked;
    SendMessageW(hwnd_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
    if (onChange) onChange();
}

LRESULT TargetList::OnNotify(NMHDR* hdr) {
    if (!plan_) return 0;
    switch (hdr->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(hdr);
        LVITEMW& item = info->item;
        if (item.iItem < 0 || item.iItem >= Count()) return 0;
        const Target& target = plan_->Targets()[rows_[static_cast<size_t>(item.iItem)]];
        if (item.mask & LVIF_TEXT) {
            if (item.iSubItem == 0) {
                text_ = target.kind == TargetKind::File ? FolderPathOf(target.ref) + plan_->FileName(target)
                                                        : plan_->Describe(target);
            } else if (item.iSubItem == 1) {
                text_ = target.kind != TargetKind::File ? L"" : target.sizeKnown ? WideText(BytesText(target.size)) : L"?";
            } else {
                text_ = WideText(OutcomeText(target.outcome));
            }
            item.pszText = const_cast<wchar_t*>(text_.c_str());
        }
        if (item.mask & LVIF_STATE) {
            item.state = INDEXTOSTATEIMAGEMASK(target.ticked ? 2 : 1);
            item.stateMask = LVIS_STATEIMAGEMASK;
        }
        return 0;
    }
    case LVN_COLUMNCLICK:
        SortBy(static_cast<Column>(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem));
        return 0;
    case NM_CLICK: {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(hdr);
        LVHITTESTINFO hit{};
        hit.pt = click->ptAction;
        SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMSTATEICON)) Toggle(hit.iItem);
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(hdr)->wVKey == VK_SPACE)
            Toggle(static_cast<int>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
        return 0;
    default:
        return 0;
    }
}

// ---- details of one item ----

frmdetails::frmdetails() : ui::Form("Brightwipe - Details", 640, 420) {}

void frmdetails::Build() {
    Layout({
        {&List1, nullptr, "", 10, 10, 620, 330},
        {&Check1, nullptr, "Erase this item", 10, 352, 300, 22},
        {&Command1, nullptr, "Close", 540, 352, 90, 26},
    });
    Command1.onClick = [this] { Hide(); };
    Check1.onClick = [this] {
        if (!plan_) return;
        plan_->SetItemTicked(item_, Check1.Value() == 1);
        List1.Show(plan_, [&] {
            std::vector<uint32_t> rows;
            for (uint32_t i = 0; i < plan_->Targets().size(); ++i)
                if (plan_->Targets()[i].item == item_ && !plan_->Targets()[i].quiet) rows.push_back(i);
            return rows;
        }());
    };
    List1.onChange = [this] { Check1.SetValue(plan_ && plan_->ItemTicked(item_) ? 1 : 0); };
    SetCancelButton(&Command1);
}

void frmdetails::Open(ErasePlan& plan, size_t item) {
    Fill(plan, item);
    ShowModal();
}

void frmdetails::Fill(ErasePlan& plan, size_t item) {
    plan_ = &plan;
    item_ = item;
    Load();
    SetCaption("Brightwipe - " + plan.ItemCaption(item));
    std::vector<uint32_t> rows;
    for (uint32_t i = 0; i < plan.Targets().size(); ++i)
        if (plan.Targets()[i].item == item && !plan.Targets()[i].quiet) rows.push_back(i);
    List1.Show(&plan, std::move(rows));
    Check1.SetValue(plan.ItemTicked(item) ? 1 : 0);
    List1.SetFocus();
}

// ---- report ----

frmreport::frmreport() : ui::Form("Brightwipe - Report", 640, 440) {}

void frmreport::Build() {
    Layout({
        {&Label1, nullptr, "", 10, 8, 620, 36},
        {&List1, nullptr, "", 10, 48, 620, 312},
        {&Command1, nullptr, "Save report...", 10, 372, 120, 26},
        {&Command2, nullptr, "Close", 540, 372, 90, 26},
    });
    Command1.onClick = [this] {
        if (std::optional<std::string> file = ui::ShowSaveDialog(hwnd(), "Text files|*.txt", "report.txt")) {
            if (!SaveTo(*file))
                platform::MsgBox(hwnd(), "The report could not be written to " + *file + ".", "Brightwipe",
                                 MB_OK | MB_ICONEXCLAMATION);
        }
    };
    Command2.onClick = [this] { Hide(); };
    SetCancelButton(&Command2);
}

void frmreport::Open(ErasePlan& plan, bool preview) {
    Fill(plan, preview);
    ShowModal();
}

void frmreport::Fill(ErasePlan& plan, bool preview) {
    plan_ = &plan;
    preview_ = preview;
    Load();
    Label1.SetCaption((preview ? "Preview, total: " : "Total: ") + FiguresText(plan.Total(), preview));
    std::vector<uint32_t> rows;
    for (uint32_t i = 0; i < plan.Targets().size(); ++i)
        if (!plan.Targets()[i].quiet) rows.push_back(i);
    List1.Show(&plan, std::move(rows));
    List1.SetFocus();
}

bool frmreport::SaveTo(const std::string& file) { return plan_ && SaveReport(file, *plan_, preview_); }

}  // namespace bw
