// The erase window: its "Erase Now" button runs one erase over the items selected on the main
// window, reporting each item in the status list, and ends with a summary.
#pragma once
#include <functional>
#include <string>

#include "engine/EraseRun.h"
#include "ui/BarList.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/ProgressBar.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

// What the main window lends the erase window while it is loaded: which items are ticked, the
// window that owns the run's dialogs, and where Cancel and the exit-after-erasing setting go.
// Left empty, a run erases only what needs no tick and Cancel just closes.
struct EraseHost {
    std::function<EraseSelection()> selection;
    std::function<HWND()> window;
    std::function<void()> cancelled;  // Cancel: the main window takes over again
    std::function<void()> closeMain;  // the run ends with the program
};

class frmcleannow : public ui::Form {
public:
    frmcleannow();

    ui::CommandButton Command2;  // "Cancel"
    ui::CommandButton Command1;  // "Erase Now"
    ui::CommandButton Command3;  // "Preview"
    ui::CommandButton Command4;  // "Details..."
    ui::CommandButton Command5;  // "Report"
    ui::BarList List1;           // status list; after a preview, a bar under each item
    ui::Frame Frame1;            // "Status", or the run state while erasing
    ui::TextBox Text1;           // scratch field, never shown
    ui::Label Label1;            // advice
    ui::ProgressBar coolprogressbar1;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

    // Performs one erase run over the items the host reports ticked, or, after a preview, over
    // exactly what the preview found and the user left ticked.
    void cleannow();

    // Finds what the ticked items would erase, removes nothing, and lists one line per item with
    // its counts and size, the item that frees most first, each over a bar of its share; a total
    // line closes the list. The lines' details open with "Details..." or a double click; "Erase
    // Now" then carries out that plan.
    void Preview();
    // True between a preview and the erase that carries it out.
    bool HasPreview() const { return previewed_; }
    // The plan of the last preview or run (a preview's ticks may be changed before Erase Now).
    ErasePlan& Plan() { return run_.plan; }

    // The one host of every erase window (set by the main window as it loads).
    static EraseHost& Host();

    // The counters of the last run (kept after it ends, for whoever wants to look).
    const EraseRun& LastRun() const { return run_; }

protected:
    void Build() override;

private:
    void AddLine(const std::string& text, bool scroll);
    void ShowPreviewLines();
    void SetRunning(bool running);
    EraseRun run_;
    bool previewed_ = false;   // run_.plan holds a preview not yet carried out
    std::vector<size_t> previewItems_;  // the plan's item on each preview line
    bool reportIsPreview_ = false;
    bool running_ = false;
    bool cancelAsked_ = false;
};

}  // namespace bw
