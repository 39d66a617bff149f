// The community rules: winapp2.ini read and parsed, and every entry's detection evaluated on
// this computer, by the engine (bench_rules parse|detect <file>). Each mode times its work
// `reps` times in one process (a fresh set of caches each time) and reports the median.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "engine/Winapp2.h"
#include "engine/Winapp2Scan.h"

namespace w2 = bw::winapp2;

int main(int argc, char** argv) {
    if (argc != 3 || (std::string(argv[1]) != "parse" && std::string(argv[1]) != "detect")) {
        std::fprintf(stderr, "usage: bench_rules parse|detect <winapp2.ini>\n");
        return 2;
    }
    const std::string mode = argv[1], file = argv[2];
    constexpr int reps = 5;
    std::vector<double> times;
    size_t detected = 0, entries = 0, refused = 0, memory = 0;
    for (int r = 0; r < reps; ++r) {
        if (mode == "parse") {
            bw::bench::Stopwatch watch;
            w2::Rules rules = w2::LoadRules(file);
            times.push_back(watch.Seconds());
            entries = rules.entries.size();
            refused = rules.refusedCount;
            memory = rules.MemoryBytes();
        } else {
            bw::bench::Stopwatch watch;
            w2::Computer computer;
            w2::Rules rules = w2::LoadRules(file, computer.Defined());
            const double parsed = watch.Seconds();
            const std::vector<w2::Detection> d = w2::DetectAll(rules, computer);
            times.push_back(watch.Seconds() - parsed);
            entries = rules.entries.size();
            refused = rules.refusedCount;  // with this computer's variables
            detected = static_cast<size_t>(std::count(d.begin(), d.end(), w2::Detection::Detected));
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("entries=%u refused=%u detected=%u rulesbytes=%u first=%.4f\n", static_cast<unsigned>(entries),
                static_cast<unsigned>(refused), static_cast<unsigned>(detected), static_cast<unsigned>(memory), times.front());
    bw::bench::PrintResult(mode.c_str(), times[reps / 2], entries);
    return 0;
}
