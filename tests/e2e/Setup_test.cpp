// The setup program made by `make dist`: a silent install, the program starting from the
// installed folder, and a silent uninstall that leaves nothing of setup's behind.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/Driver.h"

using namespace bw::test;

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brightwipe";

// Runs `commandLine` and waits for it to end; its exit code, or -1.
long RunAndWait(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string buffer = commandLine;
    if (!CreateProcessA(nullptr, &buffer[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<long>(code);
}

TEST(Setup, SilentInstallRunsAndSilentUninstallLeavesNothing) {
    const std::string built = WinPath(std::string(BW_DIST_DIR) + "/..");
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((built + "\\Brightwipe-*-setup.exe").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no setup program: `make dist` builds it";
    FindClose(find);
    const std::string setup = built + "\\" + data.cFileName;

    TempDir parent;
    const std::string target = parent / "Brightwipe";
    ASSERT_EQ(RunAndWait("\"" + setup + "\" /S /D=" + target), 0);
    for (const char* file : {"Brightwipe.exe", "Ext.txt", "help.chm", "Skinz\\Blue\\imgTitleMain.gif", "Uninstall.exe"})
        EXPECT_TRUE(PathExists(target + "\\" + file)) << file;
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

    {
        Program program(target);
        ASSERT_TRUE(program.started());
        HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
        ASSERT_NE(main, nullptr) << "the installed program did not start";
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit(15000));
    }
    // The settings the run saved stay after a silent uninstall; everything of setup's goes.
    ASSERT_EQ(RunAndWait("\"" + target + "\\Uninstall.exe\" /S"), 0);
    // The uninstaller runs on from a copy of itself after /S returns: wait for its last step.
    EXPECT_TRUE(WaitFor([&] { return !PathExists(target + "\\Uninstall.exe"); }, 30000));
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 30000));
    EXPECT_EQ(SortedNames(target), (std::vector<std::string>{"bwsd.dat"}));
}

}  // namespace
