// The Internet Explorer erase items against Wine's registry, file system and URL cache: what each
// removes, and what must survive (kept addresses and cookies, links, read-only and in-use files,
// everything outside the target folders, and no window of anyone else's).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ui/Forms.h"
#include "engine/EraseItems.h"
#include "engine/EraseRunner.h"
#include "engine/frmcleannow.h"
#include "platform/URLHistory.h"
#include "platform/UrlCache.h"
#include "app/frmMainCode.h"
#include "settings/frmcookie.h"
#include "settings/frmurl.h"
#include "tests/support/Overrides.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "tests/support/MainWindowState.h"

using namespace bw::test;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

std::string ShellFolder(const std::string& name) {
    std::string value;
    GetString(HKEY_CURRENT_USER, kShellFolders, name, &value);
    return value;
}

// The user's typed addresses, saved before a test and put back after it.
class TypedUrlsBackup {
public:
    TypedUrlsBackup() {
        existed_ = KeyExists(HKEY_CURRENT_USER, kTypedUrls);
        HKEY key;
        if (existed_ && RegOpenKeyExA(HKEY_CURRENT_USER, kTypedUrls, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            for (DWORD i = 0;; ++i) {
                char name[256];
                DWORD len = sizeof(name);
                if (RegEnumValueA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
                std::string value;
                if (GetString(HKEY_CURRENT_USER, kTypedUrls, name, &value)) saved_.push_back({name, value});
            }
            RegCloseKey(key);
        }
        DeleteTree(HKEY_CURRENT_USER, kTypedUrls);
    }
    ~TypedUrlsBackup() {
        DeleteTree(HKEY_CURRENT_USER, kTypedUrls);
        if (!existed_) return;
        HKEY key;
        RegCreateKeyA(HKEY_CURRENT_USER, kTypedUrls, &key);
        RegCloseKey(key);
        for (auto& [name, value] : saved_) SetString(HKEY_CURRENT_USER, kTypedUrls, name, value);
    }

private:
    bool existed_ = false;
    std::vector<std::pair<std::string, std::string>> saved_;
};

void SetTypedUrls(const std::vector<std::string>& urls) {
    for (size_t i = 0; i < urls.size(); ++i)
        SetString(HKEY_CURRENT_USER, kTypedUrls, "url" + std::to_string(i + 1), urls[i]);
}

std::string TypedUrl(const std::string& name) {
    std::string value;
    return GetString(HKEY_CURRENT_USER, kTypedUrls, name, &value) ? value : "<missing>";
}

// ---- item 1: location bar history --------------------------------------------------------------

class LocationBarHistory : public ::testing::Test {
protected:
    void TearDown() override { bw::ui::Release<bw::frmurl>(); }
    ProgramFolder folder_;
    TypedUrlsBackup backup_;
    bw::EraseRun run_;
};

TEST_F(LocationBarHistory, KeptAddressesComeBackInKeepListOrderAndOthersGo) {
    SetTypedUrls({"http://a.example/", "http://b.example/", "http://c.example/", "http://d.example/",
                  "http://e.example/"});
    WriteTextFile(folder_.file("keepurl.dat"), "http://d.example/\r\nhttp://a.example/\r\nhttp://b.example/\r\n");
    bw::EraseItem(bw::items::LocationBarHistory, run_);
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kTypedUrls), 3);
    EXPECT_EQ(TypedUrl("url1"), "http://d.example/");
    EXPECT_EQ(TypedUrl("url2"), "http://a.example/");
    EXPECT_EQ(TypedUrl("url3"), "http://b.example/");
    EXPECT_EQ(run_.regnum, 2);
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmurl>()) << "the keep-list window is loaded only for the item";
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")),
              "http://d.example/\r\nhttp://a.example/\r\nhttp://b.example/\r\n");
}

TEST_F(LocationBarHistory, EmptyKeepListLeavesTheKeyExistingAndEmpty) {
    SetTypedUrls({"http://a.example/", "http://b.example/", "http://c.example/"});
    bw::EraseItem(bw::items::LocationBarHistory, run_);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kTypedUrls));
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kTypedUrls), 0);
    EXPECT_EQ(run_.regnum, 3);
    EXPECT_FALSE(PathExists(folder_.file("keepurl.dat")));
}

TEST_F(LocationBarHistory, KeyWithSubkeysStillLosesEveryOldAddress) {
    SetTypedUrls({"http://a.example/", "http://b.example/", "http://c.example/", "http://d.example/"});
    SetString(HKEY_CURRENT_USER, std::string(kTypedUrls) + "\\Sub", "inner", "stays");
    WriteTextFile(folder_.file("keepurl.dat"), "http://kept.example/\r\n");
    bw::EraseItem(bw::items::LocationBarHistory, run_);
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kTypedUrls), 1);
    EXPECT_EQ(TypedUrl("url1"), "http://kept.example/");
    EXPECT_EQ(TypedUrl("url4"), "<missing>");
    std::string inner;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, std::string(kTypedUrls) + "\\Sub", "inner", &inner));
    EXPECT_EQ(run_.regnum, 4) << "four addresses went; the kept one was not among them";
}

TEST_F(LocationBarHistory, MoreKeptThanTypedCountsOnlyTheAddressThatWent) {
    SetTypedUrls({"http://a.example/"});
    WriteTextFile(folder_.file("keepurl.dat"), "x\r\ny\r\nz\r\n");
    bw::EraseItem(bw::items::LocationBarHistory, run_);
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kTypedUrls), 3);
    EXPECT_EQ(run_.regnum, 1);
}

// ---- item 2: history ---------------------------------------------------------------------------

TEST(InternetHistory, EmptiesTheVisitedContainer) {
    {
        bw::platform::CURLHistory history;
        history.AddURL("http://visited.example/", "Visited", 0);
        history.AddURL("http://other.example/", "", 0);
    }
    bw::EraseRun run;
    bw::EraseItem(bw::items::InternetHistory, run);
    int left = 0;
    bw::platform::urlcache::ForEachEntry("Visited:", [&](const bw::platform::urlcache::Entry&) {
        ++left;
        return true;
    });
    EXPECT_EQ(left, 0);
    EXPECT_EQ(run.filesize, 0) << "history entries are no bytes the item can measure";
}

// ---- items 3, 4, 5, 7: folders -----------------------------------------------------------------

// A target folder and an outside folder beside it, with the shell folder value pointed at the
// target for the test.
class FolderItem : public ::testing::Test {
protected:
    std::string target() const { return root_ / "target"; }
    std::string outside() const { return root_ / "outside"; }
    void SetUp() override {
        MakeDirs(target());
        MakeDirs(outside());
        WriteTextFile(outside() + "\\precious.txt", "keep me");
        MakeDirs(outside() + "\\sub");
        WriteTextFile(outside() + "\\sub\\deep.txt", "keep me too");
    }
    void ExpectOutsideUntouched() {
        EXPECT_EQ(ReadTextFile(outside() + "\\precious.txt"), "keep me");
        EXPECT_EQ(ReadTextFile(outside() + "\\sub\\deep.txt"), "keep me too");
    }
    TempDir root_;
    bw::EraseRun run_;
};

TEST_F(FolderItem, CacheIsEmptiedButLinkedReadOnlyAndInUseFilesStay) {
    const std::string t = target();
    MakeDirs(t + "\\Content.IE5\\ABCD1234");
    MakeDirs(t + "\\Content.IE5\\IJKL5678");
    MakeDirs(t + "\\Content.IE5\\zz99");
    WriteTextFile(t + "\\Content.IE5\\ABCD1234\\page[1].htm", std::string(1000, 'a'));
    WriteTextFile(t + "\\Content.IE5\\IJKL5678\\image[1].gif", std::string(2000, 'i'));
    WriteTextFile(t + "\\Content.IE5\\zz99\\x.js", std::string(500, 'z'));
    WriteTextFile(t + "\\Content.IE5\\index.dat", std::string(300, 'x'));
    WriteTextFile(t + "\\loose.tmp", std::string(100, 'l'));
    WriteTextFile(t + "\\desktop.ini", "[.ShellClassInfo]");
    SetFileAttributesA((t + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeDirs(t + "\\Held");
    WriteTextFile(t + "\\Held\\readonly.htm", "ro");
    SetFileAttributesA((t + "\\Held\\readonly.htm").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(t + "\\inuse.htm", "busy");
    HANDLE busy = CreateFileA((t + "\\inuse.htm").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(MakeLink(outside(), t + "\\Content.IE5\\linkdir"));
    ASSERT_TRUE(MakeLink(outside() + "\\precious.txt", t + "\\linkfile.htm"));
    // What went, desktop.ini included; the read-only, busy and linked files stay and do not count.
    uint64_t expected = 1000 + 2000 + 500 + 300 + 100 + 17;

    ValueOverride over(HKEY_CURRENT_USER, kShellFolders, "Cache", &t);
    bw::EraseItem(bw::items::InternetCache, run_);
    CloseHandle(busy);

    EXPECT_EQ(run_.filesize, static_cast<double>(expected));
    EXPECT_TRUE(IsDirectory(t));
    EXPECT_FALSE(PathExists(t + "\\Content.IE5\\ABCD1234"));
    EXPECT_FALSE(PathExists(t + "\\Content.IE5\\IJKL5678")) << "folders starting with i go too";
    EXPECT_FALSE(PathExists(t + "\\Content.IE5\\zz99"));
    EXPECT_FALSE(PathExists(t + "\\loose.tmp"));
    EXPECT_FALSE(PathExists(t + "\\desktop.ini")) << "desktop.ini goes even when read-only";
    EXPECT_TRUE(PathExists(t + "\\Held\\readonly.htm")) << "read-only files stay, and their folder";
    EXPECT_TRUE(PathExists(t + "\\inuse.htm")) << "a file in use stays";
    ExpectOutsideUntouched();
}

TEST_F(FolderItem, CacheWithoutLocationDoesNothing) {
    ValueOverride over(HKEY_CURRENT_USER, kShellFolders, "Cache", nullptr);
    WriteTextFile(target() + "\\file.htm", "x");
    bw::EraseItem(bw::items::InternetCache, run_);
    EXPECT_EQ(run_.filesize, 0);
    EXPECT_TRUE(PathExists(target() + "\\file.htm"));
    ExpectOutsideUntouched();
}

class CookiesItem : public FolderItem {
protected:
    void TearDown() override { bw::ui::Release<bw::frmcookie>(); }
    ProgramFolder folder_;
};

TEST_F(CookiesItem, KeptCookiesSurviveByExactPathAndOthersGo) {
    const std::string t = target();
    WriteTextFile(t + "\\user@kept[1].txt", std::string(10, 'k'));
    WriteTextFile(t + "\\user@case[1].txt", std::string(20, 'c'));
    WriteTextFile(t + "\\user@gone[1].txt", std::string(30, 'g'));
    WriteTextFile(t + "\\index.dat", std::string(40, 'i'));
    WriteTextFile(t + "\\readonly.txt", std::string(5, 'r'));
    SetFileAttributesA((t + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(MakeLink(outside() + "\\precious.txt", t + "\\linked.txt"));
    std::string caseVariant = t + "\\USER@case[1].txt";
    WriteTextFile(folder_.file("keepcook.dat"), t + "\\user@kept[1].txt\r\n" + caseVariant + "\r\n");

    ValueOverride over(HKEY_CURRENT_USER, kShellFolders, "Cookies", &t);
    bw::EraseItem(bw::items::Cookies, run_);

    EXPECT_EQ(run_.filesize, 20 + 30) << "what went counts, nothing else";
    EXPECT_TRUE(PathExists(t + "\\user@kept[1].txt"));
    EXPECT_FALSE(PathExists(t + "\\user@case[1].txt")) << "a keep entry differing in case does not keep it";
    EXPECT_FALSE(PathExists(t + "\\user@gone[1].txt"));
    EXPECT_TRUE(PathExists(t + "\\index.dat")) << "only .txt files are cookies";
    EXPECT_TRUE(PathExists(t + "\\readonly.txt"));
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmcookie>());
    ExpectOutsideUntouched();
}

TEST_F(FolderItem, FavoritesAreEmptiedButTheFolderAndLinkedFoldersStay) {
    const std::string t = target();
    WriteTextFile(t + "\\Top.url", "[InternetShortcut]\r\nURL=http://top.example/\r\n");
    MakeDirs(t + "\\Links\\Deeper");
    WriteTextFile(t + "\\Links\\One.url", "[InternetShortcut]\r\nURL=http://one.example/\r\n");
    WriteTextFile(t + "\\Links\\Deeper\\Two.url", "[InternetShortcut]\r\nURL=http://two.example/\r\n");
    ASSERT_TRUE(MakeLink(outside(), t + "\\Linked"));

    ValueOverride over(HKEY_CURRENT_USER, kShellFolders, "Favorites", &t);
    bw::EraseItem(bw::items::Favorites, run_);

    EXPECT_GT(run_.filesize, 0);
    EXPECT_TRUE(IsDirectory(t));
    EXPECT_FALSE(PathExists(t + "\\Top.url"));
    EXPECT_FALSE(PathExists(t + "\\Links"));
    ExpectOutsideUntouched();
}

TEST_F(FolderItem, DownloadedProgramFilesSkipsWithoutLocationAndEmptiesWithOne) {
    const std::string t = target();
    MakeDirs(t + "\\CONFLICT.1");
    WriteTextFile(t + "\\control.ocx", std::string(64, 'o'));
    WriteTextFile(t + "\\CONFLICT.1\\old.inf", std::string(36, 'f'));
    {
        ValueOverride none(HKEY_LOCAL_MACHINE, kInternetSettings, "ActiveXCache", nullptr);
        bw::EraseItem(bw::items::DownloadedProgramFiles, run_);
        EXPECT_EQ(run_.filesize, 0);
        EXPECT_TRUE(PathExists(t + "\\control.ocx"));
    }
    ValueOverride over(HKEY_LOCAL_MACHINE, kInternetSettings, "ActiveXCache", &t);
    bw::EraseItem(bw::items::DownloadedProgramFiles, run_);
    EXPECT_EQ(run_.filesize, 100);
    EXPECT_EQ(SortedNames(t), std::vector<std::string>{});
    EXPECT_TRUE(IsDirectory(t));
    ExpectOutsideUntouched();
}

TEST(ShellFolders, PrefixFoldersAreLeftAsTheyWere) {
    // The items above work on redirected folders; the prefix's own stay untouched.
    for (const char* name : {"Cache", "Cookies", "Favorites"}) EXPECT_NE(ShellFolder(name), "") << name;
}

// ---- item 6: autocomplete ----------------------------------------------------------------------

// Watches, from another thread, for an Internet Options window.
class PanelWatcher {
public:
    PanelWatcher() : thread_([this] { Run(); }) {}
    ~PanelWatcher() {
        stop_ = true;
        thread_.join();
    }
    bool seen() const { return seen_; }
    static bool PanelOpen() {
        bool open = false;
        EnumWindows(FindPanel, reinterpret_cast<LPARAM>(&open));
        return open;
    }

private:
    static BOOL CALLBACK FindPanel(HWND hwnd, LPARAM lp) {
        if (ClassOf(hwnd) == "#32770" && WindowText(hwnd) == "Internet Settings") *reinterpret_cast<bool*>(lp) = true;
        return TRUE;
    }
    void Run() {
        while (!stop_) {
            if (PanelOpen()) seen_ = true;
            Sleep(30);
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<bool> seen_{false};
    std::thread thread_;
};

// The form and password stores go without the Internet Options panel ever showing, and with
// nothing typed anywhere; IntelliForms' other keys stay.
TEST(AutocompleteMemory, ClearsTheStoresWithoutAnyWindow) {
    const std::string intelliForms = "Software\\Microsoft\\Internet Explorer\\IntelliForms";
    const std::string defaults = ".DEFAULT\\Software\\Microsoft\\Internet Explorer\\IntelliForms";
    const struct {
        HKEY root;
        std::string key;
        bool stays;
    } keys[] = {
        {HKEY_CURRENT_USER, intelliForms + "\\SPW", false},
        {HKEY_CURRENT_USER, intelliForms + "\\Storage1", false},
        {HKEY_CURRENT_USER, intelliForms + "\\Storage2", false},
        {HKEY_USERS, defaults, false},
        {HKEY_CURRENT_USER, intelliForms + "\\Other", true},
    };
    for (const auto& k : keys) ASSERT_TRUE(SetString(k.root, k.key, "entry", "secret")) << k.key;

    // A window of ours with a focused edit: the place where stray keys would land.
    HWND window = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    PumpMessages();

    bool panelSeen = false;
    {
        PanelWatcher watcher;
        bw::EraseRun run;
        bw::EraseItem(bw::items::AutocompleteMemory, run);
        Sleep(1500);  // long enough for a panel started by the item to show
        PumpMessages();
        panelSeen = watcher.seen();
    }
    for (const auto& k : keys) EXPECT_EQ(KeyExists(k.root, k.key), k.stays) << k.key;
    EXPECT_FALSE(panelSeen) << "the item opened the Internet Options panel";
    EXPECT_EQ(WindowText(window), "") << "a keystroke reached our window";
    DestroyWindow(window);
    DeleteTree(HKEY_CURRENT_USER, intelliForms);
}

// ---- through the erase window ------------------------------------------------------------------

class EraseWindow : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = &bw::test::LoadMainWindowWithNothingChecked();
        erase_ = &bw::ui::Get<bw::frmcleannow>();
        erase_->Load();
    }
    void TearDown() override {
        bw::ui::Release<bw::frmcleannow>();
        bw::ui::Release<bw::frmMainCode>();
        bw::ui::Release<bw::frmurl>();
    }
    std::vector<MessageBoxWatcher::Box> EraseNow() {
        MessageBoxWatcher watcher;
        SendMessageA(erase_->Command1.hwnd(), BM_CLICK, 0, 0);
        return watcher.boxes();
    }
    ProgramFolder folder_;
    TypedUrlsBackup backup_;
    bw::frmMainCode* main_ = nullptr;
    bw::frmcleannow* erase_ = nullptr;
};

TEST_F(EraseWindow, LocationBarCountsTypedMinusKept) {
    SetTypedUrls({"http://a.example/", "http://b.example/", "http://c.example/", "http://d.example/",
                  "http://e.example/"});
    WriteTextFile(folder_.file("keepurl.dat"), "http://c.example/\r\nhttp://a.example/\r\n");
    main_->Check1.SetValue(1);
    auto boxes = EraseNow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 3 Released HD Space:.MB");
    EXPECT_EQ(TypedUrl("url1"), "http://c.example/");
    EXPECT_EQ(TypedUrl("url2"), "http://a.example/");
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kTypedUrls), 2);
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmurl>());
}

TEST_F(EraseWindow, HistoryIsEmptiedAndCreditedNoMadeUpFigures) {
    {
        bw::platform::CURLHistory history;
        history.AddURL("http://seen.example/", "Seen", 0);
    }
    main_->Check2.SetValue(1);
    auto boxes = EraseNow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Task complete Successfully! Erased Registry Keys: 0 Released HD Space:.MB");
    bw::platform::CURLHistory after;
    EXPECT_EQ(after.Count(), 0);
}

TEST_F(EraseWindow, CancelUnloadsTheUrlKeepListWindow) {
    bw::ui::Get<bw::frmurl>().Load();
    SendMessageA(erase_->Command2.hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmurl>());
    EXPECT_FALSE(bw::ui::IsLoaded<bw::frmcleannow>());
}

}  // namespace
