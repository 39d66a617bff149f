// The erase window: its "Erase Now" button runs one erase over the items selected on the main
// window, reporting each item in the status list, and ends with a summary.
#pragma once
#include <string>

#include "engine/EraseRun.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/ProgressBar.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

class frmcleannow : public ui::Form {
public:
    frmcleannow();

    ui::CommandButton Command2;  // "Cancel"
    ui::CommandButton Command1;  // "Erase Now"
    ui::ListBox List1;           // status list
    ui::Frame Frame1;            // "Status", or the run state while erasing
    ui::TextBox Text1;           // scratch field, never shown
    ui::Label Label1;            // advice
    ui::ProgressBar coolprogressbar1;

    void Command1_Click();
    void Command2_Click();

    // Performs one erase run.
    void cleannow();

    // Clears the Start menu's recent documents list; true when Windows reported no error.
    bool ClearDocumentsMenu();

    // The counters of the last run (kept after it ends, for whoever wants to look).
    const EraseRun& LastRun() const { return run_; }

protected:
    void Build() override;

private:
    void AddLine(const std::string& text, bool scroll);
    std::string GetShlwapiVersion();
    EraseRun run_;
};

}  // namespace bw
