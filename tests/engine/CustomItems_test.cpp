// The user's own items during a run: "cusd.dat" missing, empty, unreadable or edited by hand,
// and what its lines delete and leave.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;

namespace {

const char kStart[] = "Please Waiting ,Erasing Custom Clean Items......";
const char kEnd[] = "Erasing Custom Clean Items......OK";

std::vector<std::string> RunCustom(bw::EraseRun* run = nullptr) {
    std::vector<std::string> lines;
    bw::EraseRun own;
    bw::EraseRun& r = run ? *run : own;
    r.addLine = [&](const std::string& line, bool scroll) {
        EXPECT_TRUE(scroll);
        lines.push_back(line);
    };
    bw::items::CustomItems(r);
    return lines;
}

TEST(CustomItems, MissingEmptyAndUnreadableFilesGiveTheirLines) {
    ProgramFolder folder;
    EXPECT_EQ(RunCustom(), std::vector<std::string>{kStart});
    WriteTextFile(folder.file("cusd.dat"), "");
    EXPECT_EQ(RunCustom(), (std::vector<std::string>{kStart, kEnd}));
    DeleteFileA(folder.file("cusd.dat").c_str());
    MakeDirs(folder.file("cusd.dat"));  // a folder where the file should be cannot be read
    EXPECT_EQ(RunCustom(), std::vector<std::string>{kStart});
}

TEST(CustomItems, EachAbsoluteLineDeletesMatchingFilesDirectlyInItsFolder) {
    ProgramFolder folder;
    TempDir target, outside;
    for (const char* file : {"a.tmp", "b.tmp", "keep.doc", "sub\\c.tmp", "all\\x.bin", "all\\deeper\\y.bin"}) {
        MakeDirs((target / file).substr(0, (target / file).rfind('\\')));
        WriteTextFile(target / file, "12345");
    }
    WriteTextFile(target / "ro.tmp", "read-only");
    SetFileAttributesA((target / "ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(outside / "precious.tmp", "the user's own");
    ASSERT_TRUE(MakeLink(outside / "precious.tmp", target / "linked.tmp"));
    // The current folder holds files a relative line would match.
    SetCurrentDirectoryA((target / "sub").c_str());
    WriteTextFile(folder.file("cusd.dat"), target / "*.tmp   \r\n\r\n*.tmp\r\n\\*.*\r\n" + target / "all\r\n" +
                                               target / "all\\*.*\r\n" + target / "missing\\*.tmp\r\n");

    bw::EraseRun run;
    EXPECT_EQ(RunCustom(&run), (std::vector<std::string>{kStart, kEnd}));
    SetCurrentDirectoryA("C:\\");

    EXPECT_EQ(run.filesize, 10);  // the line naming a folder counts it; patterns count nothing
    for (const char* gone : {"a.tmp", "b.tmp", "all\\x.bin"}) EXPECT_FALSE(PathExists(target / gone)) << gone;
    for (const char* kept : {"keep.doc", "sub\\c.tmp", "ro.tmp", "all\\deeper\\y.bin"})
        EXPECT_TRUE(PathExists(target / kept)) << kept;
    EXPECT_EQ(ReadTextFile(outside / "precious.tmp"), "the user's own");
    SetFileAttributesA((target / "ro.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
