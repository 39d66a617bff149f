// The community rules: winapp2.ini read and parsed, every entry's detection evaluated on this
// computer, and the Community Rules page opened on it with every detected entry listed, by the
// engine (bench_rules parse|detect|page <file>). Each mode times its work
// `reps` times in one process (a fresh set of caches each time) and reports the median.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "engine/Winapp2.h"
#include "engine/Winapp2Scan.h"
#include "engine/frmrules.h"
#include "platform/ProgramDir.h"
#include "ui/Forms.h"

namespace w2 = bw::winapp2;

int main(int argc, char** argv) {
    if (argc != 3 || (std::string(argv[1]) != "parse" && std::string(argv[1]) != "detect" &&
                      std::string(argv[1]) != "page")) {
        std::fprintf(stderr, "usage: bench_rules parse|detect|page <winapp2.ini>\n");
        return 2;
    }
    const std::string mode = argv[1], file = argv[2];
    constexpr int reps = 5;
    std::vector<double> times;
    size_t detected = 0, entries = 0, refused = 0, memory = 0;
    if (mode == "page") {
        // The page reads winapp2.ini from the program folder: a scratch one holding a copy.
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const std::string folder = std::string(temp) + "bw-bench-rules";
        CreateDirectoryA(folder.c_str(), nullptr);
        CopyFileA(file.c_str(), (folder + "\\winapp2.ini").c_str(), FALSE);
        bw::platform::OverrideProgramDir(folder);
    }
    size_t lines = 0;
    for (int r = 0; r < reps; ++r) {
        if (mode == "page") {
            bw::bench::Stopwatch watch;
            auto& page = bw::ui::Get<bw::frmrules>();
            page.Show();
            bw::ui::DoEvents();
            times.push_back(watch.Seconds());
            entries = page.Rules().entries.size();
            refused = page.Rules().refusedCount;
            detected = page.DetectedCount();
            lines = static_cast<size_t>(page.lstRules.ListCount());
            bw::ui::Release<bw::frmrules>();
        } else if (mode == "parse") {
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
    std::printf("entries=%u refused=%u detected=%u rulesbytes=%u first=%.4f lines=%u\n", static_cast<unsigned>(entries),
                static_cast<unsigned>(refused), static_cast<unsigned>(detected), static_cast<unsigned>(memory), times.front(),
                static_cast<unsigned>(lines));
    bw::bench::PrintResult(mode.c_str(), times[reps / 2], entries);
    return 0;
}
