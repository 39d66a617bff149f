// "MS Office": which Office programs' recent-file lists an erase removes (section "OFFICE").
#pragma once
#include <vector>

#include "settings/SubItemSettings.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"

namespace bw {

class frmoffice : public ui::Form {
public:
    frmoffice();

    ui::Frame Frame1;            // "MS Office"
    ui::CheckBox Check1;         // "Microsoft Word" = "word"
    ui::CheckBox Check2;         // "Microsoft Excel" = "excel"
    ui::CheckBox Check3;         // "Microsoft PowerPoint" = "powerpoint"
    ui::CheckBox Check4;         // "Microsoft FrontPage" = "frontpage"
    ui::CheckBox Check6;         // "Microsoft Access" = "access"
    ui::CheckBox Check5;         // "Select all of the above": not stored, starts clear
    ui::CommandButton Command1;  // "OK"

    void Command1_Click();
    void Check5_Click();

protected:
    void Build() override;
    void Form_Load() override;

private:
    std::vector<subitems::Binding> Boxes();
};

}  // namespace bw
