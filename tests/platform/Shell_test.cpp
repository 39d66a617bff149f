// Shell services under Wine: the recent documents list with its shortcuts, and the recycle bin
// emptied down to its folders and read-only files, never through a link.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/SystemFolders.h"
#include "tests/support/TestSupport.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

std::string Env(const char* name) {
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    fs::ListFolder(folder, [&](const fs::DirEntry& e) { return names.push_back(e.name), true; });
    return names;
}

long long RecycleBinItems() {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(SHQueryRecycleBinA("", &info))) return -1;
    return info.i64NumItems;
}

// The desktop trash as this test run's sandbox sets it up, worked out independently of the
// code under test; empty when it is not the run's own (then nothing may be emptied).
std::string SandboxTrash() {
    std::string prefix = Env("WINEPREFIX");
    std::string dataHome = Env("XDG_DATA_HOME");
    if (prefix.empty() || dataHome.empty()) return {};
    std::string sandbox = prefix.substr(0, prefix.find_last_of('/') + 1);
    if (dataHome.compare(0, sandbox.size(), sandbox) != 0) return {};
    return WinPath(dataHome + "/Trash");
}

class RecycleBin : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::IsWine()) GTEST_SKIP() << "the recycle bin tests empty the trash of a throwaway Wine prefix only";
        trash_ = SandboxTrash();
        if (trash_.empty()) GTEST_SKIP() << "the desktop trash is not this test run's own";
    }
    void TearDown() override {
        // Whatever a test left in the trash goes, so the next test starts from an empty bin.
        if (trash_.empty()) return;
        RunUnix("/usr/bin/find", {UnixPath(trash_ + "\\files"), UnixPath(trash_ + "\\info"), "-mindepth", "1",
                                  "-delete"});
    }
    std::string trash_;
};

TEST_F(RecycleBin, WineTrashFolderIsTheDesktopTrash) {
    EXPECT_EQ(_stricmp(bw::platform::WineTrashFolder().c_str(), trash_.c_str()), 0)
        << bw::platform::WineTrashFolder() << " vs " << trash_;
}

TEST_F(RecycleBin, EmptiesFilesFoldersAndReadOnlyItems) {
    TempDir dir;
    WriteTextFile(dir / "plain.txt", "plain");
    WriteTextFile(dir / "readonly.txt", "readonly");
    SetFileAttributesA((dir / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeDirs(dir / "full\\deeper");
    WriteTextFile(dir / "full\\a.txt", "a");
    WriteTextFile(dir / "full\\deeper\\b.txt", "b");
    WriteTextFile(dir / "full\\deeper\\locked.txt", "locked");
    SetFileAttributesA((dir / "full\\deeper\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeDirs(dir / "empty");
    WriteTextFile(dir / "kept.txt", "not trashed");
    for (const char* name : {"plain.txt", "readonly.txt", "full", "empty"})
        ASSERT_TRUE(MoveToTrash(dir / name)) << name;
    ASSERT_EQ(RecycleBinItems(), 4);

    EXPECT_EQ(bw::platform::EmptyRecycleBins(nullptr), S_OK);

    EXPECT_EQ(RecycleBinItems(), 0);
    EXPECT_EQ(Names(trash_ + "\\files"), std::vector<std::string>{});
    EXPECT_EQ(Names(trash_ + "\\info"), std::vector<std::string>{});
    EXPECT_EQ(ReadTextFile(dir / "kept.txt"), "not trashed");
}

TEST_F(RecycleBin, EmptyBinIsNoError) {
    ASSERT_EQ(RecycleBinItems(), 0);
    EXPECT_EQ(bw::platform::EmptyRecycleBins(nullptr), S_OK);
    EXPECT_EQ(RecycleBinItems(), 0);
}

TEST_F(RecycleBin, NeverReachesThroughLinks) {
    TempDir outside, dir;
    WriteTextFile(outside / "target.txt", "outside");
    MakeDirs(outside / "folder");
    WriteTextFile(outside / "folder\\inner.txt", "inner");
    MakeDirs(dir / "holder");
    WriteTextFile(dir / "holder\\own.txt", "own");
    ASSERT_TRUE(MakeLink(outside / "folder", dir / "holder\\linked-folder"));
    ASSERT_TRUE(MakeLink(outside / "target.txt", dir / "holder\\linked-file.txt"));
    ASSERT_TRUE(MoveToTrash(dir / "holder"));

    bw::platform::EmptyRecycleBins(nullptr);

    EXPECT_EQ(ReadTextFile(outside / "target.txt"), "outside");
    EXPECT_EQ(ReadTextFile(outside / "folder\\inner.txt"), "inner");
    // Under Wine the links cannot be removed without touching their targets, so the folder
    // holding them stays in the bin; what could go, went.
    EXPECT_FALSE(PathExists(trash_ + "\\files\\holder\\own.txt"));
}

// The user's Recent folder with a few things of the test's own in it, removed afterwards.
class RecentDocuments : public ::testing::Test {
protected:
    void SetUp() override {
        recent_ = bw::platform::RecentFolder();
        ASSERT_FALSE(recent_.empty());
        ASSERT_TRUE(IsDirectory(recent_));
    }
    void TearDown() override {
        SetFileAttributesA((recent_ + "\\bwtest-readonly.lnk").c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const char* name : {"bwtest-readonly.lnk", "bwtest-notes.txt", "bwtest-folder\\inner.lnk"})
            DeleteFileA((recent_ + "\\" + name).c_str());
        RemoveDirectoryA((recent_ + "\\bwtest-folder").c_str());
        if (PathExists(recent_ + "\\bwtest-linked.lnk"))
            RunUnix("/bin/rm", {"-f", UnixPath(recent_ + "\\bwtest-linked.lnk")});
    }
    std::vector<std::string> Shortcuts() const {
        std::vector<std::string> names;
        for (const std::string& name : Names(recent_))
            if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".lnk") == 0) names.push_back(name);
        return names;
    }
    std::string recent_;
};

TEST_F(RecentDocuments, ClearsTheListAndItsShortcutsButNothingElse) {
    const std::string recentDocs = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
    TempDir docs;
    WriteTextFile(docs / "report.txt", "report");
    WriteTextFile(docs / "linked.txt", "linked");
    SHAddToRecentDocs(SHARD_PATHA, (docs / "report.txt").c_str());
    ASSERT_FALSE(Shortcuts().empty()) << "SHAddToRecentDocs made no shortcut";
    SetString(HKEY_CURRENT_USER, recentDocs, "MRUListEx", "x");
    SetString(HKEY_CURRENT_USER, recentDocs + "\\.txt", "0", "report.txt");
    WriteTextFile(recent_ + "\\bwtest-notes.txt", "not a shortcut");
    WriteTextFile(recent_ + "\\bwtest-readonly.lnk", "read-only shortcut");
    SetFileAttributesA((recent_ + "\\bwtest-readonly.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeDirs(recent_ + "\\bwtest-folder");
    WriteTextFile(recent_ + "\\bwtest-folder\\inner.lnk", "below the folder");
    ASSERT_TRUE(MakeLink(docs / "linked.txt", recent_ + "\\bwtest-linked.lnk"));

    bw::platform::ClearRecentDocuments();

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, recentDocs + "\\.txt"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, recentDocs));
    std::vector<std::string> left = Shortcuts();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"bwtest-linked.lnk", "bwtest-readonly.lnk"}));
    EXPECT_EQ(ReadTextFile(docs / "report.txt"), "report");
    EXPECT_EQ(ReadTextFile(docs / "linked.txt"), "linked");
    EXPECT_EQ(ReadTextFile(recent_ + "\\bwtest-notes.txt"), "not a shortcut");
    EXPECT_TRUE(PathExists(recent_ + "\\bwtest-folder\\inner.lnk"));
}

TEST(Shell, ShlwapiReportsItsMajorVersion) { EXPECT_GE(bw::platform::ShlwapiMajorVersion(), 5u); }

}  // namespace
