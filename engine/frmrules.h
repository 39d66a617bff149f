// "Community Rules": the entries of winapp2.ini (in the program folder) detected on this computer,
// grouped by their section, with a search box, a check box per entry (rules.dat keeps the ticks),
// loading a new rules file, and the lines of the file that were refused.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/Winapp2Scan.h"
#include "ui/Buttons.h"
#include "ui/CheckList.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

class frmrules : public ui::Form {
public:
    frmrules();

    ui::Label lblSearch;        // "Search:"
    ui::TextBox txtSearch;      // filters the entries as the user types
    ui::Label lblCount;         // "N of 4,067 detected"
    ui::CheckList lstRules;     // group headings, then one line with a check box per entry; an
                                // entry an unreadable exclusion stops shows that line, unticked
    ui::ListBox lstRefused;     // the details view: "Line 12: unknown flag"
    ui::Label lblRefused;       // "N lines of the file refused"
    ui::CommandButton cmdLoad;     // "Load rules..."
    ui::CommandButton cmdDetails;  // "Details" / "Entries"
    ui::CommandButton cmdClose;    // "Close"

    void txtSearch_Change();
    void cmdLoad_Click();
    void cmdDetails_Click();
    void cmdClose_Click();

    // Checks the rules file `path` completely and, when it holds entries and the user agrees (or
    // `ask` is false), makes it the program folder's winapp2.ini through a scratch file, then
    // shows its entries. False when the file was not taken.
    bool LoadRulesFrom(const std::string& path, bool ask);

    // The entry shown on line `index` of lstRules (nullptr for a heading).
    const winapp2::Entry* EntryAt(int index) const;
    const winapp2::Rules& Rules() const { return rules_; }
    size_t DetectedCount() const { return detected_.size(); }

protected:
    void Build() override;
    void Form_Load() override;

private:
    bool Tick(int index, bool on);
    void ReadRules();
    void ShowEntries();
    std::unique_ptr<winapp2::Computer> computer_;
    winapp2::Rules rules_;
    std::vector<size_t> detected_;        // entries detected here, by group then name
    std::vector<std::string> groups_;     // group name of each of detected_
    std::vector<std::string> ticks_;      // rules.dat, names of entries in other files kept
    std::vector<int> shownEntries_;       // entry of each line of lstRules, -1 for a heading
};

}  // namespace bw
