// The windows of a preview and a report: the targets of one item, each with its size and a
// tick, in a list view a screen reader reads; and the report of a run or a preview, with
// "Save report...".
#pragma once
#include <string>
#include <vector>

#include "engine/ErasePlan.h"
#include "ui/Buttons.h"
#include "ui/Control.h"
#include "ui/Statics.h"
#include "ui/Form.h"
#include "ui/ListView.h"

namespace bw {

// A report-style list view of plan targets (path, size, outcome), one row per target, ticked
// when the target stays in the run. Rows are drawn on demand (a cache may hold 150,000 files);
// clicking a column header sorts by it; Space or a click on the tick box unticks a target.
class TargetList : public ui::CheckListView {
public:
    TargetList();
    void Show(ErasePlan* plan, std::vector<uint32_t> targets);
    enum class Column { Path = 0, Size = 1, Outcome = 2 };
    void SortBy(Column column);
    int Count() const { return static_cast<int>(rows_.size()); }
    // The target shown on row `row`.
    uint32_t TargetAt(int row) const { return rows_[static_cast<size_t>(row)]; }
    // Ticks or unticks the target on `row` and repaints it.
    void Toggle(int row);
    std::function<void()> onChange;

private:
    const std::wstring& FolderPathOf(uint32_t folder);
    std::wstring CellText(int row, int column);
    ErasePlan* plan_ = nullptr;
    std::vector<uint32_t> rows_;
    std::vector<std::wstring> folderPaths_;  // cached by folder index ("" until needed)
};

// The details of one item of a preview: every target with its size, the largest first; the user
// unticks single targets or the whole item before erasing.
class frmdetails : public ui::Form {
public:
    frmdetails();
    TargetList List1;
    ui::CheckBox Check1;         // "Erase this item"
    ui::CommandButton Command1;  // "Close"

    // Shows the targets of `item` of `plan` (modal); ticks change the plan.
    void Open(ErasePlan& plan, size_t item);
    // Loads the window with them, without showing it.
    void Fill(ErasePlan& plan, size_t item);

protected:
    void Build() override;

private:
    void ShowTargets();
    ErasePlan* plan_ = nullptr;
    size_t item_ = 0;
};

// The report of the last run or preview: its text, and "Save report..." to a UTF-8 file.
class frmreport : public ui::Form {
public:
    frmreport();
    TargetList List1;            // every target with its outcome
    ui::Label Label1;            // the figures of the whole run
    ui::CommandButton Command1;  // "Save report..."
    ui::CommandButton Command2;  // "Close"

    void Open(ErasePlan& plan, bool preview);
    void Fill(ErasePlan& plan, bool preview);  // loads it without showing it
    // Writes the report to `file`; false when it cannot be written.
    bool SaveTo(const std::string& file);

protected:
    void Build() override;

private:
    ErasePlan* plan_ = nullptr;
    bool preview_ = false;
};

}  // namespace bw
