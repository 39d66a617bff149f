// Brightwipe's own folder walks on a generated tree: FolderSize, EmptyFolder, and the minimal
// delete loop with the final-path check added, which isolates what that check costs.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "engine/Normal.h"
#include "platform/FileSystem.h"

namespace fs = bw::platform::fs;

namespace {

// The reference loop of bench_minimal, with each DeleteFileA replaced by the guarded delete
// (the starting folder's name worked out once, each sub-folder's taken from its parent's, each
// file opened, its name compared and the same handle marked for deletion).
uint64_t CheckedLoop(const std::string& root) {
    uint64_t deleted = 0;
    std::vector<fs::FolderGuard> folders{fs::GuardFolder(root)};
    for (size_t i = 0; i < folders.size(); ++i) {
        const fs::FolderGuard guard = folders[i];
        fs::ListFolderW(guard.path, [&](const fs::DirEntry& entry) {
            if (entry.IsFolder())
                folders.push_back(fs::GuardSubfolder(guard, entry));
            else if (fs::DeleteFileChecked(guard, entry, false))
                ++deleted;
            return true;
        });
    }
    for (size_t i = folders.size(); i-- > 1;) RemoveDirectoryW(folders[i].path.c_str());
    return deleted;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_folders foldersize|emptyfolder|checkedloop <folder>\n");
        return 2;
    }
    std::string mode = argv[1], root = argv[2];
    if (!fs::FolderExists(root)) return 3;
    bw::bench::Stopwatch watch;
    if (mode == "foldersize") {
        uint64_t bytes = fs::FolderSize(root).value_or(0);
        bw::bench::PrintResult("foldersize", watch.Seconds(), bytes);
    } else if (mode == "emptyfolder") {
        bw::Normal::EmptyFolder(root);
        double seconds = watch.Seconds();
        // EmptyFolder reports nothing; whether it did its work is checked by the script.
        bw::bench::PrintResult("emptyfolder", seconds, 0);
    } else if (mode == "checkedloop") {
        uint64_t files = CheckedLoop(root);
        bw::bench::PrintResult("checkedloop", watch.Seconds(), files);
    } else {
        return 2;
    }
    return 0;
}
