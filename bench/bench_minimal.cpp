// The reference: the least Win32 code that sizes or empties a folder tree (FindFirstFileA,
// DeleteFileA, RemoveDirectoryA), with no link checks, to measure Brightwipe's walks against.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"

namespace {

bool IsDots(const char* name) { return !std::strcmp(name, ".") || !std::strcmp(name, ".."); }

uint64_t Size(const std::string& root) {
    uint64_t total = 0;
    std::vector<std::string> pending{root + "\\"};
    WIN32_FIND_DATAA data;
    while (!pending.empty()) {
        std::string folder = pending.back();
        pending.pop_back();
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (IsDots(data.cFileName)) continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                pending.push_back(folder + data.cFileName + "\\");
            else
                total += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    return total;
}

// Deletes every file as it is listed and removes the folders afterwards, children first.
uint64_t Empty(const std::string& root) {
    uint64_t deleted = 0;
    std::vector<std::string> folders{root + "\\"};
    WIN32_FIND_DATAA data;
    for (size_t i = 0; i < folders.size(); ++i) {
        const std::string folder = folders[i];
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (IsDots(data.cFileName)) continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                folders.push_back(folder + data.cFileName + "\\");
            else if (DeleteFileA((folder + data.cFileName).c_str()))
                ++deleted;
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    for (size_t i = folders.size(); i-- > 1;) RemoveDirectoryA(folders[i].c_str());
    return deleted;
}

// The same in UTF-16 with long "\\?\" paths, for trees deeper than MAX_PATH: an explicit stack of
// folders, each listed, its files deleted and its sub-folders pushed, and removed once its
// sub-folders are gone.
uint64_t EmptyDeep(const std::string& root) {
    struct Frame {
        std::wstring folder;
        bool listed;
    };
    uint64_t deleted = 0;
    std::wstring top(root.begin(), root.end());
    std::vector<Frame> stack{{L"\\\\?\\" + top + L"\\", false}};
    WIN32_FIND_DATAW data;
    while (!stack.empty()) {
        if (stack.back().listed) {
            if (stack.size() > 1) RemoveDirectoryW(stack.back().folder.c_str());
            stack.pop_back();
            continue;
        }
        stack.back().listed = true;
        const std::wstring folder = stack.back().folder;
        HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (!std::wcscmp(data.cFileName, L".") || !std::wcscmp(data.cFileName, L"..")) continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                stack.push_back({folder + data.cFileName + L"\\", false});
            else if (DeleteFileW((folder + data.cFileName).c_str()))
                ++deleted;
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return deleted;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_minimal size|empty|emptydeep <folder>\n");
        return 2;
    }
    std::string mode = argv[1], root = argv[2];
    bw::bench::Stopwatch watch;
    if (mode == "size") {
        uint64_t bytes = Size(root);
        bw::bench::PrintResult("minimal-size", watch.Seconds(), bytes);
    } else if (mode == "empty") {
        uint64_t files = Empty(root);
        bw::bench::PrintResult("minimal-empty", watch.Seconds(), files);
    } else if (mode == "emptydeep") {
        uint64_t files = EmptyDeep(root);
        bw::bench::PrintResult("minimal-emptydeep", watch.Seconds(), files);
    } else {
        return 2;
    }
    return 0;
}
