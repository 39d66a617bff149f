// Random hostile trees: a seeded generator mixes links in and out, case twins, look-alike, non-ANSI
// and long names, and swaps folders for links at random moments of the walk or between a search
// and its delete. Whatever it makes, nothing outside the folder being emptied may change.
// BW_FUZZ_SEEDS sets how many trees (a few by default; `make fuzz` runs thousands) and
// BW_FUZZ_SEED the first seed, so a failing seed can be replayed alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/Normal.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
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
        const int count = 3 + Pick(8);
        for (int i = 0; i < count; ++i) {
            const std::string parent = folders_[Pick(folders_.size())];
            if (Depth(parent) >= 4) continue;
            const std::string folder = parent + Name(i) + "/";
            folders_.push_back(folder);
            script += "mkdir -p 't/" + folder + "'\n";
        }
        for (const std::string& folder : folders_) {
            const int files = Pick(4);
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

// Moves `folder` (below root\t, UTF-8) away and puts a link to the outside folder in its place.
void Swap(const std::string& root, const std::string& folder) {
    RunScript("cd \"$1/t\" && d=\"${2%/}\" && [ -d \"$d\" ] && [ ! -L \"$d\" ] && mv \"$d\" \"$d-moved\" && "
              "ln -s \"$1/o\" \"$d\" || true\n",
              {UnixPath(root), folder.empty() ? std::string(".") : folder});
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

TEST(HostileFuzz, RandomTreesLoseNothingOutside) {
    if (!fs::IsWine()) GTEST_SKIP() << "plants Linux links; Wine only";
    const unsigned first = EnvNumber("BW_FUZZ_SEED", 1), seeds = EnvNumber("BW_FUZZ_SEEDS", 4);
    for (unsigned seed = first; seed < first + seeds; ++seed) {
        for (int way = 0; way < 4; ++way) {  // the walk, then Search & Erase in each of its ways
            TempDir root;
            TreeMaker maker(seed * 4 + static_cast<unsigned>(way));
            ASSERT_TRUE(RunScript(maker.Script(), {UnixPath(root.path())})) << "seed " << seed;
            const std::string before = Outside(root.path());
            const std::string target = root / "t";
            const std::string swapped = maker.SomeFolder(true);
            if (way == 0) {
                // The walk: the swap comes after a random number of listings.
                size_t listings = 0, swapAt = maker.Pick(6);
                fs::SetWalkHookForTests([&](const std::wstring&) {
                    if (listings++ == swapAt) Swap(root.path(), swapped);
                });
                bw::Normal::EmptyFolder(target);
                fs::SetWalkHookForTests(nullptr);
            } else {
                // Search & Erase: every planted file was found, then a folder was swapped.
                const fs::SearchAnchor anchor = fs::AnchorSearch(bw::platform::paths::LongPath(target));
                ASSERT_TRUE(anchor.valid);
                Swap(root.path(), swapped);
                for (const std::string& file : maker.Files()) {
                    std::wstring path = anchor.path + Utf8ToWide(file);
                    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
                    if (way == 3)
                        bw::platform::RecycleChosenFile(anchor, path);
                    else
                        fs::DeleteChosen(anchor, path, way == 2);
                }
            }
            EXPECT_EQ(Outside(root.path()), before) << "seed " << seed << ", way " << way << ", swapped '"
                                                   << swapped << "': replay with BW_FUZZ_SEED=" << seed
                                                   << " BW_FUZZ_SEEDS=1";
            RunScript("rm -rf \"$1/t\"\n", {UnixPath(root.path())});  // links first, never through them
            if (HasFailure()) return;
        }
    }
}

}  // namespace
