// The disk cleaner's search on a generated tree: FindFiles filling the real (shown) result list,
// against the least Win32 code that walks the same tree breadth-first and matches the same
// patterns. Prints "result <what> seconds=... count=... peakws=... peakpf=..." for SearchBench.sh.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "ui/Forms.h"
#include "diskclean/frmLocate.h"
#include "diskclean/SearchPatterns.h"
#include "platform/AppSettings.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PrintResult(const char* what, double seconds, unsigned long long count) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("result %s seconds=%.3f count=%llu peakws=%lu peakpf=%lu\n", what, seconds, count,
                static_cast<unsigned long>(counters.PeakWorkingSetSize),
                static_cast<unsigned long>(counters.PeakPagefileUsage));
    std::fflush(stdout);
}

// The reference: breadth-first FindFirstFileA walk, ends-with match on the upper-cased name.
unsigned long long MinimalWalk(const std::string& root, const std::vector<std::string>& endings) {
    unsigned long long found = 0;
    std::deque<std::string> folders{root + "\\"};
    WIN32_FIND_DATAA data;
    while (!folders.empty()) {
        const std::string folder = folders.front();
        folders.pop_front();
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (std::strcmp(data.cFileName, ".") && std::strcmp(data.cFileName, ".."))
                    folders.push_back(folder + data.cFileName + "\\");
                continue;
            }
            const std::string name = bw::diskclean::UpperAscii(data.cFileName);
            for (const std::string& end : endings) {
                if (name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0) {
                    ++found;
                    break;
                }
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: SearchBench findfiles|minimal <folder> <patterns>\n");
        return 2;
    }
    const std::string mode = argv[1], root = argv[2], patterns = argv[3];
    if (mode == "minimal") {
        std::vector<std::string> endings;
        for (const auto& entry : bw::diskclean::ParsePatterns(patterns)) endings.push_back(entry.upper);
        double start = Now();
        unsigned long long found = MinimalWalk(root, endings);
        PrintResult("minimal-walk", Now() - start, found);
        return 0;
    }
    if (mode != "findfiles") return 2;

    // The window as a user has it: shown, with its settings in a key of its own.
    bw::platform::OverrideAppSettingsRoot("Software\\BrightwipeBench");
    bw::frmLocate& form = bw::ui::Get<bw::frmLocate>();
    form.Show();
    form.Check1[0].SetValue(1);
    form.Text1.SetText(patterns);
    bw::ui::DoEvents();

    double start = Now();
    form.List1.Clear();
    form.StopRequested = false;
    form.FindFiles(root, form.FolderQueue, patterns);
    bw::ui::DoEvents();  // the list is painted before the clock stops
    double seconds = Now() - start;

    const unsigned long long lines = static_cast<unsigned long long>(form.List1.ListCount());
    PrintResult("findfiles", seconds, lines);
    std::string status = form.Status.Caption();
    for (char& c : status)
        if (c == '\r' || c == '\n') c = '|';
    std::printf("summary %s\n", status.c_str());
    bw::ui::Release<bw::frmLocate>();
    return 0;
}
