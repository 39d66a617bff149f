// Brightwipe's own folder walks on a generated tree: FolderSize, EmptyFolder, and the anchored
// walk on its own, which isolates what the handle-by-handle checks cost.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/BenchCommon.h"
#include "engine/ErasePlan.h"
#include "engine/Executor.h"
#include "engine/Normal.h"
#include "engine/PlanWalk.h"
#include "platform/FileSystem.h"

namespace fs = bw::platform::fs;

namespace {

// The anchored walk alone, without EmptyFolder's starting checks: each folder opened relative to
// its checked parent and listed through its handle, each file opened relative to it, its name
// compared and the same handle marked for deletion, each emptied folder removed the same way.
uint64_t CheckedLoop(const std::string& root) {
    fs::WalkRules rules;
    rules.removeFolders = true;
    return static_cast<uint64_t>(fs::Walk(fs::GuardFolder(root), rules).filesDeleted);
}

// The erase run's way through a folder, as the Temp item takes it: planned by its walk, then
// carried out by the executor. Returns the files erased.
uint64_t PlanAndExecute(const std::string& root) {
    bw::ErasePlan plan;
    plan.BeginItem("Temp");
    bw::planwalk::EmptyFolderBelow(plan, root, "");
    bw::ExecuteOptions options;
    options.checkUnchanged = false;
    bw::Execute(plan, options);
    return static_cast<uint64_t>(plan.Total().erased.files);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_folders foldersize|emptyfolder|checkedloop|planexecute <folder>\n");
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
    } else if (mode == "planexecute") {
        uint64_t files = PlanAndExecute(root);
        bw::bench::PrintResult("planexecute", watch.Seconds(), files);
    } else {
        return 2;
    }
    return 0;
}
