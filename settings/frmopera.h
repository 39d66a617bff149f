// "Opera": which traces of Opera an erase removes, and the Opera program folder they lie in
// (section "OPERA" of the settings file).
#pragma once
#include "settings/BrowserOptions.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

class frmopera : public BrowserOptions {
public:
    frmopera();

    ui::Label Label1;            // "Opera Directory"
    ui::TextBox Text1;           // the Opera folder, stored as "Path"
    ui::CommandButton Command2;  // "Change Directory"

    // Saves the four boxes and the folder ("C:\Program Files\Opera7" when left empty), closes.
    void Command1_Click() override;
    // Picks the folder with the shell's folder browser; a cancelled choice changes nothing.
    void Command2_Click();

protected:
    void Build() override;
    void Form_Load() override;
};

}  // namespace bw
