// The main window: the selection of the 29 erase items, the navigation bar, the status area.
#pragma once
#include <string>
#include <vector>

#include "engine/EraseRun.h"
#include "engine/EraseRunner.h"
#include "shell/SkinModule.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

// The title bar, borders and caption buttons (lblTitle, imgTitleClose, ...) come from SkinFrame.
class frmMainCode : public ui::Form, public SkinFrame {
public:
    frmMainCode();

    // Item boxes, each bound to one on/off key of the settings file.
    ui::CheckBox Check1, Check2, Check3, Check4, Check5, Check6, Check7, Check8, Check24, Check27,
        Check25;                                                            // Browsers
    ui::CheckBox Check10, Check11, Check12, Check13, Check14, Check15, Check16, Check17, Check26,
        Check28, Check29;                                                   // Windows
    ui::CheckBox Check19, Check20, Check21, Check22, Check23;              // Applications
    ui::CheckBox Check9, Check18;  // "Select all of the above" of Browsers and Windows

    // "Options" buttons, enabled while their item is checked.
    ui::CommandButton Command7, Command8, Command3, Command1, Command2, Command6;
    ui::CommandButton Command4, Command5;  // favorites export and import
    ui::Label Label31;                     // "More Applications"

    ui::PictureBox Picture1;  // navigation bar
    ui::Image Image1, Image2, Image3, Image4, Image5, Image6, Image9, Image10;
    ui::Label Label1, Label2, Label3, Label4, Label5, Label6, Label13, Label15;

    ui::Frame Frame1;  // page header
    ui::PictureBox Picture2;
    ui::Label Label9, Label8, Label7;
    ui::Frame Frame2, Frame4, Frame5, Frame6;  // standard items page and its groups
    ui::Frame Frame7;                          // custom items page

    // The custom items page: a folder and a pattern to add, the list of "cusd.dat".
    ui::Label Label102, Label103, Label10;
    ui::TextBox Text102, Text103;              // folder; file name or pattern
    ui::CommandButton Command105;              // "Browse"
    ui::CommandButton Command101, Command102;  // "Add", "Remove"
    ui::CommandButton Command104;              // "Help"
    ui::ListBox List1;                         // the custom items, one per line of the file

    ui::Label Label11, Label12, Label14, Label51;  // status area

    // The items ticked now, for the erase run: bit n is CheckN.
    EraseSelection Selection();

    // Removes the hover border of the eight navigation images.
    void ClearSelections();

    // Handlers.
    void Check9_Click();
    void Check18_Click();
    void Image1_Click();
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();
    void Image6_Click();
    void Image9_Click();
    void Image10_Click();  // "Community Rules"
    void Label7_Click();
    void Label31_Click();
    void Label51_Click();
    void imgTitleClose_Click();
    void imgTitleMinimize_Click();
    void imgTitleHelp_Click();
    void Command4_Click();
    void Command5_Click();
    // The Options buttons of Netscape, Opera, MSN Explorer and Office.
    void Command3_Click();
    void Command1_Click();
    void Command2_Click();
    void Command6_Click();
    // Custom items: Add, Remove, Help, Browse.
    void Command101_Click();
    void Command102_Click();
    void Command104_Click();
    void Command105_Click();
    // Shows "cusd.dat" in List1; leaves List1 as it is when there is no such file.
    void ReloadCustomItems();

    static const char kStandardSubtitle[];
    static const char kProductPage[];  // Label51 opens it in a new browser window

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload() override;
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    DWORD FormStyle() const override { return WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN; }
    // Esc never ends the program; the navigation bar's EXIT and Alt+X do.
    bool EscapeCloses() const override { return false; }

private:
    struct Item {
        BoxedItem id;  // the item's box number and setting, from the item table
        ui::CheckBox* box;
        ui::CommandButton* options;
    };
    std::vector<Item> Items();
    std::string SettingsFile() const;
    void ApplyEnablingRule();
    void SetGroup(const std::vector<ui::CheckBox*>& boxes, int value);
    void HoverNavigation(ui::Image& image);
    std::string lastFavoritesFile_;
};

}  // namespace bw
