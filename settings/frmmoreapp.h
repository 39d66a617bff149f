// "More Applications": 23 further applications whose recent lists and temporary files an erase
// removes (section "MOREAPPLICATIONS").
#pragma once
#include <vector>

#include "settings/SubItemSettings.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"

namespace bw {

class frmmoreapp : public ui::Form {
public:
    frmmoreapp();

    ui::Frame Frame6;  // "Select the item(s) to clean"
    ui::CheckBox Check1, Check2, Check3, Check4, Check5, Check6, Check7, Check8, Check9, Check10, Check11,
        Check12, Check13, Check14, Check15, Check16, Check17, Check18, Check19, Check20, Check21, Check22,
        Check23;
    ui::CommandButton Command1;  // "OK"

    // Saves all 23 boxes and closes the window.
    void Command1_Click();

protected:
    void Build() override;
    void Form_Load() override;

private:
    // The boxes in the order they are loaded and saved.
    std::vector<subitems::Binding> Boxes();
};

}  // namespace bw
