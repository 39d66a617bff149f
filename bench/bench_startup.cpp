// Times a program's start from the outside: launches it in a given folder and watches the
// top-level windows of its process for the splash ("Brightwipe") and then the main window
// ("Brightwipe V2.60") to become visible, polling every millisecond.
//
//   bench_startup <folder> <exe> [arguments...]
//
// Prints one line for the driving script (startup.sh):
//   result startup seconds=<launch to main> splash=<launch to splash> tomain=<splash to main>
//          ready=<launch to main answering> peakws=<bytes> peakpf=<bytes>
// in seconds: "main" is when the main window turned visible, "ready" when, after that, the
// program's thread answered a message sent to the main window. The peaks are the child's, read
// half a second after that. The child is then ended with TerminateProcess, so that it never
// writes its settings into the folder.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/BenchCommon.h"

namespace {

constexpr double kGiveUpSeconds = 60.0;
constexpr DWORD kSettleMs = 500;  // lets the main window paint before memory is read

struct Search {
    DWORD pid;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
    // GetWindowTextA reads another process's caption without sending it a message, so a busy
    // child never holds the poll up.
    char text[64];
    if (GetWindowTextA(hwnd, text, sizeof text) <= 0 || std::strcmp(text, search->caption) != 0)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND VisibleWindow(DWORD pid, const char* caption) {
    Search search{pid, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Quoted(const char* arg) { return std::string("\"") + arg + "\""; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup <folder> <exe> [arguments...]\n");
        return 2;
    }
    const char* folder = argv[1];
    std::string commandLine = Quoted(argv[2]);
    for (int i = 3; i < argc; ++i) commandLine += " " + Quoted(argv[i]);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    bw::bench::Stopwatch watch;
    if (!CreateProcessA(argv[2], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, &child)) {
        std::fprintf(stderr, "bench_startup: cannot start %s (error %lu)\n", argv[2],
                     static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    CloseHandle(child.hThread);

    double splash = -1, main = -1, ready = -1;
    const char* problem = nullptr;
    while (main < 0) {
        if (WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0) {
            problem = "the program ended before its main window appeared";
            break;
        }
        if (splash < 0 && VisibleWindow(child.dwProcessId, "Brightwipe")) splash = watch.Seconds();
        if (HWND hwnd = VisibleWindow(child.dwProcessId, "Brightwipe V2.60")) {
            main = watch.Seconds();
            if (splash < 0) {
                problem = "the main window appeared without a splash before it";
                break;
            }
            // The window turns visible as it starts to show; its thread answers this message
            // once the code that showed it has returned to the message loop (painted, and the
            // splash gone).
            DWORD_PTR answer;
            if (!SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer))
                problem = "the main window did not answer a message within 30 s";
            ready = watch.Seconds();
            break;
        }
        if (watch.Seconds() > kGiveUpSeconds) {
            problem = "no main window within a minute";
            break;
        }
        Sleep(1);
    }

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!problem) {
        Sleep(kSettleMs);
        GetProcessMemoryInfo(child.hProcess, &counters, sizeof counters);
    }
    TerminateProcess(child.hProcess, 0);
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hProcess);

    if (problem) {
        std::fprintf(stderr, "bench_startup: %s: %s\n", argv[2], problem);
        return 1;
    }
    std::printf("result startup seconds=%.4f splash=%.4f tomain=%.4f ready=%.4f peakws=%lu "
                "peakpf=%lu\n",
                main, splash, main - splash, ready,
                static_cast<unsigned long>(counters.PeakWorkingSetSize),
                static_cast<unsigned long>(counters.PeakPagefileUsage));
    std::fflush(stdout);
    return 0;
}
