// The never-shown menu window.
#include "shell/frmMenuForm.h"

#include "shell/MainWindow.h"

namespace bw {

frmMenuForm::frmMenuForm() : ui::Form("frmMenuForm", 0, 0) {}

void frmMenuForm::Build() {
    ui::MenuBar::Create(hwnd(), {
        {&mnuFile, nullptr, "&File"},
        {&mnuOpen, &mnuFile, "&Open"},
        {&mnuNew, &mnuFile, "&New"},
        {&mnuSave, &mnuFile, "&Save"},
        {&mnuSaveAs, &mnuFile, "Save &As"},
        {&mnuExit, &mnuFile, "E&xit"},
    });
    mnuExit.onClick = [this] { mnuExit_Click(); };
}

void frmMenuForm::mnuExit_Click() {
    if (ui::Form* main = shell::MainWindow()) main->Unload();
}

}  // namespace bw
