// The shared erase steps: the registry end states the items rely on, shell folder lookups,
// and folder sizes that never turn a missing location into a path.
#include <gtest/gtest.h>

#include "engine/EraseSteps.h"
#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;

namespace {

TEST(EraseSteps, ResetKeyLeavesAnEmptyKey) {
    TempRegKey temp;
    const std::string path = temp.subkey() + "\\TypedURLs";
    SetString(HKEY_CURRENT_USER, path, "url1", "http://a.example/");
    SetString(HKEY_CURRENT_USER, path, "url2", "http://b.example/");
    SetString(HKEY_CURRENT_USER, temp.subkey() + "\\Sibling", "keep", "me");

    bw::ResetKey(HKEY_CURRENT_USER, path);
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, path), 0);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, temp.subkey() + "\\Sibling", "keep"));

    bw::ResetKey(HKEY_CURRENT_USER, temp.subkey() + "\\Missing\\Deep");
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, temp.subkey() + "\\Missing\\Deep"), 0);
}

TEST(EraseSteps, ResetKeyCannotDeleteAKeyWithSubkeys) {
    // NT-family Windows refuses to delete such a key; the step ignores that and goes on.
    TempRegKey temp;
    const std::string path = temp.subkey() + "\\Parent";
    SetString(HKEY_CURRENT_USER, path, "v", "x");
    SetString(HKEY_CURRENT_USER, path + "\\Child", "c", "y");
    bw::ResetKey(HKEY_CURRENT_USER, path);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path + "\\Child"));
}

TEST(EraseSteps, RemoveKeyRemovesOnlyThatKeyAndCreatesNothing) {
    TempRegKey temp;
    const std::string path = temp.subkey() + "\\RunMRU";
    SetString(HKEY_CURRENT_USER, path, "a", "notepad");
    SetString(HKEY_CURRENT_USER, temp.subkey() + "\\Other", "b", "keep");
    bw::RemoveKey(HKEY_CURRENT_USER, path);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, temp.subkey() + "\\Other", "b"));

    bw::RemoveKey(HKEY_CURRENT_USER, temp.subkey() + "\\NeverThere");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\NeverThere"));
}

TEST(EraseSteps, RemoveValueRemovesOneValue) {
    TempRegKey temp;
    SetString(HKEY_CURRENT_USER, temp.subkey(), "File1", "a.txt");
    SetString(HKEY_CURRENT_USER, temp.subkey(), "File2", "b.txt");
    bw::RemoveValue(HKEY_CURRENT_USER, temp.subkey(), "File1");
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, temp.subkey(), "File1"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, temp.subkey(), "File2"));
    bw::RemoveValue(HKEY_CURRENT_USER, temp.subkey() + "\\Missing", "File2");  // no effect, no crash
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\Missing"));
}

TEST(EraseSteps, AListThatIsARegistryLinkLosesTheLinkNeverTheTargetsKeysOrValues) {
    TempRegKey temp;
    const std::string victim = temp.subkey() + "\\Victim";
    const std::string link = temp.subkey() + "\\RunMRU";
    const auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, victim, "a"));
        EXPECT_FALSE(KeyLinkExists(HKEY_CURRENT_USER, link));
        RemoveKeyLink(HKEY_CURRENT_USER, link);
        DeleteTree(HKEY_CURRENT_USER, link);
        ASSERT_TRUE(MakeKeyLink(HKEY_CURRENT_USER, link, HKEY_CURRENT_USER, victim));
    };
    SetString(HKEY_CURRENT_USER, victim, "a", "notepad");
    ASSERT_TRUE(MakeKeyLink(HKEY_CURRENT_USER, link, HKEY_CURRENT_USER, victim));
    bw::RemoveKey(HKEY_CURRENT_USER, link);
    check("RemoveKey");
    bw::ResetKey(HKEY_CURRENT_USER, link);
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, link), 0) << "an empty key takes the link's place";
    check("ResetKey");
    bw::RemoveValue(HKEY_CURRENT_USER, link, "a");
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, victim, "a"));
    RemoveKeyLink(HKEY_CURRENT_USER, link);
}

TEST(EraseSteps, ShellFolderPathReadsExplorerFolders) {
    std::string cache = bw::ShellFolderPath("Cache");
    EXPECT_TRUE(bw::platform::paths::IsUsableFolder(cache)) << cache;
    EXPECT_NE(cache.back(), '\\');
    EXPECT_FALSE(bw::platform::paths::IsUsableFolder(bw::ShellFolderPath("No Such Folder Value")));
}

TEST(EraseSteps, FolderSizeAddsTheTreeOrNothing) {
    TempDir dir;
    MakeDirs(dir / "a\\b");
    WriteTextFile(dir / "one.txt", std::string(1000, 'x'));
    WriteTextFile(dir / "a\\b\\two.txt", std::string(234, 'y'));
    bw::EraseRun run;
    run.filesize = 10;
    bw::FolderSize(run, dir.path());
    EXPECT_EQ(run.filesize, 1244);
    bw::FolderSize(run, dir / "missing");
    bw::FolderSize(run, "Error");
    bw::FolderSize(run, "");
    EXPECT_EQ(run.filesize, 1244);
}

}  // namespace
