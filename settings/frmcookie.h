// "Cookies Options": the browser's cookie files beside the list of cookies to keep when cookies
// are erased ("keepcook.dat" in the program folder, full paths compared exactly). Every change
// of the keep list is written to its file at once; the window has no OK button.
#pragma once
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/Statics.h"

namespace bw {

class frmcookie : public ui::Form {
public:
    frmcookie();

    ui::Frame Frame1;                                     // "Cookies"
    ui::Label Label1;                                     // "Current Cookies List"
    ui::ListBox lstCookieList;                            // full paths of the cookie files
    ui::Label Label2;                                     // "Cookies Keep List"
    ui::ListBox List1{ui::ListBox::Select::Extended};     // cookies to keep
    ui::CommandButton cmdAdd;                             // "Add >"
    ui::CommandButton cmdRemove;                          // "< Remove"
    ui::CommandButton cmdClose;                           // "Close", also Esc

    void cmdAdd_Click();
    void cmdRemove_Click();

protected:
    void Build() override;
    // Fills lstCookieList with the full path of every file directly in the user's Cookies
    // folder whose name contains ".txt" (letter case counts), in listing order; empty when the
    // folder's location is missing or the folder does not exist. Fills List1 from
    // "keepcook.dat" (left empty when the file is missing).
    void Form_Load() override;
};

}  // namespace bw
