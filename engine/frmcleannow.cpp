// The erase window and the erase run: the item table, gates, progress lines and statistics.
#include "engine/frmcleannow.h"

#include "ui/Forms.h"
#include "engine/EraseItems.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"
#include "platform/Shell.h"
#include "settings/Inifun.h"

namespace bw {

namespace {

// How an item is gated: by a main-window check box, always, or by the "Custom" setting.
enum class Gate { Box, Always, Setting };
struct GateRule {
    Gate kind;
    int box;  // Gate::Box: the number of the main window's check box
};
constexpr GateRule Box(int number) { return {Gate::Box, number}; }
constexpr GateRule kAlways{Gate::Always, 0};
constexpr GateRule kCustomSetting{Gate::Setting, 0};

// Which of an item's two status lines repaint the list and select themselves.
enum class Scroll { None, End, Both };

// The status lines of an item; none at all for an item that adds its own.
struct Lines {
    const char* start = nullptr;
    const char* end = nullptr;
    Scroll scroll = Scroll::None;
    const char* altEnd = nullptr;  // reported instead of `end` when the item sets useAltEndLine
};

constexpr double kKeep = -1;

// What an item adds to the run's statistics; a row states only what it changes.
struct Figures {
    double regnumAtGate = 0;    // added as soon as the gate is found open
    double regnumAdd = 0;       // added after the item's work
    double filesizeSet = kKeep;  // >= 0: filesize becomes this after the item's work
    double filesizeAdd = 0;     // added after the item's work
    constexpr Figures SizeBecomes(double bytes) const {
        Figures f = *this;
        f.filesizeSet = bytes;
        return f;
    }
};
constexpr Figures Registry(double entries) { return Figures{0, entries, kKeep, 0}; }
constexpr Figures RegistryAtGate(double entries) { return Figures{entries, 0, kKeep, 0}; }
constexpr Figures Bytes(double bytes) { return Figures{0, 0, kKeep, bytes}; }

struct EraseItem {
    int progress;  // set before the gate; -1 leaves the bar as it is
    GateRule gate;
    Lines lines;
    Figures figures;
    void (*action)(EraseRun&);
};

// The items in the order a run visits them.
const EraseItem kItems[] = {
    {1, Box(1), {"Please Waiting ,Erasing IE Location Bar History......",
      "Erasing IE Location Bar History.....OK", Scroll::End}, {}, items::LocationBarHistory},
    {5, Box(2), {"Please Waiting ,Erasing IE Internet History Files......",
      "Erasing IE Internet History Files......OK", Scroll::End}, Registry(15).SizeBecomes(500000), items::InternetHistory},
    {10, Box(3), {"Please Waiting ,Erasing IE Internet Cache......",
      "Erasing IE Internet Cache......OK", Scroll::Both}, {}, items::InternetCache},
    {17, Box(4), {"Please Waiting ,Erasing IE Cookies.......",
      "Erasing IE Cookies.......OK", Scroll::End}, {}, items::Cookies},
    {21, Box(5), {"Please Waiting ,Erasing IE Favorites.......",
      "Erasing IE Favorites.......OK", Scroll::End}, {}, items::Favorites},
    {24, Box(6), {"Please Waiting ,Erasing IE Autocomplete Memory......",
      "Erasing IE Autocomplete Memory......OK", Scroll::Both}, Registry(5), items::AutocompleteMemory},
    {30, Box(7), {"Please Waiting ,Erasing IE Downloaded program Files Director......",
      "Erasing IE Downloaded program Files Director......OK", Scroll::None}, {}, items::DownloadedProgramFiles},
    {32, Box(8), {"Please Waiting ,Erasing Netscape Navigator......",
      "Erasing Netscape Navigator......OK", Scroll::None}, {}, items::NetscapeNavigator},
    {35, Box(24), {"Please Waiting ,Erasing Opera......",
      "Erasing Opera......OK", Scroll::None, "Can't found Opera Directory!"}, {}, items::Opera},
    {36, Box(27), {"Please Waiting ,Erasing MSN Explorer......",
      "Erasing MSN Explorer......OK", Scroll::None}, {}, items::MsnExplorer},
    {36, Box(25), {"Please Waiting ,Erasing Google Tool Bar Search History......",
      "Erasing Google Tool Bar Search History......OK", Scroll::None}, Registry(1), items::GoogleToolbar},
    {37, Box(10), {"Please Waiting ,Erasing Recent Documents History......",
      "Erasing Recent Documents History......OK", Scroll::None}, Registry(1), items::RecentDocuments},
    {38, Box(11), {"Please Waiting ,Erasing Start Menu Run History......",
      "Erasing Start Menu Run History......OK", Scroll::None}, Registry(1), items::RunHistory},
    {40, Box(12), {"Please Waiting ,Erasing Start Menu Search History......",
      "Erasing Start Menu Search History......OK", Scroll::None}, Registry(4), items::SearchHistory},
    {43, Box(13), {"Please Waiting ,Erasing Windows Temp.......",
      "Erasing Windows Temp.......OK", Scroll::Both}, {}, items::WindowsTemp},
    {45, Box(14), {"Please Waiting ,Erasing Recycle Bin....",
      "Erasing Recycle Bin......OK", Scroll::Both}, {}, items::RecycleBin},
    {47, Box(15), {"Please Waiting ,Erasing Open/Save Dialog Box History......",
      "Erasing Open/Save Dialog Box History......OK", Scroll::End}, Registry(16), items::OpenSaveHistory},
    {49, Box(16), {"Please Waiting ,Erasing Scandisk Temp Files......",
      "Erasing Scandisk Temp Files......OK", Scroll::Both}, Bytes(50000), items::ScandiskFiles},
    {50, Box(17), {"Please Waiting ,Erasing Windows Passwords......",
      "Erasing Windows Passwords......OK", Scroll::End}, Bytes(2000), items::CachedPasswords},
    {51, Box(26), {"Please Waiting ,Erasing Windows Clipboard......",
      "Erasing Windows Clipboard......", Scroll::None}, {}, items::Clipboard},
    {52, Box(28), {"Please Waiting ,Erasing Wordpad Recent Files......",
      "Erasing Wordpad Recent Files......OK", Scroll::None}, Registry(1), items::WordpadRecent},
    {-1, Box(29), {"Please Waiting ,Erasing Windows Paint Recent Files......",
      "Erasing Windows Paint Recent Files......OK", Scroll::None}, Registry(1), items::PaintRecent},
    {-1, Box(19), {"Please Waiting ,Erasing Winzip Recent Files......",
      "Erasing Winzip Recent Files......OK", Scroll::None}, Registry(1), items::WinzipRecent},
    {58, Box(20), {"Please Waiting ,Erasing Media Player playlist......",
      "Erasing Media Player playlist......OK", Scroll::None}, Registry(1), items::MediaPlayerPlaylist},
    {60, Box(22), {"Please Waiting ,Erasing RealOne Player Recent Files......",
      "Erasing RealOne Player Recent Files......OK", Scroll::None}, Registry(9), items::RealOnePlaylist},
    {64, Box(21), {"Please Waiting ,Erasing Real Player playlist......",
      "Erasing Real Player playlist......OK", Scroll::End}, Registry(9), items::RealPlayerPlaylist},
    {67, Box(23), {"Please Waiting ,Erasing MS-Office Tracks......",
      "Erasing MS-Office Tracks......OK", Scroll::End}, RegistryAtGate(6), items::OfficeTracks},
    {73, kAlways, {"Please Waiting ,Erasing More Applications......", "Erasing More Applications......OK", Scroll::Both},
     {}, items::MoreApplications},
    {89, kCustomSetting, {}, {}, items::CustomItems},  // adds its own lines
};

bool ScrollsEnd(Scroll s) { return s == Scroll::End || s == Scroll::Both; }

// Runs the items that `selection` and the settings open, in table order, over `run` (whose
// settingsFile and addLine are set); `progress` receives each item's bar position. With
// "securely" on, every file the items delete is overwritten first.
void RunItems(EraseRun& run, const EraseSelection& selection, const std::function<void(int)>& progress) {
    const std::string& settings = run.settingsFile;
    platform::fs::SecureEraseScope secure(Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "securely")));
    for (const EraseItem& item : kItems) {
        if (item.progress >= 0) progress(item.progress);
        bool open = false;
        switch (item.gate.kind) {
        case Gate::Box: open = selection.test(static_cast<size_t>(item.gate.box)); break;
        case Gate::Always: open = true; break;
        case Gate::Setting: open = Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "Custom")); break;
        }
        if (!open) continue;
        run.regnum += item.figures.regnumAtGate;
        if (item.lines.start) run.addLine(item.lines.start, item.lines.scroll == Scroll::Both);
        run.useAltEndLine = false;
        item.action(run);
        if (item.lines.end)
            run.addLine(run.useAltEndLine && item.lines.altEnd ? item.lines.altEnd : item.lines.end,
                        ScrollsEnd(item.lines.scroll));
        run.regnum += item.figures.regnumAdd;
        if (item.figures.filesizeSet >= 0) run.filesize = item.figures.filesizeSet;
        run.filesize += item.figures.filesizeAdd;
    }
}

void WriteStatistics(const std::string& settings, const EraseRun& run) {
    Inifun::WriteIni(settings, "WINDOWS", "regnum", FormatCount(run.regnum));
    Inifun::WriteIni(settings, "WINDOWS", "filesize", FormatSize(run.filesize / 1048576.0));
}

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
    // Esc is Cancel; Enter erases only from the "Erase Now" button itself, never by default.
    SetCancelButton(&Command2);
}

void frmcleannow::Command1_Click() {
    Inifun::WriteIni(platform::SettingsFile("bwsd.dat"), "WINDOWS", "lastclean", platform::NowText());
    cleannow();
}

void frmcleannow::Command2_Click() {
    Unload();
    const EraseHost host = Host();
    if (host.cancelled) host.cancelled();
}

void frmcleannow::AddLine(const std::string& text, bool scroll) {
    List1.AddItem(text);
    if (scroll) {
        List1.Refresh();
        List1.SetListIndex(List1.ListCount() - 1);
    }
}

void frmcleannow::cleannow() {
    const std::string settings = platform::SettingsFile("bwsd.dat");
    const EraseHost host = Host();  // a copy: closing the main window resets the host
    const EraseSelection selection = host.selection ? host.selection() : EraseSelection{};

    Frame1.SetCaption("Erasing In Progress,Please Waiting a few minutes");
    Frame1.Refresh();
    ui::WaitCursor wait;
    run_ = EraseRun{};
    run_.settingsFile = settings;
    run_.mainWindow = host.window ? host.window() : nullptr;
    run_.addLine = [this](const std::string& line, bool scroll) { AddLine(line, scroll); };
    Command1.SetEnabled(false);
    List1.Clear();
    AddLine("Please waiting,Begin Erasing", false);

    RunItems(run_, selection, [this](int position) { coolprogressbar1.SetValue(position); });

    coolprogressbar1.SetValue(98);
    if (Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "exit"))) {
        // frmtray goes first once the tray exists; then this window and the main window.
        Unload();
        if (host.closeMain) host.closeMain();
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
    WriteStatistics(settings, run_);
    Frame1.SetCaption("Status");
}

EraseRun EraseUnattended(const EraseSelection& selection) {
    EraseRun run;
    run.settingsFile = platform::SettingsFile("bwsd.dat");
    run.addLine = [](const std::string&, bool) {};
    Inifun::WriteIni(run.settingsFile, "WINDOWS", "lastclean", platform::NowText());
    RunItems(run, selection, [](int) {});
    WriteStatistics(run.settingsFile, run);
    return run;
}

EraseHost& frmcleannow::Host() {
    static EraseHost host;
    return host;
}

}  // namespace bw
