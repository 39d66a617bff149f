// The erase run without a window: the item table, its gates and status lines, and the runs over
// it (erase, preview, a previewed plan carried out, the unattended run).
#include "engine/EraseRunner.h"

#include <iterator>
#include <optional>

#include "engine/EraseItems.h"
#include "engine/Executor.h"
#include "engine/Winapp2Run.h"
#include "platform/Clock.h"
#include "platform/ProgramDir.h"
#include "settings/Inifun.h"

namespace bw {

namespace {

const char kBrowsers[] = "BROWSERS";
const char kWindows[] = "WINDOWS";
const char kApplications[] = "APPLICATIONS";

// How an item is gated: by a main-window check box, always, or by the "Custom" setting.
enum class Gate { Box, Always, Setting };
struct GateRule {
    Gate kind;
    BoxedItem boxed;  // Gate::Box: the check box and where its tick is stored
};
constexpr GateRule Box(int number, const char* section, const char* key, bool tickedAtFirst = true) {
    return {Gate::Box, {number, section, key, tickedAtFirst}};
}
constexpr GateRule kAlways{Gate::Always, {}};
constexpr GateRule kCustomSetting{Gate::Setting, {}};

// Which of an item's two status lines repaint the list and select themselves.
enum class Scroll { None, End, Both };

// The status lines of an item.
struct Lines {
    const char* start = nullptr;
    const char* end = nullptr;
    Scroll scroll = Scroll::None;
    const char* altEnd = nullptr;  // reported instead of `end` when the item sets useAltEndLine
};

struct EraseItemRow {
    int progress;  // set before the gate; -1 leaves the bar as it is
    GateRule gate;
    Lines lines;
    void (*action)(EraseRun&);
};

// The items in the order a run visits them.
const EraseItemRow kItems[] = {
    {1, Box(1, kBrowsers, "location"), {"Please Waiting ,Erasing IE Location Bar History......",
      "Erasing IE Location Bar History.....OK", Scroll::End}, items::LocationBarHistory},
    {5, Box(2, kBrowsers, "history"), {"Please Waiting ,Erasing IE Internet History Files......",
      "Erasing IE Internet History Files......OK", Scroll::End}, items::InternetHistory},
    {10, Box(3, kBrowsers, "cache"), {"Please Waiting ,Erasing IE Internet Cache......",
      "Erasing IE Internet Cache......OK", Scroll::Both}, items::InternetCache},
    {17, Box(4, kBrowsers, "cookies"), {"Please Waiting ,Erasing IE Cookies.......",
      "Erasing IE Cookies.......OK", Scroll::End}, items::Cookies},
    {21, Box(5, kBrowsers, "favorites", false), {"Please Waiting ,Erasing IE Favorites.......",
      "Erasing IE Favorites.......OK", Scroll::End}, items::Favorites},
    {24, Box(6, kBrowsers, "autocomplete"), {"Please Waiting ,Erasing IE Autocomplete Memory......",
      "Erasing IE Autocomplete Memory......OK", Scroll::Both}, items::AutocompleteMemory},
    {30, Box(7, kBrowsers, "downloaded"), {"Please Waiting ,Erasing IE Downloaded program Files Director......",
      "Erasing IE Downloaded program Files Director......OK", Scroll::None}, items::DownloadedProgramFiles},
    {32, Box(8, kBrowsers, "netscape"), {"Please Waiting ,Erasing Netscape Navigator......",
      "Erasing Netscape Navigator......OK", Scroll::None}, items::NetscapeNavigator},
    {35, Box(24, kBrowsers, "opera"), {"Please Waiting ,Erasing Opera......",
      "Erasing Opera......OK", Scroll::None, "Can't found Opera Directory!"}, items::Opera},
    {36, Box(27, kBrowsers, "msn"), {"Please Waiting ,Erasing MSN Explorer......",
      "Erasing MSN Explorer......OK", Scroll::None}, items::MsnExplorer},
    {36, Box(25, kBrowsers, "google"), {"Please Waiting ,Erasing Google Tool Bar Search History......",
      "Erasing Google Tool Bar Search History......OK", Scroll::None}, items::GoogleToolbar},
    {37, Box(10, kWindows, "recent"), {"Please Waiting ,Erasing Recent Documents History......",
      "Erasing Recent Documents History......OK", Scroll::None}, items::RecentDocuments},
    {38, Box(11, kWindows, "run"), {"Please Waiting ,Erasing Start Menu Run History......",
      "Erasing Start Menu Run History......OK", Scroll::None}, items::RunHistory},
    {40, Box(12, kWindows, "search"), {"Please Waiting ,Erasing Start Menu Search History......",
      "Erasing Start Menu Search History......OK", Scroll::None}, items::SearchHistory},
    {43, Box(13, kWindows, "temp"), {"Please Waiting ,Erasing Windows Temp.......",
      "Erasing Windows Temp.......OK", Scroll::Both}, items::WindowsTemp},
    {45, Box(14, kWindows, "recycle"), {"Please Waiting ,Erasing Recycle Bin....",
      "Erasing Recycle Bin......OK", Scroll::Both}, items::RecycleBin},
    {47, Box(15, kWindows, "open"), {"Please Waiting ,Erasing Open/Save Dialog Box History......",
      "Erasing Open/Save Dialog Box History......OK", Scroll::End}, items::OpenSaveHistory},
    {49, Box(16, kWindows, "scandisk"), {"Please Waiting ,Erasing Scandisk Temp Files......",
      "Erasing Scandisk Temp Files......OK", Scroll::Both}, items::ScandiskFiles},
    {50, Box(17, kWindows, "passwords"), {"Please Waiting ,Erasing Windows Passwords......",
      "Erasing Windows Passwords......OK", Scroll::End}, items::CachedPasswords},
    {51, Box(26, kWindows, "clip"), {"Please Waiting ,Erasing Windows Clipboard......",
      "Erasing Windows Clipboard......", Scroll::None}, items::Clipboard},
    {52, Box(28, kWindows, "wordpad"), {"Please Waiting ,Erasing Wordpad Recent Files......",
      "Erasing Wordpad Recent Files......OK", Scroll::None}, items::WordpadRecent},
    {-1, Box(29, kWindows, "paint"), {"Please Waiting ,Erasing Windows Paint Recent Files......",
      "Erasing Windows Paint Recent Files......OK", Scroll::None}, items::PaintRecent},
    {-1, Box(19, kApplications, "winzip"), {"Please Waiting ,Erasing Winzip Recent Files......",
      "Erasing Winzip Recent Files......OK", Scroll::None}, items::WinzipRecent},
    {58, Box(20, kApplications, "media"), {"Please Waiting ,Erasing Media Player playlist......",
      "Erasing Media Player playlist......OK", Scroll::None}, items::MediaPlayerPlaylist},
    {60, Box(22, kApplications, "realone"), {"Please Waiting ,Erasing RealOne Player Recent Files......",
      "Erasing RealOne Player Recent Files......OK", Scroll::None}, items::RealOnePlaylist},
    {64, Box(21, kApplications, "realplayer"), {"Please Waiting ,Erasing Real Player playlist......",
      "Erasing Real Player playlist......OK", Scroll::End}, items::RealPlayerPlaylist},
    {67, Box(23, kApplications, "office"), {"Please Waiting ,Erasing MS-Office Tracks......",
      "Erasing MS-Office Tracks......OK", Scroll::End}, items::OfficeTracks},
    {73, kAlways, {"Please Waiting ,Erasing More Applications......", "Erasing More Applications......OK", Scroll::Both},
     items::MoreApplications},
    {89, kCustomSetting, {"Please Waiting ,Erasing Custom Clean Items......", "Erasing Custom Clean Items......OK",
      Scroll::Both, "Erasing Custom Clean Items......FAILED: cusd.dat is too large or cannot be read"},
     items::CustomItems},
};

bool ScrollsEnd(Scroll s) { return s == Scroll::End || s == Scroll::Both; }

// The caption of an item in a preview or report: its end line without "Erasing ", dots and "OK".
std::string Caption(const EraseItemRow& row) {
    std::string text = row.lines.end ? row.lines.end : "";
    if (text.rfind("Erasing ", 0) == 0) text.erase(0, 8);
    const size_t dots = text.find("..");
    if (dots != std::string::npos) text.resize(dots);
    return text;
}

bool IsOpen(const EraseItemRow& row, const EraseSelection& selection, const std::string& settings) {
    switch (row.gate.kind) {
    case Gate::Box: return selection.test(static_cast<size_t>(row.gate.boxed.box));
    case Gate::Always: return true;
    case Gate::Setting: return Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "Custom"));
    }
    return false;
}

bool Securely(const std::string& settings) {
    return Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "securely"));
}

ExecuteOptions Options(const EraseRun& run, const RunHooks& hooks, bool* stopped) {
    ExecuteOptions options;
    options.securely = Securely(run.settingsFile);
    options.cancelled = [hooks, stopped] {
        if (!*stopped && hooks.cancelled && hooks.cancelled()) *stopped = true;
        return *stopped;
    };
    if (hooks.pump) options.progress = [pump = hooks.pump](size_t, size_t) { pump(); };
    return options;
}

void EndLine(EraseRun& run, const EraseItemRow& row, size_t item) {
    if (!row.lines.end || run.plan.ItemNoEnd(item)) return;
    run.addLine(run.plan.ItemAltEnd(item) && row.lines.altEnd ? row.lines.altEnd : row.lines.end,
                ScrollsEnd(row.lines.scroll));
}

// Plans the item of `row` into run.plan (its caption, targets and ending).
size_t PlanItem(EraseRun& run, const EraseItemRow& row, int rowIndex) {
    const size_t item = run.plan.BeginItem(Caption(row), rowIndex);
    run.useAltEndLine = false;
    run.noEndLine = false;
    row.action(run);
    run.plan.SetItemEnding(run.useAltEndLine, run.noEndLine);
    return item;
}

void MeasuredFigures(EraseRun& run) {
    const ItemFigures total = run.plan.Total();
    run.regnum = static_cast<double>(total.erased.Registry());
    run.filesize = static_cast<double>(total.erased.bytes);
}

}  // namespace

void RunItems(EraseRun& run, const EraseSelection& selection, RunMode mode, const RunHooks& hooks) {
    bool stopped = false;
    ExecuteOptions options = Options(run, hooks, &stopped);
    options.checkUnchanged = mode == RunMode::ErasePlanned;  // only a preview's plan has aged
    // A long search pumps the window's messages every 64 folders and stops on Cancel.
    int folders = 0;
    if (hooks.pump || hooks.cancelled)
        run.plan.SetPulse([&, hooks] {
            if (++folders % 64 == 0 && hooks.pump) {
                if (hooks.found) hooks.found(run.plan.Targets().size());
                hooks.pump();
            }
            return options.cancelled();
        });
    auto position = [&](const EraseItemRow& row) {
        if (row.progress >= 0 && hooks.progress) hooks.progress(row.progress);
    };
    if (mode == RunMode::ErasePlanned) {
        for (size_t item = 0; item < run.plan.ItemCount() && !stopped; ++item) {
            const int rowIndex = run.plan.ItemRow(item);
            if (rowIndex == winapp2::kRuleItemRow) {
                winapp2::CarryOutRuleItem(run, item, options);
                continue;
            }
            if (rowIndex < 0 || rowIndex >= static_cast<int>(std::size(kItems))) continue;
            const EraseItemRow& row = kItems[rowIndex];
            position(row);
            if (row.lines.start) run.addLine(row.lines.start, row.lines.scroll == Scroll::Both);
            ExecuteItems(run.plan, item, item + 1, options);
            EndLine(run, row, item);
        }
        MeasuredFigures(run);
        run.plan.SetPulse(nullptr);
        return;
    }
    for (size_t rowIndex = 0; rowIndex < std::size(kItems) && !stopped; ++rowIndex) {
        const EraseItemRow& row = kItems[rowIndex];
        position(row);
        if (!IsOpen(row, selection, run.settingsFile)) continue;
        if (hooks.pump) hooks.pump();
        if (mode == RunMode::Preview) {
            if (hooks.cancelled && hooks.cancelled()) break;
            PlanItem(run, row, static_cast<int>(rowIndex));
            continue;
        }
        if (row.lines.start) run.addLine(row.lines.start, row.lines.scroll == Scroll::Both);
        const size_t item = PlanItem(run, row, static_cast<int>(rowIndex));
        ExecuteItems(run.plan, item, item + 1, options);
        EndLine(run, row, item);
    }
    // The ticked community rules run after the custom items, each as an item of its own.
    if (!stopped) winapp2::RunTickedRules(run, mode == RunMode::Erase, options, options.cancelled);
    if (mode == RunMode::Erase) MeasuredFigures(run);
    if (mode == RunMode::Preview) run.plan.Compact();  // kept until the erase or the next preview
    run.plan.SetPulse(nullptr);
}

std::vector<BoxedItem> BoxedItems() {
    std::vector<BoxedItem> items;
    for (const EraseItemRow& row : kItems)
        if (row.gate.kind == Gate::Box) items.push_back(row.gate.boxed);
    return items;
}

bool TickedByText(const std::string& text, bool tickedAtFirst) {
    if (text.empty()) return tickedAtFirst;
    std::optional<double> n = Inifun::ReadsAsNumber(text);
    return !n || *n == 1;
}

EraseSelection StoredSelection(const std::string& settings) {
    EraseSelection selection;
    for (const BoxedItem& item : BoxedItems())
        selection.set(static_cast<size_t>(item.box),
                      TickedByText(Inifun::ReadIni(settings, item.section, item.key), item.tickedAtFirst));
    return selection;
}

void WriteStatistics(const std::string& settings, const EraseRun& run) {
    const Inifun::SaveBatch batch(settings);
    Inifun::WriteIni(settings, "WINDOWS", "regnum", FormatCount(run.regnum));
    Inifun::WriteIni(settings, "WINDOWS", "filesize", FormatSize(run.filesize / 1048576.0));
}

EraseRun EraseUnattended(const EraseSelection& selection) {
    EraseRun run;
    run.settingsFile = platform::SettingsFile("bwsd.dat");
    run.addLine = [](const std::string&, bool) {};
    Inifun::WriteIni(run.settingsFile, "WINDOWS", "lastclean", platform::NowText());
    RunItems(run, selection, RunMode::Erase);
    WriteStatistics(run.settingsFile, run);
    return run;
}

EraseRun PreviewUnattended(const EraseSelection& selection) {
    EraseRun run;
    run.settingsFile = platform::SettingsFile("bwsd.dat");
    run.addLine = [](const std::string&, bool) {};
    RunItems(run, selection, RunMode::Preview);
    return run;
}

void EraseItem(void (*item)(EraseRun&), EraseRun& run, const std::string& caption) {
    const size_t first = run.plan.BeginItem(caption);
    item(run);
    run.plan.SetItemEnding(run.useAltEndLine, run.noEndLine);
    ExecuteOptions options;
    options.securely = Securely(run.settingsFile);
    options.checkUnchanged = false;
    ExecuteItems(run.plan, first, run.plan.ItemCount(), options);
    for (size_t at = first; at < run.plan.ItemCount(); ++at) {
        const ItemFigures one = run.plan.FiguresOf(at);
        run.regnum += static_cast<double>(one.erased.Registry());
        run.filesize += static_cast<double>(one.erased.bytes);
    }
}

}  // namespace bw
