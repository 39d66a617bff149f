// The pattern file "Ext.txt": reading, appending, the default list, the crash-safe Remove, and
// the recycle-bin request's refusals.
#include <gtest/gtest.h>

#include "diskclean/ExtentionHandller.h"
#include "tests/support/ProgramFolder.h"

using namespace bw::test;
namespace eh = bw::ExtentionHandller;

namespace {

class PatternFile : public ::testing::Test {
protected:
    std::string Ext() const { return folder_.file("Ext.txt"); }
    std::string Content() const { return ReadTextFile(Ext()); }
    ProgramFolder folder_;
};

}  // namespace

TEST_F(PatternFile, DefaultWritesTheFourPatternsWithCrLf) {
    WriteTextFile(Ext(), "*.old\r\nsomething else\r\n");
    ASSERT_TRUE(eh::WriteDefaultPatterns());
    EXPECT_EQ(Content(), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.gid;*.swp;*.chk");
}

TEST_F(PatternFile, ShippedFileHoldsTheDefaultList) {
    EXPECT_EQ(ReadTextFile(WinPath(BW_DIST_DIR) + "\\Ext.txt"), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
}

TEST_F(PatternFile, OnlyPatternLinesAreSearchedAsTheyStand) {
    WriteTextFile(Ext(), "*.bak\r\n# note\r\n\r\n*.\r\n.tmp\r\n*tmp\r\n*.a b \r\n*.x;*.y\r\n*.last");
    EXPECT_EQ(eh::LoadPatternString(), "*.bak;*.a b ;*.x;*.y;*.last");
    EXPECT_TRUE(eh::IsValidPattern("*.b"));
    EXPECT_FALSE(eh::IsValidPattern("*."));
    EXPECT_FALSE(eh::IsValidPattern(".bak"));
    EXPECT_FALSE(eh::IsValidPattern("*bak"));
    EXPECT_FALSE(eh::IsValidPattern(""));
}

TEST_F(PatternFile, MissingOrPatternlessFileGivesEmptyText) {
    EXPECT_EQ(eh::LoadPatternString(), "");
    EXPECT_TRUE(eh::ReadLines().empty());
    WriteTextFile(Ext(), "no patterns here\r\n");
    EXPECT_EQ(eh::LoadPatternString(), "");
}

TEST_F(PatternFile, AppendAddsOneLineAndNeverJoinsAnUnendedLastLine) {
    ASSERT_TRUE(eh::AppendPattern("*.bak"));  // creates the file
    EXPECT_EQ(Content(), "*.bak\r\n");
    ASSERT_TRUE(eh::AppendPattern("*.bak"));  // duplicates are stored again
    EXPECT_EQ(Content(), "*.bak\r\n*.bak\r\n");
    WriteTextFile(Ext(), "*.tmp\r\n*.chk");
    ASSERT_TRUE(eh::AppendPattern("*.old"));
    EXPECT_EQ(Content(), "*.tmp\r\n*.chk\r\n*.old\r\n");
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.chk;*.old");
}

TEST_F(PatternFile, RemoveDropsEveryCopyAndKeepsEverythingElseInOrder) {
    WriteTextFile(Ext(), "*.tmp\r\nremark\r\n*.gid\r\n*.TMP\r\n*.tmp\r\n\r\n*.chk\r\n");
    ASSERT_TRUE(eh::RemovePattern("*.tmp"));
    EXPECT_EQ(Content(), "remark\r\n*.gid\r\n*.TMP\r\n\r\n*.chk\r\n");
    ASSERT_TRUE(eh::RemovePattern(""));  // nothing selected: only empty lines go
    EXPECT_EQ(Content(), "remark\r\n*.gid\r\n*.TMP\r\n*.chk\r\n");
    EXPECT_FALSE(PathExists(eh::ScratchFile()));
}

TEST_F(PatternFile, ALeftoverScratchFileNeverEntersTheList) {
    // An earlier Remove was interrupted after writing "temp": "Ext.txt" is still whole.
    WriteTextFile(Ext(), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
    WriteTextFile(eh::ScratchFile(), "*.doc\r\n*.xls\r\n*.tmp");
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.gid;*.swp;*.chk");

    ASSERT_TRUE(eh::RemovePattern("*.gid"));
    EXPECT_EQ(Content(), "*.tmp\r\n*.swp\r\n*.chk\r\n");
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.swp;*.chk");
    EXPECT_FALSE(PathExists(eh::ScratchFile()));

    // Even a read-only leftover is cleared away first.
    WriteTextFile(eh::ScratchFile(), "*.doc\r\n");
    SetFileAttributesA(eh::ScratchFile().c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(eh::RemovePattern("*.swp"));
    EXPECT_EQ(Content(), "*.tmp\r\n*.chk\r\n");
    EXPECT_FALSE(PathExists(eh::ScratchFile()));
}

TEST_F(PatternFile, RemoveOfAMissingFileCreatesNothing) {
    EXPECT_FALSE(eh::RemovePattern("*.tmp"));
    EXPECT_FALSE(PathExists(Ext()));
    EXPECT_FALSE(PathExists(eh::ScratchFile()));
}

TEST_F(PatternFile, RemoveThatCannotWriteItsScratchFileLeavesTheListAsItWas) {
    WriteTextFile(Ext(), "*.tmp\r\n*.gid\r\n");
    MakeDirs(eh::ScratchFile());  // a folder named "temp" is in the way
    EXPECT_FALSE(eh::RemovePattern("*.tmp"));
    EXPECT_EQ(Content(), "*.tmp\r\n*.gid\r\n");
    EXPECT_TRUE(IsDirectory(eh::ScratchFile()));
}

TEST(SendToRecycleBin, RefusesLinksFoldersAndReadOnlyFiles) {
    TempDir dir, outside;
    WriteTextFile(outside / "precious.doc", "mine");
    ASSERT_TRUE(MakeLink(outside / "precious.doc", dir / "link.tmp"));
    MakeDirs(dir / "folder.tmp");
    WriteTextFile(dir / "folder.tmp\\inside.txt", "keep");
    WriteTextFile(dir / "ro.tmp", "ro");
    SetFileAttributesA((dir / "ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_FALSE(eh::SendToRecycleBin(dir / "link.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(dir / "folder.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(dir / "ro.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(dir / "missing.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(""));
    EXPECT_EQ(ReadTextFile(outside / "precious.doc"), "mine");
    EXPECT_EQ(ReadTextFile(dir / "folder.tmp\\inside.txt"), "keep");
    EXPECT_EQ(ReadTextFile(dir / "ro.tmp"), "ro");
}
