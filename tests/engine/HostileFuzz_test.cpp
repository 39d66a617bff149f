// Random hostile trees: a seeded generator mixes links in and out, case twins, look-alike, non-ANSI
// and long names, and swaps folders for links at random moments: while an erase plans, between a
// preview and "Erase Now", or between a search and its delete. Whatever it makes, nothing outside
// the folder being emptied may change, and every file still in its place when the erase ran is gone.
// BW_FUZZ_SEEDS sets how many trees (a few by default; `make fuzz` runs thousands) and
// BW_FUZZ_SEED the first seed, so a failing seed can be replayed alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/ErasePlan.h"
#include "engine/Executor.h"
#include "engine/PlanWalk.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "tests/support/TestSupport.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

unsigned EnvNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// Names as a hostile tree holds them (UTF-8), each safe on Linux.
const char* const kNames[] = {"a",      "B",        "file.tmp", "Привет", "中文",  "😀",   "café",
                              "．．＼．．", "..．",   "x y",     "UPPER",  "upper", "Temp", "TEMP"};

class TreeMaker {
public:
    explicit TreeMaker(unsigned seed) : random_(seed) {}

    // A shell script that plants the tree below $1/t (the folder to empty), with $1/o and its twin
    // $1/T outside, and the list of the folders and files it put inside (relative, UTF-8).
    std::string Script() {
        std::string script = "set -e\ncd \"$1\"\nmkdir -p t o T\n";
        script += "printf twin > T/twin.txt\n";
        for (int i = 0; i < 6; ++i) script += "printf precious-" + std::to_string(i) + " > o/p" + std::to_string(i) + ".txt\n";
        folders_ = {""};
        const int count = 3 + static_cast<int>(Pick(8));
        for (int i = 0; i < count; ++i) {
            const std::string parent = folders_[Pick(folders_.size())];
            if (Depth(parent) >= 4) continue;
            const std::string folder = parent + Name(i) + "/";
            folders_.push_back(folder);
            script += "mkdir -p 't/" + folder + "'\n";
        }
        for (const std::string& folder : folders_) {
            const int files = static_cast<int>(Pick(4));
            for (int i = 0; i < files; ++i) {
                const std::string file = folder + Name(100 + i) + ".f";
                files_.push_back(file);
                script += "printf inside > 't/" + file + "'\n";
            }
            switch (Pick(5)) {  // a link of some kind in one folder out of two or so
            case 0: script += "ln -s \"$PWD/o\" 't/" + folder + "out-dir'\n"; break;
            case 1: script += "ln -s \"$PWD/o/p" + std::to_string(Pick(6)) + ".txt\" 't/" + folder + "out.f'\n"; break;
            case 2: script += "ln -s \"$PWD/T\" 't/" + folder + "twin-dir'\n"; break;
            case 3: script += "ln -s ../../.. 't/" + folder + "up'\n"; break;
            default: break;
            }
        }
        return script;
    }

    // A folder below t (never t itself unless `startToo`), as it was planted.
    std::string SomeFolder(bool startToo) {
        if (folders_.size() == 1 || (startToo && Pick(4) == 0)) return "";
        return folders_[1 + Pick(folders_.size() - 1)];
    }
    const std::vector<std::string>& Files() const { return files_; }
    size_t Pick(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(random_) : 0; }

private:
    static int Depth(const std::string& folder) {
        int depth = 0;
        for (char c : folder) depth += c == '/';
        return depth;
    }
    std::string Name(int salt) {
        std::string name = kNames[Pick(sizeof kNames / sizeof *kNames)];
        if (Pick(6) == 0) name += std::string(120, 'L');  // with the depth, past MAX_PATH
        return name + "-" + std::to_string(salt);
    }

    std::mt19937 random_;
    std::vector<std::string> folders_;
    std::vector<std::string> files_;
};

// What lies outside the emptied folder, every name and every byte.
std::string Outside(const std::string& root) {
    const std::string manifest = root + "\\manifest.txt";
    RunScript("cd \"$1\" && find o T | sort > \"$2\" && find o T -type f | sort | xargs -d '\\n' md5sum >> \"$2\"\n",
              {UnixPath(root), UnixPath(manifest)});
    std::string text = ReadTextFile(manifest);
    DeleteFileA(manifest.c_str());
    return text;
}

// The planted files (relative to root\t) still there, leaving out those below `swapped`, which
// moved away with their folder, and with `hiddenStay` those below a name that begins with a dot
// (Wine shows it hidden, and an erase item leaves hidden entries).
std::string LeftInPlace(const std::string& root, const std::vector<std::string>& files, const std::string& swapped,
                        bool hiddenStay) {
    std::string list;
    for (const std::string& file : files) {
        const bool hidden = file[0] == '.' || file.find("/.") != std::string::npos;
        if ((swapped.empty() || file.compare(0, swapped.size(), swapped) != 0) && !(hiddenStay && hidden))
            list += file + "\n";
    }
    const std::string listFile = root + "\\planted.txt", leftFile = root + "\\left.txt";
    WriteTextFile(listFile, list);
    RunScript("cd \"$1/t\" && while IFS= read -r f; do [ -e \"$f\" ] && echo \"$f\"; done < \"$2\" > \"$3\"; true\n",
              {UnixPath(root), UnixPath(listFile), UnixPath(leftFile)});
    std::string left = ReadTextFile(leftFile);
    DeleteFileA(listFile.c_str());
    DeleteFileA(leftFile.c_str());
    return left;
}

// Moves `folder` (below root\t, UTF-8) away and puts a link to the outside folder in its place.
void Swap(const std::string& root, const std::string& folder) {
    RunScript("cd \"$1/t\" && d=\"${2%/}\" && [ -d \"$d\" ] && [ ! -L \"$d\" ] && mv \"$d\" \"$d-moved\" && "
              "ln -s \"$1/o\" \"$d\" || true\n",
              {UnixPath(root), folder.empty() ? std::string(".") : folder});
}

// The ways a tree is emptied: as "Erase Now" does without a preview (a swap while it plans), as
// it does after a preview (a swap between the two), and Search & Erase's three deletes.
enum class Way { EraseNow, PreviewThenErase, SearchDelete, SearchSecure, SearchRecycle, Count };

TEST(HostileFuzz, RandomTreesLoseNothingOutsideAndLeaveNothingInPlace) {
    if (!fs::IsWine()) GTEST_SKIP() << "plants Linux links; Wine only";
    const unsigned first = EnvNumber("BW_FUZZ_SEED", 1), seeds = EnvNumber("BW_FUZZ_SEEDS", 4);
    const int ways = static_cast<int>(Way::Count);
    for (unsigned seed = first; seed < first + seeds; ++seed) {
        for (int wayIndex = 0; wayIndex < ways; ++wayIndex) {
            const Way way = static_cast<Way>(wayIndex);
            TempDir root;
            TreeMaker maker(seed * static_cast<unsigned>(ways) + static_cast<unsigned>(wayIndex));
            ASSERT_TRUE(RunScript(maker.Script(), {UnixPath(root.path())})) << "seed " << seed;
            const std::string before = Outside(root.path());
            const std::string target = root / "t";
            const std::string swapped = maker.SomeFolder(true);
            bool checkLeft = false;
            std::string outcomes;  // what the executor left, and why
            if (way == Way::EraseNow || way == Way::PreviewThenErase) {
                bw::ErasePlan plan;
                plan.BeginItem("fuzz");
                size_t listings = 0;
                const size_t swapAt = maker.Pick(6);
                if (way == Way::EraseNow)
                    fs::SetWalkHookForTests([&](const std::wstring&) {
                        if (listings++ == swapAt) Swap(root.path(), swapped);
                    });
                bw::planwalk::EmptyFolderBelow(plan, target, "");
                fs::SetWalkHookForTests(nullptr);
                if (way == Way::PreviewThenErase || listings <= swapAt) Swap(root.path(), swapped);
                bw::ExecuteOptions options;
                options.checkUnchanged = way == Way::PreviewThenErase;
                bw::Execute(plan, options);
                for (const bw::Target& done : plan.Targets())
                    if (done.outcome != bw::Outcome::Erased)
                        outcomes += bw::platform::text::FromWide(plan.Describe(done), CP_UTF8) + ": " +
                                    bw::OutcomeText(done.outcome) + "\n";
                checkLeft = !swapped.empty();  // with the start folder swapped, nothing is in place
            } else {
                // Search & Erase: every planted file was found, then a folder was swapped.
                const fs::SearchAnchor anchor = fs::AnchorSearch(bw::platform::paths::LongPath(target));
                ASSERT_TRUE(anchor.valid);
                Swap(root.path(), swapped);
                for (const std::string& file : maker.Files()) {
                    std::wstring path = anchor.path + bw::platform::text::ToWide(file, CP_UTF8);
                    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
                    if (way == Way::SearchRecycle)
                        bw::platform::RecycleChosenFile(anchor, path);
                    else
                        fs::DeleteChosen(anchor, path, way == Way::SearchSecure);
                }
                checkLeft = !swapped.empty();
            }
            const std::string replay = "seed " + std::to_string(seed) + ", way " + std::to_string(wayIndex) +
                                       ", swapped '" + swapped + "': replay with BW_FUZZ_SEED=" +
                                       std::to_string(seed) + " BW_FUZZ_SEEDS=1";
            EXPECT_EQ(Outside(root.path()), before) << replay;
            if (checkLeft) {
                EXPECT_EQ(LeftInPlace(root.path(), maker.Files(), swapped, wayIndex < static_cast<int>(Way::SearchDelete)), "") << replay << "\n" << outcomes;
            }
            RunScript("rm -rf \"$1/t\"\n", {UnixPath(root.path())});  // links first, never through them
            if (HasFailure()) return;
        }
    }
}

}  // namespace
