// The user's own folder-and-pattern items, deleted from "cusd.dat" line by line.
#include <optional>
#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseSteps.h"
#include "platform/FileSystem.h"
#include "platform/LineFile.h"
#include "settings/CustomItemsFile.h"

namespace bw::items {

void CustomItems(EraseRun& run) {
    run.addLine("Please Waiting ,Erasing Custom Clean Items......", true);
    const std::string file = customitems::File();
    if (!platform::fs::FileExists(file)) return;
    // A file that cannot be read (too large, too many lines, locked) ends the section, and says so.
    const std::optional<std::vector<std::string>> lines = platform::ReadLines(file);
    if (!lines) {
        run.addLine("Erasing Custom Clean Items......FAILED: cusd.dat is too large or cannot be read", true);
        return;
    }
    for (const std::string& line : *lines) {
        FolderSize(run, line);  // adds only for a line that names a folder
        if (!customitems::IsAbsoluteEntry(line)) continue;
        // Files directly in the line's folder; sub-folders and read-only files stay. A line that
        // leads into a protected folder other than a drive root is refused.
        const std::string pattern = platform::TrimRight(line);
        if (!platform::fs::UserPatternRefusal(pattern).empty()) continue;
        platform::fs::DeleteFiles(pattern, false, platform::fs::Reach::DirectlyIn);
    }
    run.addLine("Erasing Custom Clean Items......OK", true);
}

}  // namespace bw::items
