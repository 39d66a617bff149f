// The community rules page.
#include "engine/frmrules.h"

#include <algorithm>
#include <unordered_map>

#include "engine/Winapp2Plan.h"
#include "engine/Winapp2Run.h"
#include "platform/LineFile.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/RuleProbes.h"
#include "ui/Dialogs.h"

namespace bw {

namespace {

// UTF-8 rule text in the code page, for the controls.
std::string Shown(std::string_view utf8) { return platform::paths::Narrow(winapp2::Utf8ToWide(utf8)); }

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

bool SameName(const std::string& a, std::string_view b) { return Lower(a) == Lower(std::string(b)); }

std::string Grouped(size_t n) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace

frmrules::frmrules() : ui::Form("Community Rules", 530, 415) {}

void frmrules::Build() {
    Layout({
        {&lblSearch, nullptr, "Search:", 10, 12, 50, 16},
        {&txtSearch, nullptr, "", 62, 9, 240, 21},
        {&lblCount, nullptr, "", 312, 12, 200, 16},
        {&lstRules, nullptr, "Detected applications", 10, 38, 504, 300},
        {&lstRefused, nullptr, "", 10, 38, 504, 300},
        {&lblRefused, nullptr, "", 10, 344, 504, 16},
        {&cmdLoad, nullptr, "Load rules...", 10, 368, 110, 26},
        {&cmdDetails, nullptr, "Details", 128, 368, 110, 26},
        {&cmdClose, nullptr, "Close", 404, 368, 110, 26},
    });
    lstRefused.SetVisible(false);
    txtSearch.onChange = [this] { txtSearch_Change(); };
    cmdLoad.onClick = [this] { cmdLoad_Click(); };
    cmdDetails.onClick = [this] { cmdDetails_Click(); };
    cmdClose.onClick = [this] { cmdClose_Click(); };
    lstRules.onCheck = [this](int index, bool on) { return Tick(index, on); };
    SetCancelButton(&cmdClose);
}

void frmrules::Form_Load() {
    ReadRules();
    ShowEntries();
}

void frmrules::ReadRules() {
    computer_ = std::make_unique<winapp2::Computer>();
    rules_ = winapp2::LoadRules(winapp2::RulesFile(), computer_->Defined());
    ticks_ = winapp2::ReadTicks(winapp2::TicksFile());
    const std::vector<winapp2::Detection> detections = winapp2::DetectAll(rules_, *computer_);
    detected_.clear();
    for (size_t i = 0; i < detections.size(); ++i)
        if (detections[i] != winapp2::Detection::NotDetected) detected_.push_back(i);
    std::vector<std::string> group(rules_.entries.size());
    for (size_t i : detected_) group[i] = rules_.GroupName(rules_.entries[i]);
    std::sort(detected_.begin(), detected_.end(), [&](size_t a, size_t b) {
        if (group[a] != group[b]) return group[a] < group[b];
        return Lower(std::string(rules_.TickName(rules_.entries[a]))) < Lower(std::string(rules_.TickName(rules_.entries[b])));
    });
    groups_.clear();
    for (size_t i : detected_) groups_.push_back(group[i]);

    lstRefused.Clear();
    // The exclusion lines that stop their entries, by line.
    std::unordered_map<uint32_t, const winapp2::Entry*> stopped;
    for (const winapp2::Entry& e : rules_.entries)
        if (e.refusedExclusion) stopped.emplace(e.refusedExclusion, &e);
    std::vector<std::string> lines;
    for (const winapp2::RefusedLine& r : rules_.refused) {
        lines.push_back("Line " + std::to_string(r.line) + ": " + winapp2::RefusalText(r.reason));
        const auto it = stopped.find(r.line);
        if (it != stopped.end()) lines.back() += ", so " + Shown(rules_.TickName(*it->second)) + " is not run";
    }
    if (rules_.refusedCount > rules_.refused.size())
        lines.push_back(Grouped(rules_.refusedCount - rules_.refused.size()) + " more lines refused");
    lstRefused.AddItems(lines);
    lblRefused.SetCaption(Grouped(rules_.refusedCount) + (rules_.refusedCount == 1 ? " line" : " lines") +
                          " of winapp2.ini refused (see Details)");
    lblCount.SetCaption(Grouped(detected_.size()) + " of " + Grouped(rules_.entries.size()) + " detected");
}

void frmrules::ShowEntries() {
    const std::string wanted = Lower(txtSearch.Caption());
    std::vector<ui::CheckList::Line> lines;
    shownEntries_.clear();
    std::string lastGroup;
    bool first = true;
    for (size_t n = 0; n < detected_.size(); ++n) {
        const winapp2::Entry& entry = rules_.entries[detected_[n]];
        const std::string name = Shown(rules_.TickName(entry));
        if (!wanted.empty() && Lower(name).find(wanted) == std::string::npos &&
            Lower(groups_[n]).find(wanted) == std::string::npos)
            continue;
        if (first || groups_[n] != lastGroup) {
            lines.push_back({"[" + Shown(groups_[n]) + "]", false, false});
            shownEntries_.push_back(-1);
            lastGroup = groups_[n];
            first = false;
        }
        bool ticked = false;
        for (const std::string& t : ticks_) ticked = ticked || SameName(t, rules_.TickName(entry));
        if (entry.refusedExclusion)
            lines.push_back({name + " - not run: " + Shown(winapp2::EntryRefusalText(rules_, entry)), true, ticked});
        else
            lines.push_back({name, true, ticked});
        shownEntries_.push_back(static_cast<int>(detected_[n]));
    }
    lstRules.SetLines(lines);
}

const winapp2::Entry* frmrules::EntryAt(int index) const {
    if (index < 0 || index >= static_cast<int>(shownEntries_.size())) return nullptr;
    const int entry = shownEntries_[static_cast<size_t>(index)];
    if (entry < 0) return nullptr;
    return &rules_.entries[static_cast<size_t>(entry)];
}

bool frmrules::Tick(int index, bool on) {
    const winapp2::Entry* entry = EntryAt(index);
    if (!entry) return false;
    const std::string name(rules_.TickName(*entry));
    if (on && entry->refusedExclusion) return false;  // never run: the line shown says why
    if (on && entry->warning.size) {
        const std::string text = Shown(rules_.Text(entry->warning)) + "\r\n\r\nTick " + Shown(name) + " anyway?";
        if (platform::MsgBox(hwnd(), text, "Community Rules", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return false;
    }
    ticks_.erase(std::remove_if(ticks_.begin(), ticks_.end(), [&](const std::string& t) { return SameName(t, name); }),
                 ticks_.end());
    if (on) ticks_.push_back(name);
    return winapp2::WriteTicks(winapp2::TicksFile(), ticks_);
}

void frmrules::txtSearch_Change() { ShowEntries(); }

bool frmrules::LoadRulesFrom(const std::string& path, bool ask) {
    std::string content;
    uint64_t size = 0;
    const platform::probe::ReadStatus status =
        platform::probe::ReadWholeFile(path, winapp2::kMaxRulesFileBytes, &content, &size);
    const winapp2::Rules checked =
        status == platform::probe::ReadStatus::Read ? winapp2::ParseRules(content, computer_ ? computer_->Defined() : winapp2::kAllVariables)
                                                    : winapp2::Rules{};
    if (checked.entries.empty()) {
        if (ask)
            platform::MsgBox(hwnd(), "This file holds no cleaning rules that can be used; the rules stay as they were.",
                             "Load rules", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (ask) {
        const std::string text = "This file holds " + Grouped(checked.entries.size()) + " entries; " +
                                 Grouped(checked.refusedCount) + (checked.refusedCount == 1 ? " line is" : " lines are") +
                                 " refused.\r\n\r\nReplace the rules in the program folder with it?";
        if (platform::MsgBox(hwnd(), text, "Load rules", MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    }
    if (!platform::ReplaceFileContents(winapp2::LoadedRulesFile(), content)) return false;
    ReadRules();
    ShowEntries();
    return true;
}

void frmrules::cmdLoad_Click() {
    const std::optional<std::string> path =
        ui::ShowOpenDialog(hwnd(), "Cleaning rules (*.ini)|*.ini|All files (*.*)|*.*", "winapp2.ini");
    if (path) LoadRulesFrom(*path, true);
}

void frmrules::cmdDetails_Click() {
    const bool details = !lstRefused.Visible();
    lstRefused.SetVisible(details);
    lstRules.SetVisible(!details);
    cmdDetails.SetCaption(details ? "Entries" : "Details");
}

void frmrules::cmdClose_Click() { Unload(); }

}  // namespace bw
