// Windows' own folders and the guard that keeps a cleaning step from emptying one of them.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "platform/FileSystem.h"
#include "platform/SystemFolders.h"
#include "tests/support/TestSupport.h"

namespace fs = bw::platform::fs;
using namespace bw::test;

namespace {

TEST(SystemFolders, VitalFoldersAndEverythingAboveThemAreRecognised) {
    using bw::platform::IsVitalFolderOrAbove;
    const std::string windows = fs::WindowsDirectory();
    const std::string profile = bw::platform::SpecialFolder(CSIDL_PROFILE);
    EXPECT_TRUE(IsVitalFolderOrAbove(windows));
    EXPECT_TRUE(IsVitalFolderOrAbove(windows + "\\"));
    EXPECT_TRUE(IsVitalFolderOrAbove(bw::platform::SystemDirectory()));
    EXPECT_TRUE(IsVitalFolderOrAbove(profile));
    EXPECT_TRUE(IsVitalFolderOrAbove(profile.substr(0, profile.rfind('\\'))));
    EXPECT_TRUE(IsVitalFolderOrAbove(windows.substr(0, 3)));
    EXPECT_TRUE(IsVitalFolderOrAbove(windows.substr(0, 2)));  // "C:" means the current folder there
    EXPECT_TRUE(IsVitalFolderOrAbove(""));
    EXPECT_TRUE(IsVitalFolderOrAbove("   "));
    std::string upper = windows;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_TRUE(IsVitalFolderOrAbove(upper));
    TempDir dir;
    EXPECT_FALSE(IsVitalFolderOrAbove(dir.path()));
    EXPECT_FALSE(IsVitalFolderOrAbove(windows + "\\Temp"));
    EXPECT_FALSE(IsVitalFolderOrAbove(profile + "\\Temp"));
    EXPECT_FALSE(IsVitalFolderOrAbove(profile + "x"));
}

}  // namespace
