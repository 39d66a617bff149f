// The erase run without a window: the item table, the run over the items a selection opens
// (erasing, previewing, or carrying out a previewed plan), and the unattended run.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/EraseRun.h"

namespace bw {

enum class RunMode {
    Erase,         // each item finds its targets and they are carried out at once
    Preview,       // the items find their targets; nothing is removed, no status line is added
    ErasePlanned,  // the targets already in run.plan are carried out, item by item
};

// An item that a check box of the main window opens: the box (N of CheckN) and the setting that
// stores its tick. The item table is the one place these are written.
struct BoxedItem {
    int box = 0;
    const char* section = nullptr;
    const char* key = nullptr;
    bool tickedAtFirst = true;  // ticked when no value is stored yet (a first start)
};

// The boxed items in the order a run visits them (and the main window loads and saves them).
std::vector<BoxedItem> BoxedItems();

// The main window's rule for a stored tick: 1 ticks, any other number clears, anything else
// ticks; no value at all gives `tickedAtFirst`.
bool TickedByText(const std::string& text, bool tickedAtFirst);

// The selection `settings` holds, read by that rule, without any window.
EraseSelection StoredSelection(const std::string& settings);

struct RunHooks {
    std::function<void(int position)> progress;  // the bar position of each item (0 to 100)
    std::function<bool()> cancelled;             // asked between targets; true stops the run
    std::function<void()> pump;                  // called now and then in long work (messages)
    std::function<void(size_t targets)> found;   // with pump during a search: targets so far
};

// Runs the items that `selection` and the settings open, in table order, over `run` (whose
// settingsFile and addLine are set). Erase and ErasePlanned add each item's status lines, pass
// "securely" from the settings to every delete, and set run.regnum and run.filesize to what was
// really removed. A cancelled run stops between two targets, ends the current item's lines, and
// runs no further item. ErasePlanned ignores `selection`: the plan says what runs.
void RunItems(EraseRun& run, const EraseSelection& selection, RunMode mode, const RunHooks& hooks = {});

// Writes the run's measured statistics ("regnum", "filesize" of section WINDOWS).
void WriteStatistics(const std::string& settings, const EraseRun& run);

// One erase run with no window and no message (the unattended erase of the command line): writes
// "lastclean", runs the items of `selection` and the settings as the erase window would,
// "securely" included, and writes the statistics. Returns the run, its plan with every outcome.
EraseRun EraseUnattended(const EraseSelection& selection);

// The preview of the items of `selection`, with no window: nothing is removed or written.
EraseRun PreviewUnattended(const EraseSelection& selection);

// Plans the one item `item` into run.plan and carries it out at once, adding what was removed
// to run.regnum and run.filesize (for callers and tests that run a single item).
void EraseItem(void (*item)(EraseRun&), EraseRun& run, const std::string& caption = "item");

}  // namespace bw
