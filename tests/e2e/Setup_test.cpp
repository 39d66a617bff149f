// The setup program made by `make dist`: a silent install, the program starting from the
// installed folder, and a silent uninstall that removes what setup installed and nothing else.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/Driver.h"

using namespace bw::test;

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brightwipe";

// The setup program `make dist` built; empty when there is none.
std::string SetupProgram() {
    const std::string built = WinPath(std::string(BW_DIST_DIR) + "/..");
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((built + "\\Brightwipe-*-setup.exe").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return "";
    FindClose(find);
    return built + "\\" + data.cFileName;
}

// Runs the installed uninstaller silently and waits for its last step, which runs on from a
// copy of itself after /S returns.
void UninstallSilently(const std::string& target) {
    ASSERT_EQ(RunAndWait("\"" + target + "\\Uninstall.exe\" /S"), 0);
    EXPECT_TRUE(WaitFor([&] { return !PathExists(target + "\\Uninstall.exe"); }, 30000));
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 30000));
}

// A visible top-level window of any process whose class is `cls` and whose text, or the text of
// one of its descendants, holds `text`; null after `ms`.
HWND WaitForWindowWith(const std::string& cls, const std::string& text, int ms) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND top = GetTopWindow(nullptr); top && !found; top = GetWindow(top, GW_HWNDNEXT)) {
                if (!IsWindowVisible(top) || ClassOf(top) != cls) continue;
                if (WindowText(top).find(text) != std::string::npos) found = top;
                for (HWND child : Descendants(top))
                    if (IsWindowVisible(child) && WindowText(child).find(text) != std::string::npos) found = top;
            }
            return found != nullptr;
        },
        ms);
    return found;
}

// Presses the visible, enabled button captioned `caption` (its '&' included) somewhere in `top`.
bool PressButton(HWND top, const std::string& caption) {
    for (HWND child : Descendants(top))
        if (IsWindowVisible(child) && IsWindowEnabled(child) && ClassOf(child) == "Button" &&
            WindowText(child) == caption) {
            PostMessageA(child, BM_CLICK, 0, 0);
            return true;
        }
    return false;
}

TEST(Setup, SilentInstallRunsAndSilentUninstallLeavesNothing) {
    const std::string setup = SetupProgram();
    if (setup.empty()) GTEST_SKIP() << "no setup program: `make dist` builds it";

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
    UninstallSilently(target);
    EXPECT_EQ(SortedNames(target), (std::vector<std::string>{"bwsd.dat"}));
}

std::string Environment(const char* name) {
    char value[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
    return n && n < MAX_PATH ? std::string(value, n) : std::string();
}

// Without /D, setup installs where a 32-bit program belongs: Program Files, which on 64-bit
// Windows is "Program Files (x86)" (the 64-bit folder is left alone). The uninstaller that
// Add/Remove Programs names is found there and removes the installation.
TEST(Setup, InstallsIntoTheProgramFilesOfA32BitProgramAndItsUninstallerIsFound) {
    const std::string setup = SetupProgram();
    if (setup.empty()) GTEST_SKIP() << "no setup program: `make dist` builds it";
    const std::string x86 = Environment("ProgramFiles(x86)");
    const std::string target = (x86.empty() ? Environment("ProgramFiles") : x86) + "\\Brightwipe";
    ASSERT_EQ(RunAndWait("\"" + setup + "\" /S"), 0);
    EXPECT_TRUE(PathExists(target + "\\Brightwipe.exe")) << target;
    if (!x86.empty()) {
        EXPECT_FALSE(PathExists(Environment("ProgramW6432") + "\\Brightwipe"));
    }

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    char command[MAX_PATH * 2] = {};
    DWORD size = sizeof command - 1;
    const LONG status = RegQueryValueExA(key, "QuietUninstallString", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(std::string(command), "\"" + target + "\\Uninstall.exe\" /S");
    ASSERT_EQ(RunAndWait(command), 0);
    EXPECT_TRUE(WaitFor([&] { return !PathExists(target); }, 30000)) << target;
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 30000));
}

// Installed into a folder that already held the user's own files, with one installed file
// later swapped for a link to a file outside: the uninstaller removes its own files by name and
// leaves the user's files, the link and what it points at byte for byte.
TEST(Setup, UninstallLeavesTheUsersFilesAndWhatALinkPointsAt) {
    const std::string setup = SetupProgram();
    if (setup.empty()) GTEST_SKIP() << "no setup program: `make dist` builds it";

    TempDir parent;
    const std::string target = parent / "Brightwipe";
    const std::string outside = parent / "outside.txt";
    const std::vector<std::pair<std::string, std::string>> kept = {
        {target + "\\Skinz\\Blue\\mine.gif", "GIF89a the user's own picture"},
        {target + "\\notes.txt", "the user's notes"},
        {outside, "*.bak\r\nthe user's patterns, outside the program folder\r\n"},
    };
    ASSERT_TRUE(MakeDirs(target + "\\Skinz\\Blue"));
    for (const auto& [path, content] : kept) ASSERT_TRUE(WriteTextFile(path, content));
    ASSERT_EQ(RunAndWait("\"" + setup + "\" /S /D=" + target), 0);
    ASSERT_TRUE(PathExists(target + "\\Skinz\\Blue\\imgTitleMain.gif"));
    ASSERT_TRUE(DeleteFileA((target + "\\Ext.txt").c_str()));
    ASSERT_TRUE(MakeLink(outside, target + "\\Ext.txt"));

    UninstallSilently(target);
    for (const auto& [path, content] : kept) EXPECT_EQ(ReadTextFile(path), content) << path;
    EXPECT_EQ(SortedNames(target), (std::vector<std::string>{"Ext.txt", "Skinz", "notes.txt"}));
    EXPECT_EQ(SortedNames(target + "\\Skinz\\Blue"), (std::vector<std::string>{"mine.gif"}));
}

// Uninstalled by hand, answering yes to removing the settings: the settings and lists go, and
// so does the registry key Search & Erase keeps under its own name; the user's own file stays.
TEST(Setup, UninstallRemovingSettingsAlsoRemovesTheSearchAndEraseKey) {
    const std::string setup = SetupProgram();
    if (setup.empty()) GTEST_SKIP() << "no setup program: `make dist` builds it";
    const char kSearchKey[] = "Software\\VB and VBA Program Settings\\DriveScrub\\StartUp";

    TempDir parent;
    const std::string target = parent / "Brightwipe";
    ASSERT_EQ(RunAndWait("\"" + setup + "\" /S /D=" + target), 0);
    for (const char* name : {"bwsd.dat", "keepurl.dat", "notes.txt"}) ASSERT_TRUE(WriteTextFile(target + "\\" + name, name));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kSearchKey, "AppPath", target));

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + target + "\\Uninstall.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    HWND wizard = WaitForWindowWith("#32770", "Uninstall", 30000);
    ASSERT_NE(wizard, nullptr) << "the uninstaller did not open";
    ASSERT_TRUE(WaitFor([&] { return PressButton(wizard, "&Uninstall"); }, 10000));
    HWND question = WaitForWindowWith("#32770", "Also remove your Brightwipe settings", 30000);
    ASSERT_NE(question, nullptr) << "no question about the settings";
    ASSERT_TRUE(PressButton(question, "&Yes"));
    ASSERT_TRUE(WaitFor([&] { return PressButton(wizard, "&Close") || PressButton(wizard, "&Finish"); }, 30000));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(wizard); }, 15000)) << "the uninstaller stayed open";
    if (IsWindow(wizard)) PostMessageA(wizard, WM_CLOSE, 0, 0);

    EXPECT_TRUE(WaitFor([&] { return !PathExists(target + "\\Uninstall.exe"); }, 30000));
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 30000));
    EXPECT_EQ(SortedNames(target), (std::vector<std::string>{"notes.txt"}));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\DriveScrub"));
    DeleteTree(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\DriveScrub");
}

}  // namespace
