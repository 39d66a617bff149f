// The preview's details window, the report window, and the list view of targets they share.
#include "engine/frmpreview.h"

#include <algorithm>
#include <utility>

#include "engine/EraseReport.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "ui/Dialogs.h"

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

}  // namespace

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
