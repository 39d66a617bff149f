// Ticked community rules as erase-run items.
#include "engine/Winapp2Run.h"

#include "engine/Winapp2Plan.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProgramDir.h"
#include "platform/RuleProbes.h"

namespace bw::winapp2 {

std::string RulesFile() {
    const std::string loaded = LoadedRulesFile();
    return platform::fs::FileExists(loaded) ? loaded : platform::ProgramFile(kRulesFile);
}

std::string LoadedRulesFile() { return platform::SettingsFile(kRulesFile); }

std::string TicksFile() { return platform::SettingsFile(kTicksFile); }

TickedRules LoadTickedRules() {
    TickedRules ticked;
    const std::vector<std::string> ticks = ReadTicks(TicksFile());
    if (ticks.empty()) return ticked;
    ticked.computer = std::make_unique<Computer>();
    ticked.rules = LoadRules(RulesFile(), ticked.computer->Defined());
    // Only the ticked entries are detected: one look each, not the whole file's.
    std::vector<Detection> detections(ticked.rules.entries.size(), Detection::NotDetected);
    for (const std::string& name : ticks) {
        const size_t index = ticked.rules.Find(name);
        if (index < detections.size()) detections[index] = Detect(ticked.rules, ticked.rules.entries[index], *ticked.computer);
    }
    ticked.entries = EntriesToRun(ticked.rules, detections, ticks);
    return ticked;
}

std::string RuleCaption(const Rules& rules, const Entry& entry) {
    return platform::paths::Narrow(Utf8ToWide(rules.TickName(entry)));
}

std::string RuleStartLine(const std::string& caption) { return "Please Waiting ,Erasing " + caption + "......"; }
std::string RuleEndLine(const std::string& caption) { return "Erasing " + caption + "......OK"; }

void RunTickedRules(EraseRun& run, bool execute, const ExecuteOptions& options, const std::function<bool()>& stopped) {
    TickedRules ticked = LoadTickedRules();
    for (size_t index : ticked.entries) {
        if (stopped && stopped()) return;
        const Entry& entry = ticked.rules.entries[index];
        const std::string caption = RuleCaption(ticked.rules, entry);
        if (execute) run.addLine(RuleStartLine(caption), false);
        const size_t item = run.plan.BeginItem(caption, kRuleItemRow);
        PlanEntry(run.plan, ticked.rules, entry, *ticked.computer);
        if (!execute) continue;
        ExecuteItems(run.plan, item, item + 1, options);
        run.addLine(RuleEndLine(caption), true);
    }
}

void CarryOutRuleItem(EraseRun& run, size_t item, const ExecuteOptions& options) {
    const std::string& caption = run.plan.ItemCaption(item);
    run.addLine(RuleStartLine(caption), false);
    ExecuteItems(run.plan, item, item + 1, options);
    run.addLine(RuleEndLine(caption), true);
}

}  // namespace bw::winapp2
