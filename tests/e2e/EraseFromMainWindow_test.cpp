// Drives the real Brightwipe.exe from a second process, as a user would: the main window and
// its items, the erase window, "Erase Now", the status list, the summary box, and the settings
// file afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "settings/Inifun.h"
#include "tests/support/TestSupport.h"

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

HWND FindChild(HWND parent, const std::string& cls, const std::string& text) {
    for (HWND h : Descendants(parent))
        if (_stricmp(ClassOf(h).c_str(), cls.c_str()) == 0 && WindowText(h) == text) return h;
    return nullptr;
}

struct TopWindow {
    DWORD pid;
    std::string cls, title;
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM lp) {
    auto* want = reinterpret_cast<TopWindow*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == want->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == want->cls &&
        WindowText(hwnd) == want->title) {
        want->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForTopWindow(DWORD pid, const std::string& cls, const std::string& title, int ms) {
    TopWindow want{pid, cls, title};
    WaitFor([&] {
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&want));
        return want.found != nullptr;
    }, ms);
    return want.found;
}

void ClickStatic(HWND hwnd) {
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

class Program {
public:
    explicit Program(const std::string& folder) {
        std::string exe = folder + "\\Brightwipe.exe";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"" + exe + "\"";
        std::vector<char> buf(cmd.begin(), cmd.end());
        buf.push_back('\0');
        started_ = CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &si, &pi_);
    }
    ~Program() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool started() const { return started_; }
    DWORD pid() const { return pi_.dwProcessId; }
    bool WaitForExit(int ms) { return WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(ms)) == WAIT_OBJECT_0; }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

TEST(EndToEnd, EraseFromTheMainWindowWritesStatistics) {
    TempDir folder;
    ASSERT_TRUE(CopyFileA((WinPath(BW_DIST_DIR) + "\\Brightwipe.exe").c_str(),
                          (folder / "Brightwipe.exe").c_str(), FALSE));
    const std::string settings = folder / "bwsd.dat";
    // A prepared selection: everything off except two items with fixed statistics.
    for (const ItemKey& item : kItems) WriteIni(settings, item.section, item.key, "0");
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
    std::string boxText;
    for (HWND h : Descendants(box))
        if (_stricmp(ClassOf(h).c_str(), "Static") == 0 && !WindowText(h).empty()) boxText += WindowText(h);
    EXPECT_EQ(boxText, "Task complete Successfully! Erased Registry Keys: 22 Released HD Space:.48MB");

    HWND list = nullptr;
    for (HWND h : Descendants(erase))
        if (_stricmp(ClassOf(h).c_str(), "ListBox") == 0) list = h;
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
    SaveScreenshot(ArtifactsDir() + "\\e2e-erase-summary.bmp");

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return ReadIni(settings, "WINDOWS", "regnum") == "22"; }, 10000));
    EXPECT_EQ(ReadIni(settings, "WINDOWS", "filesize"), ".48");
    EXPECT_NE(ReadIni(settings, "WINDOWS", "lastclean"), "");

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

TEST(EndToEnd, DamagedSettingsFileOpensWithEveryItemChecked) {
    TempDir folder;
    ASSERT_TRUE(CopyFileA((WinPath(BW_DIST_DIR) + "\\Brightwipe.exe").c_str(),
                          (folder / "Brightwipe.exe").c_str(), FALSE));
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
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED) << item.caption;
    }
    SaveScreenshot(ArtifactsDir() + "\\e2e-main-window.bmp");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(15000));
}

}  // namespace
