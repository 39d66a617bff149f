// The disk cleaner window "Search & Erase": pick a drive and folder, search it (and, when asked,
// every folder below it, breadth-first) for files matching the patterns of the search text, and
// delete the selected results permanently or into the recycle bin.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "diskclean/DriveLists.h"
#include "diskclean/FileSearch.h"
#include "diskclean/SearchPatterns.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

namespace diskclean {

// The search text box: Enter starts a search.
class SearchTextBox : public ui::TextBox {
public:
    std::function<void()> onEnter;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

}  // namespace diskclean

class frmLocate : public ui::Form {
public:
    frmLocate();
    ~frmLocate() override;

    diskclean::DriveListBox Drive1;
    diskclean::DirListBox Dir1;
    ui::Label Label1;                   // "Search String"
    diskclean::SearchTextBox Text1;     // the patterns, ";"-separated
    ui::CommandButton cmdAction[2];     // 0: Find Files; 1: Exit, or Stop while a search runs
    diskclean::ResultListBox List1;     // result lines
    ui::Label Status;                   // folder being searched, then the summary
    ui::Frame Options;                  // "Search and clean options"
    ui::CheckBox chkDelType;            // "Delete to RecycleBin"
    ui::CheckBox Check1[1];             // 0: "Include Sub Directories"
    ui::CommandButton cmdDelete, cmdSelectAll, cmdUnSelectAll, cmdOption;
    ui::Frame Frame1;                   // holds the result list and its buttons

    ui::MenuItem mnuFile, mnuFileSub;            // "&File": "E&xit"
    ui::MenuItem m, mnuOptions, menuResetAll;    // "&Options": "Op&tions", "&Reset All"
    ui::MenuItem ms, mnuAbout;                   // "&Help": "Abou&t"

    // Search state.
    bool StopRequested = false;
    diskclean::FolderQueue FolderQueue;
    // The start folder of every search whose results the list may hold, and the one holding `path`.
    std::vector<platform::fs::SearchAnchor> searchAnchors_;
    const platform::fs::SearchAnchor* AnchorOf(const std::wstring& path) const;

    // Runs one search of `strPARENT` for the patterns of `FindFile` into List1 (which the
    // caller clears first) and Status, through diskclean::FileSearch. An empty start folder or a
    // text holding no pattern searches nothing. Pumps window messages once per folder; Status
    // (the folder being searched) and the list (new lines) are brought up to date at most ten
    // times a second. A Stop ends it at the next folder without a summary, keeping the lines
    // found so far. A search started meanwhile (Find Files, a folder change, Delete selected)
    // or the window's unloading supersedes it: it then ends at once and leaves the list and
    // Status to the newer search. Each line shows its path in the code page; List1 keeps the
    // file's true path beside it, which is what Delete selected acts on.
    void FindFiles(const std::string& strPARENT, diskclean::FolderQueue& strPaths, const std::string& FindFile);
    // Ends any running search and forgets the last search's state.
    void Terminate();

    // The entries and total size of the last search that ran to its end.
    const std::vector<diskclean::PatternEntry>& LastEntries() const { return lastEntries_; }
    uint64_t LastTotalSize() const { return lastTotal_; }

    // Handlers.
    void cmdAction_Click(int Index);
    void Dir1_Change();
    void Drive1_Change();
    void Check1_Click(int Index);
    void chkDelType_Click();
    void Text1_Change();
    void cmdSelectAll_Click();
    void cmdUnSelectAll_Click();
    void cmdOption_Click();
    void cmdDelete_Click();
    void mnuFileSub_Click();
    void mnuOptions_Click();
    void mnuAbout_Click();
    void menuResetAll_Click();

    // What "About" opens; set by the window that opens this one (the About window lives in a
    // layer above).
    std::function<void()> onAbout;

    static const char kApp[];  // "DriveScrub"
    static const char kDeleteWarning[];

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload() override;

private:
    void ApplyDefaultChoices();
    void SearchNow();  // the search the handlers start: Dir1's folder, Text1's patterns

    uint64_t searchSerial_ = 0;
    std::vector<diskclean::PatternEntry> lastEntries_;
    uint64_t lastTotal_ = 0;
};

}  // namespace bw
