// A plan made by a preview, then carried out: what changed on disk in between decides each
// target's outcome. Swapped folders and files lead nowhere, unticked and new files stay, changed
// and held files are left and reported, a cancel stops between two targets, and the figures agree
// with what is gone from the disk and the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/ErasePlan.h"
#include "engine/EraseReport.h"
#include "engine/EraseSteps.h"
#include "engine/Executor.h"
#include "engine/PlanWalk.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
namespace fs = bw::platform::fs;

namespace {

// The outcome of each file target, by its path below the tree's folder.
std::map<std::string, bw::Outcome> FileOutcomes(const bw::ErasePlan& plan, const std::string& root) {
    std::map<std::string, bw::Outcome> outcomes;
    for (const bw::Target& target : plan.Targets()) {
        if (target.kind != bw::TargetKind::File) continue;
        const std::string path = bw::platform::paths::Narrow(plan.Describe(target));
        outcomes[path.substr(root.size() + 1)] = target.outcome;
    }
    return outcomes;
}

class PreviewThenErase : public ::testing::Test {
public:
    void SetUp() override {
        if (!fs::IsWine()) GTEST_SKIP() << "plants Linux links and case twins; Wine only";
        Plant();
    }
    // A fresh tree: Target with two files and sub1 with two, and an outside folder of the same
    // names, each in a folder of its own.
    void Plant() {
        ++planted_;
        base_ = tree_ / std::to_string(planted_);
        outsideBase_ = outside_ / std::to_string(planted_);
        MakeDirs(target() + "\\sub1");
        MakeDirs(outsideBase_ + "\\sub1");
        for (const std::string name : {"x1.txt", "x2.txt"}) {
            WriteTextFile(target() + "\\" + name, "inside");
            WriteTextFile(target() + "\\sub1\\" + name, "inside");
            WriteTextFile(outsideBase_ + "\\" + name, "precious");
            WriteTextFile(outsideBase_ + "\\sub1\\" + name, "precious");
        }
    }
    std::string target() const { return base_ + "\\Target"; }
    std::string outside() const { return outsideBase_; }

    bw::ErasePlan Preview() {
        bw::ErasePlan plan;
        plan.BeginItem("folder");
        bw::planwalk::EmptyFolderBelow(plan, target(), "");
        return plan;
    }
    void ExpectOutsideKept() {
        for (const std::string name : {"x1.txt", "x2.txt", "sub1\\x1.txt", "sub1\\x2.txt"})
            EXPECT_EQ(ReadTextFile(outside() + "\\" + name), "precious") << name;
    }

    TempDir tree_, outside_;
    std::string base_, outsideBase_;
    int planted_ = 0;
    HANDLE held_ = INVALID_HANDLE_VALUE;
};

// Between the preview and the erase, the disk changes one way; each row says which targets are
// then left, and why. Everything else listed goes; nothing outside is touched.
TEST_F(PreviewThenErase, WhatChangedAfterThePreviewIsLeftAndReported) {
    using Outcomes = std::map<std::string, bw::Outcome>;
    const bw::Outcome erased = bw::Outcome::Erased, refused = bw::Outcome::Refused;
    struct Case {
        const char* name;
        std::function<void(PreviewThenErase&, bw::ErasePlan&)> change;
        Outcomes expected;
    };
    auto swapFolder = [](const std::string& folder, const std::string& to) {
        ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + "-moved").c_str()));
        ASSERT_TRUE(MakeLink(to, folder));
    };
    const Case cases[] = {
        {"nothing", [](PreviewThenErase&, bw::ErasePlan&) {},
         {{"x1.txt", erased}, {"x2.txt", erased}, {"sub1\\x1.txt", erased}, {"sub1\\x2.txt", erased}}},
        {"sub-folder swapped for a link outside",
         [&](PreviewThenErase& t, bw::ErasePlan&) { swapFolder(t.target() + "\\sub1", t.outside() + "\\sub1"); },
         {{"x1.txt", erased}, {"x2.txt", erased}, {"sub1\\x1.txt", refused}, {"sub1\\x2.txt", refused}}},
        {"the item's folder swapped for a link outside",
         [&](PreviewThenErase& t, bw::ErasePlan&) { swapFolder(t.target(), t.outside()); },
         {{"x1.txt", refused}, {"x2.txt", refused}, {"sub1\\x1.txt", refused}, {"sub1\\x2.txt", refused}}},
        {"sub-folder swapped for a link to its case twin",
         [&](PreviewThenErase& t, bw::ErasePlan&) {
             MakeDirs(t.target() + "\\SUB1");
             WriteTextFile(t.target() + "\\SUB1\\x1.txt", "twin");
             swapFolder(t.target() + "\\sub1", t.target() + "\\SUB1");
         },
         {{"x1.txt", erased}, {"x2.txt", erased}, {"sub1\\x1.txt", refused}, {"sub1\\x2.txt", refused}}},
        {"a file swapped for a link outside",
         [](PreviewThenErase& t, bw::ErasePlan&) {
             DeleteFileA((t.target() + "\\x1.txt").c_str());
             ASSERT_TRUE(MakeLink(t.outside() + "\\x1.txt", t.target() + "\\x1.txt"));
         },
         {{"x1.txt", refused}, {"x2.txt", erased}, {"sub1\\x1.txt", erased}, {"sub1\\x2.txt", erased}}},
        {"a file rewritten, one deleted, one held, one unticked, one made",
         [](PreviewThenErase& t, bw::ErasePlan& plan) {
             WriteTextFile(t.target() + "\\x1.txt", "written again, longer");
             DeleteFileA((t.target() + "\\x2.txt").c_str());
             WriteTextFile(t.target() + "\\new.txt", "made after the preview");
             for (bw::Target& target : plan.Targets())
                 if (target.kind == bw::TargetKind::File && plan.FileName(target) == L"x2.txt" &&
                     plan.FolderName(target.ref) == L"sub1")
                     target.ticked = false;
             t.held_ = CreateFileA((t.target() + "\\sub1\\x1.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
         },
         {{"x1.txt", bw::Outcome::Changed},
          {"x2.txt", bw::Outcome::Vanished},
          {"sub1\\x1.txt", bw::Outcome::InUse},
          {"sub1\\x2.txt", bw::Outcome::Unticked}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Plant();
        bw::ErasePlan plan = Preview();
        ASSERT_EQ(FileOutcomes(plan, target()).size(), 4u) << "the preview lists the four files inside";
        EXPECT_EQ(plan.FiguresOf(0).planned.bytes, 4u * 6u);
        c.change(*this, plan);
        bw::Execute(plan, {});
        if (held_ != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(held_, INVALID_HANDLE_VALUE));

        EXPECT_EQ(FileOutcomes(plan, target()), c.expected);
        ExpectOutsideKept();
        int64_t erasedFiles = 0;
        for (const auto& [path, outcome] : c.expected) {
            erasedFiles += outcome == erased;
            // A file that was not erased is still where it was, except the one deleted meanwhile.
            if (outcome != bw::Outcome::Vanished && outcome != refused) {
                EXPECT_EQ(PathExists(target() + "\\" + path), outcome != erased) << path;
            }
        }
        EXPECT_EQ(plan.FiguresOf(0).erased.files, erasedFiles);
        EXPECT_EQ(plan.FiguresOf(0).erased.bytes, static_cast<uint64_t>(erasedFiles) * 6u);
        if (std::string(c.name).find("made") != std::string::npos) {
            EXPECT_EQ(ReadTextFile(target() + "\\new.txt"), "made after the preview");
        }
        // The report holds one line per target with its outcome.
        const std::string report = bw::ReportText(plan, false);
        for (const auto& [path, outcome] : c.expected) {
            const std::string word = outcome == erased ? "erased" : std::string("left: ") + bw::OutcomeText(outcome);
            EXPECT_NE(report.find("  " + word + "\t" + target() + "\\" + path + "\r\n"), std::string::npos)
                << word << " " << path << "\n" << report;
        }
    }
}

TEST_F(PreviewThenErase, CancelStopsBetweenTwoTargetsAndReportsTheRest) {
    bw::ErasePlan plan = Preview();
    int asked = 0;
    bw::ExecuteOptions options;
    options.cancelled = [&] { return ++asked > 2; };
    bw::Execute(plan, options);
    const bw::ItemFigures figures = plan.FiguresOf(0);
    EXPECT_EQ(figures.erased.files, 2);
    EXPECT_EQ(figures.left, static_cast<int64_t>(plan.Targets().size()) - 2);
    int remaining = 0;
    for (const char* name : {"x1.txt", "x2.txt", "sub1\\x1.txt", "sub1\\x2.txt"})
        remaining += PathExists(target() + "\\" + name) ? 1 : 0;
    EXPECT_EQ(remaining, 2);
    EXPECT_NE(bw::ReportText(plan, false).find("  left: cancelled\t"), std::string::npos);
}

// Keys and values: the figures count what the registry lost, and a second plan finds nothing.
TEST(ExecutorRegistry, CountsWhatTheRegistryLostAndASecondPlanFindsNothing) {
    TempRegKey key;
    const std::string base = key.subkey();
    SetString(HKEY_CURRENT_USER, base + "\\List", "a", "1");
    SetString(HKEY_CURRENT_USER, base + "\\List", "b", "2");
    SetString(HKEY_CURRENT_USER, base + "\\Gone", "c", "3");
    SetString(HKEY_CURRENT_USER, base + "\\Values", "d", "4");
    SetString(HKEY_CURRENT_USER, base + "\\Values", "kept", "5");
    auto plan = [&] {
        bw::ErasePlan made;
        made.BeginItem("registry");
        bw::PlanResetKey(made, HKEY_CURRENT_USER, base + "\\List");
        bw::PlanRemoveKey(made, HKEY_CURRENT_USER, base + "\\Gone");
        bw::PlanRemoveValue(made, HKEY_CURRENT_USER, base + "\\Values", "d");
        bw::PlanRemoveValue(made, HKEY_CURRENT_USER, base + "\\Values", "missing");
        return made;
    };
    bw::ErasePlan first = plan();
    EXPECT_EQ(first.FiguresOf(0).planned.Registry(), 3);
    bw::Execute(first, {});
    EXPECT_EQ(first.FiguresOf(0).erased.keys, 2);
    EXPECT_EQ(first.FiguresOf(0).erased.values, 1);
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, base + "\\List"), 0) << "reset: left existing and empty";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\Gone"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, base + "\\Values", "d"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, base + "\\Values", "kept"));
    EXPECT_NE(bw::ReportText(first, false).find("  erased\tHKEY_CURRENT_USER\\" + base + "\\Values\\d\r\n"),
              std::string::npos);

    bw::ErasePlan second = plan();
    bw::Execute(second, {});
    EXPECT_EQ(second.Total().planned.Registry(), 0);
    EXPECT_EQ(second.Total().erased.Registry(), 0);
}

// A chain of folders 1,000 deep in a temporary folder, a file at each level and one beside it: the
// Temp item's walk and the executor erase everything the system can open, and what they cannot
// reach (under Wine, every folder whose Linux path is longer than 4,096 bytes) is left whole,
// named once in the report, and the run ends.
TEST(ExecutorDepth, ADeepChainGoesAsFarAsItCanBeOpenedAndTheRestIsReported) {
    if (!fs::IsWine()) GTEST_SKIP() << "builds the chain with a Linux shell; Wine only";
    TempDir dir;
    constexpr int kLevels = 1000;  // 40-character names: about 100 levels fit in a Linux path
    // Perl (in every Debian) goes down by relative names, which no path length stops.
    const std::string build = R"(exec perl -e 'chdir $ARGV[0] && mkdir("Temp") && chdir("Temp") or die;
open(F, ">top.tmp") && print(F "x") && close(F) or die;
for $i (0 .. $ARGV[1] - 1) { $n = sprintf("level%035d", $i);
    mkdir($n) && chdir($n) && open(F, ">f.tmp") && print(F "x") && close(F) or die }' "$1" "$2")";
    ASSERT_TRUE(RunScript(build, {UnixPath(dir.path()), std::to_string(kLevels)}));
    const std::string root = dir / "Temp";

    bw::ErasePlan plan;
    plan.BeginItem("Temp");
    bw::planwalk::EmptyFolderBelow(plan, root, "");
    bw::Execute(plan, {});

    EXPECT_FALSE(PathExists(root + "\\top.tmp"));
    const int64_t erased = plan.FiguresOf(0).erased.files - 1;  // the files of the chain
    // The shallowest f.tmp left, as its depth below Temp (level i holds it at depth i + 2), and
    // the number left; the script removes the chain, which Windows calls cannot.
    const std::string count = R"(cd "$1/Temp" && find . -name f.tmp -printf '%d\n' | sort -n | awk 'NR == 1 { m = $1 } END { print NR, m + 0 }' > ../left.txt && cd .. && rm -rf Temp)";
    ASSERT_TRUE(RunScript(count, {UnixPath(dir.path())}));
    int left = -1, shallowest = -1;
    ASSERT_EQ(std::sscanf(ReadTextFile(dir / "left.txt").c_str(), "%d %d", &left, &shallowest), 2);
    EXPECT_EQ(erased + left, kLevels) << "every file of the chain erased or still there";
    const std::string report = bw::ReportText(plan, false);
    size_t refusals = 0;
    for (size_t at = report.find("not entered: "); at != std::string::npos; at = report.find("not entered: ", at + 1))
        ++refusals;
    if (left == 0) {
        EXPECT_EQ(refusals, 0u);
        return;
    }
    EXPECT_EQ(shallowest, erased + 2) << "the chain erased from the top down to where it could not be opened";
    EXPECT_EQ(refusals, 1u) << report.substr(0, 400);
    char deepest[64];
    std::snprintf(deepest, sizeof deepest, "level%035d", static_cast<int>(erased));
    EXPECT_NE(report.find(std::string(deepest) + ", it cannot be opened"), std::string::npos)
        << "the first folder left is named";
}

// The handles this process holds, as the system lists them (GetProcessHandleCount answers 0
// under Wine); 0 when it lists none.
size_t OpenHandles() {
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    struct Entry {  // SYSTEM_HANDLE_ENTRY
        ULONG ownerPid;
        BYTE objectType, flags;
        USHORT value;
        void* object;
        ULONG access;
    };
    std::vector<unsigned char> buffer(1u << 20);
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    ULONG count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    size_t mine = 0;
    for (ULONG i = 0; i < count; ++i) {
        Entry entry;
        std::memcpy(&entry, buffer.data() + sizeof(ULONG_PTR) + i * sizeof(Entry), sizeof entry);
        mine += entry.ownerPid == GetCurrentProcessId();
    }
    return mine;
}

// A plan keeps names, not open folders: planning thousands of folders an item starts from (a
// machine with every rule ticked) leaves the process's handles as they were, and the executor
// still reaches each folder, checked to be the one found.
TEST(ExecutorScale, APlanOfManyStartingFoldersHoldsNoneOpenAndErasesThemAll) {
    if (!fs::IsWine()) GTEST_SKIP() << "builds the folders with a Linux shell; Wine only";
    TempDir dir;
    constexpr int kFolders = 1500;
    ASSERT_TRUE(RunScript("cd \"$1\" && for i in $(seq 1 $2); do mkdir d$i && printf x > d$i/f.tmp; done",
                          {UnixPath(dir.path()), std::to_string(kFolders)}));
    const size_t before = OpenHandles();
    if (before == 0) GTEST_SKIP() << "the system gives no count of this process's handles";
    bw::ErasePlan plan;
    plan.BeginItem("many");
    for (int i = 1; i <= kFolders; ++i) bw::planwalk::EmptyFolderBelow(plan, dir / ("d" + std::to_string(i)), "");
    const size_t planned = OpenHandles();
    EXPECT_LT(planned, before + 50) << "handles held by a plan of " << kFolders << " folders";
    RunScript("mv \"$1/d7\" \"$1/d7-moved\" && mkdir \"$1/d7\" && printf x > \"$1/d7/f.tmp\"", {UnixPath(dir.path())});
    bw::Execute(plan, {});
    EXPECT_EQ(plan.FiguresOf(0).erased.files, kFolders - 1);
    EXPECT_TRUE(PathExists(dir / "d7\\f.tmp")) << "a folder put in place of the one found is not it";
    EXPECT_TRUE(PathExists(dir / "d7-moved\\f.tmp"));
    EXPECT_FALSE(PathExists(dir / "d8\\f.tmp"));
}

}  // namespace
