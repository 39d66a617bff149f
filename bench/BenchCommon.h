// Timing and memory figures shared by the benchmark programs.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdint>

namespace bw::bench {

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

// One machine-readable line for the driving script: the measured seconds, the operation's own
// count (bytes or files), and the process's peak working set and peak pagefile use in bytes.
inline void PrintResult(const char* what, double seconds, uint64_t count) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("result %s seconds=%.3f count=%llu peakws=%lu peakpf=%lu\n", what, seconds,
                static_cast<unsigned long long>(count),
                static_cast<unsigned long>(counters.PeakWorkingSetSize),
                static_cast<unsigned long>(counters.PeakPagefileUsage));
    std::fflush(stdout);
}

}  // namespace bw::bench
