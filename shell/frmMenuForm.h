// A window that is never shown, loaded and unloaded with the main window. It carries the
// "&File" menu; only "E&xit" does something: it closes the main window.
#pragma once
#include "ui/Form.h"
#include "ui/Menu.h"

namespace bw {

class frmMenuForm : public ui::Form {
public:
    frmMenuForm();
    ui::MenuItem mnuFile, mnuOpen, mnuNew, mnuSave, mnuSaveAs, mnuExit;
    void mnuExit_Click();

protected:
    // Never seen with the keyboard: Esc must not unload it behind the user's back.
    bool EscapeCloses() const override { return false; }
    void Build() override;
};

}  // namespace bw
