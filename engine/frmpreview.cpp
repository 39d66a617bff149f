// The erase window's preview list; the preview's details window and the report window, with the
// list view of targets they share.
#include "engine/frmpreview.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/EraseReport.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

namespace bw {

namespace {

std::wstring WideText(const std::string& text) { return platform::text::ToWide(text); }

constexpr size_t kEveryItem = static_cast<size_t>(-1);

// The targets a list shows: every one the user may see, of one item or of all.
std::vector<uint32_t> ShownTargets(const ErasePlan& plan, size_t item) {
    std::vector<uint32_t> rows;
    for (uint32_t i = 0; i < plan.Targets().size(); ++i) {
        const Target& target = plan.Targets()[i];
        if (!target.quiet && (item == kEveryItem || target.item == item)) rows.push_back(i);
    }
    return rows;
}

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

// A preview's line is its text, a gap and the bar below it; a plain line is its text alone.
int BarHeight() { return ui::Scaled(3); }
int Pad() { return ui::Scaled(2); }

}  // namespace

void PreviewList::AfterCreate() {
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

bool PreviewList::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT*) {
    // Emptied (by Clear, before a run's progress lines): back to plain lines.
    if (msg == LB_RESETCONTENT) SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, textHeight_ + Pad());
    return false;
}

void PreviewList::SetRows(const std::vector<Row>& rows) {
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
            // A share that rounds to nothing still gets the least of bars: it frees something.
            const double share = std::min(rows[i].share, 1.0);
            data = kShared + std::max<LPARAM>(share > 0 ? 1 : 0, std::lround(share * kShareSteps));
        }
        SendMessageA(hwnd_, LB_SETITEMDATA, i, data);
    }
}

double PreviewList::Share(int index) const {
    if (!hwnd_ || index < 0 || index >= ListCount()) return -1;
    const LPARAM data = SendMessageA(hwnd_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data < kShared || data >= kTotal) return -1;
    return static_cast<double>(data - kShared) / kShareSteps;
}

bool PreviewList::OnDrawItem(DRAWITEMSTRUCT* dis) {
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
        // Below the text, a faint track the width of the line, and over it the item's share in
        // the selection's colour; a share too small to see still shows. An item that frees
        // nothing has neither, so the eye goes to the items that count.
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

// ---- the list of targets ----

TargetList::TargetList() {
    columns = {{L"Path", 0, false}, {L"Size", 100, true}, {L"Outcome", 96, false}};
    textOf = [this](int row, int column) { return CellText(row, column); };
    tickedOf = [this](int row) {
        return plan_ && row < Count() && plan_->Targets()[rows_[static_cast<size_t>(row)]].ticked;
    };
    onToggle = [this](int row) { Toggle(row); };
    onColumnClick = [this](int column) { SortBy(static_cast<Column>(column)); };
}

void TargetList::Show(ErasePlan* plan, std::vector<uint32_t> targets) {
    plan_ = plan;
    rows_ = std::move(targets);
    folderPaths_.clear();
    SetRowCount(Count());
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
    Repaint();
}

void TargetList::Toggle(int row) {
    if (!plan_ || row < 0 || row >= Count()) return;
    Target& target = plan_->Targets()[rows_[static_cast<size_t>(row)]];
    if (target.outcome != Outcome::Planned) return;  // done with: nothing to choose
    target.ticked = !target.ticked;
    RepaintRow(row);
    if (onChange) onChange();
}

std::wstring TargetList::CellText(int row, int column) {
    if (!plan_ || row < 0 || row >= Count()) return {};
    const Target& target = plan_->Targets()[rows_[static_cast<size_t>(row)]];
    if (column == 0)
        return target.kind == TargetKind::File ? FolderPathOf(target.ref) + plan_->FileName(target)
                                               : plan_->Describe(target);
    if (column == 1) {
        if (target.kind != TargetKind::File) return L"";
        return target.sizeKnown ? WideText(platform::text::SizeText(target.size)) : L"?";
    }
    return WideText(OutcomeText(target.outcome));
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
        ShowTargets();
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
    ShowTargets();
    Check1.SetValue(plan.ItemTicked(item) ? 1 : 0);
    List1.SetFocus();
}

void frmdetails::ShowTargets() {
    // The largest first, as the preview lists its items.
    List1.Show(plan_, ShownTargets(*plan_, item_));
    List1.SortBy(TargetList::Column::Size);
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
    List1.Show(&plan, ShownTargets(plan, kEveryItem));
    List1.SetFocus();
}

bool frmreport::SaveTo(const std::string& file) { return plan_ && SaveReport(file, *plan_, preview_); }

}  // namespace bw
