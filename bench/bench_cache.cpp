// The Internet cache item on its own: points the user's "Cache" shell folder at the given
// folder and runs the item, which measures the folder and then empties it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/BenchCommon.h"
#include "engine/EraseItems.h"
#include "platform/Registry.h"

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "cacheitem") {
        std::fprintf(stderr, "usage: bench_cache cacheitem <cache folder>\n");
        return 2;
    }
    const std::string folder = argv[2];
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
    bw::items::InternetCache(run);
    double seconds = watch.Seconds();

    if (hadValue)
        bw::platform::reg::SetValueEx(key, "Cache", REG_SZ, reinterpret_cast<const BYTE*>(original.data()), size);
    bw::platform::reg::CloseKey(key);
    bw::bench::PrintResult("cacheitem", seconds, static_cast<uint64_t>(run.filesize));
    return 0;
}
