// The disk cleaner window: drive and folder lists, showing the search's progress, the result
// list and summary, deleting found files, and the window's settings under "DriveScrub".
#include "diskclean/frmLocate.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "diskclean/ExtentionHandller.h"
#include "diskclean/frmExtentions.h"
#include "platform/AppSettings.h"
#include "platform/Drives.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/ProgramDir.h"
#include "platform/TextCompare.h"
#include "settings/Inifun.h"
#include "ui/Forms.h"

namespace bw {

using diskclean::EnsureTrailingSlash;
using platform::GetSetting;
using platform::SaveSetting;
namespace fs = platform::fs;
namespace paths = platform::paths;

const char frmLocate::kApp[] = "DriveScrub";
const char frmLocate::kDeleteWarning[] =
    "Deleting file from your Hard Disk is risky... make sure you know what your doing!\r\n"
    "Do you want to continue?\r\n"
    "(if you click yes, this message will no apear again)";

namespace {

const char kStartUp[] = "StartUp";
const char kGeneral[] = "General";
const char kExit[] = "E&xit";
const char kStop[] = "&Stop";
const int kInitialExtent = 700;
constexpr std::chrono::milliseconds kShowEvery{100};

// The number a stored text starts with, as the settings of this window have always been read
// ("1", "0", " 3x" gives 3); 0 when it starts with no number.
double LeadingNumber(const std::string& text) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    return std::strtod(p, nullptr);
}

// "General"/"Prompt" read as a boolean: off only for a number equal to 0 or the word False;
// anything else (a damaged value included) keeps asking, which is the safe side.
bool PromptIsOn(const std::string& text) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    char* end = nullptr;
    double n = std::strtod(p, &end);
    if (end != p) {
        while (*end == ' ' || *end == '\t') ++end;
        if (*end == '\0') return n != 0;
    }
    return platform::CompareNoCase(p, "False") != 0;
}

std::string ProgramFolderWithSlash() { return EnsureTrailingSlash(platform::ProgramDir()); }

}  // namespace

namespace diskclean {

bool SearchTextBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_CHAR && wp == 13) {
        if (onEnter) onEnter();
        *result = 0;
        return true;
    }
    return false;
}

}  // namespace diskclean

frmLocate::frmLocate() : ui::Form("Search & Erase", 600, 490) {}

frmLocate::~frmLocate() { Terminate(); }

void frmLocate::Build() {
    Layout({
        {&Drive1, nullptr, "", 8, 8, 200, 200},
        {&Dir1, nullptr, "", 8, 36, 200, 150, WS_HSCROLL},
        {&Label1, nullptr, "Search String", 218, 10, 200, 16},
        {&Text1, nullptr, "", 218, 28, 374, 22},
        {&cmdAction[0], nullptr, "Find Fi&les", 218, 58, 118, 26},
        {&cmdAction[1], nullptr, kExit, 346, 58, 118, 26},
        {&cmdOption, nullptr, "Option&s", 474, 58, 118, 26},
        {&Options, nullptr, "Search and clean options", 218, 94, 374, 92},
        {&chkDelType, &Options, "Delete to RecycleBin", 12, 24, 300, 22},
        {&Check1[0], &Options, "Include Sub Directories", 12, 52, 300, 22},
        {&Frame1, nullptr, "", 4, 192, 592, 274},
        {&List1, &Frame1, "", 4, 14, 584, 186, WS_HSCROLL},
        {&Status, &Frame1, "", 4, 204, 584, 32},
        {&cmdDelete, &Frame1, "&Delete selected", 4, 242, 140, 26},
        {&cmdSelectAll, &Frame1, "Sele&ct All", 154, 242, 110, 26},
        {&cmdUnSelectAll, &Frame1, "Select N&one", 274, 242, 110, 26},
    });
    ui::MenuBar::Create(hwnd(), {
        {&mnuFile, nullptr, "&File"},
        {&mnuFileSub, &mnuFile, "E&xit"},
        {&m, nullptr, "&Options"},
        {&mnuOptions, &m, "Op&tions"},
        {&menuResetAll, &m, "&Reset All"},
        {&ms, nullptr, "&Help"},
        {&mnuAbout, &ms, "Abou&t"},
    });

    cmdAction[0].onClick = [this] { cmdAction_Click(0); };
    cmdAction[1].onClick = [this] { cmdAction_Click(1); };
    Drive1.onDriveChange = [this] { Drive1_Change(); };
    Dir1.onPathChange = [this] { Dir1_Change(); };
    Check1[0].onClick = [this] { Check1_Click(0); };
    chkDelType.onClick = [this] { chkDelType_Click(); };
    Text1.onChange = [this] { Text1_Change(); };
    Text1.onEnter = [this] { cmdAction_Click(0); };
    cmdSelectAll.onClick = [this] { cmdSelectAll_Click(); };
    cmdUnSelectAll.onClick = [this] { cmdUnSelectAll_Click(); };
    cmdOption.onClick = [this] { cmdOption_Click(); };
    cmdDelete.onClick = [this] { cmdDelete_Click(); };
    mnuFileSub.onClick = [this] { mnuFileSub_Click(); };
    mnuOptions.onClick = [this] { mnuOptions_Click(); };
    mnuAbout.onClick = [this] { mnuAbout_Click(); };
    menuResetAll.onClick = [this] { menuResetAll_Click(); };
}

// The choices a first use and Reset All share: the program folder as start folder, deletion
// into the recycle bin, subfolders searched, tips from the first, the warning asked.
void frmLocate::ApplyDefaultChoices() {
    SaveSetting(kApp, kStartUp, "AppPath", ProgramFolderWithSlash());
    chkDelType.SetValue(1);
    SaveSetting(kApp, kStartUp, "Recycele", "1");
    Check1[0].SetValue(1);
    SaveSetting(kApp, kStartUp, "SubFolders", "1");
    SaveSetting(kApp, kGeneral, "TipNumber", "1");
    SaveSetting(kApp, kGeneral, "Prompt", "1");
}

void frmLocate::Form_Load() {
    // A stored start folder tells a later opening from the first use.
    const std::string storedPath = GetSetting(kApp, kStartUp, "AppPath", "");
    std::string start;
    if (storedPath.empty()) {
        start = ProgramFolderWithSlash();
        ApplyDefaultChoices();
    } else {
        start = storedPath;
        chkDelType.SetValue(LeadingNumber(GetSetting(kApp, kStartUp, "Recycele", "1")) != 0 ? 1 : 0);
        Check1[0].SetValue(LeadingNumber(GetSetting(kApp, kStartUp, "SubFolders", "1")) != 0 ? 1 : 0);
    }

    // A stored folder that is gone, or on a drive that is not ready, opens the program folder.
    if (!platform::IsDriveReadyAt(start) || !fs::FolderExists(start)) start = ProgramFolderWithSlash();
    Drive1.SetDrive(start, false);
    if (!Dir1.SetPath(start)) Dir1.SetPath(ProgramFolderWithSlash());
    Drive1.SetDrive(Dir1.Path(), false);

    cmdAction[0].SetCaption("&Find Files");
    Text1.SetText(ExtentionHandller::LoadPatternString());
    Frame1.SetVisible(true);
    List1.SetHorizontalExtent(kInitialExtent);
}

void frmLocate::Form_Unload() {
    Terminate();
    ui::Unload<frmExtentions>();
}

void frmLocate::Terminate() {
    ++searchSerial_;  // a search still on the stack sees this and ends
    FolderQueue.Clear();
}

void frmLocate::SearchNow() { FindFiles(Dir1.Path(), FolderQueue, Text1.Text()); }

void frmLocate::FindFiles(const std::string& strPARENT, diskclean::FolderQueue& strPaths,
                          const std::string& FindFile) {
    const uint64_t search = ++searchSerial_;
    auto superseded = [&] { return searchSerial_ != search || !IsLoaded(); };

    cmdAction[1].SetCaption(kStop);
    diskclean::FileSearch finder(FindFile);
    if (finder.Entries().empty() || strPARENT.empty()) {
        cmdAction[1].SetCaption(kExit);
        return;
    }

    int widest = 0;
    // Found lines wait in the search and join the list (and Status shows the folder being
    // searched) at most every kShowEvery: repainting the window for each of thousands of folders
    // would cost far more than searching them.
    auto lastShown = std::chrono::steady_clock::now() - kShowEvery;
    auto show = [&](const std::wstring* folder, diskclean::FoundFiles& found) {
        if (folder) Status.SetCaption(paths::Narrow(paths::ShortForm(*folder)));
        if (!found.empty()) widest = std::max(widest, List1.AddLines(found.lines, found.paths));
        found.clear();
        lastShown = std::chrono::steady_clock::now();
    };
    // The start folder as it is now: "Delete selected" reaches every result from it again.
    if (List1.ListCount() == 0) searchAnchors_.clear();
    searchAnchors_.push_back(fs::AnchorSearch(paths::Widen(strPARENT)));
    const bool completed = finder.Run(paths::Widen(strPARENT), strPaths, [&](diskclean::FileSearch::Step& step) {
        // Messages are pumped once per folder: this is where Stop, a new search or the
        // window's closing is heard.
        ui::DoEvents();
        if (superseded()) return false;
        if (StopRequested) {
            show(nullptr, step.found);
            ui::SetScreenMousePointer(ui::kDefaultPointer);
            return false;
        }
        // Read for every folder: ticking or clearing the box during a search applies at once.
        step.subFolders = Check1[0].Value() == 1;
        if (std::chrono::steady_clock::now() - lastShown >= kShowEvery) show(&step.folder, step.found);
        return true;
    });
    if (!completed) return;
    show(nullptr, finder.Found());

    List1.SetHorizontalExtent(std::max(kInitialExtent, widest + 8));
    Status.SetCaption(
        diskclean::SummaryText(static_cast<uint64_t>(List1.ListCount()), finder.Entries(), finder.TotalSize()));
    List1.SelectAll(true);
    cmdAction[1].SetCaption(kExit);
    lastEntries_ = finder.Entries();
    lastTotal_ = finder.TotalSize();
}

void frmLocate::cmdAction_Click(int Index) {
    if (Index == 0) {
        List1.SetHorizontalExtent(kInitialExtent);
        StopRequested = false;
        ui::SetScreenMousePointer(ui::kHourglass);
        List1.Clear();
        SearchNow();
        ui::SetScreenMousePointer(ui::kDefaultPointer);
        return;
    }
    if (cmdAction[1].Caption() == kStop) {
        StopRequested = true;
        cmdAction[1].SetCaption(kExit);
        return;
    }
    Terminate();
    Unload();
}

void frmLocate::Dir1_Change() {
    SaveSetting(kApp, kStartUp, "AppPath", Dir1.Path());
    Drive1.SetDrive(Dir1.Path(), false);
    ui::SetScreenMousePointer(ui::kHourglass);
    List1.Clear();
    StopRequested = false;
    SearchNow();
    if (!StopRequested) {
        ui::SetScreenMousePointer(ui::kDefaultPointer);
        cmdAction[1].SetCaption(kExit);
    }
}

void frmLocate::Drive1_Change() {
    const std::string drive = Drive1.Drive();
    // A drive without a readable volume (an empty floppy or card drive, a lost network drive)
    // cannot be listed: the lists stay on the folder they show.
    if (drive.empty() || !platform::IsDriveReadyAt(drive)) {
        Drive1.SetDrive(Dir1.Path(), false);
        return;
    }
    Dir1.SetPath(drive + "\\");
}

void frmLocate::Check1_Click(int Index) {
    SaveSetting(kApp, kStartUp, "SubFolders", std::to_string(Check1[Index].Value()));
}

void frmLocate::chkDelType_Click() {
    SaveSetting(kApp, kStartUp, "Recycele", std::to_string(chkDelType.Value()));
}

void frmLocate::Text1_Change() {
    if (!Text1.Text().empty() && !cmdAction[0].Enabled()) cmdAction[0].SetEnabled(true);
}

void frmLocate::cmdSelectAll_Click() { List1.SelectAll(true); }

void frmLocate::cmdUnSelectAll_Click() { List1.SelectAll(false); }

void frmLocate::cmdOption_Click() { ui::Get<frmExtentions>().ShowModal(); }

void frmLocate::mnuOptions_Click() { cmdOption_Click(); }

void frmLocate::mnuFileSub_Click() {
    Terminate();
    Unload();
}

void frmLocate::mnuAbout_Click() {
    if (onAbout) onAbout();
}

void frmLocate::cmdDelete_Click() {
    // 1. The one-time warning.
    if (PromptIsOn(GetSetting(kApp, kGeneral, "Prompt", "1"))) {
        if (platform::MsgBox(hwnd(), kDeleteWarning, "Note", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
        SaveSetting(kApp, kGeneral, "Prompt", "0");
    }

    // 2. Every selected line, first to last; a file that cannot go stays, silently. Each line
    // acts on the true path the search found for it, never on its shown text (which may hold
    // '?' for characters the code page lacks), reached again from the search's start folder
    // handle by handle: a start folder that is no longer the one searched, a folder swapped for a
    // link since, or a file that is a link to a file elsewhere, is left.
    const bool toRecycleBin = chkDelType.Value() == 1;
    // With "Enable Securely Erasing" on, a permanent delete overwrites each file first; the
    // recycle bin keeps files as they are.
    const bool securely =
        Inifun::IsOnByText(Inifun::ReadIni(platform::SettingsFile("bwsd.dat"), "Additional", "securely"));
    for (int index : List1.SelectedIndexes()) {
        const std::wstring path = List1.TruePath(index);
        if (path.empty()) continue;
        const fs::SearchAnchor* anchor = AnchorOf(path);
        if (!anchor) continue;
        if (toRecycleBin)
            ExtentionHandller::SendToRecycleBin(*anchor, path);
        else
            fs::DeleteChosen(*anchor, path, securely);
    }
    searchAnchors_.clear();

    // 3. to 6. Show what is left in the chosen folder itself.
    List1.Clear();
    Check1[0].SetValue(0);
    SaveSetting(kApp, kStartUp, "SubFolders", "0");
    StopRequested = false;
    SearchNow();
    cmdAction[1].SetCaption(kExit);
}

const platform::fs::SearchAnchor* frmLocate::AnchorOf(const std::wstring& path) const {
    // The latest search whose start folder holds the path.
    for (auto it = searchAnchors_.rbegin(); it != searchAnchors_.rend(); ++it) {
        if (it->valid && path.size() > it->path.size() && path.compare(0, it->path.size(), it->path) == 0) return &*it;
    }
    return nullptr;
}

void frmLocate::menuResetAll_Click() {
    if (LeadingNumber(GetSetting(kApp, kGeneral, "Uses", "1")) > 2) {
        if (platform::MsgBox(hwnd(), "Do you want to reset all of the parameters to default? ", "Are you sure?",
                             MB_YESNO) != IDYES)
            return;
    }
    ApplyDefaultChoices();
    SaveSetting(kApp, kStartUp, "Log", "1");
    SaveSetting(kApp, kGeneral, "Tips", "1");
    SaveSetting(kApp, kGeneral, "DeleteDirs", "c:\\windows\\temp\\;C:\\WINDOWS\\Temporary Internet Files\\;");
    SaveSetting(kApp, kGeneral, "MaxLogSize", "80");
    ExtentionHandller::WriteDefaultPatterns();
    Options.Refresh();
    Frame1.Refresh();
}

}  // namespace bw
