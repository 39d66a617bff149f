// A copy of the program in a folder its user cannot write into, as Program Files is for a
// standard user: the settings and lists live in the user's application data instead, starting
// from the default lists installed beside the exe.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "tests/support/Driver.h"

using namespace bw::test;

namespace {

std::string AppDataFolder() {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Makes a folder read-only even for root (the tests run as root under Wine, and root writes
// anywhere Unix permissions would forbid), and lets it go again when it goes.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::string& folder) : unix_(UnixPath(folder)) {
        RunUnix("/usr/bin/chattr", {"+i", unix_});
    }
    ~ImmutableFolder() { RunUnix("/usr/bin/chattr", {"-i", unix_}); }

private:
    std::string unix_;
};

TEST(InstalledCopy, SettingsLandInAppDataWhenTheProgramFolderIsReadOnly) {
    TempDir folder;
    ASSERT_TRUE(InstallProgram(folder.path()));
    const std::string settings = AppDataFolder() + "\\Brightwipe";
    ASSERT_FALSE(PathExists(settings)) << "left by an earlier run";
    ImmutableFolder readOnly(folder.path());
    if (WriteTextFile(folder / "probe.txt", "x"))
        GTEST_SKIP() << "this file system has no immutable folders (chattr +i), so nothing is read-only for root";

    {
        Program program(folder.path());
        ASSERT_TRUE(program.started());
        HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
        ASSERT_NE(main, nullptr) << "main window did not appear";
        PostMessageA(main, WM_CLOSE, 0, 0);  // closing saves the selection
        EXPECT_TRUE(program.WaitForExit(15000));
    }
    EXPECT_TRUE(PathExists(settings + "\\bwsd.dat")) << "the selection was lost";
    EXPECT_EQ(ReadTextFile(settings + "\\Ext.txt"), ReadTextFile(folder / "Ext.txt"));
    EXPECT_FALSE(PathExists(folder / "bwsd.dat"));

    for (const char* name : {"bwsd.dat", "Ext.txt"}) DeleteFileA((settings + "\\" + name).c_str());
    RemoveDirectoryA(settings.c_str());
}

}  // namespace
