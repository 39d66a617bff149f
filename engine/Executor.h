// Carries an erase plan out, target by target, each checked again at the moment it is acted on.
#pragma once
#include <functional>

#include "engine/ErasePlan.h"

namespace bw {

struct ExecuteOptions {
    bool securely = false;  // files are overwritten before they are deleted
    // A file must still have the size and write time it was listed with (after a preview, when
    // time has passed). A plan carried out as soon as it is made leaves that look out.
    bool checkUnchanged = true;
    // Asked between two targets; true stops the run there (the rest are marked Cancelled).
    std::function<bool()> cancelled;
    // Called now and then with the number of targets done and the number in the plan.
    std::function<void(size_t done, size_t total)> progress;
};

// Carries out the ticked targets of `plan` that are still Planned, in plan order, writing each
// one's outcome. A file is reached from its anchor folder name by name (each folder opened
// relative to its checked parent and checked by name, so a folder swapped for a link or a case
// twin leads nowhere) and deleted only when it is still the file that was found (same name in
// the same folder, same size and write time, no link). A folder goes only once empty. A key or
// value goes when it is still there. Unticked targets are marked Unticked and stay.
void Execute(ErasePlan& plan, const ExecuteOptions& options);

// Carries out only the targets of the plan's items `first` to `last` - 1, as Execute.
void ExecuteItems(ErasePlan& plan, size_t first, size_t last, const ExecuteOptions& options);

}  // namespace bw
