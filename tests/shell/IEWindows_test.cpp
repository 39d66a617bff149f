// The boss key against browser and folder windows of another process: hide, show, windows
// closed or opened meanwhile, and nothing left hidden when the tray window goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "settings/Inifun.h"
#include "shell/IEWindows.h"
#include "shell/frmtray.h"
#include "tests/support/ProgramFolder.h"
#include "ui/Forms.h"

namespace {

// Started again with BW_FAKE_BROWSER="Class:show,Class:show", this test program only opens
// those windows (as another program would) and lives until they are all closed.
int open = 0;
LRESULT CALLBACK FakeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY && --open == 0) PostQuitMessage(0);
    return DefWindowProcA(h, m, w, l);
}

int RunAsFakeBrowser() {
    const char* request = std::getenv("BW_FAKE_BROWSER");
    if (!request) return 0;
    std::string all = request;
    int i = 0;
    for (size_t at = 0; at < all.size(); ++i) {
        size_t end = all.find(',', at);
        std::string item = all.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? all.size() : end + 1;
        std::string cls = item.substr(0, item.find(':'));
        int show = std::atoi(item.substr(item.find(':') + 1).c_str());
        WNDCLASSA wc{};
        wc.lpfnWndProc = FakeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = cls.c_str();
        RegisterClassA(&wc);
        HWND w = CreateWindowExA(0, cls.c_str(), cls.c_str(), WS_OVERLAPPEDWINDOW, 100 + 40 * i, 80 + 30 * i,
                                 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(w, show);
        ++open;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    ExitProcess(0);
}
const int kFakeBrowser = RunAsFakeBrowser();

struct Fake {
    PROCESS_INFORMATION pi{};
    explicit Fake(const std::string& request) {
        SetEnvironmentVariableA("BW_FAKE_BROWSER", request.c_str());
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = std::string("\"") + exe + "\" --gtest_list_tests";
        CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
        SetEnvironmentVariableA("BW_FAKE_BROWSER", nullptr);
    }
    ~Fake() {
        TerminateProcess(pi.hProcess, 0);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    HWND Window(const std::string& cls, int ms = 10000) const {
        for (int waited = 0; waited < ms; waited += 50) {
            for (HWND h = FindWindowExA(nullptr, nullptr, cls.c_str(), nullptr); h;
                 h = FindWindowExA(nullptr, h, cls.c_str(), nullptr)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == pi.dwProcessId) return h;
            }
            Sleep(50);
        }
        return nullptr;
    }
};

void Press(HWND tray, int id, UINT modifiers) {
    SendMessageA(tray, WM_HOTKEY, static_cast<WPARAM>(id), MAKELPARAM(modifiers, 'Z'));
}

RECT Rect(HWND h) {
    RECT rc{};
    GetWindowRect(h, &rc);
    return rc;
}

TEST(IEWindows, HotKeysHideAndBringBackOnlyBrowserAndFolderWindows) {
    bw::test::ProgramFolder folder;
    bw::Inifun::WriteIni(folder.settings(), "Additional", "bosskey", "1");
    Fake browsers("IEFrame:3,CabinetWClass:1,CabinetWClass:1,Notepad:1");
    HWND ie = browsers.Window("IEFrame");
    HWND other = browsers.Window("Notepad");
    ASSERT_TRUE(ie && other);
    std::vector<HWND> folders;
    for (HWND h = FindWindowExA(nullptr, nullptr, "CabinetWClass", nullptr); h;
         h = FindWindowExA(nullptr, h, "CabinetWClass", nullptr))
        folders.push_back(h);
    ASSERT_EQ(folders.size(), 2u);
    ASSERT_TRUE(IsZoomed(ie));
    RECT folderAt = Rect(folders[1]);

    bw::frmtray& tray = bw::ui::Get<bw::frmtray>();
    tray.Load();
    ASSERT_TRUE(bw::IEWindows::BossKeyOn());
    HWND t = tray.hwnd();

    Press(t, bw::IEWindows::BOSS_HIDE_ID, MOD_WIN | MOD_SHIFT);  // wrong combination: nothing
    EXPECT_TRUE(IsWindowVisible(ie));
    Press(t, bw::IEWindows::BOSS_HIDE_ID, MOD_WIN);
    EXPECT_FALSE(IsWindowVisible(ie));
    for (HWND f : folders) EXPECT_FALSE(IsWindowVisible(f));
    EXPECT_TRUE(IsWindowVisible(other)) << "other classes stay";

    // A folder window closed while hidden must not keep the others hidden; a browser window
    // opened (hidden) after the hide is none of the boss key's business.
    PostMessageA(folders[0], WM_CLOSE, 0, 0);
    ASSERT_TRUE(bw::test::WaitFor([&] { return !IsWindow(folders[0]); }, 5000));
    Fake late("IEFrame:0");
    HWND lateIe = late.Window("IEFrame");
    ASSERT_NE(lateIe, nullptr);

    Press(t, bw::IEWindows::BOSS_SHOW_ID, MOD_WIN | MOD_SHIFT);
    EXPECT_TRUE(IsWindowVisible(ie));
    EXPECT_TRUE(IsZoomed(ie)) << "a maximised window comes back maximised";
    EXPECT_TRUE(IsWindowVisible(folders[1]));
    RECT now = Rect(folders[1]);
    EXPECT_EQ(now.left, folderAt.left);
    EXPECT_EQ(now.top, folderAt.top);
    EXPECT_FALSE(IsWindowVisible(lateIe));

    // Hidden again, then Brightwipe ends: nothing stays hidden.
    Press(t, bw::IEWindows::BOSS_HIDE_ID, MOD_WIN);
    EXPECT_FALSE(IsWindowVisible(ie));
    bw::ui::Release<bw::frmtray>();
    EXPECT_FALSE(bw::IEWindows::BossKeyOn());
    EXPECT_TRUE(IsWindowVisible(ie));
    EXPECT_TRUE(IsZoomed(ie));
    EXPECT_TRUE(IsWindowVisible(folders[1]));
}

}  // namespace
