// Shell file operations for the disk cleaner: a chosen file sent to the recycle bin, the check
// that a found file may be deleted, drives, and flushed whole-file writes.
#include <gtest/gtest.h>

#include "platform/FileOperations.h"
#include "platform/Paths.h"
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

// The Path of a trash record, percent-decoded.
std::string RecordedPath(const std::string& info) {
    const size_t at = info.find("\nPath=");
    if (at == std::string::npos) return {};
    const std::string text = info.substr(at + 6, info.find('\n', at + 6) - at - 6);
    std::string path;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool escaped = text[i] == '%' && i + 2 < text.size();
        path.push_back(escaped ? static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)) : text[i]);
        if (escaped) i += 2;
    }
    return path;
}

std::string UniqueName(const char* stem) {
    return std::string(stem) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
}

}  // namespace

// A chosen file moves into the trash with a record of where it came from; a second file of the
// same name takes the next free name, with its own record, and neither replaces the other.
TEST(FileOperations, RecycleMovesJustThatFileIntoTheTrashUnderAFreeName) {
    TempDir dir;
    const std::string trash = bw::platform::WineTrashFolder();
    ASSERT_FALSE(trash.empty());
    const std::string stem = UniqueName("recycled");
    const std::string name = stem + ".tmp", second = stem + ".2.tmp";
    WriteTextFile(dir / "neighbour.tmp", "keep");
    const auto anchor = bw::platform::fs::AnchorSearch(bw::platform::paths::Widen(dir.path()));
    const std::wstring path = bw::platform::paths::LongPath(dir / name);
    for (const char* content : {"first", "second"}) {
        WriteTextFile(dir / name, content);
        EXPECT_TRUE(op::RecycleChosenFile(anchor, path)) << content;
        EXPECT_FALSE(PathExists(dir / name));
    }
    EXPECT_EQ(ReadTextFile(dir / "neighbour.tmp"), "keep");
    EXPECT_EQ(ReadTextFile(trash + "\\files\\" + name), "first");
    EXPECT_EQ(ReadTextFile(trash + "\\files\\" + second), "second");
    for (const std::string& trashed : {name, second}) {
        const std::string info = ReadTextFile(trash + "\\info\\" + trashed + ".trashinfo");
        EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u) << info;
        EXPECT_EQ(RecordedPath(info), UnixPath(dir / name)) << "restored where it was";
        EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos) << info;
        ForgetTrashed(trashed);
    }
    EXPECT_FALSE(op::RecycleChosenFile(anchor, path)) << "nothing left to move";
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
