// The main window: loads the item selection from the settings file, keeps the Options buttons
// in step with their items, switches pages, and saves the selection when it closes.
#include "app/frmMainCode.h"

#include <shlobj.h>

#include <string_view>

#include "diskclean/frmLocate.h"
#include "engine/frmcleannow.h"
#include "engine/frmrules.h"
#include "platform/Favorites.h"
#include "platform/FileSystem.h"
#include "platform/GdiObject.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"
#include "platform/Programs.h"
#include "settings/CustomItemsFile.h"
#include "settings/Inifun.h"
#include "settings/frmcookie.h"
#include "settings/frmmoreapp.h"
#include "settings/frmmsn.h"
#include "settings/frmnetscape.h"
#include "settings/frmoffice.h"
#include "settings/frmopera.h"
#include "settings/frmurl.h"
#include "shell/Frmsplash.h"
#include "shell/Help.h"
#include "shell/Pictures.h"
#include "shell/frmMenuForm.h"
#include "shell/frmabout.h"
#include "shell/frmoptions.h"
#include "shell/frmtray.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

namespace bw {

const char frmMainCode::kProductPage[] = "https://brightwipe.example/";
const char frmMainCode::kStandardSubtitle[] =
    "Select the tracks you want to erase from your computer, then click ERASE NOW.";

namespace {
const char kWindows[] = "WINDOWS";

// The page sits inside the skin's frame: its left border and its 30-pixel title bar; the
// right border is 19 pixels wide and the bottom bar 30 pixels high.
constexpr int kPageLeft = 6, kPageTop = 30, kPageWidth = 700, kPageHeight = 500;
constexpr int kWidth = kPageLeft + kPageWidth + 19, kHeight = kPageTop + kPageHeight + 30;
}  // namespace

frmMainCode::frmMainCode() : ui::Form("Brightwipe V2.60", kWidth, kHeight) {}

namespace {
// The check box CheckN of each number N; the items themselves (which box, which setting) are
// listed once, in the erase run's item table.
ui::CheckBox frmMainCode::* const kChecks[] = {
    nullptr,               &frmMainCode::Check1,  &frmMainCode::Check2,  &frmMainCode::Check3,
    &frmMainCode::Check4,  &frmMainCode::Check5,  &frmMainCode::Check6,  &frmMainCode::Check7,
    &frmMainCode::Check8,  &frmMainCode::Check9,  &frmMainCode::Check10, &frmMainCode::Check11,
    &frmMainCode::Check12, &frmMainCode::Check13, &frmMainCode::Check14, &frmMainCode::Check15,
    &frmMainCode::Check16, &frmMainCode::Check17, &frmMainCode::Check18, &frmMainCode::Check19,
    &frmMainCode::Check20, &frmMainCode::Check21, &frmMainCode::Check22, &frmMainCode::Check23,
    &frmMainCode::Check24, &frmMainCode::Check25, &frmMainCode::Check26, &frmMainCode::Check27,
    &frmMainCode::Check28, &frmMainCode::Check29,
};
// The Options button beside an item's box, enabled while the box is ticked.
const std::pair<int, ui::CommandButton frmMainCode::*> kOptionsButtons[] = {
    {1, &frmMainCode::Command7},  // typed URLs to keep
    {4, &frmMainCode::Command8},  // cookies to keep
    {8, &frmMainCode::Command3},  // Netscape
    {24, &frmMainCode::Command1},  // Opera
    {27, &frmMainCode::Command2},  // MSN Explorer
    {23, &frmMainCode::Command6},  // Office
};

// The access keys of the navigation bar (Alt plus the letter), named in the guide.
const std::pair<char, ui::Image frmMainCode::*> kAccessKeys[] = {
    {'S', &frmMainCode::Image1},  // Standard Items
    {'C', &frmMainCode::Image2},  // Custom Items
    {'E', &frmMainCode::Image3},  // ERASE NOW
    {'F', &frmMainCode::Image4},  // Search and Erase (find)
    {'O', &frmMainCode::Image5},  // Erase Options
    {'B', &frmMainCode::Image6},  // About
    {'X', &frmMainCode::Image9},  // EXIT
    {'R', &frmMainCode::Image10},  // Community Rules
};
}  // namespace

std::vector<frmMainCode::Item> frmMainCode::Items() {
    std::vector<Item> items;
    for (const BoxedItem& boxed : BoxedItems()) {
        Item item{boxed, &(this->*kChecks[boxed.box]), nullptr};
        for (const auto& [number, button] : kOptionsButtons)
            if (number == boxed.box) item.options = &(this->*button);
        items.push_back(item);
    }
    return items;
}

std::string frmMainCode::SettingsFile() const { return platform::SettingsFile("bwsd.dat"); }

void frmMainCode::Build() {
    const int kNavStep = 60;
    const int kRow = 22;
    auto browserRow = [&](int i) { return 38 + i * kRow; };
    std::vector<ui::Place> page = {
        {&Picture1, nullptr, "", 0, 0, 110, 500},
        {&Image1, &Picture1, "Standard Items", 31, 8 + 0 * kNavStep, 48, 40},
        {&Label1, &Picture1, "Standard Items", 4, 50 + 0 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},
        {&Image2, &Picture1, "Custom Items", 31, 8 + 1 * kNavStep, 48, 40},
        {&Label2, &Picture1, "Custom Items", 4, 50 + 1 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},
        {&Image3, &Picture1, "ERASE NOW", 31, 8 + 2 * kNavStep, 48, 40},
        {&Label3, &Picture1, "ERASE NOW", 4, 50 + 2 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},
        {&Image4, &Picture1, "Search and  Erase", 31, 8 + 3 * kNavStep, 48, 40},
        {&Label4, &Picture1, "Search and  Erase", 4, 50 + 3 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},
        {&Image5, &Picture1, "Erase Options", 31, 8 + 4 * kNavStep, 48, 40},
        {&Label5, &Picture1, "Erase Options", 4, 50 + 4 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},
        {&Image10, &Picture1, "Community Rules", 31, 8 + 5 * kNavStep, 48, 40},
        {&Label15, &Picture1, "Community Rules", 4, 50 + 5 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},
        {&Image6, &Picture1, "About", 31, 8 + 6 * kNavStep, 48, 40},
        {&Label6, &Picture1, "About", 4, 50 + 6 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},
        {&Image9, &Picture1, "EXIT", 31, 8 + 7 * kNavStep, 48, 40},
        {&Label13, &Picture1, "EXIT", 4, 50 + 7 * kNavStep, 102, 14, SS_CENTER | WS_TABSTOP},

        {&Frame1, nullptr, "", 115, 0, 580, 52},
        {&Label9, &Frame1, "Standard Items", 10, 12, 300, 16},
        {&Label8, &Frame1, kStandardSubtitle, 10, 30, 470, 16},
        {&Picture2, &Frame1, "", 500, 12, 20, 20},
        {&Label7, &Frame1, "Help", 524, 14, 40, 16, WS_TABSTOP},

        {&Frame2, nullptr, "Select the item(s) to erase", 115, 54, 580, 408},
        {&Frame4, &Frame2, "Browsers", 8, 16, 282, 290},
        {&Check9, &Frame4, "Select all of the above", 8, 16, 200, 20},
        {&Check1, &Frame4, "IE Location Bar History", 8, browserRow(0), 200, 20},
        {&Command7, &Frame4, "Options", 212, browserRow(0), 60, 20},
        {&Check2, &Frame4, "IE Internet History Files", 8, browserRow(1), 200, 20},
        {&Check3, &Frame4, "IE Internet Cache", 8, browserRow(2), 200, 20},
        {&Check4, &Frame4, "IE Cookies", 8, browserRow(3), 200, 20},
        {&Command8, &Frame4, "Options", 212, browserRow(3), 60, 20},
        {&Check5, &Frame4, "IE Favorites", 8, browserRow(4), 110, 20},
        {&Command4, &Frame4, " Export", 122, browserRow(4), 70, 20},
        {&Command5, &Frame4, "Import", 196, browserRow(4), 76, 20},
        {&Check6, &Frame4, "IE Autocomplete memory", 8, browserRow(5), 200, 20},
        {&Check7, &Frame4, "IE Downloaded program Files Directory", 8, browserRow(6), 266, 20},
        {&Check8, &Frame4, "Netscape Navigator", 8, browserRow(7), 200, 20},
        {&Command3, &Frame4, "Options", 212, browserRow(7), 60, 20},
        {&Check24, &Frame4, "Opera", 8, browserRow(8), 200, 20},
        {&Command1, &Frame4, "Options", 212, browserRow(8), 60, 20},
        {&Check27, &Frame4, "MSN Explorer", 8, browserRow(9), 200, 20},
        {&Command2, &Frame4, "Options", 212, browserRow(9), 60, 20},
        {&Check25, &Frame4, "Google Tool Bar Search History", 8, browserRow(10), 266, 20},

        {&Frame5, &Frame2, "Windows", 296, 16, 276, 290},
        {&Check18, &Frame5, "Select all of the above", 8, 16, 200, 20},
        {&Check10, &Frame5, "Recent Documents History", 8, browserRow(0), 260, 20},
        {&Check11, &Frame5, "Start Menu Run History", 8, browserRow(1), 260, 20},
        {&Check12, &Frame5, "Start Menu Search History", 8, browserRow(2), 260, 20},
        {&Check13, &Frame5, "Windows Temp", 8, browserRow(3), 260, 20},
        // The caption ends with a carriage return; drawn as multi-line text it is a line end, not a box.
        {&Check14, &Frame5, "Recycle Bin\r", 8, browserRow(4), 260, 20, BS_MULTILINE},
        {&Check15, &Frame5, "Open/Save Dialog Box History", 8, browserRow(5), 260, 20},
        {&Check16, &Frame5, "Scandisk Temp Files", 8, browserRow(6), 260, 20},
        {&Check17, &Frame5, "Windows Passwords(Only 9X/Me)", 8, browserRow(7), 260, 20},
        {&Check26, &Frame5, "Windows Clipboard", 8, browserRow(8), 260, 20},
        {&Check28, &Frame5, "Woadpad Recent Files", 8, browserRow(9), 260, 20},
        {&Check29, &Frame5, "Windows Paint Recent Files", 8, browserRow(10), 260, 20},

        {&Frame6, &Frame2, "Applications", 8, 310, 564, 92},
        {&Check19, &Frame6, "Winzip Recent Files", 8, 18, 180, 20},
        {&Check20, &Frame6, "Media Player playlist", 8, 40, 180, 20},
        {&Check21, &Frame6, "RealPlayer PlayList", 8, 62, 180, 20},
        {&Check22, &Frame6, "RealOne Player Playlist", 200, 18, 180, 20},
        {&Check23, &Frame6, "MS-Office Tracks", 200, 40, 150, 20},
        {&Command6, &Frame6, "Options", 356, 40, 60, 20},
        {&Label31, &Frame6, "More Applications", 200, 66, 150, 16, WS_TABSTOP},

        {&Frame7, nullptr, "Select Folder and Files That will Be Erased", 115, 54, 580, 408},
        {&Label102, &Frame7, "Folder", 12, 24, 50, 16},
        {&Text102, &Frame7, "", 64, 20, 380, 22},
        {&Command105, &Frame7, "Browse", 452, 20, 80, 22},
        {&Label103, &Frame7, "Files", 12, 54, 50, 16},
        {&Text103, &Frame7, "*.tmp", 64, 50, 160, 22},
        {&Label10, &Frame7, "(Such as *.chk)", 232, 54, 120, 16},
        {&Command101, &Frame7, "Add", 64, 82, 80, 24},
        {&Command102, &Frame7, "Remove", 152, 82, 80, 24},
        {&Command104, &Frame7, "Help", 240, 82, 80, 24},
        {&List1, &Frame7, "", 12, 116, 556, 280},

        {&Label11, nullptr, "Last Erased at:", 120, 470, 80, 16},
        {&Label12, nullptr, "", 200, 470, 170, 16},
        {&Label14, nullptr, "", 375, 470, 320, 16},
        {&Label51, nullptr, "", 120, 486, 200, 12},
    };
    for (ui::Place& p : page) {
        if (p.parent) continue;
        p.x += kPageLeft;
        p.y += kPageTop;
    }
    std::vector<ui::Place> places = FramePlaces(kWidth, kHeight);
    places.insert(places.begin() + 5, page.begin(), page.end());  // under the caption buttons
    Layout(places);
    lblTitle.SetCaption("Brightwipe V2.60");
    imgTitleClose.onClick = [this] { imgTitleClose_Click(); };
    imgTitleMinimize.onClick = [this] { imgTitleMinimize_Click(); };
    imgTitleHelp.onClick = [this] { imgTitleHelp_Click(); };
    for (ui::Image* bar : {&imgTitleLeft, &imgTitleMain, &imgTitleRight})
        bar->onMouseDown = [this] { SkinModule::DragWindow(*this); };

    Check9.onClick = [this] { Check9_Click(); };
    Check18.onClick = [this] { Check18_Click(); };
    for (const Item& item : Items())
        if (item.options) item.box->onClick = [this] { ApplyEnablingRule(); };

    Image1.onClick = Label1.onClick = [this] { Image1_Click(); };
    Image2.onClick = Label2.onClick = [this] { Image2_Click(); };
    Image3.onClick = Label3.onClick = [this] { Image3_Click(); };
    Image4.onClick = Label4.onClick = [this] { Image4_Click(); };
    Image5.onClick = Label5.onClick = [this] { Image5_Click(); };
    Image6.onClick = Label6.onClick = [this] { Image6_Click(); };
    Image9.onClick = Label13.onClick = [this] { Image9_Click(); };
    Image10.onClick = Label15.onClick = [this] { Image10_Click(); };
    int place = 0;
    for (ui::Image* image : {&Image1, &Image2, &Image3, &Image4, &Image5, &Image6, &Image9, &Image10}) {
        image->onMouseMove = [this, image] { HoverNavigation(*image); };
        // None in the test programs: a plain tile. SetPicture takes a copy.
        platform::GdiObject<HBITMAP> picture(NavigationPicture(place++));
        image->SetPicture(picture.get());
    }
    Picture1.onMouseMove = [this] { ClearSelections(); };
    // The keyboard reaches the navigation bar by Tab (its labels are tab stops, and the picture
    // above the one with the focus is framed as under the mouse) and by these access keys.
    const std::pair<ui::Label*, ui::Image*> navigation[] = {{&Label1, &Image1}, {&Label2, &Image2}, {&Label3, &Image3},
                                                            {&Label4, &Image4}, {&Label5, &Image5}, {&Label6, &Image6},
                                                            {&Label15, &Image10}, {&Label13, &Image9}};
    for (const auto& [label, image] : navigation)
        label->onFocus = [this, image = image](bool on) {
            if (on) HoverNavigation(*image);
            else ClearSelections();
        };
    for (const auto& [letter, image] : kAccessKeys) {
        ui::Image* target = &(this->*image);
        SetAccessKey(letter, [target] { target->OnCommand(STN_CLICKED); });
    }
    SetAccessKey('H', [this] { Label7_Click(); });
    SetAccessKey('M', [this] { Label31_Click(); });
    Label7.onClick = [this] { Label7_Click(); };
    Picture2.onClick = [this] { Label7_Click(); };
    Label31.onClick = [this] { Label31_Click(); };
    Label51.onClick = [this] { Label51_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command7.onClick = [] { ui::Get<frmurl>().ShowModal(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    Command101.onClick = [this] { Command101_Click(); };
    Command102.onClick = [this] { Command102_Click(); };
    Command104.onClick = [this] { Command104_Click(); };
    Command105.onClick = [this] { Command105_Click(); };
    Command8.onClick = [] { ui::Get<frmcookie>().ShowModal(); };
    Command5.onClick = [this] { Command5_Click(); };
}

EraseSelection frmMainCode::Selection() {
    EraseSelection selection;
    for (const Item& item : Items()) selection.set(static_cast<size_t>(item.id.box), item.box->Value() == 1);
    return selection;
}

void frmMainCode::Form_Load() {
    frmcleannow::Host() = {[this] { return Selection(); }, [this] { return hwnd(); },
                           [this] {
                               ui::Unload<frmurl>();
                               Show();
                           },
                           [this] { Unload(); }};
    const std::string file = SettingsFile();
    auto load = [&](const Item& item) {
        item.box->SetValue(TickedByText(Inifun::ReadIni(file, item.id.section, item.id.key), item.id.tickedAtFirst) ? 1 : 0);
    };

    Frame2.SetVisible(true);
    Frame7.SetVisible(false);

    std::vector<Item> items = Items();
    size_t i = 0;
    for (; i < items.size() && std::string_view(items[i].id.section) == "BROWSERS"; ++i) load(items[i]);

    std::string lastClean = Inifun::ReadIni(file, kWindows, "lastclean");
    std::optional<double> lastNumber = Inifun::ReadsAsNumber(lastClean);
    if (!(lastNumber && *lastNumber == 0)) Label12.SetCaption(lastClean);

    std::string regnum = Inifun::ReadIni(file, kWindows, "regnum");
    std::string filesize = Inifun::ReadIni(file, kWindows, "filesize");
    std::optional<double> regNumber = Inifun::ReadsAsNumber(regnum);
    std::optional<double> sizeNumber = Inifun::ReadsAsNumber(filesize);
    bool bothZero = regNumber && *regNumber == 0 && sizeNumber && *sizeNumber == 0;
    if (!bothZero)
        Label14.SetCaption("Cleaned Registry Keys: " + regnum + " Released HD Space:" + filesize + "MB");

    for (; i < items.size(); ++i) load(items[i]);

    ApplyEnablingRule();

    SkinModule::ApplySkinLayout(*this, *this);
    ui::Get<frmMenuForm>().Load();
    SkinModule::ApplySkinImages(*this, *this);
    Center();
}

bool frmMainCode::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    // Minimised by any means (the title image, the taskbar, the system menu): hidden, with the
    // tray icon as the way back.
    if (msg == WM_SIZE && wp == SIZE_MINIMIZED) {
        Hide();
        *result = 0;
        return true;
    }
    return false;
}

void frmMainCode::Form_Unload() {
    frmcleannow::Host() = {};
    ui::Unload<Frmsplash>();
    ui::Unload<frmtray>();
    ui::Unload<frmurl>();
    ui::Unload<frmcleannow>();
    ui::Unload<frmrules>();
    ui::Unload<frmcookie>();

    const std::string file = SettingsFile();
    const Inifun::SaveBatch batch(file);  // one rewrite of the file for all the boxes
    for (const Item& item : Items())
        Inifun::WriteIni(file, item.id.section, item.id.key, item.box->Value() == 1 ? "1" : "0");
    ui::Unload<frmMenuForm>();
    ui::Unload<frmabout>();
}

void frmMainCode::ApplyEnablingRule() {
    for (const Item& item : Items())
        if (item.options) item.options->SetEnabled(item.box->Value() == 1);
}

void frmMainCode::SetGroup(const std::vector<ui::CheckBox*>& boxes, int value) {
    for (ui::CheckBox* box : boxes) box->SetValue(value);
}

void frmMainCode::Check9_Click() {
    SetGroup({&Check1, &Check2, &Check3, &Check4, &Check5, &Check6, &Check7, &Check8, &Check24,
              &Check27, &Check25},
             Check9.Value());
}

void frmMainCode::Check18_Click() {
    SetGroup({&Check10, &Check11, &Check12, &Check13, &Check14, &Check15, &Check16, &Check17,
              &Check26, &Check28, &Check29},
             Check18.Value());
}

void frmMainCode::ClearSelections() {
    for (ui::Image* image : {&Image1, &Image2, &Image3, &Image4, &Image5, &Image6, &Image9, &Image10})
        image->SetBorder(false);
}

void frmMainCode::HoverNavigation(ui::Image& hovered) {
    for (ui::Image* image : {&Image1, &Image2, &Image3, &Image4, &Image5, &Image6, &Image9, &Image10})
        image->SetBorder(image == &hovered);
}

void frmMainCode::Image1_Click() {
    Frame2.SetVisible(true);
    Frame7.SetVisible(false);
    Label9.SetCaption("Standard Items");
    Label8.SetCaption(kStandardSubtitle);
}

void frmMainCode::Image2_Click() {
    Frame2.SetVisible(false);
    Frame7.SetVisible(true);
    Label9.SetCaption("Custom Erase items");
    Label8.SetCaption("Custom File and Folder Item Editor.");
    ReloadCustomItems();
}

void frmMainCode::ReloadCustomItems() {
    if (!platform::fs::FileExists(customitems::File())) return;
    // A file that cannot be read (far too large, locked) shows nothing, so no Remove can write
    // an old list over it.
    List1.Clear();
    if (std::optional<std::vector<std::string>> entries = customitems::Read()) List1.AddItems(*entries);
}

// The list shows only what the file keeps: an entry that cannot be stored is not shown, and a
// removal that cannot be stored leaves the list as it was. Neither says anything.
void frmMainCode::Command101_Click() {
    const std::string folder = Text102.Text(), files = Text103.Text();
    if (folder.empty() || files.empty()) {
        platform::MsgBox(hwnd(), "Please fill in all data.", "Brightwipe", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string entry = customitems::Entry(folder, files);
    // A folder the erase would refuse (a system, program or profile folder) is refused here, with why.
    if (customitems::IsAbsoluteEntry(entry)) {
        const std::string refusal = platform::fs::UserPatternRefusal(entry);
        if (!refusal.empty()) {
            platform::MsgBox(hwnd(), refusal, "Brightwipe", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    if (customitems::Append(entry)) List1.AddItem(entry);
}

void frmMainCode::Command102_Click() {
    const int selected = List1.ListIndex();
    if (selected < 0) return;
    std::vector<std::string> rest;
    for (int i = 0; i < List1.ListCount(); ++i)
        if (i != selected) rest.push_back(List1.List(i));
    if (customitems::Write(rest)) List1.RemoveItem(selected);
}

void frmMainCode::Command104_Click() { Label7_Click(); }

void frmMainCode::Command105_Click() {
    if (std::optional<std::string> folder =
            ui::BrowseForFolder(hwnd(), "Brightwipe", BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN))
        Text102.SetText(*folder);
}

void frmMainCode::Image3_Click() { ui::Get<frmcleannow>().Show(); }

void frmMainCode::Image4_Click() {
    frmLocate& locate = ui::Get<frmLocate>();
    locate.onAbout = [] { ui::Get<frmabout>().ShowModal(); };
    locate.ShowModal();
}

void frmMainCode::Image5_Click() { ui::Get<frmoptions>().ShowModal(); }

void frmMainCode::Image6_Click() { ui::Get<frmabout>().ShowModal(); }

void frmMainCode::Image9_Click() { Unload(); }

void frmMainCode::Image10_Click() { ui::Get<frmrules>().ShowModal(); }

void frmMainCode::Label7_Click() { OpenHelp(); }

void frmMainCode::Label51_Click() { platform::OpenInNewBrowserWindow(kProductPage); }

void frmMainCode::imgTitleClose_Click() { Unload(); }

void frmMainCode::imgTitleMinimize_Click() {
    Minimize();
    Hide();
}

void frmMainCode::imgTitleHelp_Click() { OpenHelp(); }

void frmMainCode::Label31_Click() { ui::Get<frmmoreapp>().ShowModal(); }

void frmMainCode::Command3_Click() { ui::Get<frmnetscape>().ShowModal(); }

void frmMainCode::Command1_Click() { ui::Get<frmopera>().ShowModal(); }

void frmMainCode::Command2_Click() { ui::Get<frmmsn>().ShowModal(); }

void frmMainCode::Command6_Click() { ui::Get<frmoffice>().ShowModal(); }

// Favorites export and import say nothing when they fail; a cancelled dialog does nothing.
void frmMainCode::Command4_Click() {
    std::optional<std::string> file = ui::ShowSaveDialog(hwnd(), "(*.htm)|*.htm", lastFavoritesFile_);
    if (!file) return;
    lastFavoritesFile_ = *file;
    platform::ImportExportFavorites(false, *file);
}

void frmMainCode::Command5_Click() {
    std::optional<std::string> file = ui::ShowOpenDialog(hwnd(), "(*.htm)|*.htm", lastFavoritesFile_);
    if (!file) return;
    lastFavoritesFile_ = *file;
    platform::ImportExportFavorites(true, *file);
}

}  // namespace bw
