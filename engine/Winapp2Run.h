// The ticked community rules in an erase run: read from winapp2.ini and rules.dat in the program
// folder, each ticked entry detected here run as its own item after the custom items.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/EraseRun.h"
#include "engine/Executor.h"
#include "engine/Winapp2Scan.h"

namespace bw::winapp2 {

// The plan row of a rule entry's item: no row of the erase item table.
constexpr int kRuleItemRow = 10000;

// The rules file and the ticks file, in the program folder.
constexpr const char kRulesFile[] = "winapp2.ini";
constexpr const char kTicksFile[] = "rules.dat";

// Where winapp2.ini is read: beside the program, as users place it, unless a loaded copy lies in
// the settings folder (an installed copy the user cannot write into keeps it there).
std::string RulesFile();
// Where "Load rules..." writes winapp2.ini, and where rules.dat is kept: the settings folder,
// which is the program folder whenever the user can write into it.
std::string LoadedRulesFile();
std::string TicksFile();

// The entries that run here: winapp2.ini parsed, rules.dat read, each ticked entry (names
// compared without regard to case) present in the file and detected on this computer.
struct TickedRules {
    std::unique_ptr<Computer> computer;
    Rules rules;
    std::vector<size_t> entries;  // into rules.entries, in file order
};
TickedRules LoadTickedRules();

// An entry's status lines in the run's style, and its caption in a preview and a report (its
// name without " *", in the code page).
std::string RuleCaption(const Rules& rules, const Entry& entry);
std::string RuleStartLine(const std::string& caption);
std::string RuleEndLine(const std::string& caption);

// Plans each ticked entry into run.plan as its own item; with `execute`, adds its start line,
// carries it out at once and adds its end line. `stopped` is asked between entries.
void RunTickedRules(EraseRun& run, bool execute, const ExecuteOptions& options, const std::function<bool()>& stopped);

// Carries out the planned rule item `item` (row kRuleItemRow) with its two status lines.
void CarryOutRuleItem(EraseRun& run, size_t item, const ExecuteOptions& options);

}  // namespace bw::winapp2
