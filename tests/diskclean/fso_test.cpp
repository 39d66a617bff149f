// The disk cleaner's file helper on real files and drives: path texts, records, move/copy with
// the replace question, tree delete around links, listings, totals, text search, temporary names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "diskclean/fso.h"
#include "platform/FileSystem.h"
#include "tests/support/Overrides.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
using bw::fso;

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(sep, start);
        if (end == std::string::npos) end = text.size();
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The paths of a Get_FileList result ("a;b;"), which must end in ";" unless empty.
std::vector<std::string> Listed(const std::string& list) {
    if (list.empty()) return {};
    EXPECT_EQ(list.back(), ';');
    std::vector<std::string> parts = Split(list.substr(0, list.size() - 1), ';');
    return parts;
}

std::set<std::string> AsSet(const std::vector<std::string>& v) { return {v.begin(), v.end()}; }

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}


// A small tree: two .tmp files (one upper case) and a .txt at the top, one .TMP and a .log below,
// one more .tmp two levels down.
struct SmallTree {
    TempDir dir;
    SmallTree() {
        WriteTextFile(dir / "a.tmp", "12345");
        WriteTextFile(dir / "B.TMP", "1");
        WriteTextFile(dir / "notes.txt", "hello");
        MakeDirs(dir / "sub\\deeper");
        WriteTextFile(dir / "sub\\c.Tmp", "123");
        WriteTextFile(dir / "sub\\d.log", "1234567");
        WriteTextFile(dir / "sub\\deeper\\e.tmp", "12");
    }
};

}  // namespace

TEST(fso, PathTextsTrimSlashAndSplit) {
    fso f;
    EXPECT_EQ(f.Add_Trailing_Slash("  C:\\Some Folder  "), "C:\\Some Folder\\");
    EXPECT_EQ(f.Remove_Trailing_Slash(f.Add_Trailing_Slash("  C:\\Some Folder  ")), "C:\\Some Folder");
    EXPECT_EQ(f.Add_Trailing_Slash("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(f.Add_Trailing_Slash("   "), "");  // never the root "\"
    EXPECT_EQ(f.Remove_Trailing_Slash(" C:\\x "), "C:\\x");
    EXPECT_EQ(f.Remove_Nulls(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(f.Remove_Nulls("abc"), "abc");

    EXPECT_EQ(f.Get_Extension("C:\\a.b\\file.TXT"), "TXT");
    EXPECT_EQ(f.Get_Extension("C:\\a.b\\file"), "");
    EXPECT_EQ(f.Get_Filename("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(f.Get_Filename("C:\\a\\b\\"), "b");
    EXPECT_EQ(f.Get_Filename("C:\\"), "");
    EXPECT_EQ(f.Get_Path("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(f.Get_Path("C:\\a"), "C:\\");
    EXPECT_EQ(f.Get_Path("C:\\"), "");
    EXPECT_EQ(f.Get_Path("b.txt"), "");
}

TEST(fso, AttributeStringKnowsOnlyItsCombinations) {
    fso f;
    EXPECT_EQ(f.Attribute_String(21), "");
    EXPECT_EQ(f.Attribute_String(39), "RHSA");
    EXPECT_EQ(f.Attribute_String(64), "Alias");
    EXPECT_EQ(f.Attribute_String(33), "RA");
    EXPECT_EQ(f.Attribute_String(55), "DRHSA");
    EXPECT_EQ(f.Attribute_String(0), "");
    EXPECT_EQ(f.Attribute_String(36), "");
}

TEST(fso, TemporaryNamesFilesAndFoldersStayInTheTemporaryFolder) {
    fso f;
    EXPECT_EQ(f.Create_Tmp_Name(1), "_");
    EXPECT_EQ(f.Create_Tmp_Name(0), "");
    EXPECT_EQ(f.Create_Tmp_Name(-3), "");
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        std::string name = f.Create_Tmp_Name(4);
        ASSERT_EQ(name.size(), 4u);
        EXPECT_EQ(name[0], '_');
        for (size_t k = 1; k < name.size(); ++k)
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(name[k])) ||
                        (name[k] >= 'a' && name[k] <= 'z'))
                << name;
        names.insert(name);
    }
    // Drawn in a tight loop, the names must still differ (not one clock-seeded value repeated).
    EXPECT_GT(names.size(), 40u);
    std::string eight = f.Create_Tmp_Name(8);
    EXPECT_NE(eight.find_first_not_of(eight[1], 1), std::string::npos) << eight;
    for (int i = 0; i < 200; ++i) {
        float r = f.Rnd2(48, 122);
        EXPECT_GE(r, 48.0f);
        EXPECT_LT(r, 122.0f);
    }

    PrivateTemp temp;
    std::string folder = "  ";
    std::string file = f.Create_Tmp_Filename(folder);
    EXPECT_EQ(lstrcmpiA(folder.c_str(), (temp.dir().path() + "\\").c_str()), 0) << folder;
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(_strnicmp(file.c_str(), folder.c_str(), folder.size()), 0) << file;
    EXPECT_TRUE(bw::platform::fs::FileExists(file));
    EXPECT_EQ(file.substr(folder.size(), 1), "_");

    std::string given = temp.dir() / "given";
    MakeDirs(given);
    std::string inGiven = f.Create_Tmp_Filename(given);
    EXPECT_EQ(given, temp.dir() / "given");
    EXPECT_EQ(_strnicmp(inGiven.c_str(), given.c_str(), given.size()), 0) << inGiven;

    std::string newFolder = f.Create_Tmp_Folder();
    ASSERT_FALSE(newFolder.empty());
    EXPECT_EQ(newFolder.back(), '\\');
    EXPECT_EQ(_strnicmp(newFolder.c_str(), folder.c_str(), folder.size()), 0) << newFolder;
    EXPECT_TRUE(IsDirectory(newFolder.substr(0, newFolder.size() - 1)));
    EXPECT_EQ(newFolder.size(), folder.size() + 9);
}

TEST(fso, Shrink2FitShortensDrivePathsAndAlwaysEnds) {
    fso f;
    const std::string longPath = "C:\\Program Files\\Common Files\\Microsoft Shared\\file.txt";
    EXPECT_EQ(f.Shrink_2_Fit(longPath, 30), "C:\\...\\file.txt");
    EXPECT_EQ(f.Shrink_2_Fit(longPath, 45), "C:\\...\\Common Files\\Microsoft Shared\\file.txt");
    EXPECT_EQ(f.Shrink_2_Fit(longPath, 44), "C:\\...\\Microsoft Shared\\file.txt");
    EXPECT_EQ(f.Shrink_2_Fit("  C:\\short\\x.txt  ", 30), "C:\\short\\x.txt");
    const std::string relative = "folder\\" + std::string(300, 'x') + "\\y\\z.txt";
    EXPECT_EQ(f.Shrink_2_Fit(relative, 20), relative);
    EXPECT_EQ(f.Shrink_2_Fit("\\\\server\\share\\one\\two\\three\\file.txt", 25),
              "\\\\server\\...\\file.txt");
    // A last part longer than the room, and a drive path with no backslash after the drive.
    const std::string longName = "C:\\dir\\" + std::string(80, 'n') + ".txt";
    EXPECT_EQ(f.Shrink_2_Fit(longName, 20), "C:\\...\\" + std::string(80, 'n') + ".txt");
    const std::string noSlash = "C:" + std::string(80, 'n');
    EXPECT_EQ(f.Shrink_2_Fit(noSlash, 20), noSlash);
    EXPECT_EQ(f.Shrink_2_Fit("C:\\a\\b\\c\\d\\e\\f", 0), "C:\\...\\f");
}

TEST(fso, DiskSpaceOfCAndTheClusterFiguresInSixtyFourBits) {
    fso f;
    double total = -1, free = -1, used = -1;
    ASSERT_TRUE(f.Get_Disk_Space("C:\\windows", total, free, used));
    EXPECT_GT(total, 0);
    EXPECT_GE(total, free);
    EXPECT_DOUBLE_EQ(used, total - free);
    EXPECT_FALSE(f.Get_Disk_Space("  ", total, free, used));
    EXPECT_EQ(total, 0);
    EXPECT_EQ(free, 0);
    EXPECT_EQ(used, 0);

    using bw::platform::DiskClusters;
    using bw::platform::DiskSpaceEx;
    // A 2,000,000,000-byte drive reports the cluster figures.
    DiskSpaceEx small{500, 2000000000ULL, 600};
    DiskClusters c{8, 512, 100, 488281};
    auto figures = bw::ChooseDiskSpace(small, c);
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->total, 488281.0 * 4096);
    EXPECT_EQ(figures->free, 100.0 * 4096);
    EXPECT_EQ(figures->used, figures->total - figures->free);
    // Cluster products past 2^31 stay exact instead of wrapping negative.
    DiskClusters big{64, 512, 1000000, 2000000};
    figures = bw::ChooseDiskSpace(std::nullopt, big);
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->total, 65536000000.0);
    EXPECT_EQ(figures->free, 32768000000.0);
    // Above 2,200,000,000 bytes the extended figures stand.
    DiskSpaceEx large{1, 5000000000ULL, 3000000000ULL};
    figures = bw::ChooseDiskSpace(large, c);
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->total, 5e9);
    EXPECT_EQ(figures->used, 2e9);
    EXPECT_FALSE(bw::ChooseDiskSpace(std::nullopt, std::nullopt));
}

TEST(fso, DrivesCExistsAndIsReadyAMissingLetterIsNot) {
    fso f;
    std::vector<std::string> drives = f.Available_Drives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), "C:\\"), drives.end());
    EXPECT_TRUE(f.IsDriveReady("c"));
    EXPECT_TRUE(f.IsDriveReady("C:\\"));
    EXPECT_FALSE(f.IsDriveReady(""));
    EXPECT_FALSE(f.IsDriveReady("1:"));

    char missing = 0;
    for (char letter = 'Y'; letter >= 'D' && !missing; --letter)
        if (std::find(drives.begin(), drives.end(), std::string(1, letter) + ":\\") == drives.end())
            missing = letter;
    ASSERT_NE(missing, 0) << "every letter has a drive";
    EXPECT_FALSE(f.IsDriveReady(std::string(1, missing)));

    long type = -1;
    ASSERT_TRUE(f.Drive_Exist("c:\\windows", type));
    EXPECT_EQ(f.DriveInfo.DriveLetter, "C");
    EXPECT_EQ(f.DriveInfo.Path, "C:");
    EXPECT_EQ(f.DriveInfo.RootFolder, "C:\\");
    EXPECT_EQ(f.DriveInfo.IsReady, "1");
    EXPECT_NE(type, 0);
    EXPECT_EQ(f.DriveInfo.DriveType, std::to_string(type));
    ASSERT_EQ(f.DriveInfo.SerialNumber.size(), 9u);
    EXPECT_EQ(f.DriveInfo.SerialNumber[4], '-');
    EXPECT_EQ(f.DriveInfo.SerialNumber.find_first_not_of("0123456789ABCDEF-"), std::string::npos);
    EXPECT_FALSE(f.DriveInfo.FileSystem.empty());
    EXPECT_GE(std::stod(f.DriveInfo.TotalSize), std::stod(f.DriveInfo.FreeSpace));

    type = -1;
    EXPECT_FALSE(f.Drive_Exist(std::string(1, missing) + ":", type));
    EXPECT_EQ(f.DriveInfo.DriveLetter, "");
    EXPECT_FALSE(f.Drive_Exist("C", type));
    EXPECT_FALSE(f.Drive_Exist("", type));
}

TEST(fso, FileAndFolderExistence) {
    fso f;
    TempDir dir;
    WriteTextFile(dir / "file.txt", "x");
    MakeDirs(dir / "folder");
    EXPECT_TRUE(f.File_Exist(dir / "file.txt"));
    EXPECT_FALSE(f.File_Exist(dir / "missing.txt"));
    EXPECT_FALSE(f.File_Exist(dir / "folder"));
    EXPECT_FALSE(f.File_Exist(""));
    EXPECT_TRUE(f.Folder_Exist(dir.path()));
    EXPECT_TRUE(f.Folder_Exist(dir.path() + "\\"));
    EXPECT_TRUE(f.Folder_Exist(dir / "folder"));
    EXPECT_TRUE(f.Folder_Exist(dir / "anything.txt"));  // a file name: its folder is tested
    EXPECT_FALSE(f.Folder_Exist(dir / "nothing"));
    EXPECT_FALSE(f.Folder_Exist(""));
}

TEST(fso, CreateDirStructMakesEveryMissingFolder) {
    fso f;
    TempDir dir;
    EXPECT_TRUE(f.Create_Dir_Struct("  " + (dir / "one\\two\\three") + " "));
    EXPECT_TRUE(IsDirectory(dir / "one\\two\\three"));
    WriteTextFile(dir / "one\\keep.txt", "keep");
    EXPECT_TRUE(f.Create_Dir_Struct(dir / "one\\two\\four\\"));
    EXPECT_TRUE(IsDirectory(dir / "one\\two\\four"));
    EXPECT_EQ(ReadTextFile(dir / "one\\keep.txt"), "keep");
    EXPECT_FALSE(f.Create_Dir_Struct("   "));

    MessageBoxWatcher watcher;
    EXPECT_FALSE(f.Create_Dir_Struct(dir / "one\\keep.txt\\below"));
    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Error creating folder");
    EXPECT_TRUE(Contains(boxes[0].text, "Error: "));
    EXPECT_TRUE(Contains(boxes[0].text,
                         "An error occured while trying to create " + (dir / "one\\keep.txt")));
    EXPECT_EQ(ReadTextFile(dir / "one\\keep.txt"), "keep");
}

TEST(fso, FileInfoFillsTheRecordInSixtyFourBits) {
    fso f;
    TempDir dir;
    WriteTextFile(dir / "note.txt", "hello");
    SetFileAttributesA((dir / "note.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(f.Get_FileInfo(dir / "note.txt"));
    EXPECT_EQ(f.FileInfo.Drive, "C:");
    EXPECT_EQ(f.FileInfo.Path, dir / "note.txt");
    EXPECT_EQ(f.FileInfo.ParentFolder, dir.path());
    EXPECT_EQ(f.FileInfo.Size, "5");
    EXPECT_EQ(f.FileInfo.Extension, "txt");
    EXPECT_EQ(f.FileInfo.Attributes, "RA");
    EXPECT_FALSE(f.FileInfo.Type.empty());
    EXPECT_FALSE(f.FileInfo.DateLastModified.empty());
    EXPECT_FALSE(f.FileInfo.DateCreated.empty());
    EXPECT_FALSE(f.FileInfo.DateLastAccessed.empty());

    EXPECT_FALSE(f.Get_FileInfo(dir / "missing.txt"));
    EXPECT_EQ(f.FileInfo.Path, "");
    EXPECT_FALSE(f.Get_FileInfo(dir.path()));
    EXPECT_FALSE(f.Get_FileInfo("  "));

    // A 3 GiB file (sparse, so it costs no disk) reads with its full size.
    const std::string big = dir / "big.bin";
    HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 3LL << 30;
    bool sized = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    if (!sized) GTEST_SKIP() << "the prefix's file system cannot hold a 3 GiB sparse file";
    ASSERT_TRUE(f.Get_FileInfo(big));
    EXPECT_EQ(f.FileInfo.Size, "3221225472");
    EXPECT_EQ(f.Get_Totals(dir.path(), 1, "*.bin", false), "3221225472");
    EXPECT_EQ(f.Get_Totals(dir.path(), 1, "*.*", false), "3221225477");
}

TEST(fso, GetVersionReadsTheVersionResource) {
    fso f;
    std::string version = f.Get_Version(bw::platform::fs::WindowsDirectory() + "\\system32\\kernel32.dll");
    EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 3) << version;
    TempDir dir;
    WriteTextFile(dir / "plain.txt", "x");
    EXPECT_EQ(f.Get_Version(dir / "plain.txt"), "");
    EXPECT_EQ(f.Get_Version(dir / "missing.dll"), "");
}

TEST(fso, MoveAndCopyAskBeforeReplacing) {
    fso f;
    TempDir dir;
    WriteTextFile(dir / "src.txt", "new");
    SetFileAttributesA((dir / "src.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(f.Copy_File(dir / "src.txt", dir / "copy.txt"));
    EXPECT_EQ(ReadTextFile(dir / "copy.txt"), "new");
    EXPECT_TRUE(GetFileAttributesA((dir / "copy.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(f.Move_File(dir / "src.txt", dir / "moved.txt"));
    EXPECT_FALSE(PathExists(dir / "src.txt"));
    EXPECT_EQ(ReadTextFile(dir / "moved.txt"), "new");
    EXPECT_TRUE(GetFileAttributesA((dir / "moved.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

    WriteTextFile(dir / "a.txt", "AAA");
    WriteTextFile(dir / "old.txt", "OLD!");
    {
        MessageBoxWatcher no(IDNO);
        EXPECT_FALSE(f.Move_File(dir / "a.txt", dir / "old.txt"));
        EXPECT_FALSE(f.Copy_File(dir / "a.txt", dir / "old.txt"));
        auto boxes = no.boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].title, "Replace File?");
        EXPECT_TRUE(Contains(boxes[0].text, "File already exist at"));
        EXPECT_TRUE(Contains(boxes[0].text, dir / "old.txt"));
        EXPECT_TRUE(Contains(boxes[0].text, "Do you want to replace it?"));
        EXPECT_TRUE(Contains(boxes[0].text, "\r\n4\r\n"));  // the target's size
    }
    EXPECT_EQ(ReadTextFile(dir / "a.txt"), "AAA");
    EXPECT_EQ(ReadTextFile(dir / "old.txt"), "OLD!");
    {
        MessageBoxWatcher yes(IDYES);
        SetFileAttributesA((dir / "old.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_TRUE(f.Copy_File(dir / "a.txt", dir / "old.txt"));
        EXPECT_EQ(ReadTextFile(dir / "old.txt"), "AAA");
        EXPECT_EQ(ReadTextFile(dir / "a.txt"), "AAA");
        WriteTextFile(dir / "b.txt", "BBB");
        EXPECT_TRUE(f.Move_File(dir / "b.txt", dir / "old.txt"));
        EXPECT_EQ(ReadTextFile(dir / "old.txt"), "BBB");
        EXPECT_FALSE(PathExists(dir / "b.txt"));
        EXPECT_EQ(yes.boxes().size(), 2u);
    }
}

TEST(fso, MoveAndCopyFailuresNeverCostTheTarget) {
    fso f;
    TempDir dir, outside;
    WriteTextFile(dir / "keep.txt", "keep");
    MessageBoxWatcher yes(IDYES);
    // Onto itself: no question, an error, the file stays.
    EXPECT_FALSE(f.Copy_File(dir / "keep.txt", dir / "KEEP.txt"));
    EXPECT_FALSE(f.Move_File(dir / "keep.txt", dir / "keep.txt"));
    // A missing source: the existing target is not deleted first.
    EXPECT_FALSE(f.Move_File(dir / "missing.txt", dir / "keep.txt"));
    EXPECT_EQ(ReadTextFile(dir / "keep.txt"), "keep");
    auto boxes = yes.boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].title, "Error Detected");
    EXPECT_TRUE(Contains(boxes[0].text, "Error while copying a file"));
    EXPECT_TRUE(Contains(boxes[0].text, "FROM: " + (dir / "keep.txt")));
    EXPECT_TRUE(Contains(boxes[0].text, "TO: " + (dir / "KEEP.txt")));
    EXPECT_EQ(boxes[1].title, "Errors detected");
    EXPECT_TRUE(Contains(boxes[2].text, "Error: 2  "));
    EXPECT_TRUE(Contains(boxes[2].text, "Error while moving a file"));

    if (!bw::platform::fs::IsWine()) return;
    // Under Wine a link to a file reads as a plain file: neither replacing it nor moving it may
    // touch the file it leads to.
    WriteTextFile(outside / "target.txt", "precious");
    ASSERT_TRUE(MakeLink(outside / "target.txt", dir / "link.txt"));
    EXPECT_FALSE(f.Copy_File(dir / "keep.txt", dir / "link.txt"));
    EXPECT_FALSE(f.Move_File(dir / "link.txt", dir / "elsewhere.txt"));
    EXPECT_EQ(ReadTextFile(outside / "target.txt"), "precious");
    EXPECT_FALSE(PathExists(dir / "elsewhere.txt"));
}

TEST(fso, DelTree32RemovesReadOnlyItemsButNeverThroughLinks) {
    fso f;
    TempDir dir, outside;
    MakeDirs(dir / "victim\\sub\\deep");
    WriteTextFile(dir / "victim\\ro.txt", "r");
    SetFileAttributesA((dir / "victim\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(dir / "victim\\sub\\deep\\x.tmp", "x");
    SetFileAttributesA((dir / "victim\\sub").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(dir / "sibling.txt", "stay");
    EXPECT_TRUE(f.DelTree32(dir / "victim\\"));
    EXPECT_FALSE(PathExists(dir / "victim"));
    EXPECT_EQ(ReadTextFile(dir / "sibling.txt"), "stay");

    MakeDirs(dir / "linked\\inner");
    WriteTextFile(dir / "linked\\plain.txt", "p");
    WriteTextFile(outside / "file.txt", "target file");
    MakeDirs(outside / "folder");
    WriteTextFile(outside / "folder\\kept.txt", "target folder");
    ASSERT_TRUE(MakeLink(outside / "file.txt", dir / "linked\\inner\\filelink.txt"));
    ASSERT_TRUE(MakeLink(outside / "folder", dir / "linked\\folderlink"));
    MessageBoxWatcher watcher;
    bool removed = f.DelTree32(dir / "linked");
    EXPECT_EQ(ReadTextFile(outside / "file.txt"), "target file");
    EXPECT_EQ(ReadTextFile(outside / "folder\\kept.txt"), "target folder");
    EXPECT_FALSE(PathExists(dir / "linked\\plain.txt"));
    if (bw::platform::fs::IsWine()) {
        // Wine cannot remove a link without removing what it leads to, so the links stay and the
        // folder with them: reported as a failure.
        EXPECT_FALSE(removed);
        auto boxes = watcher.boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Error Detected");
        EXPECT_TRUE(Contains(boxes[0].text, "Error while deleting path "));
        EXPECT_TRUE(Contains(boxes[0].text, dir / "linked"));
    }
}

TEST(fso, DelTree32RefusesBlankRelativeAndRootPaths) {
    fso f;
    TempDir dir;
    WriteTextFile(dir / "keep.txt", "keep");
    std::string oldCurrent = bw::platform::fs::CurrentDirectory();
    ASSERT_TRUE(bw::platform::fs::SetCurrentDirectory(dir.path()));
    MessageBoxWatcher watcher;
    EXPECT_FALSE(f.DelTree32(""));
    EXPECT_FALSE(f.DelTree32("   "));
    EXPECT_FALSE(f.DelTree32("."));
    EXPECT_FALSE(f.DelTree32("C:"));
    EXPECT_FALSE(f.DelTree32("C:\\"));
    EXPECT_FALSE(f.DelTree32(dir / "missing"));
    bw::platform::fs::SetCurrentDirectory(oldCurrent);
    EXPECT_EQ(ReadTextFile(dir / "keep.txt"), "keep");
    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 6u);
    for (const auto& box : boxes) EXPECT_EQ(box.title, "Error Detected");
}

TEST(fso, FileListMatchesByExtensionAndCounts) {
    SmallTree tree;
    fso f;
    std::vector<std::pair<std::string, double>> events;
    f.CountFiles = [&](const std::string& path, double count) { events.emplace_back(path, count); };

    std::vector<std::string> all = Listed(f.Get_FileList(tree.dir.path(), false, "*.*"));
    EXPECT_EQ(AsSet(all), (std::set<std::string>{tree.dir / "a.tmp", tree.dir / "B.TMP",
                                                 tree.dir / "notes.txt"}));
    EXPECT_EQ(AsSet(Listed(f.Get_FileList(tree.dir.path() + "\\", false, "anything"))), AsSet(all));
    EXPECT_EQ(f.Count(), 0);
    EXPECT_TRUE(events.empty());

    std::vector<std::string> tmp = Listed(f.Get_FileList(tree.dir.path(), true, "*.TMP"));
    std::set<std::string> expected{tree.dir / "a.tmp", tree.dir / "B.TMP", tree.dir / "sub\\c.Tmp",
                                   tree.dir / "sub\\deeper\\e.tmp"};
    EXPECT_EQ(AsSet(tmp), expected);
    ASSERT_EQ(tmp.size(), 4u);
    // Depth first: the top folder's files, then the subfolder's, then the one below.
    EXPECT_EQ(AsSet({tmp[0], tmp[1]}), (std::set<std::string>{tree.dir / "a.tmp", tree.dir / "B.TMP"}));
    EXPECT_EQ(tmp[2], tree.dir / "sub\\c.Tmp");
    EXPECT_EQ(tmp[3], tree.dir / "sub\\deeper\\e.tmp");
    EXPECT_EQ(f.Count(), 4);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[3].first, tmp[3]);
    EXPECT_EQ(events[3].second, 4);
    f.Count(0);
    EXPECT_EQ(f.Count(), 0);

    EXPECT_EQ(f.Get_FileList(tree.dir / "missing", true, "*.*"), "");
    EXPECT_EQ(f.Get_FileList("  ", true, "*.*"), "");
    f.CancelProcessing = true;
    EXPECT_EQ(f.Get_FileList(tree.dir.path(), true, "*.*"), "");
    EXPECT_EQ(f.Get_DirList(tree.dir.path()), "");
}

TEST(fso, WalksNeverEnterLinkedFolders) {
    SmallTree tree;
    TempDir outside;
    WriteTextFile(outside / "far.tmp", "1234567890");
    ASSERT_TRUE(MakeLink(outside.path(), tree.dir / "sub\\link"));
    fso f;
    std::vector<std::string> tmp = Listed(f.Get_FileList(tree.dir.path(), true, "*.tmp"));
    EXPECT_EQ(tmp.size(), 4u);
    for (const auto& p : tmp) EXPECT_FALSE(Contains(p, "far.tmp")) << p;
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 1, "*.tmp", true), "11");
    EXPECT_EQ(ReadTextFile(outside / "far.tmp"), "1234567890");
}

TEST(fso, FileListWalksDeepTreesWithoutRecursion) {
    TempDir dir;
    std::string rel;
    for (int i = 0; i < 100; ++i) rel += "d\\";
    ASSERT_TRUE(MakeDirs(dir / rel.substr(0, rel.size() - 1)));
    WriteTextFile(dir / (rel + "bottom.tmp"), "b");
    fso f;
    EXPECT_EQ(f.Get_FileList(dir.path(), true, "*.tmp"), dir / (rel + "bottom.tmp") + ";");
}

TEST(fso, TotalsSumSizesAndCountByDate) {
    SmallTree tree;
    fso f;
    std::vector<uint64_t> running;
    f.CountTotals = [&](const std::string&, uint64_t total) { running.push_back(total); };
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 1, "*.tmp", true), "11");
    EXPECT_EQ(running, (std::vector<uint64_t>{running[0], running[1], 9, 11}));
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 1, "*.*", false), "11");
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 1, "*.log", true), "7");

    running.clear();
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 3, "1/1/2000", true), "6");
    EXPECT_EQ(running.back(), 6u);
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 4, "2000-01-01", false), "3");
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 2, "1/1/2090", true), "0");

    // A file modified on an older day counts only for dates up to that day.
    HANDLE h = CreateFileA((tree.dir / "notes.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SYSTEMTIME st{};
    st.wYear = 2010;
    st.wMonth = 6;
    st.wDay = 15;
    st.wHour = 12;
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 3, "6/15/2010", false), "3");
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 3, "6/16/2010", false), "2");

    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 0, "*.*", true), "0");
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 5, "*.*", true), "0");
    EXPECT_EQ(f.Get_Totals("  ", 1, "*.*", true), "0");
    MessageBoxWatcher watcher;
    EXPECT_EQ(f.Get_Totals(tree.dir.path(), 3, "not a date", true), "0");
    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Invalid date format");
    EXPECT_EQ(boxes[0].text, "An invalid date was passed.");
}

TEST(fso, TextSearchIgnoresCaseAndSubfolders) {
    TempDir dir;
    WriteTextFile(dir / "one.txt", "The Quick brown fox");
    WriteTextFile(dir / "two.log", "nothing here");
    std::string big(3 << 20, 'a');
    big.replace(big.size() / 3 - 3, 5, "QUICK");  // near a chunk edge of the reader
    WriteTextFile(dir / "big.bin", big);
    MakeDirs(dir / "sub");
    WriteTextFile(dir / "sub\\three.txt", "quick");
    fso f;
    std::vector<std::string> hits = f.TextSearch(dir.path(), "quick");
    EXPECT_EQ(AsSet(hits), (std::set<std::string>{dir / "one.txt", dir / "big.bin"}));
    EXPECT_EQ(f.TextSearch(dir.path() + "\\", "FOX"), (std::vector<std::string>{dir / "one.txt"}));
    EXPECT_EQ(f.TextSearch(dir.path(), "absent"), (std::vector<std::string>{"N/A", ""}));
    EXPECT_EQ(f.TextSearch(dir / "missing", "quick"), (std::vector<std::string>{"N/A", ""}));
    EXPECT_EQ(f.TextSearch("", "quick"), (std::vector<std::string>{"N/A", ""}));
}

TEST(fso, DirListGivesDirectSubfolders) {
    TempDir dir;
    MakeDirs(dir / "a\\inner");
    MakeDirs(dir / "b");
    WriteTextFile(dir / "file.txt", "x");
    fso f;
    std::string list = f.Get_DirList(dir.path());
    ASSERT_FALSE(list.empty());
    EXPECT_NE(list.back(), ';');
    EXPECT_EQ(AsSet(Split(list, ';')), (std::set<std::string>{dir / "a", dir / "b"}));
    MakeDirs(dir / "a\\inner");
    EXPECT_EQ(f.Get_DirList(dir / "a\\"), dir / "a\\inner");
    EXPECT_EQ(f.Get_DirList(dir / "b"), "");
    EXPECT_EQ(f.Get_DirList(""), "");
}

TEST(fso, IsThisRestrictedProbesWithoutTouchingTheUsersFiles) {
    TempDir dir;
    fso f;
    EXPECT_FALSE(f.IsThisRestricted(dir.path()));
    EXPECT_FALSE(PathExists(dir / "_Test.$$$"));
    WriteTextFile(dir / "_Test.$$$", "mine");
    EXPECT_FALSE(f.IsThisRestricted(dir.path() + "\\"));
    EXPECT_EQ(ReadTextFile(dir / "_Test.$$$"), "mine");
    int entries = 0;
    bw::platform::fs::ListFolder(dir.path(), [&](const bw::platform::fs::DirEntry&) {
        ++entries;
        return true;
    });
    EXPECT_EQ(entries, 1);
    EXPECT_TRUE(f.IsThisRestricted(dir / "missing"));
    EXPECT_TRUE(f.IsThisRestricted("  "));
}
