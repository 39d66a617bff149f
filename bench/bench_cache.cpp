// The Internet cache item on its own: points the user's "Cache" shell folder at the given
// folder and runs the item. "cacheitem" finds and erases what it holds; "preview" only finds it
// (the plan a preview shows) and reports the plan's memory; "foldersize" is the size walk of the
// same tree (platform::fs::FolderSize) the preview is measured against.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/BenchCommon.h"
#include "engine/EraseItems.h"
#include "engine/EraseRunner.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "cacheitem" && mode != "preview" && mode != "foldersize") {
        std::fprintf(stderr, "usage: bench_cache cacheitem|preview|foldersize <cache folder>\n");
        return 2;
    }
    const std::string folder = argv[2];
    if (mode == "foldersize") {
        bw::bench::Stopwatch watch;
        const uint64_t bytes = bw::platform::fs::FolderSize(folder).value_or(0);
        bw::bench::PrintResult("foldersize", watch.Seconds(), bytes);
        return 0;
    }
    HKEY key = nullptr;
    if (bw::platform::reg::CreateKey(HKEY_CURRENT_USER,
                                     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                     &key) != ERROR_SUCCESS)
        return 1;
    std::string original(1024, '\0');
    DWORD size = static_cast<DWORD>(original.size());
    bool hadValue = bw::platform::reg::QueryValueEx(key, "Cache", nullptr,
                                                    reinterpret_cast<BYTE*>(&original[0]), &size) == ERROR_SUCCESS;
    bw::platform::reg::SetValueEx(key, "Cache", REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                  static_cast<DWORD>(folder.size() + 1));

    bw::EraseRun run;
    bw::bench::Stopwatch watch;
    if (mode == "preview") {
        run.plan.BeginItem("IE Internet Cache");
        bw::items::InternetCache(run);
        run.plan.Compact();  // as a preview of the erase window leaves it
    } else {
        bw::EraseItem(bw::items::InternetCache, run);
    }
    double seconds = watch.Seconds();

    if (hadValue)
        bw::platform::reg::SetValueEx(key, "Cache", REG_SZ, reinterpret_cast<const BYTE*>(original.data()), size);
    bw::platform::reg::CloseKey(key);
    if (mode == "preview") {
        const bw::ItemFigures figures = run.plan.Total();
        std::printf("plan files=%lld bytes=%llu memory=%lu\n", static_cast<long long>(figures.planned.files),
                    static_cast<unsigned long long>(figures.planned.bytes),
                    static_cast<unsigned long>(run.plan.MemoryBytes()));
        bw::bench::PrintResult("preview", seconds, figures.planned.bytes);
    } else {
        bw::bench::PrintResult("cacheitem", seconds, static_cast<uint64_t>(run.filesize));
    }
    return 0;
}
