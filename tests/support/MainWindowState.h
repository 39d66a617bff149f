// Window tests of the erase run start from a loaded main window with no item checked.
#pragma once
#include "ui/Forms.h"
#include "app/frmMainCode.h"

namespace bw::test {

// Loads the main window (a first start checks every item) and clears every item through the
// two "Select all" boxes and the Applications boxes, as a user would.
inline frmMainCode& LoadMainWindowWithNothingChecked() {
    frmMainCode& main = ui::Get<frmMainCode>();
    main.Load();
    main.Check9.SetValue(1);
    main.Check9.SetValue(0);
    main.Check18.SetValue(1);
    main.Check18.SetValue(0);
    for (auto* box : {&main.Check19, &main.Check20, &main.Check21, &main.Check22, &main.Check23}) box->SetValue(0);
    return main;
}

}  // namespace bw::test
