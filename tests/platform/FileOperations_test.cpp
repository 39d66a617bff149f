// Shell file operations for the disk cleaner: the recycle-bin request, the check that a found
// file may be deleted, drives, and flushed whole-file writes.
#include <gtest/gtest.h>

#include "platform/FileOperations.h"
#include "platform/Shell.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
namespace op = bw::platform;

namespace {

// Removes what a test put into the trash (a file and its .trashinfo).
void ForgetTrashed(const std::string& name) {
    const std::string trash = bw::platform::WineTrashFolder();
    DeleteFileA((trash + "\\files\\" + name).c_str());
    DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
}

std::string UniqueName(const char* stem) {
    return std::string(stem) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount()) + ".tmp";
}

}  // namespace

TEST(FileOperations, RecycleFileMovesJustThatFileIntoTheTrash) {
    TempDir dir;
    const std::string name = UniqueName("recycled");
    WriteTextFile(dir / name, "junk");
    WriteTextFile(dir / "neighbour.tmp", "keep");
    ASSERT_FALSE(bw::platform::WineTrashFolder().empty());

    EXPECT_EQ(op::ShellRecycleFile(dir / name), 0);
    EXPECT_FALSE(PathExists(dir / name));
    EXPECT_TRUE(PathExists(dir / "neighbour.tmp"));
    EXPECT_EQ(ReadTextFile(bw::platform::WineTrashFolder() + "\\files\\" + name), "junk");
    std::string info = ReadTextFile(bw::platform::WineTrashFolder() + "\\info\\" + name + ".trashinfo");
    EXPECT_NE(info.find("[Trash Info]"), std::string::npos);
    EXPECT_NE(info.find("Path="), std::string::npos);
    ForgetTrashed(name);
    EXPECT_NE(op::ShellRecycleFile(""), 0);
}

TEST(FileOperations, OnlyPlainWritableFilesLyingInTheirFolderMayBeDeleted) {
    TempDir dir, outside;
    WriteTextFile(dir / "plain.tmp", "x");
    WriteTextFile(dir / "ro.tmp", "x");
    SetFileAttributesA((dir / "ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeDirs(dir / "folder.tmp");
    WriteTextFile(outside / "precious.doc", "mine");

    EXPECT_TRUE(op::IsDeletableFileInPlace(dir / "plain.tmp"));
    EXPECT_FALSE(op::IsDeletableFileInPlace(dir / "ro.tmp"));
    EXPECT_FALSE(op::IsDeletableFileInPlace(dir / "folder.tmp"));
    EXPECT_FALSE(op::IsDeletableFileInPlace(dir / "missing.tmp"));
    EXPECT_FALSE(op::IsDeletableFileInPlace(dir / "*.tmp"));
    EXPECT_FALSE(op::IsDeletableFileInPlace(""));

    ASSERT_TRUE(MakeLink(outside / "precious.doc", dir / "link.tmp"));
    EXPECT_FALSE(op::IsDeletableFileInPlace(dir / "link.tmp")) << "a link to a file elsewhere";

    // Held open by a program that does not allow deleting it.
    HANDLE open = CreateFileA((dir / "plain.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(op::IsDeletableFileInPlace(dir / "plain.tmp"));
    CloseHandle(open);
    EXPECT_TRUE(op::IsDeletableFileInPlace(dir / "plain.tmp"));

    // Asking changed nothing.
    EXPECT_TRUE(PathExists(dir / "plain.tmp"));
    EXPECT_TRUE(PathExists(dir / "ro.tmp"));
    EXPECT_EQ(ReadTextFile(outside / "precious.doc"), "mine");
}

TEST(FileOperations, ListedTimeTextIsTheLocalShortDateAndTime) {
    SYSTEMTIME local{2024, 3, 0, 5, 14, 7, 9, 0};
    FILETIME localFt, utc;
    SystemTimeToFileTime(&local, &localFt);
    LocalFileTimeToFileTime(&localFt, &utc);
    char date[64], time[64];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, sizeof time);
    EXPECT_EQ(op::ListedTimeText(utc), std::string(date) + " " + time);
    SYSTEMTIME midnight{2024, 3, 0, 5, 0, 0, 0, 0};
    SystemTimeToFileTime(&midnight, &localFt);
    LocalFileTimeToFileTime(&localFt, &utc);
    EXPECT_EQ(op::ListedTimeText(utc), std::string(date));
}
