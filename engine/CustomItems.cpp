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

namespace fs = platform::fs;

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
        // leads into a protected folder other than a drive root, or into a system folder or
        // anywhere below one (in either view under WOW64), is refused, and the report says so.
        // The folder judged is the folder listed: one guard serves both.
        const std::string pattern = platform::TrimRight(line);
        const size_t cut = pattern.find_last_of('\\');
        if (cut == std::string::npos) continue;
        const fs::FolderGuard folder = fs::GuardFolder(pattern.substr(0, cut + 1), fs::Reach::DirectlyIn);
        const std::string refusal = fs::UserFolderRefusal(folder);
        if (!refusal.empty()) {
            run.plan.AddRefusal(pattern + ": refused. " + refusal);
            continue;
        }
        planwalk::MatchingFiles(run.plan, folder, pattern.substr(cut + 1));
    }
}

}  // namespace bw::items
