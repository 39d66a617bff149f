// Drives the real Brightwipe.exe from a second process, as a user would: the main window and
// its items, the erase window, "Erase Now", the status list, the summary box, and the settings
// file afterwards.
#include <gtest/gtest.h>
#include <windows.h>


#include "settings/Inifun.h"
#include "tests/support/Driver.h"

using namespace bw::test;
using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

namespace {

struct ItemKey {
    const char* caption;
    const char* section;
    const char* key;
};

const ItemKey kItems[] = {
    {"IE Location Bar History", "BROWSERS", "location"},
    {"IE Internet History Files", "BROWSERS", "history"},
    {"IE Internet Cache", "BROWSERS", "cache"},
    {"IE Cookies", "BROWSERS", "cookies"},
    {"IE Favorites", "BROWSERS", "favorites"},
    {"IE Autocomplete memory", "BROWSERS", "autocomplete"},
    {"IE Downloaded program Files Directory", "BROWSERS", "downloaded"},
    {"Netscape Navigator", "BROWSERS", "netscape"},
    {"Opera", "BROWSERS", "opera"},
    {"MSN Explorer", "BROWSERS", "msn"},
    {"Google Tool Bar Search History", "BROWSERS", "google"},
    {"Recent Documents History", "WINDOWS", "recent"},
    {"Start Menu Run History", "WINDOWS", "run"},
    {"Start Menu Search History", "WINDOWS", "search"},
    {"Windows Temp", "WINDOWS", "temp"},
    {"Recycle Bin\r", "WINDOWS", "recycle"},
    {"Open/Save Dialog Box History", "WINDOWS", "open"},
    {"Scandisk Temp Files", "WINDOWS", "scandisk"},
    {"Windows Passwords(Only 9X/Me)", "WINDOWS", "passwords"},
    {"Windows Clipboard", "WINDOWS", "clip"},
    {"Woadpad Recent Files", "WINDOWS", "wordpad"},
    {"Windows Paint Recent Files", "WINDOWS", "paint"},
    {"Winzip Recent Files", "APPLICATIONS", "winzip"},
    {"Media Player playlist", "APPLICATIONS", "media"},
    {"RealPlayer PlayList", "APPLICATIONS", "realplayer"},
    {"RealOne Player Playlist", "APPLICATIONS", "realone"},
    {"MS-Office Tracks", "APPLICATIONS", "office"},
};

TEST(EndToEnd, EraseFromTheMainWindowWritesStatistics) {
    TempDir folder;
    ASSERT_TRUE(InstallProgram(folder.path()));
    const std::string settings = folder / "bwsd.dat";
    // A prepared selection: everything off except two items that once added fixed statistics;
    // the summary now carries only what was really removed (here the Run list the user ticks).
    for (const ItemKey& item : kItems) WriteIni(settings, item.section, item.key, "0");
    SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", "a", "notepad\\1");
    WriteIni(settings, "BROWSERS", "history", "1");
    WriteIni(settings, "APPLICATIONS", "office", "1");
    WriteIni(settings, "WINDOWS", "regnum", "3");
    WriteIni(settings, "WINDOWS", "filesize", "1.5");

    Program program(folder.path());
    ASSERT_TRUE(program.started());
    HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
    ASSERT_NE(main, nullptr) << "main window did not appear";

    // All 29 items are real check boxes carrying their captions, checked as stored.
    for (const ItemKey& item : kItems) {
        HWND box = FindChild(main, "Button", item.caption);
        ASSERT_NE(box, nullptr) << item.caption;
        bool on = std::string(item.key) == "history" || std::string(item.key) == "office";
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), on ? BST_CHECKED : BST_UNCHECKED) << item.caption;
    }
    int selectAll = 0;
    for (HWND h : Descendants(main))
        if (WindowText(h) == "Select all of the above") ++selectAll;
    EXPECT_EQ(selectAll, 2);
    HWND status = FindChild(main, "Static", "Cleaned Registry Keys: 3 Released HD Space:1.5MB");
    EXPECT_NE(status, nullptr);

    // A user ticks one more item, then opens the erase window.
    SendMessageA(FindChild(main, "Button", "Start Menu Run History"), BM_CLICK, 0, 0);
    ClickStatic(FindChild(main, "Static", "ERASE NOW"));
    HWND erase = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe", 10000);
    ASSERT_NE(erase, nullptr) << "erase window did not appear";
    HWND eraseNow = FindChild(erase, "Button", "Erase Now");
    ASSERT_NE(eraseNow, nullptr);
    PostMessageA(eraseNow, BM_CLICK, 0, 0);

    HWND box = WaitForTopWindow(program.pid(), "#32770", "Task Complete", 20000);
    ASSERT_NE(box, nullptr) << "no summary box";
    EXPECT_EQ(MessageBoxText(box), "Task complete Successfully! Erased Registry Keys: 1 Released HD Space:.MB");

    HWND list = FindChildOfClass(erase, "ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListBoxItems(list),
              (std::vector<std::string>{"Please waiting,Begin Erasing",
                                        "Please Waiting ,Erasing IE Internet History Files......",
                                        "Erasing IE Internet History Files......OK",
                                        "Please Waiting ,Erasing Start Menu Run History......",
                                        "Erasing Start Menu Run History......OK",
                                        "Please Waiting ,Erasing MS-Office Tracks......",
                                        "Erasing MS-Office Tracks......OK",
                                        "Please Waiting ,Erasing More Applications......",
                                        "Erasing More Applications......OK",
                                        "Task complete Successfully!"}));
    SaveScreenshot(ArtifactsDir() + "\\e2e-erase-summary.bmp", box);

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000));
    // The two figures are written one after the other: wait for the second as well.
    ASSERT_TRUE(WaitFor([&] { return ReadIni(settings, "WINDOWS", "regnum") == "1"; }, 10000));
    WaitFor([&] { return ReadIni(settings, "WINDOWS", "filesize") == "."; }, 10000);
    EXPECT_EQ(ReadIni(settings, "WINDOWS", "filesize"), ".");
    EXPECT_NE(ReadIni(settings, "WINDOWS", "lastclean"), "");

    // Run after run, the summary box opens in front of the erase window, never behind it where
    // no click would reach it.
    for (int run = 1; run <= 3; ++run) {
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(eraseNow) != FALSE; }, 10000));
        PostMessageA(eraseNow, BM_CLICK, 0, 0);
        HWND summary = WaitForTopWindow(program.pid(), "#32770", "Task Complete", 20000);
        ASSERT_NE(summary, nullptr) << "run " << run;
        Sleep(300);  // long enough for any other window to come up over it
        EXPECT_EQ(GetForegroundWindow(), summary) << "run " << run;
        bool eraseWindowBelow = false;
        for (HWND h = GetWindow(summary, GW_HWNDNEXT); h && !eraseWindowBelow; h = GetWindow(h, GW_HWNDNEXT))
            eraseWindowBelow = h == erase;
        EXPECT_TRUE(eraseWindowBelow) << "run " << run << ": the summary box is behind the erase window";
        EXPECT_EQ(GetWindow(summary, GW_OWNER), erase) << "run " << run;
        PostMessageA(summary, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(summary) || !IsWindowVisible(summary); }, 10000));
    }

    // Closing the main window saves the selection, the ticked item included, and ends the
    // program.
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(15000));
    for (const ItemKey& item : kItems) {
        std::string key = item.key;
        bool on = key == "history" || key == "office" || key == "run";
        EXPECT_EQ(ReadIni(settings, item.section, item.key), on ? "1" : "0") << item.caption;
    }
}

// A damaged file reads as no settings at all: a first start, every item ticked but Favorites.
TEST(EndToEnd, DamagedSettingsFileOpensAsAFirstStart) {
    TempDir folder;
    ASSERT_TRUE(InstallProgram(folder.path()));
    std::string garbage(3 * 1024 * 1024, 'x');
    for (size_t i = 0; i < garbage.size(); i += 97) garbage[i] = static_cast<char>(i * 31);
    WriteTextFile(folder / "bwsd.dat", garbage);

    Program program(folder.path());
    ASSERT_TRUE(program.started());
    HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
    ASSERT_NE(main, nullptr);
    for (const ItemKey& item : kItems) {
        HWND box = FindChild(main, "Button", item.caption);
        ASSERT_NE(box, nullptr) << item.caption;
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0),
                  std::string(item.key) == "favorites" ? BST_UNCHECKED : BST_CHECKED)
            << item.caption;
    }
    SaveScreenshot(ArtifactsDir() + "\\e2e-main-window.bmp", main);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(15000));
}

}  // namespace
