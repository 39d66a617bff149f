// The erase window and the erase run: the item table, gates, progress lines and statistics.
#include "engine/frmcleannow.h"

#include "app/Forms.h"
#include "engine/EraseItems.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"
#include "platform/Shell.h"
#include "settings/Inifun.h"
#include "settings/frmMainCode.h"
#include "settings/frmurl.h"

namespace bw {

namespace {

// How an item is gated: by a main-window check box, always, or by a settings key.
enum class Gate { Box, Always, Setting };

struct EraseItem {
    int progress;  // set before the gate; -1 leaves the bar as it is
    Gate gate;
    ui::CheckBox frmMainCode::*box;
    const char* startLine;  // null: the item adds its own lines
    bool startScroll;
    const char* endLine;
    bool endScroll;
    const char* altEndLine;  // reported instead when the item sets useAltEndLine
    double regnumAdd;        // added after the item's work
    double filesizeSet;      // >= 0: filesize becomes this after the item's work
    double filesizeAdd;      // added after the item's work
    double regnumAtGate;     // added as soon as the gate is found open
    void (*action)(EraseRun&);
};

constexpr double kKeep = -1;

// The items in the order a run visits them.
const EraseItem kItems[] = {
    {1, Gate::Box, &frmMainCode::Check1, "Please Waiting ,Erasing IE Location Bar History......", false,
     "Erasing IE Location Bar History.....OK", true, nullptr, 0, kKeep, 0, 0, items::LocationBarHistory},
    {5, Gate::Box, &frmMainCode::Check2, "Please Waiting ,Erasing IE Internet History Files......", false,
     "Erasing IE Internet History Files......OK", true, nullptr, 15, 500000, 0, 0, items::InternetHistory},
    {10, Gate::Box, &frmMainCode::Check3, "Please Waiting ,Erasing IE Internet Cache......", true,
     "Erasing IE Internet Cache......OK", true, nullptr, 0, kKeep, 0, 0, items::InternetCache},
    {17, Gate::Box, &frmMainCode::Check4, "Please Waiting ,Erasing IE Cookies.......", false,
     "Erasing IE Cookies.......OK", true, nullptr, 0, kKeep, 0, 0, items::Cookies},
    {21, Gate::Box, &frmMainCode::Check5, "Please Waiting ,Erasing IE Favorites.......", false,
     "Erasing IE Favorites.......OK", true, nullptr, 0, kKeep, 0, 0, items::Favorites},
    {24, Gate::Box, &frmMainCode::Check6, "Please Waiting ,Erasing IE Autocomplete Memory......", true,
     "Erasing IE Autocomplete Memory......OK", true, nullptr, 5, kKeep, 0, 0, items::AutocompleteMemory},
    {30, Gate::Box, &frmMainCode::Check7, "Please Waiting ,Erasing IE Downloaded program Files Director......", false,
     "Erasing IE Downloaded program Files Director......OK", false, nullptr, 0, kKeep, 0, 0,
     items::DownloadedProgramFiles},
    {32, Gate::Box, &frmMainCode::Check8, "Please Waiting ,Erasing Netscape Navigator......", false,
     "Erasing Netscape Navigator......OK", false, nullptr, 0, kKeep, 0, 0, items::NetscapeNavigator},
    {35, Gate::Box, &frmMainCode::Check24, "Please Waiting ,Erasing Opera......", false,
     "Erasing Opera......OK", false, "Can't found Opera Directory!", 0, kKeep, 0, 0, items::Opera},
    {36, Gate::Box, &frmMainCode::Check27, "Please Waiting ,Erasing MSN Explorer......", false,
     "Erasing MSN Explorer......OK", false, nullptr, 0, kKeep, 0, 0, items::MsnExplorer},
    {36, Gate::Box, &frmMainCode::Check25, "Please Waiting ,Erasing Google Tool Bar Search History......", false,
     "Erasing Google Tool Bar Search History......OK", false, nullptr, 1, kKeep, 0, 0, items::GoogleToolbar},
    {37, Gate::Box, &frmMainCode::Check10, "Please Waiting ,Erasing Recent Documents History......", false,
     "Erasing Recent Documents History......OK", false, nullptr, 1, kKeep, 0, 0, items::RecentDocuments},
    {38, Gate::Box, &frmMainCode::Check11, "Please Waiting ,Erasing Start Menu Run History......", false,
     "Erasing Start Menu Run History......OK", false, nullptr, 1, kKeep, 0, 0, items::RunHistory},
    {40, Gate::Box, &frmMainCode::Check12, "Please Waiting ,Erasing Start Menu Search History......", false,
     "Erasing Start Menu Search History......OK", false, nullptr, 4, kKeep, 0, 0, items::SearchHistory},
    {43, Gate::Box, &frmMainCode::Check13, "Please Waiting ,Erasing Windows Temp.......", true,
     "Erasing Windows Temp.......OK", true, nullptr, 0, kKeep, 0, 0, items::WindowsTemp},
    {45, Gate::Box, &frmMainCode::Check14, "Please Waiting ,Erasing Recycle Bin....", true,
     "Erasing Recycle Bin......OK", true, nullptr, 0, kKeep, 0, 0, items::RecycleBin},
    {47, Gate::Box, &frmMainCode::Check15, "Please Waiting ,Erasing Open/Save Dialog Box History......", false,
     "Erasing Open/Save Dialog Box History......OK", true, nullptr, 16, kKeep, 0, 0, items::OpenSaveHistory},
    {49, Gate::Box, &frmMainCode::Check16, "Please Waiting ,Erasing Scandisk Temp Files......", true,
     "Erasing Scandisk Temp Files......OK", true, nullptr, 0, kKeep, 50000, 0, items::ScandiskFiles},
    {50, Gate::Box, &frmMainCode::Check17, "Please Waiting ,Erasing Windows Passwords......", false,
     "Erasing Windows Passwords......OK", true, nullptr, 0, kKeep, 2000, 0, items::CachedPasswords},
    {51, Gate::Box, &frmMainCode::Check26, "Please Waiting ,Erasing Windows Clipboard......", false,
     "Erasing Windows Clipboard......", false, nullptr, 0, kKeep, 0, 0, items::Clipboard},
    {52, Gate::Box, &frmMainCode::Check28, "Please Waiting ,Erasing Wordpad Recent Files......", false,
     "Erasing Wordpad Recent Files......OK", false, nullptr, 1, kKeep, 0, 0, items::WordpadRecent},
    {-1, Gate::Box, &frmMainCode::Check29, "Please Waiting ,Erasing Windows Paint Recent Files......", false,
     "Erasing Windows Paint Recent Files......OK", false, nullptr, 1, kKeep, 0, 0, items::PaintRecent},
    {-1, Gate::Box, &frmMainCode::Check19, "Please Waiting ,Erasing Winzip Recent Files......", false,
     "Erasing Winzip Recent Files......OK", false, nullptr, 1, kKeep, 0, 0, items::WinzipRecent},
    {58, Gate::Box, &frmMainCode::Check20, "Please Waiting ,Erasing Media Player playlist......", false,
     "Erasing Media Player playlist......OK", false, nullptr, 1, kKeep, 0, 0, items::MediaPlayerPlaylist},
    {60, Gate::Box, &frmMainCode::Check22, "Please Waiting ,Erasing RealOne Player Recent Files......", false,
     "Erasing RealOne Player Recent Files......OK", false, nullptr, 9, kKeep, 0, 0, items::RealOnePlaylist},
    {64, Gate::Box, &frmMainCode::Check21, "Please Waiting ,Erasing Real Player playlist......", false,
     "Erasing Real Player playlist......OK", true, nullptr, 9, kKeep, 0, 0, items::RealPlayerPlaylist},
    {67, Gate::Box, &frmMainCode::Check23, "Please Waiting ,Erasing MS-Office Tracks......", false,
     "Erasing MS-Office Tracks......OK", true, nullptr, 0, kKeep, 0, 6, items::OfficeTracks},
    {73, Gate::Always, nullptr, "Please Waiting ,Erasing More Applications......", true,
     "Erasing More Applications......OK", true, nullptr, 0, kKeep, 0, 0, items::MoreApplications},
    {89, Gate::Setting, nullptr, nullptr, false, nullptr, false, nullptr, 0, kKeep, 0, 0, items::CustomItems},
};

}  // namespace

frmcleannow::frmcleannow() : ui::Form("Brightwipe", 440, 370) {}

void frmcleannow::Build() {
    Layout({
        {&Command2, nullptr, "Cancel", 340, 334, 90, 26},
        {&Command1, nullptr, "Erase Now", 240, 334, 90, 26},
        {&Frame1, nullptr, "Status", 10, 8, 420, 228},
        {&List1, &Frame1, "", 10, 20, 400, 198},
        {&Text1, nullptr, "Text1", 10, 334, 60, 20},
        {&Label1, nullptr,
         "Tt's highly recommended that you shut down all other programs when erase the tracks,"
         "Brightwipe can not erase the files which being used by other programs.",
         10, 244, 420, 44},
        {&coolprogressbar1, nullptr, "", 10, 296, 420, 22},
    });
    Text1.SetVisible(false);
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void frmcleannow::Command1_Click() {
    Inifun::WriteIni(platform::ProgramFile("bwsd.dat"), "WINDOWS", "lastclean", platform::NowText());
    cleannow();
}

void frmcleannow::Command2_Click() {
    app::Unload<frmurl>();
    Unload();
    app::Get<frmMainCode>().Show();
}

void frmcleannow::AddLine(const std::string& text, bool scroll) {
    List1.AddItem(text);
    if (scroll) {
        List1.Refresh();
        List1.SetListIndex(List1.ListCount() - 1);
    }
}

void frmcleannow::cleannow() {
    const std::string settings = platform::ProgramFile("bwsd.dat");
    frmMainCode& main = app::Get<frmMainCode>();

    Frame1.SetCaption("Erasing In Progress,Please Waiting a few minutes");
    Frame1.Refresh();
    ui::SetScreenMousePointer(11);
    run_ = EraseRun{};
    run_.settingsFile = settings;
    run_.mainWindow = main.hwnd();
    run_.addLine = [this](const std::string& line, bool scroll) { AddLine(line, scroll); };
    Command1.SetEnabled(false);
    List1.Clear();
    AddLine("Please waiting,Begin Erasing", false);

    for (const EraseItem& item : kItems) {
        if (item.progress >= 0) coolprogressbar1.SetValue(item.progress);
        bool open = false;
        switch (item.gate) {
        case Gate::Box: open = (main.*item.box).Value() == 1; break;
        case Gate::Always: open = true; break;
        case Gate::Setting: open = Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "Custom")); break;
        }
        if (!open) continue;
        run_.regnum += item.regnumAtGate;
        if (item.startLine) AddLine(item.startLine, item.startScroll);
        run_.useAltEndLine = false;
        item.action(run_);
        if (item.endLine)
            AddLine(run_.useAltEndLine && item.altEndLine ? item.altEndLine : item.endLine, item.endScroll);
        run_.regnum += item.regnumAdd;
        if (item.filesizeSet >= 0) run_.filesize = item.filesizeSet;
        run_.filesize += item.filesizeAdd;
    }

    coolprogressbar1.SetValue(98);
    if (Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "exit"))) {
        ui::SetScreenMousePointer(0);
        // frmtray goes first once the tray exists; then this window and the main window.
        Unload();
        app::Unload<frmMainCode>();
        return;
    }

    coolprogressbar1.SetValue(100);
    AddLine("Task complete Successfully!", true);
    std::string released = FormatSize(run_.filesize / 1048576.0);
    platform::MsgBox(hwnd(),
                     "Task complete Successfully! Erased Registry Keys: " + FormatCount(run_.regnum) +
                         " Released HD Space:" + released + "MB",
                     "Task Complete", MB_OK | MB_ICONINFORMATION);
    Show();
    Command1.SetEnabled(true);
    Inifun::WriteIni(settings, "WINDOWS", "regnum", FormatCount(run_.regnum));
    Inifun::WriteIni(settings, "WINDOWS", "filesize", released);
    Frame1.SetCaption("Status");
    ui::SetScreenMousePointer(0);
}

bool frmcleannow::ClearDocumentsMenu() { return platform::ClearRecentDocuments(); }

std::string frmcleannow::GetShlwapiVersion() { return std::to_string(platform::ShlwapiMajorVersion()); }

}  // namespace bw
