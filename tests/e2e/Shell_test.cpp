// Drives the real Brightwipe.exe through start-up, the options window, About, Help and the tray
// menu's Exit, from a second process as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "settings/Inifun.h"
#include "tests/support/Driver.h"

using namespace bw::test;

namespace {

HWND TopOfClass(DWORD pid, const std::string& cls, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        for (HWND h = FindWindowExA(nullptr, nullptr, cls.c_str(), nullptr); h;
             h = FindWindowExA(nullptr, h, cls.c_str(), nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (!pid || owner == pid) return h;
        }
        Sleep(50);
    }
    return nullptr;
}

TEST(EndToEnd, SplashMainWindowOptionsAboutHelpAndExitFromTheTray) {
    TempDir folder;
    ASSERT_TRUE(InstallProgram(folder.path()));
    const std::string settings = folder / "bwsd.dat";
    auto start = std::chrono::steady_clock::now();
    Program program(folder.path());
    ASSERT_TRUE(program.started());

    HWND splash = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe", 20000);
    ASSERT_NE(splash, nullptr) << "no splash";
    SaveScreenshot(ArtifactsDir() + "\\shell-splash.bmp", splash);
    HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
    ASSERT_NE(main, nullptr);
    double shown = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("startup: main window shown %.0f ms after launch (the splash holds it 2000 ms)\n", shown * 1000);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(splash); }, 5000)) << "the splash goes when the main window comes";
    HWND tray = FindWindowA("BrightwipeForm", "systray");
    ASSERT_NE(tray, nullptr);
    SaveScreenshot(ArtifactsDir() + "\\shell-main.bmp", main);

    // Erase Options: tick "Exit after erasing", OK.
    ClickStatic(FindChild(main, "Static", "Erase Options"));
    HWND options = WaitForTopWindow(program.pid(), "BrightwipeForm", "Erase Options", 10000);
    ASSERT_NE(options, nullptr);
    SaveScreenshot(ArtifactsDir() + "\\shell-options.bmp", options);
    SendMessageA(FindChild(options, "Button", "Exit after erasing"), BM_CLICK, 0, 0);
    PostMessageA(FindChild(options, "Button", "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(options); }, 10000));
    EXPECT_EQ(bw::Inifun::ReadIni(settings, "Additional", "exit"), "1");
    EXPECT_EQ(bw::Inifun::ReadIni(settings, "Additional", "bosskey"), "0");

    // About, closed with its own close button.
    ClickStatic(FindChild(main, "Static", "About"));
    HWND about = WaitForTopWindow(program.pid(), "BrightwipeForm", "About", 10000);
    ASSERT_NE(about, nullptr);
    SaveScreenshot(ArtifactsDir() + "\\shell-about.bmp", about);
    PostMessageA(about, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }, 10000));

    // Help: this prefix has no HTML engine for the help viewer, so the guide's pages open in
    // the user's browser, here a stand-in that notes what it was asked to open.
    {
        TempDir browser;
        const std::string opened = browser / "opened.txt";
        ASSERT_TRUE(WriteTextFile(browser / "browser.sh", "#!/bin/sh\necho \"$1\" > '" + UnixPath(opened) + "'\n"));
        ASSERT_TRUE(RunUnix("/bin/chmod", {"+x", UnixPath(browser / "browser.sh")}));
        const char kWineBrowser[] = "Software\\Wine\\WineBrowser";
        ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kWineBrowser, "Browsers", UnixPath(browser / "browser.sh")));
        ClickStatic(FindChild(main, "Static", "Help"));
        EXPECT_TRUE(WaitFor([&] { return ReadTextFile(opened).find("help/index.htm") != std::string::npos; }, 15000))
            << "the guide did not open in the browser: " << ReadTextFile(opened);
        EXPECT_EQ(TopOfClass(0, "HH Parent", 0), nullptr) << "the blank help viewer opened";
        DeleteTree(HKEY_CURRENT_USER, kWineBrowser);
    }

    // The tray menu's Exit removes the icon and ends the program.
    PostMessageA(tray, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    HWND menu = TopOfClass(0, "#32768", 10000);
    ASSERT_TRUE(menu && WaitFor([&] { return IsWindowVisible(menu) != FALSE; }, 5000)) << "no tray menu";
    SaveScreenshot(ArtifactsDir() + "\\shell-tray-menu.bmp", tray);
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);  // the last entry, "Exit"
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(program.WaitForExit(15000));
    EXPECT_EQ(bw::Inifun::ReadIni(settings, "BROWSERS", "location"), "1") << "the selection was saved";
}

}  // namespace
