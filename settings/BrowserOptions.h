// The option window shared by the browsers whose traces are chosen one by one (location bar,
// cookies, cache, history): frmnetscape, frmopera and frmmsn are this window with their own
// captions and settings section.
#pragma once
#include <vector>

#include "settings/SubItemSettings.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"

namespace bw {

class BrowserOptions : public ui::Form {
public:
    ui::Frame Frame1;
    ui::CheckBox Check1;  // "Location bar history" = "Location"
    ui::CheckBox Check2;  // "Cookies" = "Cookies"
    ui::CheckBox Check3;  // "Cache" = "Cache"
    ui::CheckBox Check4;  // "History files" = "History"
    ui::CheckBox Check5;  // "Select all of the above": not stored, starts clear
    ui::CommandButton Command1;  // "OK"

    // Saves the four boxes and closes the window.
    virtual void Command1_Click();
    void Check5_Click();

protected:
    BrowserOptions(const char* caption, const char* frameCaption, const char* section, int height = 190);
    void Build() override;
    void Form_Load() override;
    std::vector<subitems::Binding> Boxes();

    const char* frameCaption_;
    const char* section_;
};

}  // namespace bw
