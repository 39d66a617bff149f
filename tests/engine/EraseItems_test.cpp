// The erase items that delete what they find in a folder, against hostile trees: look-alike names
// that the ANSI listing turns into "..\..", links to files and to a case twin of the folder, names
// the code page cannot hold, and paths longer than MAX_PATH. What the item takes inside goes;
// everything outside, every link target and the twin stay.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseRunner.h"
#include "engine/Executor.h"
#include "engine/EraseRun.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "settings/Inifun.h"
#include "tests/support/Overrides.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }
std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }
std::string Up(std::string path, int levels) {
    while (levels-- > 0) path = Parent(path);
    return path;
}
std::string Slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// A folder path below the target that takes its files past MAX_PATH.
const std::string kDeep = [] {
    std::string deep = "deep";
    for (int i = 1; i <= 30; ++i) deep += "\\level-" + std::to_string(i) + "-abcdefgh";
    return deep;
}();
// The plain files planted inside, directly in the target and below it.
const std::vector<std::string> kTopFiles = {"Привет.txt", "中文.txt", "😀.txt", "café.txt"};
const std::vector<std::string> kLowerFiles = {"Папка\\файл.txt", "．．＼．．\\inside.txt", kDeep + "\\bottom.txt"};
const std::vector<std::string> kBaitFolders = {"", "Папка\\", "．．＼．．\\", kDeep + "\\"};

// True when the UTF-8 path names something (a link: something it leads to), at any length.
bool Exists(const std::string& path) {
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return GetFileAttributesW((L"\\\\?\\" + wide).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// While set, the items only find their targets (a preview); the test carries the plan out.
bool gPreviewOnly = false;

// Runs one item: erases at once, or only plans it during a preview.
void RunItem(void (*item)(bw::EraseRun&), bw::EraseRun& run) {
    if (!gPreviewOnly) {
        bw::EraseItem(item, run);
        return;
    }
    run.plan.BeginItem("item");
    item(run);
}

// Wide text of a UTF-8 path.
std::wstring WideOf(const std::string& path) {
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

// The preview lists only what lies inside `inside` and erases nothing; carried out, each file it
// lists is gone exactly when its outcome says erased (a link, listed as a plain file, is refused).
void PreviewThenErase(bw::EraseRun& run, const std::string& inside) {
    const std::wstring prefix = WideOf(inside) + L"\\";
    size_t files = 0;
    for (const bw::Target& target : run.plan.Targets()) {
        const std::wstring path = run.plan.Describe(target);
        if (target.kind != bw::TargetKind::File && target.kind != bw::TargetKind::Folder) continue;
        // The drive and Program Files may be spelled in another case by the item; below them, the
        // true names are compared exactly by the disk checks after the erase.
        EXPECT_EQ(_wcsnicmp(path.c_str(), prefix.c_str(), prefix.size()), 0)
            << "listed outside: " << bw::platform::paths::Narrow(path);
        if (target.kind == bw::TargetKind::File) {
            ++files;
            EXPECT_NE(GetFileAttributesW((L"\\\\?\\" + path).c_str()), INVALID_FILE_ATTRIBUTES)
                << "the preview removed " << bw::platform::paths::Narrow(path);
        }
    }
    EXPECT_GT(files, 0u) << "the preview found nothing";
    bw::Execute(run.plan, {});
    for (const bw::Target& target : run.plan.Targets()) {
        if (target.kind != bw::TargetKind::File) continue;
        const std::wstring path = run.plan.Describe(target);
        const bool there = GetFileAttributesW((L"\\\\?\\" + path).c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_EQ(there, target.outcome != bw::Outcome::Erased)
            << bw::OutcomeText(target.outcome) << " " << bw::platform::paths::Narrow(path);
        if (target.outcome != bw::Outcome::Erased) {
            EXPECT_EQ(target.outcome, bw::Outcome::Refused) << bw::platform::paths::Narrow(path);
        }
    }
}

// How an item is pointed at the planted target (the folder it deletes in) and run.
using Action = std::function<void(const std::string& target, bw::EraseRun& run)>;

Action Plain(void (*item)(bw::EraseRun&)) {
    return [item](const std::string&, bw::EraseRun& run) { RunItem(item, run); };
}
// Shell Folders `value` names the folder `up` levels above the target.
Action ShellFolder(const char* value, int up, void (*item)(bw::EraseRun&)) {
    return [=](const std::string& target, bw::EraseRun& run) {
        const std::string folder = Up(target, up);
        ValueOverride over(HKEY_CURRENT_USER, kShellFolders, value, &folder);
        RunItem(item, run);
    };
}
// The settings file's program folder ("path" of `section`) is the folder `up` levels above.
Action ProgramPath(const char* section, int up, void (*item)(bw::EraseRun&)) {
    return [=](const std::string& target, bw::EraseRun& run) {
        bw::Inifun::WriteIni(run.settingsFile, section, "path", Up(target, up));
        RunItem(item, run);
    };
}
// The sub-item `key` of `section` is ticked first.
Action WithKey(const char* section, const char* key, Action then) {
    return [=](const std::string& target, bw::EraseRun& run) {
        bw::Inifun::WriteIni(run.settingsFile, section, key, "1");
        then(target, run);
    };
}

// Which planted files an item that deletes by name or pattern takes.
enum class Goes {
    Bait,             // the bait directly in the target
    BaitAtAnyDepth,   // the bait wherever the target's tree holds it
    TopFiles,         // every plain file directly in the target, bait included (non-ANSI names too)
};

// The tree goes at target (default root\a\Target): its parent holds the case twin, its
// grandparent holds outside\precious.txt and the empty guard, where a walk that followed "..\.."
// from the target would land.
class HostileTree : public ::testing::Test {
protected:
    std::string target() const { return target_; }

    void SetUp() override {
        if (!fs::IsWine()) GTEST_SKIP() << "plants Linux names and links; Wine only";
        Plant(root_ / "a\\Target");
    }
    void TearDown() override { Clear(); }

    // With a `bait` (a file name, perhaps below a folder), that name is also planted: as a file
    // directly in the target and in each lower folder, as a link to outside\bait from the target
    // ("link-" name) and from deep in the look-alike folders (its own name), and in the twin.
    void Plant(const std::string& target, const std::string& bait = "") {
        target_ = target;
        std::string twinName = NameOf(target);
        for (char& c : twinName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        twin_ = Parent(target) + "\\" + twinName;
        above_ = Up(target, 2);
        madeAbove_ = !PathExists(above_);
        MakeDirs(target_);
        MakeDirs(above_ + "\\outside");
        MakeDirs(above_ + "\\guard");
        WriteTextFile(above_ + "\\outside\\precious.txt", "precious");
        ASSERT_TRUE(MakeLink(above_ + "\\outside\\precious.txt", target_ + "\\link.txt"));
        // Windows calls would find "Target" for "TARGET": the twin is made on the Linux side.
        const char script[] =
            "cd \"$1\" && mkdir \"../$2\" && printf twin > \"../$2/case.txt\" && "
            "ln -s \"$PWD/../$2/case.txt\" case.txt && "
            "printf 1 > Привет.txt && printf 2 > 中文.txt && printf 3 > 😀.txt && "
            "printf 4 > café.txt && mkdir Папка && printf 5 > Папка/файл.txt && "
            "mkdir -p ．．＼．．/．．＼．． && printf 6 > ．．＼．．/inside.txt && "
            "mkdir -p \"$4\" && printf 7 > \"$4/bottom.txt\" || exit 1\n"
            "[ -z \"$3\" ] && exit 0\n"
            "d=$(dirname \"$3\"); b=$(basename \"$3\")\n"
            "for f in . Папка ．．＼．． \"$4\"; do mkdir -p \"$f/$d\" && printf 8 > \"$f/$3\" || exit 1; done\n"
            "mkdir -p \"../../outside/$d\" \"../$2/$d\" \"．．＼．．/．．＼．．/$d\" && "
            "printf precious > \"../../outside/$3\" && printf twin > \"../$2/$3\" && "
            "ln -s \"$PWD/../../outside/$3\" \"．．＼．．/．．＼．．/$3\" && ln -s \"$PWD/../../outside/$3\" \"$d/link-$b\"\n";
        ASSERT_TRUE(RunScript(script, {UnixPath(target_), NameOf(twin_), Slashed(bait), Slashed(kDeep)}));
        if (bait.empty()) {
            ASSERT_EQ(SortedNames(target_).size(), 9u);  // 7 one-byte files in 9 entries
        }
    }

    // Removes what Plant made: the target's parent, outside and guard, or the grandparent it made.
    void Clear() {
        if (target_.empty()) return;
        if (madeAbove_)
            RunUnix("/bin/rm", {"-rf", UnixPath(above_)});
        else
            RunUnix("/bin/rm", {"-rf", UnixPath(Parent(target_)), UnixPath(above_ + "\\outside"),
                                UnixPath(above_ + "\\guard")});
        target_.clear();
    }

    void ExpectOutsideKept() {
        EXPECT_EQ(ReadTextFile(above_ + "\\outside\\precious.txt"), "precious");
        EXPECT_EQ(ReadTextFile(twin_ + "\\case.txt"), "twin");
        EXPECT_TRUE(IsDirectory(above_ + "\\guard")) << "an empty folder outside was removed";
        std::vector<std::string> names = {NameOf(Parent(target_)), "guard", "outside"};
        std::sort(names.begin(), names.end());
        EXPECT_EQ(SortedNames(above_), names);
    }

    void ExpectInsideGoneAndOutsideKept() {
        EXPECT_EQ(SortedNames(target()), (std::vector<std::string>{"case.txt", "link.txt"}))
            << "only the two links stay inside";
        ExpectOutsideKept();
    }

    // The files `goes` names are gone and every other planted file stays, links and what they
    // lead to included.
    void ExpectOnlyTheirFilesGone(Goes goes, const std::string& bait) {
        std::vector<std::string> gone = {bait};
        if (goes == Goes::BaitAtAnyDepth)
            for (const std::string& folder : kBaitFolders) gone.push_back(folder + bait);
        if (goes == Goes::TopFiles) gone.insert(gone.end(), kTopFiles.begin(), kTopFiles.end());
        std::vector<std::string> planted = kTopFiles;
        planted.insert(planted.end(), kLowerFiles.begin(), kLowerFiles.end());
        for (const std::string& folder : kBaitFolders) planted.push_back(folder + bait);
        for (const std::string& file : planted) {
            const bool goesToo = std::find(gone.begin(), gone.end(), file) != gone.end();
            EXPECT_EQ(Exists(target_ + "\\" + file), !goesToo) << file;
        }
        const std::string baitLink = bait.substr(0, bait.rfind('\\') + 1) + "link-" + NameOf("\\" + bait);
        for (const std::string& link : {std::string("link.txt"), std::string("case.txt"), baitLink,
                                        "．．＼．．\\．．＼．．\\" + bait})
            EXPECT_TRUE(Exists(target_ + "\\" + link)) << link;
        EXPECT_EQ(ReadTextFile(above_ + "\\outside\\" + bait), "precious");
        EXPECT_EQ(ReadTextFile(twin_ + "\\" + bait), "twin");
        ExpectOutsideKept();
    }

    TempDir root_;
    ProgramFolder program_;
    std::string target_, twin_, above_;
    bool madeAbove_ = false;
    bw::EraseRun run_;
};

// A fresh run on the fixture's program folder, its settings file gone.
bw::EraseRun FreshRun(const ProgramFolder& program) {
    DeleteFileA(program.settings().c_str());
    bw::EraseRun run;
    run.settingsFile = program.settings();
    run.addLine = [](const std::string&, bool) {};
    return run;
}

TEST_F(HostileTree, FolderItemsEmptyOnlyTheirFolder) {
    struct Item {
        const char* name;
        std::string target;
        Action run;
    };
    const std::string target = root_ / "a\\Target";
    const Item items[] = {
        {"temp", target,
         [](const std::string& folder, bw::EraseRun& run) {
             EnvironmentOverride env;
             env.Set("TMP", folder);
             env.Set("TEMP", folder);
             RunItem(bw::items::WindowsTemp, run);
         }},
        {"cache", target, ShellFolder("Cache", 0, bw::items::InternetCache)},
        {"favorites", target, ShellFolder("Favorites", 0, bw::items::Favorites)},
        {"downloaded program files", target,
         [](const std::string& folder, bw::EraseRun& run) {
             ValueOverride over(HKEY_LOCAL_MACHINE, kInternetSettings, "ActiveXCache", &folder);
             RunItem(bw::items::DownloadedProgramFiles, run);
         }},
        {"more applications: Yahoo!", "C:\\Program Files\\Yahoo!\\Messenger\\IMVCache",
         WithKey("MOREAPPLICATIONS", "Yahoo!", Plain(bw::items::MoreApplications))},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        Clear();
        Plant(item.target);
        bw::EraseRun run = FreshRun(program_);
        gPreviewOnly = true;
        item.run(target_, run);
        gPreviewOnly = false;
        PreviewThenErase(run, target_);
        run.filesize = static_cast<double>(run.plan.Total().erased.bytes);
        ExpectInsideGoneAndOutsideKept();
        // The size counted is what lies inside: seven one-byte files and the two links' targets.
        EXPECT_LT(run.filesize, 100) << "counted beyond the folder";
    }
}

// Items that delete by name or pattern, or at one depth only, each run on a tree planted where
// it deletes, with a bait of the names it takes.
TEST_F(HostileTree, PatternItemsDeleteOnlyWhatTheyMatchInside) {
    struct Item {
        const char* name;
        std::string target;
        const char* bait;
        Goes goes;
        Action run;
    };
    const std::string root = root_.path(), target = root_ / "a\\Target";
    const std::string profiles = root + "\\Mozilla\\Profiles", opera = root + "\\opera\\profile";
    const Item items[] = {
        {"cookies", target, "user@site[1].txt", Goes::TopFiles, ShellFolder("Cookies", 0, bw::items::Cookies)},
        {"recent documents", target, "letter.lnk", Goes::Bait,
         [](const std::string& folder, bw::EraseRun& run) {
             ValueOverride shell(HKEY_CURRENT_USER, kShellFolders, "Recent", &folder);
             ValueOverride user(HKEY_CURRENT_USER, kUserShellFolders, "Recent", &folder);
             RunItem(bw::items::RecentDocuments, run);
         }},
        {"netscape location", profiles, "localstore.rdf", Goes::BaitAtAnyDepth,
         WithKey("NETSCAPE", "Location", ShellFolder("AppData", 2, bw::items::NetscapeNavigator))},
        {"netscape cookies", profiles, "cookies.txt", Goes::BaitAtAnyDepth,
         WithKey("NETSCAPE", "Cookies", ShellFolder("AppData", 2, bw::items::NetscapeNavigator))},
        {"netscape cache", profiles, "Cache\\_CACHE_001_", Goes::BaitAtAnyDepth,
         WithKey("NETSCAPE", "Cache", ShellFolder("AppData", 2, bw::items::NetscapeNavigator))},
        {"netscape history", profiles, "history.dat", Goes::BaitAtAnyDepth,
         WithKey("NETSCAPE", "History", ShellFolder("AppData", 2, bw::items::NetscapeNavigator))},
        {"opera location", opera, "opera.dir", Goes::Bait,
         WithKey("opera", "Location", ProgramPath("opera", 1, bw::items::Opera))},
        {"opera cookies", opera, "cookies4.dat", Goes::Bait,
         WithKey("OPERA", "Cookies", ProgramPath("opera", 1, bw::items::Opera))},
        {"opera cache", opera + "\\cache4", "opr00001.tmp", Goes::TopFiles,
         WithKey("OPERA", "Cache", ProgramPath("opera", 2, bw::items::Opera))},
        {"opera history", opera, "global.dat", Goes::Bait,
         WithKey("Opera", "History", ProgramPath("opera", 1, bw::items::Opera))},
        {"msn location", target, "typedurls.dat", Goes::Bait,
         WithKey("msn", "Location", ProgramPath("msn", 0, bw::items::MsnExplorer))},
        {"msn cookies", root + "\\msn\\Cookies", "u@site.txt", Goes::TopFiles,
         WithKey("msn", "Cookies", ProgramPath("msn", 1, bw::items::MsnExplorer))},
        {"msn cache", target, "Cache\\page.htm", Goes::BaitAtAnyDepth,
         WithKey("msn", "Cache", ProgramPath("msn", 0, bw::items::MsnExplorer))},
        {"msn history", root + "\\msn\\History", "visit.dat", Goes::TopFiles,
         WithKey("msn", "History", ProgramPath("msn", 1, bw::items::MsnExplorer))},
        {"more applications: Net Vampire", "C:\\Program Files\\Net Vampire\\Data\\Jobs", "job.dat", Goes::TopFiles,
         WithKey("MOREAPPLICATIONS", "NetVampire", Plain(bw::items::MoreApplications))},
        {"more applications: received files", root + "\\a\\My Received Files", "photo.jpg", Goes::TopFiles,
         WithKey("MOREAPPLICATIONS", "MSNMessager", ShellFolder("Personal", 1, bw::items::MoreApplications))},
        {"custom items", target, "notes.txt", Goes::TopFiles,
         [this](const std::string& folder, bw::EraseRun& run) {
             WriteTextFile(program_.file("cusd.dat"), folder + "\\*.txt\r\n");
             RunItem(bw::items::CustomItems, run);
         }},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        Clear();
        Plant(item.target, item.bait);
        bw::EraseRun run = FreshRun(program_);
        gPreviewOnly = true;
        item.run(target_, run);
        gPreviewOnly = false;
        PreviewThenErase(run, target_);
        ExpectOnlyTheirFilesGone(item.goes, item.bait);
    }
}

// Items that add a fixed sub-folder to the folder they are given: where that sub-folder is a link
// to a folder outside holding what the item takes, nothing is taken through it.
TEST_F(HostileTree, FixedSubfoldersAreNeverFollowedThroughALink) {
    struct Item {
        const char* name;
        const char* linked;  // below the given folder, the target
        const char* bait;
        Action run;
    };
    const Item items[] = {
        {"cache", "Content.IE5", "Cache\\page.htm", ShellFolder("Cache", 1, bw::items::InternetCache)},
        {"netscape cookies", "Mozilla\\Profiles", "cookies.txt",
         WithKey("NETSCAPE", "Cookies", ShellFolder("AppData", 2, bw::items::NetscapeNavigator))},
        {"opera cookies", "profile", "cookies4.dat",
         WithKey("OPERA", "Cookies", ProgramPath("opera", 1, bw::items::Opera))},
        {"opera cache", "profile\\cache4", "opr00001.tmp",
         WithKey("OPERA", "Cache", ProgramPath("opera", 2, bw::items::Opera))},
        {"msn cookies", "Cookies", "u@site.txt",
         WithKey("msn", "Cookies", ProgramPath("msn", 1, bw::items::MsnExplorer))},
        {"msn history", "History", "visit.dat",
         WithKey("msn", "History", ProgramPath("msn", 1, bw::items::MsnExplorer))},
        {"more applications: received files", "My Received Files", "photo.jpg",
         WithKey("MOREAPPLICATIONS", "MSNMessager", ShellFolder("Personal", 1, bw::items::MoreApplications))},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        Clear();
        Plant(root_ / "a\\Target", item.bait);
        const std::string linked = target() + "\\" + item.linked;
        MakeDirs(Parent(linked));
        ASSERT_TRUE(MakeLink(root_ / "outside", linked));
        bw::EraseRun run = FreshRun(program_);
        item.run(linked, run);
        EXPECT_EQ(ReadTextFile(root_ / "outside\\" + item.bait), "precious");
        ExpectOutsideKept();
    }
}

// Every fixed folder More Applications works below Program Files, with the first folder below
// Program Files, or the folder the pattern lies in, made a link to a folder outside that holds
// what the pattern takes: nothing outside goes. The rows come from the item's own table, so a new
// row is covered as soon as it is written.
TEST_F(HostileTree, ApplicationFoldersAreNeverFollowedThroughALink) {
    const std::string programFiles = "C:\\Program Files\\";
    std::vector<std::string> patterns;
    for (const std::string& pattern : bw::items::ApplicationFixedFolders())
        if (_strnicmp(pattern.c_str(), programFiles.c_str(), programFiles.size()) == 0) patterns.push_back(pattern);
    ASSERT_GE(patterns.size(), 10u);
    for (bool linkFirst : {true, false}) {
        for (const std::string& pattern : patterns) {
            SCOPED_TRACE(pattern + (linkFirst ? " (first folder linked)" : " (its folder linked)"));
            const std::string rest = pattern.substr(programFiles.size());
            const std::string folder = Parent(rest), first = folder.substr(0, folder.find('\\'));
            std::string bait = NameOf(pattern);
            for (char& c : bait) c = c == '*' ? 'b' : c == '?' ? 'x' : c;
            TempDir outside;
            const std::string linked = linkFirst ? first : folder;
            const std::string baitPath = outside / (linkFirst ? rest.substr(first.size() + 1) : NameOf(pattern));
            const std::string baitFile = Parent(baitPath) + "\\" + bait;
            MakeDirs(Parent(baitFile));
            WriteTextFile(baitFile, "precious");
            RunUnix("/bin/rm", {"-rf", UnixPath(programFiles + first)});
            MakeDirs(Parent(programFiles + linked));
            ASSERT_TRUE(MakeLink(outside.path(), programFiles + linked));
            bw::EraseRun run = FreshRun(program_);
            for (const char* key : {"CuteFTP", "FlashGet", "GetRight", "Hotbar", "ICQ", "KaZaA", "NetVampire",
                                    "PowerDVD", "Winamp", "Aol70", "Yahoo!"})
                bw::Inifun::WriteIni(run.settingsFile, "MOREAPPLICATIONS", key, "1");
            RunItem(bw::items::MoreApplications, run);
            EXPECT_EQ(ReadTextFile(baitFile), "precious");
            RunUnix("/bin/rm", {"-rf", UnixPath(programFiles + first)});
        }
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

    RunItem(bw::items::RecycleBin, run_);

    EXPECT_EQ(ReadTextFile(root_ / "outside\\precious.txt"), "precious");
    EXPECT_EQ(SortedNames(trash + "\\files"), (std::vector<std::string>{"link.txt", "linkdir"}));
    EXPECT_EQ(SortedNames(trash + "\\info"),
              (std::vector<std::string>{"link.txt.trashinfo", "linkdir.trashinfo"}));
    EXPECT_EQ(SortedNames(target()).size(), 9u) << "the tree planted beside the trash is untouched";
    RunScript("rm -rf \"$1\"/files/* \"$1\"/info/*\n", {UnixPath(trash)});
}

// Every folder an item is given (a registry value, a settings path, the temp variables) that folds
// into a drive root or the profile (".", "..", doubled separators) is judged by where it leads: the
// item does nothing there. Canaries stand where each item would act.
TEST_F(HostileTree, GivenFoldersThatFoldIntoARootOrTheProfileAreRefused) {
    const std::string profile = [] {
        char buffer[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("USERPROFILE", buffer, MAX_PATH);
        return std::string(buffer, n < MAX_PATH ? n : 0);
    }();
    ASSERT_FALSE(profile.empty());
    const std::vector<std::string> canaries = {
        "bw-canary.txt", "profile\\opera.dir", "profile\\cookies4.dat", "profile\\cache4\\opr1.tmp",
        "History\\visit.dat", "Cookies\\u@site.txt", "typedurls.dat", "Cache\\page.htm", "bw-canary.lnk"};
    auto withAll = [](const char* section, std::vector<const char*> keys, const char* pathKey) {
        return [=](const std::string& folder, bw::EraseRun& run) {
            for (const char* key : keys) bw::Inifun::WriteIni(run.settingsFile, section, key, "1");
            bw::Inifun::WriteIni(run.settingsFile, section, pathKey, folder);
            if (std::string(section) == "opera") RunItem(bw::items::Opera, run);
            else RunItem(bw::items::MsnExplorer, run);
        };
    };
    const std::pair<const char*, Action> items[] = {
        {"temp", [](const std::string& folder, bw::EraseRun& run) {
             EnvironmentOverride env;
             env.Set("TMP", folder);
             env.Set("TEMP", folder);
             RunItem(bw::items::WindowsTemp, run);
         }},
        {"cache", ShellFolder("Cache", 0, bw::items::InternetCache)},
        {"cookies", ShellFolder("Cookies", 0, bw::items::Cookies)},
        {"favorites", ShellFolder("Favorites", 0, bw::items::Favorites)},
        {"recent", [](const std::string& folder, bw::EraseRun& run) {
             ValueOverride shell(HKEY_CURRENT_USER, kShellFolders, "Recent", &folder);
             ValueOverride user(HKEY_CURRENT_USER, kUserShellFolders, "Recent", &folder);
             RunItem(bw::items::RecentDocuments, run);
         }},
        {"downloaded program files", [](const std::string& folder, bw::EraseRun& run) {
             ValueOverride over(HKEY_LOCAL_MACHINE, kInternetSettings, "ActiveXCache", &folder);
             RunItem(bw::items::DownloadedProgramFiles, run);
         }},
        {"opera", withAll("opera", {"Location", "Cookies", "Cache", "History"}, "path")},
        {"msn", withAll("msn", {"Location", "Cookies", "Cache", "History"}, "path")},
        {"custom items", [this](const std::string& folder, bw::EraseRun& run) {
             WriteTextFile(program_.file("cusd.dat"), folder + "\\*.dat\r\n");
             RunItem(bw::items::CustomItems, run);
         }},
    };
    for (const std::string& base : {std::string("C:\\"), profile + "\\"}) {
        const bool root = base == "C:\\";
        const std::vector<std::string> given =
            root ? std::vector<std::string>{"C:\\.", "C:\\\\", "C:\\x\\..", "C:\\users\\..\\."}
                 : std::vector<std::string>{profile + "\\.", profile + "\\\\", profile + "\\Temp\\.."};
        for (const std::string& folder : given) {
            for (const auto& [itemName, run] : items) {
                // Files of a pattern directly in a drive root may go for a user's own line.
                if (root && std::string(itemName) == "custom items") continue;
                SCOPED_TRACE(std::string(itemName) + " given " + folder);
                for (const std::string& name : canaries) {
                    MakeDirs(Parent(base + name));
                    WriteTextFile(base + name, "canary");
                }
                bw::EraseRun fresh = FreshRun(program_);
                run(folder, fresh);
                for (const std::string& name : canaries) EXPECT_EQ(ReadTextFile(base + name), "canary") << base + name;
            }
        }
        for (const std::string& name : canaries) DeleteFileA((base + name).c_str());
    }
    // The Unix root is refused before anything is listed, whatever is asked of it.
    for (const char* folder : {"Z:\\.", "Z:\\\\", "Z:\\tmp\\.."}) {
        EXPECT_FALSE(fs::GuardFolder(std::string(folder), fs::Reach::DirectlyIn).usable) << folder;
        EXPECT_FALSE(fs::FolderSize(folder)) << folder;
        EXPECT_FALSE(fs::UserPatternRefusal(std::string(folder) + "\\*.txt").empty()) << folder;
    }
}

// A folder swapped for a link to a folder outside, between the listing that found it and the
// deletes: in the middle of an item's walk, or between a search and "Delete selected" in each of
// its three ways. Nothing outside goes; without the swap, the same files do go.
TEST_F(HostileTree, FoldersSwappedForALinkLeadNowhere) {
    TempDir elsewhere;
    const std::string outside = elsewhere / "swapped-in";
    auto plantSwapTree = [&] {
        Clear();
        Plant(root_ / "a\\Target");
        MakeDirs(target() + "\\sub1");
        MakeDirs(outside);
        for (const char* name : {"x1.txt", "x2.txt", "x3.txt"}) {
            WriteTextFile(target() + "\\sub1\\" + name, "inside");
            WriteTextFile(target() + "\\" + name, "inside");
            WriteTextFile(outside + "\\" + name, "precious");
            WriteTextFile(outside + "\\sub1\\" + name, "precious");
        }
    };
    MakeDirs(outside + "\\sub1");
    // Renames `folder` away and puts a link to the outside folder in its place.
    auto swap = [&](const std::string& folder) {
        ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + "-moved").c_str()));
        ASSERT_TRUE(MakeLink(outside, folder));
    };
    auto expectOutsideKept = [&] {
        for (const char* name : {"x1.txt", "x2.txt", "x3.txt"}) {
            EXPECT_EQ(ReadTextFile(outside + "\\" + name), "precious") << name;
            EXPECT_EQ(ReadTextFile(outside + "\\sub1\\" + name), "precious") << name;
        }
        ExpectOutsideKept();
    };

    // Mid-walk: once the item has listed the folder, before it deletes what it listed.
    const std::pair<const char*, Action> items[] = {
        {"temp", [](const std::string& folder, bw::EraseRun& run) {
             EnvironmentOverride env;
             env.Set("TMP", folder);
             env.Set("TEMP", folder);
             RunItem(bw::items::WindowsTemp, run);
         }},
        {"cache", ShellFolder("Cache", 0, bw::items::InternetCache)},
        {"cookies", ShellFolder("Cookies", 0, bw::items::Cookies)},
        {"favorites", ShellFolder("Favorites", 0, bw::items::Favorites)},
    };
    for (const char* swapped : {"\\sub1", ""}) {
        for (const auto& [name, run] : items) {
            SCOPED_TRACE(std::string(name) + (*swapped ? " with sub1 swapped" : " with its folder swapped"));
            plantSwapTree();
            const std::wstring watched = bw::platform::paths::LongPath(target() + swapped) + L"\\";
            bool done = false;
            fs::SetWalkHookForTests([&](const std::wstring& folder) {
                if (done || folder != watched) return;
                done = true;
                swap(target() + swapped);
            });
            bw::EraseRun fresh = FreshRun(program_);
            run(target(), fresh);
            fs::SetWalkHookForTests(nullptr);
            EXPECT_TRUE(done || std::string(name) == "cookies") << "the walk never listed the watched folder";
            expectOutsideKept();
        }
    }

    // Between a search and its delete, in each of the three ways "Delete selected" deletes.
    enum class Way { Permanent, Securely, RecycleBin };
    auto erase = [](Way way, const fs::SearchAnchor& anchor, const std::wstring& path) {
        if (way == Way::RecycleBin) return bw::platform::RecycleChosenFile(anchor, path);
        return fs::DeleteChosen(anchor, path, way == Way::Securely);
    };
    for (Way way : {Way::Permanent, Way::Securely, Way::RecycleBin}) {
        for (const char* swapped : std::initializer_list<const char*>{"\\sub1", "", nullptr}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(way)) + (swapped ? swapped : " no swap"));
            plantSwapTree();
            const fs::SearchAnchor anchor = fs::AnchorSearch(bw::platform::paths::LongPath(target()));
            ASSERT_TRUE(anchor.valid);
            std::vector<std::wstring> found;
            for (const char* name : {"x1.txt", "sub1\\x2.txt", "sub1\\x3.txt"})
                found.push_back(bw::platform::paths::LongPath(target() + "\\" + name));
            if (swapped) swap(target() + swapped);
            int erased = 0;
            for (const std::wstring& path : found) erased += erase(way, anchor, path) ? 1 : 0;
            expectOutsideKept();
            if (!swapped) {
                EXPECT_EQ(erased, 3);
                EXPECT_FALSE(PathExists(target() + "\\sub1\\x2.txt"));
            } else {
                EXPECT_EQ(erased, *swapped ? 1 : 0) << "only the file outside the swapped folder may go";
            }
        }
    }
}

}  // namespace
