// The user's own folder-and-pattern items, deleted from "cusd.dat" line by line.
#include <optional>
#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/PlanWalk.h"
#include "platform/FileSystem.h"
#include "platform/LineFile.h"
#include "settings/CustomItemsFile.h"

namespace bw::items {

void CustomItems(EraseRun& run) {
    const std::string file = customitems::File();
    if (!platform::fs::FileExists(file)) {
        run.noEndLine = true;
        return;
    }
    // A file that cannot be read (too large, too many lines, locked) ends the section, and says so.
    const std::optional<std::vector<std::string>> lines = platform::ReadLines(file);
    if (!lines) {
        run.useAltEndLine = true;
        return;
    }
    for (const std::string& line : *lines) {
        if (!customitems::IsAbsoluteEntry(line)) continue;
        // Files directly in the line's folder; sub-folders and read-only files stay. A line that
        // leads into a protected folder other than a drive root is refused.
        const std::string pattern = platform::TrimRight(line);
        planwalk::MatchingFiles(run.plan, pattern, platform::fs::Reach::DirectlyIn);
    }
}

}  // namespace bw::items
