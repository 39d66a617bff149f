// The folder-emptying erase items against hostile trees: look-alike names that the ANSI listing
// turns into "..\..", links to files and to a case twin of the folder, names the code page cannot
// hold, and paths longer than MAX_PATH. Everything inside goes, everything outside stays.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseRun.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "tests/support/Overrides.h"
#include "tests/support/TestSupport.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// root\outside\precious.txt and root\guard (empty) lie where a walk that followed "..\.." from
// root\a\Target would land; root\a\TARGET is the target's case twin.
class HostileTree : public ::testing::Test {
protected:
    std::string target() const { return root_ / "a\\Target"; }

    void SetUp() override {
        if (!fs::IsWine()) GTEST_SKIP() << "plants Linux names and links; Wine only";
        MakeDirs(target());
        MakeDirs(root_ / "outside");
        MakeDirs(root_ / "guard");
        WriteTextFile(root_ / "outside\\precious.txt", "precious");
        ASSERT_TRUE(MakeLink(root_ / "outside\\precious.txt", target() + "\\link.txt"));
        // Windows calls would find "Target" for "TARGET": the twin is made on the Linux side.
        const char script[] =
            "cd \"$1\" && mkdir ../TARGET && printf twin > ../TARGET/case.txt && "
            "ln -s \"$PWD/../TARGET/case.txt\" case.txt && "
            "printf 1 > Привет.txt && printf 2 > 中文.txt && printf 3 > 😀.txt && "
            "printf 4 > café.txt && mkdir Папка && printf 5 > Папка/файл.txt && "
            "mkdir -p ．．＼．．/．．＼．． && printf 6 > ．．＼．．/inside.txt && "
            "d=deep; for i in $(seq 1 30); do d=\"$d/level-$i-abcdefgh\"; done; "
            "mkdir -p \"$d\" && printf 7 > \"$d/bottom.txt\"\n";
        ASSERT_TRUE(RunScript(script, {UnixPath(target())}));  // 7 one-byte files in 9 entries
        ASSERT_EQ(SortedNames(target()).size(), 9u);
    }

    void ExpectInsideGoneAndOutsideKept() {
        EXPECT_EQ(SortedNames(target()), (std::vector<std::string>{"case.txt", "link.txt"}))
            << "only the two links stay inside";
        EXPECT_EQ(ReadTextFile(root_ / "outside\\precious.txt"), "precious");
        EXPECT_EQ(ReadTextFile(root_ / "a\\TARGET\\case.txt"), "twin");
        EXPECT_TRUE(IsDirectory(root_ / "guard")) << "an empty folder outside was removed";
        EXPECT_EQ(SortedNames(root_.path()), (std::vector<std::string>{"a", "guard", "outside"}));
    }

    TempDir root_;
    bw::EraseRun run_;
};

TEST_F(HostileTree, FolderItemsEmptyOnlyTheirFolder) {
    struct Item {
        const char* name;
        std::function<void(const std::string& folder, bw::EraseRun& run)> run;
    };
    const Item items[] = {
        {"temp",
         [](const std::string& folder, bw::EraseRun& run) {
             EnvironmentOverride env;
             env.Set("TMP", folder);
             env.Set("TEMP", folder);
             bw::items::WindowsTemp(run);
         }},
        {"cache",
         [](const std::string& folder, bw::EraseRun& run) {
             ValueOverride over(HKEY_CURRENT_USER, kShellFolders, "Cache", &folder);
             bw::items::InternetCache(run);
         }},
        {"favorites",
         [](const std::string& folder, bw::EraseRun& run) {
             ValueOverride over(HKEY_CURRENT_USER, kShellFolders, "Favorites", &folder);
             bw::items::Favorites(run);
         }},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        if (&item != &items[0]) SetUp();  // the tree again, beside what the last item left
        bw::EraseRun run;
        item.run(target(), run);
        ExpectInsideGoneAndOutsideKept();
        // The size counted is what lies inside: seven one-byte files and the two links' targets.
        EXPECT_LT(run.filesize, 100) << "counted beyond the folder";
        RunUnix("/bin/rm", {"-rf", UnixPath(root_.path() + "\\a"), UnixPath(root_ / "outside"),
                            UnixPath(root_ / "guard")});
    }
}

TEST_F(HostileTree, RecycleBinLeavesTrashedLinksAndTheirTargets) {
    const std::string trash = bw::platform::WineTrashFolder();
    const std::string prefix = [] {
        char buf[4096];
        DWORD n = GetEnvironmentVariableA("WINEPREFIX", buf, sizeof buf);
        return std::string(buf, n < sizeof buf ? n : 0);
    }();
    const std::string sandbox = WinPath(prefix.substr(0, prefix.find_last_of('/')));
    if (trash.empty() || _strnicmp(trash.c_str(), sandbox.c_str(), sandbox.size()) != 0)
        GTEST_SKIP() << "the desktop trash is not this test run's own";
    // What a Linux desktop does when the user trashes a link, a folder and a non-ANSI file.
    const char script[] =
        "mkdir -p \"$1/files\" \"$1/info\" && cd \"$1\" && "
        "ln -s \"$2\" files/link.txt && printf '%s' \"$3\" > info/link.txt.trashinfo && "
        "ln -s \"$4\" files/linkdir && printf '%s' \"$3\" > info/linkdir.trashinfo && "
        "mkdir -p files/Папка/．．＼．． && printf x > files/Папка/．．＼．．/f && "
        "printf '%s' \"$3\" > info/Папка.trashinfo && "
        "printf y > files/中文.txt && printf '%s' \"$3\" > info/中文.txt.trashinfo\n";
    ASSERT_TRUE(RunScript(script, {UnixPath(trash), UnixPath(root_ / "outside\\precious.txt"), "[Trash Info]",
                                   UnixPath(root_ / "outside")}));

    bw::items::RecycleBin(run_);

    EXPECT_EQ(ReadTextFile(root_ / "outside\\precious.txt"), "precious");
    EXPECT_EQ(SortedNames(trash + "\\files"), (std::vector<std::string>{"link.txt", "linkdir"}));
    EXPECT_EQ(SortedNames(trash + "\\info"),
              (std::vector<std::string>{"link.txt.trashinfo", "linkdir.trashinfo"}));
    EXPECT_EQ(SortedNames(target()).size(), 9u) << "the tree planted beside the trash is untouched";
    RunScript("rm -rf \"$1\"/files/* \"$1\"/info/*\n", {UnixPath(trash)});
}

}  // namespace
