// The Windows erase items on the run's Wine prefix: which registry lists, files and folders go,
// and what must stay (other keys and values, read-only and in-use files, link targets, folders
// outside the targets).
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ui/Forms.h"
#include "engine/EraseItems.h"
#include "engine/EraseRunner.h"
#include "engine/EraseRun.h"
#include "engine/frmcleannow.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/SystemFolders.h"
#include "settings/Inifun.h"
#include "app/frmMainCode.h"
#include "tests/support/Overrides.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "tests/support/MainWindowState.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const std::string kSearchBar =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\";
const std::string kOpenSave = kExplorer + "ComDlg32\\OpenSaveMRU";
const std::string kApplets = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\";

std::string Env(const char* name) {
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
}

std::vector<std::string> Matching(const std::string& pattern) {
    std::vector<std::string> names;
    fs::ListMatching(pattern, [&](const fs::DirEntry& e) { return names.push_back(e.name), true; });
    std::sort(names.begin(), names.end());
    return names;
}

void DeleteTestKeys(std::initializer_list<std::string> keys) {
    for (const std::string& key : keys) DeleteTree(HKEY_CURRENT_USER, key);
}

// ---- registry lists ----

TEST(WindowsItems, RunWordpadAndPaintListsEndExistingAndEmpty) {
    const std::string run = kExplorer + "RunMRU";
    const std::string wordpad = kApplets + "Wordpad\\Recent File List";
    const std::string paint = kApplets + "Paint\\Recent File List";
    for (const std::string& key : {run, wordpad, paint}) {
        SetString(HKEY_CURRENT_USER, key, "a", "C:\\secret.txt\\1");
        SetString(HKEY_CURRENT_USER, key, "MRUList", "a");
    }
    SetString(HKEY_CURRENT_USER, kApplets + "Wordpad\\Options", "Keep", "1");
    SetString(HKEY_CURRENT_USER, kApplets + "Paint\\View", "Keep", "1");
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::RunHistory, eraseRun);
    bw::EraseItem(bw::items::WordpadRecent, eraseRun);
    bw::EraseItem(bw::items::PaintRecent, eraseRun);

    for (const std::string& key : {run, wordpad, paint}) EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, key), 0) << key;
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kApplets + "Wordpad\\Options", "Keep"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kApplets + "Paint\\View", "Keep"));
    EXPECT_EQ(eraseRun.regnum, 3);  // the three lists, measured
    DeleteTestKeys({kApplets + "Wordpad", kApplets + "Paint"});
}

TEST(WindowsItems, SearchHistoryCreatesItsListsWhenNoneExist) {
    const std::vector<std::string> kept = {kExplorer + "Doc Find Spec MRU", kSearchBar + "ComputerNameMRU",
                                           kSearchBar + "ContainingTextMRU", kSearchBar + "FilesNamedMRU",
                                           kExplorer + "FindComputerMRU"};
    for (const std::string& key : kept) DeleteTree(HKEY_CURRENT_USER, key);
    DeleteTree(HKEY_CURRENT_USER, kExplorer + "Doc Find SpecMRU");
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::SearchHistory, eraseRun);

    for (const std::string& key : kept) EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, key), 0) << key;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kExplorer + "Doc Find SpecMRU"));
}

TEST(WindowsItems, SearchHistoryEmptiesEveryListAndLeavesOtherSearchKeys) {
    const std::vector<std::string> lists = {kExplorer + "Doc Find Spec MRU", kSearchBar + "ComputerNameMRU",
                                            kSearchBar + "ContainingTextMRU", kSearchBar + "FilesNamedMRU",
                                            kExplorer + "FindComputerMRU"};
    for (const std::string& key : lists) SetString(HKEY_CURRENT_USER, key, "a", "secret");
    SetString(HKEY_CURRENT_USER, kExplorer + "Doc Find SpecMRU", "a", "secret");
    SetString(HKEY_CURRENT_USER, kSearchBar + "OtherMRU", "a", "kept");
    SetString(HKEY_CURRENT_USER, kSearchBar, "Setting", "kept");
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::SearchHistory, eraseRun);

    for (const std::string& key : lists) EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, key), 0) << key;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kExplorer + "Doc Find SpecMRU"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kSearchBar + "OtherMRU", "a"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kSearchBar, "Setting"));
    DeleteTestKeys({kSearchBar + "OtherMRU"});
}

TEST(WindowsItems, OpenSaveHistoryRemovesTheListedExtensionsOnly) {
    const std::vector<std::string> listed = {"*", "avi", "bmp", "chm", "dat", "exe", "frm", "gif",
                                             "htm", "inf", "jpg", "mdb", "mp3", "mpg", "rar", "rm",
                                             "rtf", "swf", "txt", "wav", "mwv", "xls", "zip", "doc"};
    for (const std::string& ext : listed) SetString(HKEY_CURRENT_USER, kOpenSave + "\\" + ext, "a", "C:\\x." + ext);
    SetString(HKEY_CURRENT_USER, kOpenSave + "\\pdf", "a", "C:\\kept.pdf");
    SetString(HKEY_CURRENT_USER, kOpenSave + "\\wmv", "a", "C:\\kept.wmv");
    SetString(HKEY_CURRENT_USER, kOpenSave, "Own", "kept");
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::OpenSaveHistory, eraseRun);

    for (const std::string& ext : listed) EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kOpenSave + "\\" + ext)) << ext;
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kOpenSave + "\\pdf", "a"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kOpenSave + "\\wmv", "a"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kOpenSave, "Own"));
    DeleteTestKeys({kOpenSave});
}

TEST(WindowsItems, ARegistryLinkInAListIsRemovedItselfAndItsTargetKept) {
    struct Row {
        const char* what;
        void (*item)(bw::EraseRun&);
        std::string link;
    };
    const Row rows[] = {
        {"Recent Documents", bw::items::RecentDocuments, kExplorer + "RecentDocs\\.bwx"},
        {"Run history", bw::items::RunHistory, kExplorer + "RunMRU"},
        {"Open/Save history", bw::items::OpenSaveHistory, kOpenSave + "\\txt"},
    };
    const std::string victim = "Software\\BwItemVictim";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteTree(HKEY_CURRENT_USER, row.link);
        SetString(HKEY_CURRENT_USER, victim, "a", "C:\\kept.txt");
        SetString(HKEY_CURRENT_USER, victim + "\\sub", "b", "kept");
        ASSERT_TRUE(MakeKeyLink(HKEY_CURRENT_USER, row.link, HKEY_CURRENT_USER, victim));
        bw::EraseRun eraseRun;

        bw::EraseItem(row.item, eraseRun);

        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, victim, "a"));
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, victim + "\\sub", "b"));
        EXPECT_FALSE(KeyLinkExists(HKEY_CURRENT_USER, row.link)) << "the link itself goes";
        RemoveKeyLink(HKEY_CURRENT_USER, row.link);
    }
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kExplorer + "RunMRU"), 0) << "an empty list takes the link's place";
    DeleteTree(HKEY_CURRENT_USER, victim);
}

// ---- the temp folder ----

// A private temp folder, with TMP and TEMP pointed at it for the test's length. The folder is
// made before the switch and the variables go back before it is removed.
class TempItem : public ::testing::Test {
protected:
    void SetUp() override {
        env_.Set("TMP", temp_.path());
        env_.Set("TEMP", temp_.path());
        ASSERT_EQ(fs::TempPath(), temp_.path() + "\\");
    }
    TempDir outside_;
    TempDir temp_;
    EnvironmentOverride env_;
};

TEST_F(TempItem, EmptiesTheTempFolderAndCountsItsSize) {
    WriteTextFile(temp_ / "a.tmp", std::string(1000, 'a'));
    MakeDirs(temp_ / "one\\two");
    WriteTextFile(temp_ / "one\\b.tmp", std::string(200, 'b'));
    WriteTextFile(temp_ / "one\\two\\c.tmp", std::string(30, 'c'));
    MakeDirs(temp_ / "empty");
    MakeDirs(temp_ / "kept\\deep");
    WriteTextFile(temp_ / "kept\\deep\\readonly.txt", "ro");
    SetFileAttributesA((temp_ / "kept\\deep\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(temp_ / "kept\\gone.txt", "gone");
    MakeDirs(temp_ / "busy");
    WriteTextFile(temp_ / "busy\\open.log", "in use");
    HANDLE open = CreateFileA((temp_ / "busy\\open.log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    WriteTextFile(outside_ / "target.txt", "outside");
    MakeDirs(outside_ / "folder");
    WriteTextFile(outside_ / "folder\\inner.txt", "inner");
    ASSERT_TRUE(MakeLink(outside_ / "target.txt", temp_ / "linked.txt"));
    ASSERT_TRUE(MakeLink(outside_ / "folder", temp_ / "linked-folder"));
    std::optional<uint64_t> before = fs::FolderSize(temp_.path());
    ASSERT_TRUE(before.has_value());
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::WindowsTemp, eraseRun);
    CloseHandle(open);

    EXPECT_EQ(eraseRun.filesize, 1000 + 200 + 30 + 4) << "what went; the read-only, busy and linked files stay";
    EXPECT_TRUE(IsDirectory(temp_.path()));
    EXPECT_EQ(SortedNames(temp_.path()), (std::vector<std::string>{"busy", "kept", "linked-folder", "linked.txt"}));
    EXPECT_EQ(SortedNames(temp_ / "kept"), std::vector<std::string>{"deep"});
    EXPECT_EQ(ReadTextFile(temp_ / "kept\\deep\\readonly.txt"), "ro");
    EXPECT_EQ(ReadTextFile(temp_ / "busy\\open.log"), "in use");
    EXPECT_EQ(ReadTextFile(outside_ / "target.txt"), "outside");
    EXPECT_EQ(ReadTextFile(outside_ / "folder\\inner.txt"), "inner");
}

TEST_F(TempItem, NeverEmptiesTheProfileGetTempPathFallsBackTo) {
    // With TMP and TEMP unset Windows names the profile folder; here the profile is a private
    // folder, so a failure of the guard costs nothing.
    env_.Set("TMP", "");
    env_.Set("TEMP", "");
    SetEnvironmentVariableA("TMP", nullptr);
    SetEnvironmentVariableA("TEMP", nullptr);
    env_.Set("USERPROFILE", temp_.path());
    WriteTextFile(temp_ / "profile.dat", "precious");
    ASSERT_EQ(_stricmp(fs::TempPath().c_str(), (temp_.path() + "\\").c_str()), 0) << fs::TempPath();
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::WindowsTemp, eraseRun);

    EXPECT_EQ(ReadTextFile(temp_ / "profile.dat"), "precious");
    EXPECT_EQ(eraseRun.filesize, 0);
}

// ---- the recycle bin ----

TEST(WindowsItems, RecycleBinEmptiesTheTrashAndCountsRecycled) {
    if (!fs::IsWine()) GTEST_SKIP() << "empties the trash of a throwaway Wine prefix only";
    const std::string trash = bw::platform::WineTrashFolder();
    const std::string prefix = Env("WINEPREFIX");
    const std::string sandbox = WinPath(prefix.substr(0, prefix.find_last_of('/')));
    if (trash.empty() || _strnicmp(trash.c_str(), sandbox.c_str(), sandbox.size()) != 0)
        GTEST_SKIP() << "the desktop trash is not this test run's own";
    if (PathExists("C:\\RECYCLED")) GTEST_SKIP() << "C:\\RECYCLED exists already in this prefix";
    {  // what tests before this one sent to the trash of this prefix goes first
        bw::EraseRun before;
        bw::EraseItem(bw::items::RecycleBin, before);
    }
    MakeDirs("C:\\RECYCLED");
    WriteTextFile("C:\\RECYCLED\\INFO2", std::string(1234, 'r'));
    TempDir dir;
    WriteTextFile(dir / "old.txt", "old");
    MakeDirs(dir / "folder\\sub");
    WriteTextFile(dir / "folder\\sub\\x.txt", "x");
    WriteTextFile(dir / "kept.txt", "kept");
    ASSERT_TRUE(MoveToTrash(dir / "old.txt"));
    ASSERT_TRUE(MoveToTrash(dir / "folder"));
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::RecycleBin, eraseRun);

    EXPECT_EQ(eraseRun.filesize, 3) << "the trashed file; a folder counts 0 bytes, as the shell counts it";
    EXPECT_EQ(SortedNames(trash + "\\files"), std::vector<std::string>{});
    EXPECT_EQ(SortedNames(trash + "\\info"), std::vector<std::string>{});
    EXPECT_EQ(ReadTextFile(dir / "kept.txt"), "kept");
    EXPECT_EQ(ReadTextFile("C:\\RECYCLED\\INFO2").size(), 1234u);  // not the platform's bin
    DeleteFileA("C:\\RECYCLED\\INFO2");
    RemoveDirectoryA("C:\\RECYCLED");
}

// ---- recent documents, clipboard ----

TEST(WindowsItems, RecentDocumentsLeavesNoShortcutAndKeepsTheDocuments) {
    TempDir docs;
    WriteTextFile(docs / "letter.txt", "letter");
    SHAddToRecentDocs(SHARD_PATHA, (docs / "letter.txt").c_str());
    const std::string recent = bw::platform::RecentFolder();
    ASSERT_FALSE(Matching(recent + "\\*.lnk").empty());
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::RecentDocuments, eraseRun);

    EXPECT_EQ(Matching(recent + "\\*.lnk"), std::vector<std::string>{});
    EXPECT_EQ(ReadTextFile(docs / "letter.txt"), "letter");
}

TEST(WindowsItems, ClipboardEndsEmpty) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 7);
    std::memcpy(GlobalLock(data), "secret", 7);
    GlobalUnlock(data);
    SetClipboardData(CF_TEXT, data);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::Clipboard, eraseRun);

    EXPECT_EQ(CountClipboardFormats(), 0);
}

// ---- fragments at drive roots and password files ----

// Files of the test's own in a folder shared with the prefix, removed afterwards. Skips when the
// folder already holds files of the kind the item deletes, since those are not the test's.
class SharedFolderFiles : public ::testing::Test {
protected:
    void Prepare(const std::string& folder, const std::string& extension) {
        folder_ = folder;
        ext_ = extension;
        if (!Matching(folder + "\\*" + extension).empty())
            GTEST_SKIP() << folder << " already holds *" << extension << " files that are not this test's";
        WriteTextFile(Own("plain" + extension), "plain");
        WriteTextFile(Own("readonly" + extension), "readonly");
        SetFileAttributesA(Own("readonly" + extension).c_str(), FILE_ATTRIBUTE_READONLY);
        WriteTextFile(Own("other.txt"), "other");
        WriteTextFile(outside_ / ("target" + extension), "target");
        ASSERT_TRUE(MakeLink(outside_ / ("target" + extension), Own("linked" + extension)));
        MakeDirs(outside_ / "below");
        WriteTextFile(outside_ / ("below\\deep" + extension), "deep");
    }
    void TearDown() override {
        if (folder_.empty()) return;
        SetFileAttributesA(Own("readonly" + ext_).c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const std::string& name : {"plain" + ext_, "readonly" + ext_, std::string("other.txt")})
            DeleteFileA(Own(name).c_str());
        if (PathExists(Own("linked" + ext_))) RunUnix("/bin/rm", {"-f", UnixPath(Own("linked" + ext_))});
    }
    std::string Own(const std::string& name) const {
        return folder_ + "\\bwtest-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    }
    void ExpectOnlyTheKeptRemain() {
        std::string id = "bwtest-" + std::to_string(GetCurrentProcessId()) + "-";
        EXPECT_EQ(Matching(folder_ + "\\*" + ext_),
                  (std::vector<std::string>{id + "linked" + ext_, id + "readonly" + ext_}));
        EXPECT_EQ(ReadTextFile(Own("other.txt")), "other");
        EXPECT_EQ(ReadTextFile(outside_ / ("target" + ext_)), "target");
        EXPECT_EQ(ReadTextFile(outside_ / ("below\\deep" + ext_)), "deep");
    }
    TempDir outside_;
    std::string folder_, ext_;
};

TEST_F(SharedFolderFiles, ScandiskFilesGoFromTheDriveRootOnly) {
    Prepare("C:", ".chk");
    if (IsSkipped()) return;
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::ScandiskFiles, eraseRun);

    ExpectOnlyTheKeptRemain();
    EXPECT_EQ(eraseRun.filesize, 5);  // "plain" went; nothing else counts
}

TEST_F(SharedFolderFiles, CachedPasswordFilesGoFromTheWindowsFolder) {
    Prepare(fs::WindowsDirectory(), ".pwl");
    if (IsSkipped()) return;
    bw::EraseRun eraseRun;

    bw::EraseItem(bw::items::CachedPasswords, eraseRun);

    ExpectOnlyTheKeptRemain();
}

// ---- through the erase window ----

TEST(WindowsItems, TempItemThroughTheEraseWindowCountsTheFolderSize) {
    ProgramFolder folder;
    TempDir temp;
    MakeDirs(temp / "cache");
    WriteTextFile(temp / "cache\\big.bin", std::string(1572864 - 100, 'x'));
    WriteTextFile(temp / "small.tmp", std::string(100, 'y'));
    EnvironmentOverride env;
    env.Set("TMP", temp.path());
    env.Set("TEMP", temp.path());
    const double size = static_cast<double>(fs::FolderSize(temp.path()).value_or(0));
    ASSERT_EQ(size, 1572864.0);

    bw::frmMainCode& main = bw::test::LoadMainWindowWithNothingChecked();
    main.Check13.SetValue(1);
    bw::frmcleannow& erase = bw::ui::Get<bw::frmcleannow>();
    erase.Load();
    std::vector<MessageBoxWatcher::Box> boxes;
    {
        MessageBoxWatcher watcher;
        SendMessageA(erase.Command1.hwnd(), BM_CLICK, 0, 0);
        boxes = watcher.boxes();
    }
    std::vector<std::string> lines;
    for (int i = 0; i < erase.List1.ListCount(); ++i) lines.push_back(erase.List1.List(i));
    const double filesize = erase.LastRun().filesize;
    bw::ui::Release<bw::frmcleannow>();
    bw::ui::Release<bw::frmMainCode>();

    EXPECT_EQ(lines, (std::vector<std::string>{"Please waiting,Begin Erasing",
                                               "Please Waiting ,Erasing Windows Temp.......",
                                               "Erasing Windows Temp.......OK",
                                               "Please Waiting ,Erasing More Applications......",
                                               "Erasing More Applications......OK", "Task complete Successfully!"}));
    EXPECT_EQ(filesize, size);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 0 Released HD Space:1.5MB");
    EXPECT_EQ(bw::Inifun::ReadIni(folder.settings(), "WINDOWS", "filesize"), "1.5");
    EXPECT_EQ(SortedNames(temp.path()), std::vector<std::string>{});
}

}  // namespace
