// The pattern list editor "Options": shows the patterns of "Ext.txt" and adds, removes and
// restores them; after every change the search text of the disk cleaner window follows.
#pragma once
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

class frmExtentions : public ui::Form {
public:
    frmExtentions();

    ui::Frame Frame1;          // "Extention List:"
    ui::ListBox lstFileTypes;  // the patterns of "Ext.txt"
    ui::Frame Frame2;          // "Extention Options:"
    ui::Label Label2;          // "Extention:"
    ui::TextBox txtAdd;        // "*." at opening and after each Add
    ui::CommandButton cmdAdd, cmdRemove, cmdDefault, cmdDone;

    // Lists the lines of "Ext.txt" that are patterns, in file order, all in one go (a pattern
    // file of tens of thousands of lines opens at once); empty when "Ext.txt" is missing or
    // unreadable (see ExtentionHandller::ReadLines).
    void FillPatternList();

    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdDefault_Click();
    void cmdDone_Click();

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload() override {}

private:
    // Puts the new pattern text into the disk cleaner's search box when that window is open.
    void PushPatternText();
};

}  // namespace bw
