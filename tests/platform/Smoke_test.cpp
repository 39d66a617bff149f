// The test sandbox itself: temp folders, links from Linux, message box capture.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace bw::test;

TEST(TestSandbox, TempDirIsRemovedWithLinksButNotTheirTargets) {
    TempDir outside;
    WriteTextFile(outside / "keep.txt", "keep");
    std::string path;
    {
        TempDir dir;
        path = dir.path();
        ASSERT_TRUE(IsDirectory(path));
        ASSERT_TRUE(MakeLink(outside.path(), dir / "link"));
        DWORD attrs = GetFileAttributesA((dir / "link").c_str());
        EXPECT_EQ(attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
                  static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    }
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(ReadTextFile(outside / "keep.txt"), "keep");
}

TEST(TestSandbox, MessageBoxWatcherReadsAndAnswersTheBox) {
    MessageBoxWatcher watcher;
    int rc = MessageBoxA(nullptr, "Hello there", "Title here", MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(rc, IDOK);
    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Title here");
    EXPECT_NE(boxes[0].text.find("Hello there"), std::string::npos);
}
