// Folder-emptying routines on real trees: what goes, and what must stay.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/Normal.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

// Creates each entry below `root`: a name ending in a backslash is a folder, anything else a
// file holding its own name.
void Build(const std::string& root, std::initializer_list<std::string> entries) {
    for (const std::string& e : entries) {
        if (e.back() == '\\') {
            MakeDirs(root + "\\" + e.substr(0, e.size() - 1));
            continue;
        }
        size_t slash = e.rfind('\\');
        if (slash != std::string::npos) MakeDirs(root + "\\" + e.substr(0, slash));
        WriteTextFile(root + "\\" + e, e);
    }
}

int CountEntries(const std::string& folder) {
    int n = 0;
    fs::ListFolder(folder, [&](const fs::DirEntry&) { return ++n, true; });
    return n;
}

// The Linux path of the Wine prefix, read from the environment Wine hands on.
std::string WinePrefix() {
    char buf[1024];
    DWORD n = GetEnvironmentVariableA("WINEPREFIX", buf, sizeof buf);
    return (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
}

const std::vector<std::pair<std::string, std::function<void(const std::string&)>>>& AllRoutines() {
    static const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> all{
        {"EmptyFolder", bw::Normal::EmptyFolder},
        {"DeleteLocalStore", bw::Normal::DeleteLocalStore},
        {"DeleteCookiesTxt", bw::Normal::DeleteCookiesTxt},
        {"DeleteProfileCache", bw::Normal::DeleteProfileCache},
        {"DeleteHistoryDat", bw::Normal::DeleteHistoryDat},
    };
    return all;
}

}  // namespace

TEST(Normal, EmptyFolderEmptiesTwoLevelsWithOrWithoutTrailingBackslash) {
    for (const char* suffix : {"", "\\", "\\  "}) {
        SCOPED_TRACE(std::string("suffix '") + suffix + "'");
        TempDir dir;
        Build(dir.path(), {"a.txt", "b.dat", "s1\\c.txt", "s1\\s11\\d.txt", "s1\\s12\\", "s2\\e"});
        bw::Normal::EmptyFolder(dir.path() + suffix);
        EXPECT_TRUE(IsDirectory(dir.path()));
        EXPECT_EQ(CountEntries(dir.path()), 0);
    }
}

TEST(Normal, EmptyFolderKeepsADeepReadOnlyFileAndTheFoldersAboveIt) {
    TempDir dir;
    Build(dir.path(), {"top.txt", "a\\b\\c\\ro.txt", "a\\b\\c\\x.txt", "a\\b\\y.txt", "a\\other\\z.txt",
                       "d\\w.txt"});
    SetFileAttributesA((dir / "a\\b\\c\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    bw::Normal::EmptyFolder(dir.path());
    EXPECT_EQ(ReadTextFile(dir / "a\\b\\c\\ro.txt"), "a\\b\\c\\ro.txt");
    EXPECT_EQ(CountEntries(dir / "a\\b\\c"), 1);
    EXPECT_EQ(CountEntries(dir / "a\\b"), 1);
    EXPECT_EQ(CountEntries(dir / "a"), 1);
    EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(Normal, EmptyFolderKeepsHiddenSystemAndInUseFilesWithTheirFolders) {
    TempDir dir;
    Build(dir.path(), {"h\\hidden.txt", "h\\plain.txt", "s\\sys.txt", "hf\\inner\\f.txt", "u\\busy.txt",
                       "gone\\x.txt"});
    SetFileAttributesA((dir / "h\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((dir / "s\\sys.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((dir / "hf\\inner").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    HANDLE busy = CreateFileA((dir / "u\\busy.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    bw::Normal::EmptyFolder(dir.path());
    CloseHandle(busy);

    EXPECT_TRUE(PathExists(dir / "h\\hidden.txt"));
    EXPECT_FALSE(PathExists(dir / "h\\plain.txt"));
    EXPECT_TRUE(PathExists(dir / "s\\sys.txt"));
    EXPECT_TRUE(PathExists(dir / "hf\\inner\\f.txt"));  // a hidden folder is not entered
    EXPECT_TRUE(PathExists(dir / "u\\busy.txt"));
    EXPECT_FALSE(PathExists(dir / "gone"));
}

TEST(Normal, EmptyFolderNeitherEntersNorRemovesALinkedFolder) {
    TempDir dir, outside;
    Build(outside.path(), {"keep1.txt", "deep\\keep2.txt"});
    Build(dir.path(), {"sub\\x.txt", "plain\\y.txt"});
    ASSERT_TRUE(MakeLink(outside.path(), dir / "sub\\out"));
    bw::Normal::EmptyFolder(dir.path());

    EXPECT_EQ(ReadTextFile(outside / "keep1.txt"), "keep1.txt");
    EXPECT_EQ(ReadTextFile(outside / "deep\\keep2.txt"), "deep\\keep2.txt");
    EXPECT_FALSE(PathExists(dir / "plain"));
    EXPECT_FALSE(PathExists(dir / "sub\\x.txt"));
    if (fs::IsWine()) {
        EXPECT_TRUE(IsDirectory(dir / "sub\\out"));  // Wine cannot remove just the link
    } else {
        EXPECT_FALSE(PathExists(dir / "sub"));
    }
}

TEST(Normal, EmptyFolderKeepsTheTargetOfALinkedFile) {
    TempDir dir, outside;
    Build(outside.path(), {"victim.txt"});
    Build(dir.path(), {"sub\\other.txt", "own.txt"});
    ASSERT_TRUE(MakeLink(outside / "victim.txt", dir / "sub\\link.txt"));
    ASSERT_TRUE(MakeLink(outside / "victim.txt", dir / "toplink.txt"));
    bw::Normal::EmptyFolder(dir.path());

    EXPECT_EQ(ReadTextFile(outside / "victim.txt"), "victim.txt");
    EXPECT_FALSE(PathExists(dir / "own.txt"));
    EXPECT_FALSE(PathExists(dir / "sub\\other.txt"));
}

TEST(Normal, EmptyFolderOnALinkedFolderEmptiesTheRealFolderAndKeepsBoth) {
    TempDir real, dir;
    Build(real.path(), {"a.txt", "s\\b.txt"});
    ASSERT_TRUE(MakeLink(real.path(), dir / "Temp"));
    bw::Normal::EmptyFolder(dir / "Temp");
    EXPECT_TRUE(IsDirectory(dir / "Temp"));
    EXPECT_TRUE(IsDirectory(real.path()));
    EXPECT_EQ(CountEntries(real.path()), 0);
}

TEST(Normal, MissingOrRelativeLocationsDoNothing) {
    TempDir dir;
    Build(dir.path(), {"a.txt", "Cache\\c.txt", "cookies.txt", "localstore.rdf", "history.dat", "Error\\e.txt"});
    std::string before = fs::CurrentDirectory();
    ASSERT_TRUE(fs::SetCurrentDirectory(dir.path()));
    for (const auto& [name, routine] : AllRoutines()) {
        for (const char* path : {"", "   ", "Error", " Error ", "error", ".", "Cache", "..\\"}) {
            SCOPED_TRACE(name + "('" + path + "')");
            routine(path);
            EXPECT_EQ(CountEntries(dir.path()), 6);
            EXPECT_EQ(CountEntries(dir / "Cache"), 1);
            EXPECT_EQ(CountEntries(dir / "Error"), 1);
            EXPECT_EQ(fs::FinalPath(fs::CurrentDirectory()), fs::FinalPath(dir.path()));
        }
        routine(dir / "missing");
        EXPECT_EQ(CountEntries(dir.path()), 6);
    }
    fs::SetCurrentDirectory(before);
}

TEST(Normal, DriveRootsAreNeverWalked) {
    // A spare drive letter mapped onto a throwaway folder, so a fault cannot reach real files.
    std::string prefix = WinePrefix();
    if (prefix.empty()) GTEST_SKIP() << "needs Wine's dosdevices to map a throwaway drive";
    char letter = 0;
    DWORD used = GetLogicalDrives();
    for (char c = 'q'; c <= 'y' && !letter; ++c)
        if (!(used & (1u << (c - 'a')))) letter = c;
    if (!letter) GTEST_SKIP() << "no spare drive letter";
    TempDir dir;
    Build(dir.path(), {"a.txt", "sub\\b.txt", "cookies.txt"});
    std::string device = prefix + "/dosdevices/" + letter + ":";
    ASSERT_TRUE(RunUnix("/bin/ln", {"-s", UnixPath(dir.path()), device}));
    std::string root = std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":\\";
    if (!fs::FolderExists(root)) {
        RunUnix("/bin/rm", {"-f", device});
        GTEST_SKIP() << "Wine did not pick up the new drive letter";
    }
    for (const auto& [name, routine] : AllRoutines()) {
        for (const std::string& path : {root, root.substr(0, 2), root + "sub\\..", root + " "}) {
            SCOPED_TRACE(name + "('" + path + "')");
            routine(path);
            EXPECT_EQ(CountEntries(dir.path()), 3);
            EXPECT_EQ(CountEntries(dir / "sub"), 1);
        }
    }
    // Wine names a folder that two drive letters reach by the one its drive cache knows; a walk
    // whose folder and files are named by different letters refuses to delete (the safe side).
    // Its cache learns the new letter within a second or two.
    const std::wstring newName = L"\\??\\" + bw::platform::paths::Widen(root.substr(0, 2));
    WaitFor([&] { return fs::FolderObjectName(bw::platform::paths::Widen(root + "sub")).rfind(newName, 0) == 0; }, 5000);
    bw::Normal::EmptyFolder(root + "sub");  // below the root is fine
    EXPECT_EQ(CountEntries(dir / "sub"), 0);
    RunUnix("/bin/rm", {"-f", device});
}

TEST(Normal, EmptyFolderLeavesTheCurrentDirectoryWhenItIsInsideTheTree) {
    TempDir dir;
    Build(dir.path(), {"sub\\deeper\\x.txt"});
    std::string before = fs::CurrentDirectory();
    ASSERT_TRUE(fs::SetCurrentDirectory(dir / "sub\\deeper"));
    bw::Normal::EmptyFolder(dir.path());
    std::string now = fs::CurrentDirectory();
    fs::SetCurrentDirectory(before);
    EXPECT_EQ(now.size(), 3u);  // the drive root
    EXPECT_FALSE(PathExists(dir / "sub"));
    EXPECT_EQ(CountEntries(dir.path()), 0);
}

TEST(Normal, WalksReachEveryFolderOfAWideAndDeepTree) {
    TempDir dir;
    std::vector<std::string> folders;
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 10; ++j) {
            char name[32];
            std::snprintf(name, sizeof name, "w%02d\\v%d", i, j);
            folders.push_back(name);
        }
    }
    std::string chain;
    for (int depth = 0; depth < 60; ++depth) folders.push_back(chain += (depth ? "\\d" : "d"));
    for (const std::string& f : folders) {
        ASSERT_TRUE(MakeDirs(dir / f));
        WriteTextFile(dir / (f + "\\cookies.txt"), "c");
        WriteTextFile(dir / (f + "\\keep.txt"), "k");
    }
    bw::Normal::DeleteCookiesTxt(dir.path());
    for (const std::string& f : folders) {
        ASSERT_FALSE(PathExists(dir / (f + "\\cookies.txt"))) << f;
        ASSERT_TRUE(PathExists(dir / (f + "\\keep.txt"))) << f;
    }
    bw::Normal::EmptyFolder(dir.path());
    EXPECT_EQ(CountEntries(dir.path()), 0);
}

TEST(Normal, TwinsDeleteTheirOneFileEverywhereAndNothingElse) {
    struct Twin {
        std::function<void(const std::string&)> routine;
        std::string fileName;
    };
    for (const Twin& twin : {Twin{bw::Normal::DeleteLocalStore, "localstore.rdf"},
                             Twin{bw::Normal::DeleteCookiesTxt, "cookies.txt"},
                             Twin{bw::Normal::DeleteHistoryDat, "history.dat"}}) {
        SCOPED_TRACE(twin.fileName);
        const std::string& f = twin.fileName;
        TempDir dir, outside;
        Build(outside.path(), {f});
        Build(dir.path(), {f, "prefs.js", "p1\\" + f, "p2\\x\\" + f, "p2\\x\\bookmarks.html",
                           "p3\\" + f, "p4\\", "only\\folders\\", "p5\\cookies.txt.bak"});
        for (const char* other : {"localstore.rdf", "cookies.txt", "history.dat"})
            if (f != other) Build(dir.path(), {std::string("p1\\") + other});
        SetFileAttributesA((dir / ("p3\\" + f)).c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(MakeLink(outside / f, dir / ("p4\\" + f)));
        twin.routine(dir.path());

        EXPECT_FALSE(PathExists(dir / f));
        EXPECT_FALSE(PathExists(dir / ("p1\\" + f)));  // the folder's only file of that name
        EXPECT_FALSE(PathExists(dir / ("p2\\x\\" + f)));
        EXPECT_TRUE(PathExists(dir / ("p3\\" + f)));  // read-only
        EXPECT_EQ(ReadTextFile(outside / f), f);       // a link's target
        EXPECT_TRUE(PathExists(dir / "prefs.js"));
        EXPECT_TRUE(PathExists(dir / "p2\\x\\bookmarks.html"));
        EXPECT_TRUE(PathExists(dir / "p5\\cookies.txt.bak"));
        EXPECT_EQ(CountEntries(dir / "p1"), 2);  // the other twins' files
        EXPECT_TRUE(IsDirectory(dir / "only\\folders"));
    }
}

TEST(Normal, DeleteProfileCacheEmptiesCacheFoldersOnly) {
    TempDir dir;
    Build(dir.path(), {"prof\\prefs.js", "prof\\cookies.txt", "prof\\Cache\\_CACHE_MAP_",
                       "prof\\Cache\\0\\A1B2C3", "prof\\Cache.Trash\\old", "other\\cache\\x",
                       "prof\\NotCache\\keep", "prof\\Cachet\\keep", "Cache"});
    bw::Normal::DeleteProfileCache(dir.path());

    EXPECT_FALSE(PathExists(dir / "prof\\Cache\\_CACHE_MAP_"));
    EXPECT_FALSE(PathExists(dir / "prof\\Cache\\0\\A1B2C3"));
    EXPECT_FALSE(PathExists(dir / "prof\\Cache.Trash\\old"));
    EXPECT_FALSE(PathExists(dir / "other\\cache\\x"));
    EXPECT_TRUE(IsDirectory(dir / "prof\\Cache\\0"));  // no folder is removed
    EXPECT_TRUE(IsDirectory(dir / "prof\\Cache.Trash"));
    EXPECT_TRUE(PathExists(dir / "prof\\prefs.js"));
    EXPECT_TRUE(PathExists(dir / "prof\\cookies.txt"));
    EXPECT_TRUE(PathExists(dir / "prof\\NotCache\\keep"));
    EXPECT_TRUE(PathExists(dir / "prof\\Cachet\\keep"));
    EXPECT_TRUE(PathExists(dir / "Cache"));  // a file of that name is no cache folder
}
