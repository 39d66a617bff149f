// File operations: listing, folder sizes, wildcard deletes and the link guards, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/FileSystem.h"
#include "platform/Handles.h"
#include "platform/RuleFolders.h"
#include "tests/support/TestSupport.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

void MakeReadOnly(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    fs::ListFolder(folder, [&](const fs::DirEntry& e) {
        names.insert(e.name + (e.IsFolder() ? "\\" : ""));
        return true;
    });
    return names;
}

}  // namespace

TEST(FileSystem, ListFolderSkipsDotsAndTakesEitherFormOfThePath) {
    TempDir dir;
    WriteTextFile(dir / "a.txt", "12345");
    MakeDirs(dir / "sub");
    std::set<std::string> expected{"a.txt", "sub\\"};
    EXPECT_EQ(Names(dir.path()), expected);
    EXPECT_EQ(Names(dir.path() + "\\"), expected);

    fs::DirEntry file;
    fs::ListFolder(dir.path(), [&](const fs::DirEntry& e) {
        if (e.name == "a.txt") file = e;
        return true;
    });
    EXPECT_EQ(file.size, 5u);
    EXPECT_FALSE(file.IsFolder());

    int calls = 0;
    EXPECT_TRUE(fs::ListFolder(dir.path(), [&](const fs::DirEntry&) { return ++calls < 1; }));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(fs::ListFolder(dir / "missing", [](const fs::DirEntry&) { return true; }));
}

TEST(FileSystem, FolderSizeSumsEveryFileBelowButNotThroughLinks) {
    TempDir dir, outside;
    WriteTextFile(dir / "a", std::string(100, 'x'));
    MakeDirs(dir / "s1\\s2");
    WriteTextFile(dir / "s1\\b", std::string(20, 'x'));
    WriteTextFile(dir / "s1\\s2\\c", std::string(3, 'x'));
    WriteTextFile(dir / "s1\\s2\\hidden", std::string(4, 'x'));
    SetFileAttributesA((dir / "s1\\s2\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteTextFile(outside / "big", std::string(5000, 'x'));
    ASSERT_TRUE(MakeLink(outside.path(), dir / "s1\\linked"));

    EXPECT_EQ(fs::FolderSize(dir.path()), std::optional<uint64_t>(127));
    EXPECT_EQ(fs::FolderSize(dir.path() + "\\"), std::optional<uint64_t>(127));
    EXPECT_EQ(fs::FolderSize(dir / "s1\\s2"), std::optional<uint64_t>(7));
    MakeDirs(dir / "empty");
    EXPECT_EQ(fs::FolderSize(dir / "empty"), std::optional<uint64_t>(0));

    EXPECT_FALSE(fs::FolderSize(dir / "missing"));
    EXPECT_FALSE(fs::FolderSize(dir / "a"));  // a file is no folder
    EXPECT_FALSE(fs::FolderSize(""));
    EXPECT_FALSE(fs::FolderSize("   "));
    EXPECT_FALSE(fs::FolderSize("Error"));
}

TEST(FileSystem, DeleteFilesTouchesOnlyMatchingFilesDirectlyInTheFolder) {
    TempDir dir;
    WriteTextFile(dir / "one.tmp", "1");
    WriteTextFile(dir / "two.tmp", "2");
    WriteTextFile(dir / "hidden.tmp", "h");
    SetFileAttributesA((dir / "hidden.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteTextFile(dir / "keep.txt", "k");
    WriteTextFile(dir / "locked.tmp", "r");
    MakeReadOnly(dir / "locked.tmp");
    MakeDirs(dir / "sub.tmp");
    WriteTextFile(dir / "sub.tmp\\deep.tmp", "d");

    EXPECT_EQ(fs::DeleteFiles(dir / "*.tmp", false), 3);
    EXPECT_FALSE(PathExists(dir / "one.tmp"));
    EXPECT_FALSE(PathExists(dir / "two.tmp"));
    EXPECT_FALSE(PathExists(dir / "hidden.tmp"));
    EXPECT_TRUE(PathExists(dir / "keep.txt"));
    EXPECT_TRUE(PathExists(dir / "locked.tmp"));  // read-only without force
    EXPECT_TRUE(PathExists(dir / "sub.tmp\\deep.tmp"));  // never below the folder

    EXPECT_EQ(fs::DeleteFiles(dir / "*.tmp", true), 1);
    EXPECT_FALSE(PathExists(dir / "locked.tmp"));
    EXPECT_TRUE(PathExists(dir / "sub.tmp\\deep.tmp"));
    EXPECT_EQ(fs::DeleteFiles(dir / "*.tmp", true), 0);
    EXPECT_EQ(fs::DeleteFiles(dir / "missing\\*.*", true), 0);
    EXPECT_EQ(fs::DeleteFiles("Error", true), 0);
    EXPECT_TRUE(PathExists(dir / "keep.txt"));
}

TEST(FileSystem, DeleteFilesKeepsTheTargetOfALinkedFile) {
    TempDir dir, outside;
    WriteTextFile(outside / "victim.dat", "precious");
    ASSERT_TRUE(MakeLink(outside / "victim.dat", dir / "link.dat"));
    WriteTextFile(dir / "plain.dat", "p");

    EXPECT_EQ(fs::DeleteFiles(dir / "*.dat", true), 1);
    EXPECT_FALSE(PathExists(dir / "plain.dat"));
    EXPECT_EQ(ReadTextFile(outside / "victim.dat"), "precious");
    EXPECT_FALSE(fs::DeleteFileAt(dir / "link.dat", true));
    EXPECT_EQ(ReadTextFile(outside / "victim.dat"), "precious");
}

TEST(FileSystem, DeleteFilesThroughALinkedFolderEmptiesItsRealFiles) {
    TempDir outside, dir;
    WriteTextFile(outside / "a.log", "a");
    ASSERT_TRUE(MakeLink(outside.path(), dir / "logs"));
    EXPECT_EQ(fs::DeleteFiles(dir / "logs\\*.log", false), 1);
    EXPECT_FALSE(PathExists(outside / "a.log"));
    EXPECT_TRUE(IsDirectory(outside.path()));
}

TEST(FileSystem, DeleteFoldersRemovesMatchingTreesOnly) {
    TempDir dir, outside;
    WriteTextFile(outside / "keep", "k");
    MakeDirs(dir / "aone\\x\\y");
    WriteTextFile(dir / "aone\\f", "f");
    WriteTextFile(dir / "aone\\x\\y\\g", "g");
    WriteTextFile(dir / "aone\\x\\y\\h", "h");
    SetFileAttributesA((dir / "aone\\x\\y\\h").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeDirs(dir / "atwo");
    WriteTextFile(dir / "atwo\\ro", "r");
    MakeReadOnly(dir / "atwo\\ro");
    MakeDirs(dir / "bkeep");
    WriteTextFile(dir / "bkeep\\f", "f");
    WriteTextFile(dir / "afile", "not a folder");
    MakeDirs(dir / "alink");
    ASSERT_TRUE(MakeLink(outside.path(), dir / "alink\\out"));

    // aone goes; atwo keeps its read-only file; alink keeps its link under Wine.
    EXPECT_EQ(fs::DeleteFolders(dir / "a*", false), fs::IsWine() ? 1 : 2);
    EXPECT_FALSE(PathExists(dir / "aone"));
    EXPECT_TRUE(PathExists(dir / "atwo\\ro"));  // read-only without force
    EXPECT_TRUE(PathExists(dir / "bkeep\\f"));
    EXPECT_TRUE(PathExists(dir / "afile"));
    EXPECT_EQ(ReadTextFile(outside / "keep"), "k");
    if (fs::IsWine()) {
        EXPECT_TRUE(IsDirectory(dir / "alink\\out"));  // the link stays
    }

    EXPECT_GE(fs::DeleteFolders(dir / "a*", true), 1);
    EXPECT_FALSE(PathExists(dir / "atwo"));
    EXPECT_TRUE(PathExists(dir / "bkeep\\f"));
    EXPECT_EQ(ReadTextFile(outside / "keep"), "k");
}

TEST(FileSystem, RemoveFolderNeverRemovesALinkedFolderUnderWine) {
    if (!fs::IsWine()) GTEST_SKIP() << "Wine behaviour: RemoveDirectoryA on a link removes its target";
    TempDir dir, outside;
    MakeDirs(outside / "emptytarget");
    ASSERT_TRUE(MakeLink(outside / "emptytarget", dir / "link"));
    EXPECT_FALSE(fs::RemoveFolder(dir / "link"));
    EXPECT_TRUE(IsDirectory(outside / "emptytarget"));
    MakeDirs(dir / "plain");
    EXPECT_TRUE(fs::RemoveFolder(dir / "plain\\"));
    EXPECT_FALSE(PathExists(dir / "plain"));
}

TEST(FileSystem, FinalPathResolvesLinksAndGuardsFollowIt) {
    TempDir dir, outside;
    WriteTextFile(outside / "t.txt", "t");
    ASSERT_TRUE(MakeLink(outside / "t.txt", dir / "l.txt"));
    auto viaLink = fs::FinalPath(dir / "l.txt");
    auto direct = fs::FinalPath(outside / "t.txt");
    if (!direct) GTEST_SKIP() << "GetFinalPathNameByHandleA is missing on this Windows";
    ASSERT_TRUE(viaLink);
    EXPECT_EQ(*viaLink, *direct);
    EXPECT_EQ(direct->rfind("\\\\?\\", 0), 0u);
    auto folder = fs::FinalPath(dir.path());
    ASSERT_TRUE(folder);
    EXPECT_NE(*viaLink, *folder + "\\l.txt");

    fs::FolderGuard guard = fs::GuardFolder(dir.path());
    EXPECT_TRUE(guard.usable);
    EXPECT_EQ(guard.path, L"\\\\?\\" + bw::platform::paths::Widen(dir.path()) + L"\\");
    EXPECT_FALSE(fs::GuardFolder(dir / "missing").usable);
    EXPECT_FALSE(fs::GuardFolder("Error").usable);
}

// The system and program folders in every view, reached by their names or through a link: under
// WOW64 "System32" opens SysWOW64 and the real System32 is Sysnative, and both Program Files and
// both Common Files folders exist. None is ever walked, and a user's line never reaches into one.
TEST(FileSystem, SystemAndProgramFoldersAreProtectedInEveryView) {
    const std::string windows = fs::WindowsDirectory();
    std::vector<std::string> folders = {windows + "\\System32", windows + "\\System32\\..\\System32"};
    const std::string native = bw::platform::paths::Narrow(bw::platform::rulefolders::NativeSystemFolder());
    if (!native.empty()) folders.insert(folders.end(), {native, windows + "\\SysWOW64", windows + "\\System32\\..\\Sysnative"});
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
                             "CommonProgramFiles(x86)", "CommonProgramW6432"}) {
        char value[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
        if (n && n < MAX_PATH) folders.push_back(value);
    }
    TempDir links;
    const std::string real = native.empty() ? windows + "\\System32" : native;
    ASSERT_TRUE(MakeLink(real, links / "system"));
    folders.push_back(links / "system");
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        const fs::FolderGuard guard = fs::GuardFolder(folder);
        EXPECT_FALSE(guard.usable);
        EXPECT_EQ(guard.protection, fs::Protection::Vital);
        EXPECT_FALSE(fs::UserPatternRefusal(folder + "\\*.canary").empty());
    }
    // Anywhere below a system folder, in either view, is no place for a user's own line.
    for (const std::string& below : {real + "\\drivers", real + "\\drivers\\etc", links / "system\\drivers"})
        EXPECT_FALSE(fs::UserPatternRefusal(below + "\\*.canary").empty()) << below;
    EXPECT_TRUE(fs::UserPatternRefusal(links / "*.canary").empty());
}

TEST(FileSystem, DirectoriesAndWineDetection) {
    EXPECT_EQ(fs::TempPath().back(), '\\');
    EXPECT_TRUE(fs::FolderExists(fs::TempPath()));
    EXPECT_TRUE(fs::FolderExists(fs::WindowsDirectory()));
    EXPECT_EQ(fs::IsWine(), GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr);

    TempDir dir;
    std::string before = fs::CurrentDirectory();
    ASSERT_TRUE(fs::SetCurrentDirectory(dir.path()));
    EXPECT_EQ(fs::FinalPath(fs::CurrentDirectory()), fs::FinalPath(dir.path()));
    EXPECT_FALSE(fs::SetCurrentDirectory(dir / "missing"));
    fs::SetCurrentDirectory(before);
    EXPECT_TRUE(fs::FileExists(fs::WindowsDirectory() + "\\system32\\kernel32.dll"));
    EXPECT_FALSE(fs::FileExists(fs::WindowsDirectory()));
    EXPECT_FALSE(fs::FolderExists(""));
}

TEST(FileSystem, OverwriteFileLeavesNoneOfTheOldBytes) {
    TempDir dir;
    std::string secret;
    while (secret.size() < 200000) secret += "SECRET-card-4242 ";
    WriteTextFile(dir / "secret.txt", secret);
    {
        bw::platform::FileHandle file(CreateFileA((dir / "secret.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.valid());
        ASSERT_TRUE(fs::OverwriteFile(file.get()));
    }
    const std::string after = ReadTextFile(dir / "secret.txt");
    ASSERT_EQ(after.size(), secret.size());
    EXPECT_EQ(after.find("SECRET"), std::string::npos);
    EXPECT_EQ(after.find("card"), std::string::npos);
    EXPECT_NE(after.find_first_not_of('\0'), std::string::npos) << "the random pass did not run";
}

// A sparse file occupies far less than its length: overwriting its length would fill its holes
// with real bytes, up to a full disk. It is refused, and a secure delete only deletes it.
TEST(FileSystem, OverwriteRefusesASparseFile) {
    if (!fs::IsWine()) GTEST_SKIP() << "makes the sparse file with the Linux truncate";
    TempDir dir;
    ASSERT_TRUE(RunUnix("/usr/bin/truncate", {"-s", "512M", UnixPath(dir / "sparse.tmp")}));
    {
        bw::platform::FileHandle file(CreateFileA((dir / "sparse.tmp").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.valid());
        EXPECT_FALSE(fs::OverwriteFile(file.get()));
    }
    EXPECT_TRUE(RunScript("[ \"$(stat -c %b \"$1\")\" -lt 2048 ]\n", {UnixPath(dir / "sparse.tmp")}))
        << "holes were filled";
    EXPECT_TRUE(fs::DeleteFileAt(dir / "sparse.tmp", false, true));
    EXPECT_FALSE(PathExists(dir / "sparse.tmp"));
}

TEST(FileSystem, SecureDeleteOverwritesOnlyFilesThatAreWhollyTheFolders) {
    TempDir dir, outside;
    WriteTextFile(dir / "plain.tmp", "gone");
    WriteTextFile(dir / "ro.tmp", "read-only");
    MakeReadOnly(dir / "ro.tmp");
    WriteTextFile(dir / "locked.tmp", "in use");
    WriteTextFile(outside / "shared.doc", "still mine");
    ASSERT_TRUE(CreateHardLinkA((dir / "hardlink.tmp").c_str(), (outside / "shared.doc").c_str(), nullptr));
    WriteTextFile(outside / "target.doc", "linked");
    ASSERT_TRUE(MakeLink(outside / "target.doc", dir / "symlink.tmp"));
    bw::platform::FileHandle lock(
        CreateFileA((dir / "locked.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.valid());
    // Securely without force: read-only files stay.
    EXPECT_EQ(fs::DeleteFiles(fs::GuardFolder(dir.path()), "*.tmp", false, true), 2);  // plain, hardlink's name
    lock.Close();
    // Nothing left under the old name nor under a new one; what was not wholly the folder's stays.
    EXPECT_EQ(SortedNames(dir.path()), (std::vector<std::string>{"locked.tmp", "ro.tmp", "symlink.tmp"}));
    EXPECT_EQ(ReadTextFile(dir / "ro.tmp"), "read-only");
    EXPECT_EQ(ReadTextFile(dir / "locked.tmp"), "in use");
    EXPECT_EQ(ReadTextFile(outside / "shared.doc"), "still mine");
    EXPECT_EQ(ReadTextFile(outside / "target.doc"), "linked");

    // Forced, the read-only file goes securely too; once free, so does the one that was locked.
    EXPECT_TRUE(fs::DeleteFileAt(dir / "ro.tmp", true, true));
    EXPECT_TRUE(fs::DeleteFileAt(dir / "locked.tmp", false, true));
    EXPECT_EQ(SortedNames(dir.path()), (std::vector<std::string>{"symlink.tmp"}));
}
