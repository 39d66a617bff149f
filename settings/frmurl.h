// "URL Drop-List Options": the typed addresses of the browser's address bar beside the list of
// addresses to keep when that list is erased ("keepurl.dat" in the program folder). Every change
// of the keep list is written to its file at once; the window has no OK button.
#pragma once
#include <string>

#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/Statics.h"

namespace bw {

class frmurl : public ui::Form {
public:
    frmurl();

    ui::Frame Frame1;                                     // "URL Drop-List"
    ui::Label Label1;                                     // "Current URL List"
    ui::ListBox List2;                                    // typed addresses as they are now
    ui::Label Label2;                                     // "URL Keep List"
    ui::ListBox List1{ui::ListBox::Select::Extended};     // addresses to keep
    ui::CommandButton cmdAdd;                             // "Add >"
    ui::CommandButton cmdRemove;                          // "< Remove"
    ui::CommandButton cmdClose;                           // "Close", also Esc

    void cmdAdd_Click();
    void cmdRemove_Click();

protected:
    void Build() override;
    // Fills List2 from HKCU\Software\Microsoft\Internet Explorer\TypedURLs (empty when the key
    // is missing) and List1 from "keepurl.dat" (left empty when the file is missing).
    void Form_Load() override;
};

}  // namespace bw
