// The disk cleaner window driven through its controls: opening and its settings, the
// breadth-first search and its summary, Stop, a second search, deleting found files
// permanently and into the recycle bin, the warning, Reset All.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "ui/Forms.h"
#include "diskclean/ExtentionHandller.h"
#include "diskclean/frmExtentions.h"
#include "diskclean/frmLocate.h"
#include "platform/AppSettings.h"
#include "platform/FileOperations.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "tests/support/ProgramFolder.h"

using bw::frmLocate;
using bw::platform::GetSetting;
using bw::platform::SaveSetting;
using namespace bw::test;

namespace {

const char kDefaults[] = "*.tmp;*.gid;*.swp;*.chk";

std::string UniqueStem() {
    static int n = 0;
    return "bwsearch" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount()) + "_" +
           std::to_string(++n);
}

class SearchWindow : public ::testing::Test {
protected:
    void SetUp() override {
        bw::platform::OverrideAppSettingsRoot(reg_.subkey());
        bw::ExtentionHandller::WriteDefaultPatterns();
    }
    void TearDown() override {
        bw::ui::Release<bw::frmExtentions>();
        bw::ui::Release<frmLocate>();
        bw::platform::OverrideAppSettingsRoot("");
        for (const std::string& name : trashed_) {
            DeleteFileA((bw::platform::WineTrashFolder() + "\\files\\" + name).c_str());
            DeleteFileA((bw::platform::WineTrashFolder() + "\\info\\" + name + ".trashinfo").c_str());
        }
    }

    frmLocate& Open() {
        frmLocate& form = bw::ui::Get<frmLocate>();
        form.Load();
        return form;
    }
    static std::string Setting(const char* section, const char* key) {
        return GetSetting("DriveScrub", section, key, "<missing>");
    }
    static void Click(const bw::ui::Control& c) { SendMessageA(c.hwnd(), BM_CLICK, 0, 0); }

    // Chooses the folder and patterns the way a user does, then presses Find Files.
    void Search(frmLocate& form, const std::string& folder, const std::string& patterns, bool subFolders) {
        form.Check1[0].SetValue(subFolders ? 1 : 0);
        form.Text1.SetText(patterns);
        ASSERT_TRUE(form.Dir1.SetPath(folder));
        Click(form.cmdAction[0]);
    }
    static std::vector<std::string> Paths(const frmLocate& form) {
        std::vector<std::string> paths;
        for (int i = 0; i < form.List1.ListCount(); ++i)
            paths.push_back(bw::diskclean::PathOfResultLine(form.List1.List(i)));
        return paths;
    }
    static int SelectedCount(const frmLocate& form) { return static_cast<int>(form.List1.SelectedIndexes().size()); }

    ProgramFolder folder_;
    TempRegKey reg_;
    std::vector<std::string> trashed_;
};

}  // namespace

TEST_F(SearchWindow, FirstOpeningStoresItsStartSettings) {
    frmLocate& form = Open();
    EXPECT_EQ(form.Caption(), "Search & Erase");
    EXPECT_EQ(Setting("StartUp", "AppPath"), folder_.path());
    EXPECT_EQ(Setting("StartUp", "Recycele"), "1");
    EXPECT_EQ(Setting("StartUp", "SubFolders"), "1");
    EXPECT_EQ(Setting("General", "TipNumber"), "1");
    EXPECT_EQ(Setting("General", "Prompt"), "1");
    EXPECT_EQ(Setting("General", "MaxLogSize"), "<missing>");
    EXPECT_EQ(form.chkDelType.Value(), 1);
    EXPECT_EQ(form.Check1[0].Value(), 1);
    EXPECT_EQ(form.Dir1.Path(), folder_.path());
    EXPECT_EQ(form.Drive1.Drive(), folder_.path().substr(0, 2));
    EXPECT_EQ(form.Text1.Text(), kDefaults);
    EXPECT_EQ(form.cmdAction[0].Caption(), "&Find Files");
    EXPECT_EQ(form.cmdAction[1].Caption(), "E&xit");
    EXPECT_EQ(form.List1.ListCount(), 0) << "opening lists nothing";
    EXPECT_EQ(form.Status.Caption(), "");
    EXPECT_EQ(form.List1.HorizontalExtent(), 700);
    EXPECT_TRUE(form.Frame1.Visible());
    // Real controls and a real menu bar with the captions a user reads.
    EXPECT_EQ(ClassOf(form.Dir1.hwnd()), "ListBox");
    EXPECT_EQ(ClassOf(form.Drive1.hwnd()), "ComboBox");
    EXPECT_EQ(WindowText(form.chkDelType.hwnd()), "Delete to RecycleBin");
    EXPECT_EQ(WindowText(form.Check1[0].hwnd()), "Include Sub Directories");
    HMENU bar = GetMenu(form.hwnd());
    ASSERT_NE(bar, nullptr);
    char text[64];
    GetMenuStringA(bar, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Options");
    GetMenuStringA(bar, form.menuResetAll.id(), text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Reset All");
}

TEST_F(SearchWindow, LaterOpeningRestoresTheStoredChoices) {
    TempDir start;
    SaveSetting("DriveScrub", "StartUp", "AppPath", start.path());
    SaveSetting("DriveScrub", "StartUp", "Recycele", "0");
    SaveSetting("DriveScrub", "StartUp", "SubFolders", "0");
    frmLocate& form = Open();
    EXPECT_EQ(form.Dir1.Path(), start.path());
    EXPECT_EQ(form.chkDelType.Value(), 0);
    EXPECT_EQ(form.Check1[0].Value(), 0);
    EXPECT_EQ(Setting("General", "Prompt"), "<missing>") << "only the first use writes the warning state";
    EXPECT_EQ(Setting("StartUp", "Recycele"), "0");
    bw::ui::Release<frmLocate>();

    // A stored folder that has gone opens the program folder instead.
    SaveSetting("DriveScrub", "StartUp", "AppPath", start / "gone");
    frmLocate& again = Open();
    EXPECT_EQ(again.Dir1.Path(), folder_.path());
    EXPECT_EQ(Setting("StartUp", "AppPath"), folder_.path());
}

TEST_F(SearchWindow, SearchListsMatchesBreadthFirstWithSizeDateAndSummary) {
    TempDir tree;
    MakeDirs(tree / "a\\deep");
    MakeDirs(tree / "b");
    WriteTextFile(tree / "root.tmp", std::string(1000, 'x'));
    WriteTextFile(tree / "a\\deep\\d.chk", std::string(500, 'x'));
    WriteTextFile(tree / "a\\a.gid", std::string(10000, 'x'));
    WriteTextFile(tree / "b\\b.TMP", std::string(1000, 'x'));
    WriteTextFile(tree / "b\\keep.txt", "keep");
    WriteTextFile(tree / "b\\.tmp", "too short");

    frmLocate& form = Open();
    Search(form, tree.path(), kDefaults, true);
    std::vector<std::string> paths = Paths(form);
    ASSERT_EQ(paths.size(), 4u);
    EXPECT_EQ(paths[0], tree / "root.tmp");
    // a and b (one level) before a\deep (the next level).
    std::vector<std::string> level1{paths[1], paths[2]};
    std::sort(level1.begin(), level1.end());
    EXPECT_EQ(level1, (std::vector<std::string>{tree / "a\\a.gid", tree / "b\\b.TMP"}));
    EXPECT_EQ(paths[3], tree / "a\\deep\\d.chk");

    {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((tree / "root.tmp").c_str(), &data);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        FindClose(h);
        EXPECT_EQ(form.List1.List(0), tree / "root.tmp" + "   Size:1000   LastModyfied:" +
                                          bw::platform::ListedTimeText(data.ftLastWriteTime));
    }
    EXPECT_EQ(form.Status.Caption(),
              "4  Files Found      .tmp - 2    .gid - 1    .swp - 0    .chk - 1\r\nTotal size: 12.5kb");
    EXPECT_EQ(SelectedCount(form), 4) << "every line is selected at the end";
    EXPECT_EQ(form.cmdAction[1].Caption(), "E&xit");
    EXPECT_EQ(form.LastTotalSize(), 12500u);
    EXPECT_EQ(Setting("StartUp", "AppPath"), tree.path());
    EXPECT_TRUE(PathExists(tree / "b\\keep.txt"));

    // Without "Include Sub Directories" only the chosen folder is examined.
    form.Check1[0].SetValue(0);
    EXPECT_EQ(Setting("StartUp", "SubFolders"), "0");
    Click(form.cmdAction[0]);
    EXPECT_EQ(Paths(form), (std::vector<std::string>{tree / "root.tmp"}));
    EXPECT_EQ(form.Status.Caption(),
              "1  Files Found      .tmp - 1    .gid - 0    .swp - 0    .chk - 0\r\nTotal size: 1kb");
}

TEST_F(SearchWindow, ClassesExactNamesAndExcludedPaths) {
    TempDir tree;
    MakeDirs(tree / "one\\two");
    MakeDirs(tree / "x\\Recycled");
    MakeDirs(tree / "y\\RECYCLED");
    WriteTextFile(tree / "~lock.doc", "12");
    WriteTextFile(tree / "MyCacheFile", "123");
    WriteTextFile(tree / "plain.txt", "1");
    WriteTextFile(tree / "one\\thumbs.db", "1234");
    WriteTextFile(tree / "one\\two\\thumbs.db", "1234");
    WriteTextFile(tree / "one\\win386.swp", "1");
    WriteTextFile(tree / "one\\page.swp", "12345");
    WriteTextFile(tree / "x\\Recycled\\gone.swp", "1");
    WriteTextFile(tree / "y\\RECYCLED\\kept.swp", "1");
    WriteTextFile(tree / "one\\~cache~", "1");  // matched by two entries: counted for the first

    frmLocate& form = Open();
    Search(form, tree.path(), "~*;*cache*;thumbs.db;*.swp", true);
    std::vector<std::string> paths = Paths(form);
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> expected{tree / "MyCacheFile", tree / "y\\RECYCLED\\kept.swp", tree / "one\\page.swp",
                                      tree / "one\\thumbs.db", tree / "one\\~cache~", tree / "~lock.doc"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);
    // The exact name is listed once, for the first folder in walking order, with no size.
    int exactLines = 0;
    for (int i = 0; i < form.List1.ListCount(); ++i)
        if (form.List1.List(i) == tree / "one\\thumbs.db") ++exactLines;
    EXPECT_EQ(exactLines, 1);
    EXPECT_EQ(form.Status.Caption(), "6  Files Found      ~ - 2    cache - 1    thumbs.db - 1    .swp - 2\r\n"
                                     "Total size: 0.012kb");
}

TEST_F(SearchWindow, LinksToFoldersAreNeverEnteredAndLinkedFilesAreNeverDeleted) {
    TempDir tree, outside;
    WriteTextFile(outside / "inner.tmp", "outside");
    WriteTextFile(outside / "precious.tmp", "mine");
    ASSERT_TRUE(MakeLink(outside.path(), tree / "linked"));
    ASSERT_TRUE(MakeLink(outside / "precious.tmp", tree / "alias.tmp"));
    WriteTextFile(tree / "real.tmp", "junk");

    frmLocate& form = Open();
    SaveSetting("DriveScrub", "General", "Prompt", "0");
    form.chkDelType.SetValue(0);
    Search(form, tree.path(), "*.tmp", true);
    std::vector<std::string> paths = Paths(form);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{tree / "alias.tmp", tree / "real.tmp"}));

    // Permanent deletion: the real file goes, the link's target stays.
    Click(form.cmdDelete);
    EXPECT_FALSE(PathExists(tree / "real.tmp"));
    EXPECT_EQ(ReadTextFile(outside / "precious.tmp"), "mine");
    EXPECT_EQ(ReadTextFile(outside / "inner.tmp"), "outside");
    EXPECT_EQ(Paths(form), (std::vector<std::string>{tree / "alias.tmp"}));

    // Recycle bin: refused before the shell is asked.
    form.chkDelType.SetValue(1);
    form.List1.SelectAll(true);
    Click(form.cmdDelete);
    EXPECT_EQ(ReadTextFile(outside / "precious.tmp"), "mine");
    EXPECT_EQ(Paths(form), (std::vector<std::string>{tree / "alias.tmp"}));
}

namespace {

bool WriteWide(const std::wstring& path, const std::string& content) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    return CloseHandle(h) && written == content.size();
}

bool ExistsWide(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The width in pixels of the list's widest line, as its font draws it.
int WidestLine(const bw::ui::ListBox& list) {
    HDC dc = GetDC(list.hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list.hwnd(), WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int i = 0; i < list.ListCount(); ++i) {
        SIZE size{};
        const std::string line = list.List(i);
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(list.hwnd(), dc);
    return widest;
}

// Files in the run's trash whose names hold `stem`, removed with their records.
int TakeFromTrash(const std::wstring& stem) {
    const std::wstring trash = bw::platform::paths::Widen(bw::platform::WineTrashFolder());
    int taken = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((trash + L"\\files\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = data.cFileName;
        if (name.find(stem) == std::wstring::npos) continue;
        taken += DeleteFileW((trash + L"\\files\\" + name).c_str()) ? 1 : 0;
        DeleteFileW((trash + L"\\info\\" + name + L".trashinfo").c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return taken;
}

}  // namespace

// Start folder base\dc\Temp holds what tricked earlier searches out of it: a folder named with
// fullwidth dots and a fullwidth backslash (read as "..\.." through the code page), links to a
// file outside, to its case twin base\dc\TEMP and to a folder outside; and real junk with names
// the code page cannot hold or deeper than MAX_PATH, which must go.
TEST_F(SearchWindow, DeletesOnlyRealFilesInsideTheStartFolderByTheirTrueNames) {
    frmLocate& form = Open();
    SaveSetting("DriveScrub", "General", "Prompt", "0");
    for (const bool recycle : {false, true}) {
        SCOPED_TRACE(recycle ? "to the recycle bin" : "permanently");
        TempDir base;
        const std::string root = base / "dc\\Temp";
        const std::wstring wroot = bw::platform::paths::LongPath(root) + L"\\";
        const std::wstring stem = bw::platform::paths::Widen(UniqueStem());
        const std::string deepDir = std::string(60, 'd') + "/" + std::string(60, 'e') + "/" + std::string(60, 'f') +
                                    "/" + std::string(60, 'g');
        ASSERT_TRUE(MakeDirs(root));
        ASSERT_TRUE(MakeDirs(base / "precious"));
        ASSERT_TRUE(RunUnix("/bin/mkdir", {UnixPath(base / "dc") + "/TEMP"}));
        WriteTextFile(base / "precious\\keep.tmp", "keep");
        WriteTextFile(base / "precious\\linked.tmp", "linked");
        WriteTextFile(base / "dc\\TEMP\\case.tmp", "twin");
        ASSERT_TRUE(MakeLink(base / "precious\\linked.tmp", root + "\\alias.tmp"));
        ASSERT_TRUE(MakeLink(base / "dc\\TEMP\\case.tmp", root + "\\case.tmp"));
        ASSERT_TRUE(MakeLink(base / "precious", root + "\\linkdir"));
        const std::wstring dots = wroot + L"\xFF0E\xFF0E\xFF3C\xFF0E\xFF0E";
        ASSERT_TRUE(CreateDirectoryW(dots.c_str(), nullptr));
        const std::vector<std::wstring> junk{dots + L"\\inner" + stem + L".tmp",
                                             wroot + L"\x041F\x0440\x0438\x0432\x0435\x0442" + stem + L".tmp",
                                             wroot + L"\x4E2D\x6587" + stem + L".tmp",
                                             wroot + L"\xD83D\xDE00" + stem + L".tmp"};
        for (const std::wstring& path : junk) ASSERT_TRUE(WriteWide(path, "junk"));
        ASSERT_TRUE(RunUnix("/bin/mkdir", {"-p", UnixPath(root) + "/" + deepDir}));
        std::wstring deep = wroot + bw::platform::paths::Widen(deepDir) + L"/deep" + stem + L".tmp";
        std::replace(deep.begin(), deep.end(), L'/', L'\\');
        ASSERT_TRUE(WriteWide(deep, "deep"));
        ASSERT_GT(bw::platform::paths::ShortForm(deep).size(), static_cast<size_t>(MAX_PATH));

        form.chkDelType.SetValue(recycle ? 1 : 0);
        Search(form, root, "*.tmp", true);
        std::vector<std::string> paths = Paths(form);
        EXPECT_EQ(paths.size(), 7u) << "two links, four junk files, the deep file";
        for (const std::string& path : paths) EXPECT_EQ(path.rfind(root + "\\", 0), 0u) << path;
        EXPECT_EQ(form.List1.HorizontalExtent(), WidestLine(form.List1) + 8) << "the deep file's line can be read whole";
        Click(form.cmdDelete);

        EXPECT_EQ(ReadTextFile(base / "precious\\keep.tmp"), "keep");
        EXPECT_EQ(ReadTextFile(base / "precious\\linked.tmp"), "linked");
        EXPECT_EQ(ReadTextFile(base / "dc\\TEMP\\case.tmp"), "twin");
        EXPECT_TRUE(PathExists(root + "\\alias.tmp"));
        EXPECT_TRUE(PathExists(root + "\\case.tmp"));
        for (const std::wstring& path : junk) EXPECT_FALSE(ExistsWide(path)) << bw::platform::paths::Narrow(path);
        // The recycle bin takes the deep file too: it moves by handle, not by a path for the shell.
        EXPECT_FALSE(ExistsWide(deep));
        EXPECT_EQ(TakeFromTrash(stem), recycle ? 5 : 0);
    }
}

TEST_F(SearchWindow, EmptyPatternTextSearchesNothingAndEmptyEntriesAreIgnored) {
    TempDir tree;
    WriteTextFile(tree / "a.tmp", "1");
    WriteTextFile(tree / "b.txt", "1");
    frmLocate& form = Open();
    Search(form, tree.path(), "", true);
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_EQ(form.Status.Caption(), "");
    EXPECT_EQ(form.cmdAction[1].Caption(), "E&xit");
    Search(form, tree.path(), ";*;**", true);
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_EQ(form.Status.Caption(), "");

    Search(form, tree.path(), "*.tmp;;*", true);
    EXPECT_EQ(Paths(form), (std::vector<std::string>{tree / "a.tmp"}));
    EXPECT_EQ(form.Status.Caption(), "1  Files Found      .tmp - 1\r\nTotal size: 0.001kb");
}

TEST_F(SearchWindow, StopEndsTheSearchWithAPartialUnselectedListAndNoSummary) {
    TempDir tree;
    // A wide first level, so the search is still running when Stop arrives.
    WriteTextFile(tree / "r.tmp", "1");
    for (int i = 0; i < 40; ++i) {
        const std::string dir = tree / ("d" + std::to_string(i));
        MakeDirs(dir + "\\sub");
        WriteTextFile(dir + "\\x.tmp", "1");
        WriteTextFile(dir + "\\sub\\y.tmp", "1");
    }
    frmLocate& form = Open();
    form.Text1.SetText("*.tmp");
    form.Check1[0].SetValue(1);
    ASSERT_TRUE(form.Dir1.SetPath(tree.path()));
    const int all = form.List1.ListCount();
    ASSERT_EQ(all, 81);

    // A user presses Stop as soon as the window shows the search under way.
    HWND status = form.Status.hwnd();
    HWND stop = form.cmdAction[1].hwnd();
    std::atomic<bool> done{false};
    std::thread user([&] {
        char text[512];
        while (!done) {
            DWORD_PTR got = 0;
            if (SendMessageTimeoutA(status, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                    1000, &got) &&
                std::string(text).find(tree.path()) == 0) {
                PostMessageA(stop, BM_CLICK, 0, 0);
                return;
            }
            Sleep(0);
        }
    });
    Click(form.cmdAction[0]);
    done = true;
    user.join();

    EXPECT_GT(form.List1.ListCount(), 0);
    EXPECT_LT(form.List1.ListCount(), all);
    EXPECT_EQ(SelectedCount(form), 0);
    EXPECT_EQ(form.Status.Caption().find("Files Found"), std::string::npos);
    EXPECT_NE(form.Status.Caption().find(tree.path()), std::string::npos) << form.Status.Caption();
    EXPECT_EQ(form.cmdAction[1].Caption(), "E&xit");
    EXPECT_TRUE(form.IsLoaded());

    // After a stopped search, Delete selected still refreshes the list completely.
    SaveSetting("DriveScrub", "General", "Prompt", "0");
    Click(form.cmdDelete);
    EXPECT_EQ(Paths(form), (std::vector<std::string>{tree / "r.tmp"})) << "nothing was selected, nothing deleted";
    EXPECT_EQ(form.Status.Caption(), "1  Files Found      .tmp - 1\r\nTotal size: 0.001kb");
}

TEST_F(SearchWindow, ASecondSearchReplacesTheRunningOne) {
    TempDir first, second;
    for (int i = 0; i < 10; ++i) {
        MakeDirs(first / ("f" + std::to_string(i)));
        WriteTextFile(first / ("f" + std::to_string(i) + "\\a.tmp"), "1");
    }
    WriteTextFile(second / "only.tmp", "12");
    frmLocate& form = Open();
    form.Text1.SetText("*.tmp");
    ASSERT_TRUE(form.Dir1.SetPath(first.path()));
    // While a search of `first` runs, the user presses Find Files again: the new search takes over.
    form.List1.Clear();
    PostMessageA(form.cmdAction[0].hwnd(), BM_CLICK, 0, 0);  // a Find Files click waiting in the queue
    form.StopRequested = false;
    form.FindFiles(first.path(), form.FolderQueue, "*.tmp");
    // The queued click ran a full search of the same folder inside the first one's pump; the
    // first then ended without adding anything or a second summary.
    EXPECT_EQ(form.List1.ListCount(), 10);
    EXPECT_NE(form.Status.Caption().find("10  Files Found"), std::string::npos) << form.Status.Caption();
    EXPECT_EQ(SelectedCount(form), 10);

    ASSERT_TRUE(form.Dir1.SetPath(second.path()));
    EXPECT_EQ(Paths(form), (std::vector<std::string>{second / "only.tmp"}));
}

TEST_F(SearchWindow, TotalsPastTwoGigabytesAreCountedInFull) {
    TempDir tree;
    WriteTextFile(tree / "big1.tmp", "");
    WriteTextFile(tree / "big2.tmp", "");
    // Sparse files: large sizes without using the disk.
    if (!RunUnix("/usr/bin/truncate", {"-s", "1500000000", UnixPath(tree / "big1.tmp")}) ||
        !RunUnix("/usr/bin/truncate", {"-s", "3000000000", UnixPath(tree / "big2.tmp")}))
        GTEST_SKIP() << "truncate is not available to make sparse files";
    frmLocate& form = Open();
    Search(form, tree.path(), "*.tmp", false);
    EXPECT_EQ(form.LastTotalSize(), 4500000000ull);
    EXPECT_EQ(form.Status.Caption(), "2  Files Found      .tmp - 2\r\nTotal size: 4500000kb");
    std::vector<std::string> lines{form.List1.List(0), form.List1.List(1)};
    std::sort(lines.begin(), lines.end());
    EXPECT_NE(lines[1].find("   Size:3000000000   "), std::string::npos) << lines[1];
}

TEST_F(SearchWindow, WarningNoKeepsEverythingAndYesIsAskedOnlyOnce) {
    TempDir tree;
    WriteTextFile(tree / "a.tmp", "1");
    WriteTextFile(tree / "b.tmp", "1");
    frmLocate& form = Open();
    form.chkDelType.SetValue(0);
    Search(form, tree.path(), "*.tmp", true);
    ASSERT_EQ(form.List1.ListCount(), 2);
    {
        MessageBoxWatcher no(IDNO);
        Click(form.cmdDelete);
        ASSERT_EQ(no.boxes().size(), 1u);
        EXPECT_EQ(no.boxes()[0].title, "Note");
        EXPECT_EQ(no.boxes()[0].text, frmLocate::kDeleteWarning);
    }
    EXPECT_TRUE(PathExists(tree / "a.tmp"));
    EXPECT_TRUE(PathExists(tree / "b.tmp"));
    EXPECT_EQ(form.List1.ListCount(), 2);
    EXPECT_EQ(SelectedCount(form), 2);
    EXPECT_EQ(form.Check1[0].Value(), 1);
    EXPECT_EQ(Setting("General", "Prompt"), "1");

    form.List1.SetSelected(1, false);
    {
        MessageBoxWatcher yes(IDYES);
        Click(form.cmdDelete);
        EXPECT_EQ(yes.boxes().size(), 1u);
    }
    EXPECT_EQ(Setting("General", "Prompt"), "0");
    EXPECT_EQ(form.List1.ListCount(), 1);
    EXPECT_EQ(PathExists(tree / "a.tmp") + PathExists(tree / "b.tmp"), 1) << "only the selected line's file went";

    {
        MessageBoxWatcher watcher(IDNO);
        Click(form.cmdDelete);
        EXPECT_TRUE(watcher.boxes().empty()) << "the warning does not come back";
    }
    EXPECT_FALSE(PathExists(tree / "a.tmp"));
    EXPECT_FALSE(PathExists(tree / "b.tmp"));
}

TEST_F(SearchWindow, DeleteToRecycleBinLeavesProtectedFilesAndRefreshesTheFolder) {
    TempDir tree;
    const std::string stem = UniqueStem();
    const std::string gone = stem + ".tmp";
    MakeDirs(tree / "sub");
    WriteTextFile(tree / gone, "junk");
    WriteTextFile(tree / "ro.tmp", "ro");
    SetFileAttributesA((tree / "ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(tree / "open.tmp", "open");
    WriteTextFile(tree / "sub\\deep.tmp", "deep");
    WriteTextFile(tree / "keep.txt", "keep");
    trashed_.push_back(gone);

    frmLocate& form = Open();
    SaveSetting("DriveScrub", "General", "Prompt", "0");
    Search(form, tree.path(), "*.tmp", true);
    ASSERT_EQ(form.List1.ListCount(), 4);
    // sub\deep.tmp is not selected.
    for (int i = 0; i < form.List1.ListCount(); ++i)
        if (form.List1.List(i).find("deep.tmp") != std::string::npos) form.List1.SetSelected(i, false);

    HANDLE open = CreateFileA((tree / "open.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    ASSERT_EQ(form.chkDelType.Value(), 1);
    Click(form.cmdDelete);
    CloseHandle(open);

    EXPECT_FALSE(PathExists(tree / gone));
    EXPECT_EQ(ReadTextFile(bw::platform::WineTrashFolder() + "\\files\\" + gone), "junk") << "restorable from the trash";
    std::string info = ReadTextFile(bw::platform::WineTrashFolder() + "\\info\\" + gone + ".trashinfo");
    EXPECT_NE(info.find(gone), std::string::npos) << info;
    EXPECT_EQ(ReadTextFile(tree / "ro.tmp"), "ro");
    EXPECT_EQ(ReadTextFile(tree / "open.tmp"), "open");
    EXPECT_EQ(ReadTextFile(tree / "sub\\deep.tmp"), "deep");
    EXPECT_EQ(ReadTextFile(tree / "keep.txt"), "keep");

    // The refreshed list: the chosen folder alone, without subfolders from now on.
    std::vector<std::string> paths = Paths(form);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{tree / "open.tmp", tree / "ro.tmp"}));
    EXPECT_EQ(form.Check1[0].Value(), 0);
    EXPECT_EQ(Setting("StartUp", "SubFolders"), "0");
    EXPECT_NE(form.Status.Caption().find("2  Files Found"), std::string::npos);
    EXPECT_EQ(form.cmdAction[1].Caption(), "E&xit");
}

TEST_F(SearchWindow, PermanentDeleteTakesPathsWholeAndLeavesProtectedFiles) {
    TempDir tree;
    WriteTextFile(tree / "a  b.tmp", "spaced");
    WriteTextFile(tree / "a", "the path cut at its double space");
    WriteTextFile(tree / "ro.tmp", "ro");
    SetFileAttributesA((tree / "ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(tree / "open.tmp", "open");
    WriteTextFile(tree / "thumbs.db", "exact");

    frmLocate& form = Open();
    SaveSetting("DriveScrub", "General", "Prompt", "0");
    form.chkDelType.SetValue(0);
    EXPECT_EQ(Setting("StartUp", "Recycele"), "0");
    Search(form, tree.path(), "*.tmp;thumbs.db", false);
    ASSERT_EQ(form.List1.ListCount(), 4);
    HANDLE open = CreateFileA((tree / "open.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    Click(form.cmdDelete);
    CloseHandle(open);

    EXPECT_FALSE(PathExists(tree / "a  b.tmp"));
    EXPECT_FALSE(PathExists(tree / "thumbs.db")) << "an exact-name line names its file";
    EXPECT_EQ(ReadTextFile(tree / "a"), "the path cut at its double space");
    EXPECT_EQ(ReadTextFile(tree / "ro.tmp"), "ro");
    EXPECT_EQ(ReadTextFile(tree / "open.tmp"), "open");
    std::vector<std::string> paths = Paths(form);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{tree / "open.tmp", tree / "ro.tmp"}));
}

TEST_F(SearchWindow, DeleteWithNothingSelectedOnlyRefreshes) {
    TempDir tree;
    MakeDirs(tree / "sub");
    WriteTextFile(tree / "a.tmp", "1");
    WriteTextFile(tree / "sub\\b.tmp", "1");
    frmLocate& form = Open();
    SaveSetting("DriveScrub", "General", "Prompt", "0");
    Search(form, tree.path(), "*.tmp", true);
    ASSERT_EQ(form.List1.ListCount(), 2);
    Click(form.cmdUnSelectAll);
    EXPECT_EQ(SelectedCount(form), 0);
    Click(form.cmdDelete);
    EXPECT_TRUE(PathExists(tree / "a.tmp"));
    EXPECT_TRUE(PathExists(tree / "sub\\b.tmp"));
    EXPECT_EQ(Paths(form), (std::vector<std::string>{tree / "a.tmp"}));
    EXPECT_EQ(form.Check1[0].Value(), 0);
    EXPECT_EQ(Setting("StartUp", "SubFolders"), "0");
    Click(form.cmdSelectAll);
    EXPECT_EQ(SelectedCount(form), 1);
}

TEST_F(SearchWindow, ResetAllRestoresDefaultsAndAsksOnlyAfterTwoUses) {
    TempDir elsewhere;
    frmLocate& form = Open();
    bw::test::WriteTextFile(folder_.file("Ext.txt"), "*.bak\r\n");
    form.chkDelType.SetValue(0);
    form.Check1[0].SetValue(0);
    SaveSetting("DriveScrub", "General", "Prompt", "0");
    SaveSetting("DriveScrub", "StartUp", "AppPath", elsewhere.path());
    form.Text1.SetText("*.mine");

    SaveSetting("DriveScrub", "General", "Uses", "5");
    {
        MessageBoxWatcher no(IDNO);
        SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(form.menuResetAll.id(), 0), 0);
        ASSERT_EQ(no.boxes().size(), 1u);
        EXPECT_EQ(no.boxes()[0].title, "Are you sure?");
        EXPECT_EQ(no.boxes()[0].text, "Do you want to reset all of the parameters to default? ");
    }
    EXPECT_EQ(Setting("General", "Prompt"), "0");
    EXPECT_EQ(form.chkDelType.Value(), 0);
    EXPECT_EQ(ReadTextFile(folder_.file("Ext.txt")), "*.bak\r\n");

    SaveSetting("DriveScrub", "General", "Uses", "2");
    {
        MessageBoxWatcher watcher(IDNO);
        SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(form.menuResetAll.id(), 0), 0);
        EXPECT_TRUE(watcher.boxes().empty());
    }
    EXPECT_EQ(Setting("StartUp", "AppPath"), folder_.path() + "\\");
    EXPECT_EQ(Setting("StartUp", "Log"), "1");
    EXPECT_EQ(Setting("StartUp", "Recycele"), "1");
    EXPECT_EQ(Setting("StartUp", "SubFolders"), "1");
    EXPECT_EQ(Setting("General", "Tips"), "1");
    EXPECT_EQ(Setting("General", "TipNumber"), "1");
    EXPECT_EQ(Setting("General", "Prompt"), "1");
    EXPECT_EQ(Setting("General", "DeleteDirs"), "c:\\windows\\temp\\;C:\\WINDOWS\\Temporary Internet Files\\;");
    EXPECT_EQ(Setting("General", "MaxLogSize"), "80");
    EXPECT_EQ(Setting("General", "Uses"), "2");
    EXPECT_EQ(form.chkDelType.Value(), 1);
    EXPECT_EQ(form.Check1[0].Value(), 1);
    EXPECT_EQ(ReadTextFile(folder_.file("Ext.txt")), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
    EXPECT_EQ(form.Text1.Text(), "*.mine") << "the search text stays as it was";
}

TEST_F(SearchWindow, EnterInTheSearchTextStartsASearchAndExitUnloads) {
    TempDir tree;
    WriteTextFile(tree / "a.tmp", "1");
    frmLocate& form = Open();
    form.Text1.SetText("");
    ASSERT_TRUE(form.Dir1.SetPath(tree.path()));
    form.Text1.SetText("*.tmp");
    SendMessageA(form.Text1.hwnd(), WM_CHAR, 13, 0);
    EXPECT_EQ(Paths(form), (std::vector<std::string>{tree / "a.tmp"}));
    EXPECT_EQ(form.Text1.Text(), "*.tmp");

    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(form.mnuFileSub.id(), 0), 0);
    EXPECT_FALSE(form.IsLoaded());
    Open();
    Click(bw::ui::Get<frmLocate>().cmdAction[1]);
    EXPECT_FALSE(bw::ui::IsLoaded<frmLocate>());
}

TEST_F(SearchWindow, ADriveThatIsNotReadyLeavesTheListsWhereTheyAre) {
    // A drive letter whose volume is missing, like an empty card reader.
    const std::string dosdevices = UnixPath("C:\\") + "/../dosdevices";
    DWORD mask = GetLogicalDrives();
    char letter = 0;
    for (char c = 'R'; c <= 'Y' && !letter; ++c)
        if (!(mask & (1u << (c - 'A')))) letter = c;
    ASSERT_NE(letter, 0);
    const std::string link = dosdevices + "/" + static_cast<char>(letter - 'A' + 'a') + ":";
    ASSERT_TRUE(RunUnix("/bin/ln", {"-s", "/nonexistent-brightwipe-volume", link}));
    struct Cleanup {
        std::string link;
        ~Cleanup() { RunUnix("/bin/rm", {"-f", link}); }
    } cleanup{link};

    frmLocate& form = Open();
    const std::string before = form.Dir1.Path();
    form.Drive1.Fill();
    if (!form.Drive1.SetDrive(std::string(1, letter) + ":", false))
        GTEST_SKIP() << "Wine does not list a drive letter whose target is missing";
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(form.Drive1.hwnd()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form.Drive1.hwnd()));
    EXPECT_EQ(form.Dir1.Path(), before);
    EXPECT_EQ(form.Drive1.Drive(), before.substr(0, 2));
    EXPECT_EQ(Setting("StartUp", "AppPath"), before);
}
