// Secure erasing against a minimal loop writing the same bytes: bench_overwrite <secure|minimal> <folder>
// Deletes every file directly in <folder>; "secure" through fs::DeleteFiles while erasing
// securely, "minimal" by two WriteFile passes over each file, each flushed, then DeleteFileA.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "platform/FileSystem.h"

namespace {

uint64_t MinimalOverwrite(const std::string& folder) {
    std::vector<char> buffer(1 << 16, 0x55);
    uint64_t bytes = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::string> files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + "\\" + data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    for (const std::string& path : files) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        const DWORD size = GetFileSize(file, nullptr);
        for (int pass = 0; pass < 2; ++pass) {
            SetFilePointer(file, 0, nullptr, FILE_BEGIN);
            for (DWORD done = 0; done < size;) {
                DWORD chunk = size - done < buffer.size() ? size - done : static_cast<DWORD>(buffer.size());
                DWORD written = 0;
                if (!WriteFile(file, buffer.data(), chunk, &written, nullptr) || written == 0) break;
                done += written;
            }
            FlushFileBuffers(file);
            bytes += size;
        }
        CloseHandle(file);
        DeleteFileA(path.c_str());
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_overwrite <secure|minimal> <folder>\n");
        return 2;
    }
    const std::string mode = argv[1], folder = argv[2];
    const uint64_t bytes = bw::platform::fs::FolderSize(folder).value_or(0) * 2;
    bw::bench::Stopwatch watch;
    if (mode == "secure") {
        bw::platform::fs::DeleteFiles(bw::platform::fs::GuardFolder(folder), "*", false, true);
        bw::bench::PrintResult("secure", watch.Seconds(), bytes);
    } else {
        bw::bench::PrintResult("minimal", watch.Seconds(), MinimalOverwrite(folder));
    }
    return 0;
}
