// The erase window: the erase run shown in its status list, progress bar and summary.
#include "engine/frmcleannow.h"

#include <algorithm>
#include <numeric>

#include "ui/Forms.h"
#include "engine/EraseReport.h"
#include "engine/EraseRunner.h"
#include "engine/frmpreview.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"
#include "platform/Shell.h"
#include "settings/Inifun.h"

namespace bw {

frmcleannow::frmcleannow() : ui::Form("Brightwipe", 440, 370) {}

void frmcleannow::Build() {
    Layout({
        {&Command2, nullptr, "Cancel", 340, 334, 90, 26},
        {&Command1, nullptr, "Erase Now", 240, 334, 90, 26},
        {&Command3, nullptr, "Preview", 160, 334, 74, 26},
        {&Command4, nullptr, "Details...", 84, 334, 70, 26},
        {&Command5, nullptr, "Report", 10, 334, 68, 26},
        {&Frame1, nullptr, "Status", 10, 8, 420, 228},
        {&List1, &Frame1, "", 10, 20, 400, 198},
        {&Text1, nullptr, "Text1", 10, 334, 60, 20},
        {&Label1, nullptr,
         "Tt's highly recommended that you shut down all other programs when erase the tracks,"
         "Brightwipe can not erase the files which being used by other programs.",
         10, 244, 420, 44},
        {&coolprogressbar1, nullptr, "", 10, 296, 420, 22},
    });
    Text1.SetVisible(false);
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    List1.onDblClick = [this] { Command4_Click(); };
    Command4.SetEnabled(false);
    Command5.SetEnabled(false);
    // Esc is Cancel; Enter erases only from the "Erase Now" button itself, never by default.
    SetCancelButton(&Command2);
}

void frmcleannow::Command1_Click() {
    Inifun::WriteIni(platform::SettingsFile("bwsd.dat"), "WINDOWS", "lastclean", platform::NowText());
    cleannow();
}

void frmcleannow::Command2_Click() {
    // During a run Cancel stops it between two targets; the run ends with what was done.
    if (running_) {
        cancelAsked_ = true;
        return;
    }
    Unload();
    const EraseHost host = Host();
    if (host.cancelled) host.cancelled();
}

void frmcleannow::AddLine(const std::string& text, bool scroll) {
    List1.AddItem(text);
    if (scroll) {
        List1.Refresh();
        List1.SetListIndex(List1.ListCount() - 1);
    }
}

void frmcleannow::cleannow() {
    const std::string settings = platform::SettingsFile("bwsd.dat");
    const EraseHost host = Host();  // a copy: closing the main window resets the host
    const EraseSelection selection = host.selection ? host.selection() : EraseSelection{};

    Frame1.SetCaption("Erasing In Progress,Please Waiting a few minutes");
    Frame1.Refresh();
    ui::WaitCursor wait;
    // After a preview, the plan it found, as the user left it ticked; anchors and names are
    // checked again as each target is acted on.
    ErasePlan previewedPlan;
    if (previewed_) previewedPlan = std::move(run_.plan);
    run_ = EraseRun{};
    run_.settingsFile = settings;
    run_.mainWindow = host.window ? host.window() : nullptr;
    run_.eraseWindow = hwnd();
    run_.addLine = [this](const std::string& line, bool scroll) { AddLine(line, scroll); };
    SetRunning(true);
    List1.Clear();
    AddLine("Please waiting,Begin Erasing", false);

    RunHooks hooks;
    hooks.progress = [this](int position) { coolprogressbar1.SetValue(position); };
    hooks.cancelled = [this] { return cancelAsked_; };
    hooks.pump = [] { ui::DoEvents(); };
    if (previewed_) {
        run_.plan = std::move(previewedPlan);
        RunItems(run_, selection, RunMode::ErasePlanned, hooks);
    } else {
        RunItems(run_, selection, RunMode::Erase, hooks);
    }
    previewed_ = false;
    reportIsPreview_ = false;
    SetRunning(false);
    Command1.SetEnabled(false);  // enabled again once the summary has been seen
    SetDefaultButton(nullptr);

    coolprogressbar1.SetValue(98);
    if (Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "exit"))) {
        // frmtray goes first once the tray exists; then this window and the main window.
        Unload();
        if (host.closeMain) host.closeMain();
        return;
    }

    coolprogressbar1.SetValue(100);
    AddLine("Task complete Successfully!", true);
    std::string released = FormatSize(run_.filesize / 1048576.0);
    // The summary offers the report of this run beside its OK.
    platform::MsgBoxOffering(hwnd(),
                             "Task complete Successfully! Erased Registry Keys: " + FormatCount(run_.regnum) +
                                 " Released HD Space:" + released + "MB",
                             "Task Complete", MB_OK | MB_ICONINFORMATION, "&Report...",
                             [this](HWND) { Command5_Click(); });
    Show();
    Command1.SetEnabled(true);
    WriteStatistics(settings, run_);
    Frame1.SetCaption("Status");
}

void frmcleannow::Command3_Click() { Preview(); }

void frmcleannow::Command4_Click() {
    if (!previewed_) return;
    const int line = List1.ListIndex();
    if (line < 0 || line >= static_cast<int>(previewItems_.size())) return;
    const size_t item = previewItems_[static_cast<size_t>(line)];
    frmdetails details;
    details.Open(run_.plan, item);
    details.Unload();
    // Unticked targets may move the item in the order: the selection follows it.
    ShowPreviewLines();
    const auto at = std::find(previewItems_.begin(), previewItems_.end(), item);
    List1.SetListIndex(static_cast<int>(at - previewItems_.begin()));
}

void frmcleannow::Command5_Click() {
    frmreport report;
    report.Open(run_.plan, reportIsPreview_);
    report.Unload();
}

void frmcleannow::Preview() {
    const EraseHost host = Host();
    const EraseSelection selection = host.selection ? host.selection() : EraseSelection{};
    ui::WaitCursor wait;
    Frame1.SetCaption("Preview In Progress,Please Waiting");
    Frame1.Refresh();
    run_ = EraseRun{};
    run_.settingsFile = platform::SettingsFile("bwsd.dat");
    run_.mainWindow = host.window ? host.window() : nullptr;
    run_.eraseWindow = hwnd();
    run_.addLine = [](const std::string&, bool) {};
    RunHooks hooks;
    hooks.progress = [this](int position) { coolprogressbar1.SetValue(position); };
    hooks.cancelled = [this] { return cancelAsked_; };
    hooks.pump = [] { ui::DoEvents(); };
    // A long search (a full cache) says how far it has come.
    hooks.found = [this](size_t targets) {
        Frame1.SetCaption("Preview In Progress,Please Waiting: " + std::to_string(targets) + " found");
    };
    SetRunning(true);
    RunItems(run_, selection, RunMode::Preview, hooks);
    previewed_ = !cancelAsked_;
    reportIsPreview_ = true;
    SetRunning(false);
    coolprogressbar1.SetValue(0);
    Frame1.SetCaption(previewed_ ? "Preview" : "Status");
    ShowPreviewLines();
    SetDefaultButton(previewed_ ? &Command4 : nullptr);
    List1.SetFocus();
    if (List1.ListCount() > 0) List1.SetListIndex(0);
}

void frmcleannow::SetRunning(bool running) {
    running_ = running;
    if (running) cancelAsked_ = false;
    Command1.SetEnabled(!running);
    Command3.SetEnabled(!running);
    Command4.SetEnabled(!running && previewed_);
    Command5.SetEnabled(!running && (previewed_ || run_.plan.ItemCount() > 0));
}

namespace {

bool Found(const TargetCounts& counts) {
    return counts.files || counts.folders || counts.Registry() || counts.operations || counts.entries;
}

}  // namespace

void frmcleannow::ShowPreviewLines() {
    // The item that frees most comes first, then items that find something of no size (registry
    // entries, empty files), then those that find nothing; otherwise in the order of the run.
    // Each item's figures are a pass over the plan's targets: counted once.
    const ErasePlan& plan = run_.plan;
    std::vector<ItemFigures> figures;
    for (size_t item = 0; item < plan.ItemCount(); ++item) figures.push_back(plan.FiguresOf(item));
    previewItems_.resize(plan.ItemCount());
    std::iota(previewItems_.begin(), previewItems_.end(), size_t{0});
    std::stable_sort(previewItems_.begin(), previewItems_.end(), [&](size_t a, size_t b) {
        const TargetCounts& x = figures[a].planned;
        const TargetCounts& y = figures[b].planned;
        if (x.bytes != y.bytes) return x.bytes > y.bytes;
        return Found(x) && !Found(y);
    });
    const ItemFigures total = plan.Total();
    std::vector<ui::BarList::Row> rows;
    for (size_t item : previewItems_) {
        ui::BarList::Row row;
        row.text = plan.ItemCaption(item) + ": " + FiguresText(figures[item], true);
        if (!plan.ItemNote(item).empty()) row.text += " (" + plan.ItemNote(item) + ")";
        if (!plan.ItemTicked(item)) row.text += " - unticked";
        if (total.planned.bytes)
            row.share = static_cast<double>(figures[item].planned.bytes) / static_cast<double>(total.planned.bytes);
        rows.push_back(row);
    }
    ui::BarList::Row closing;
    closing.text = "Total: " + FiguresText(total, true);
    closing.total = true;
    rows.push_back(closing);
    List1.SetRows(rows);
}

EraseHost& frmcleannow::Host() {
    static EraseHost host;
    return host;
}

}  // namespace bw
