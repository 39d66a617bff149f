// Drive lists and readiness: the system drive is listed and ready, a letter with no drive is not.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Drives.h"

namespace {

TEST(Drives, ListTheSystemDriveAsReadyAndAMissingOneAsNot) {
    std::vector<std::string> drives = bw::platform::LogicalDriveStrings();
    ASSERT_FALSE(drives.empty());
    bool hasC = false;
    for (const std::string& d : drives) {
        EXPECT_EQ(d.size(), 3u) << d;
        if (d == "C:\\") hasC = true;
    }
    EXPECT_TRUE(hasC);
    EXPECT_TRUE(bw::platform::IsDriveReadyAt("C:\\"));
    EXPECT_TRUE(bw::platform::IsDriveReadyAt("c:\\windows"));
    DWORD mask = GetLogicalDrives();
    char missing = 0;
    for (char c = 'Q'; c <= 'Y' && !missing; ++c)
        if (!(mask & (1u << (c - 'A')))) missing = c;
    ASSERT_NE(missing, 0);
    EXPECT_FALSE(bw::platform::IsDriveReadyAt(std::string(1, missing) + ":\\"));
    EXPECT_FALSE(bw::platform::IsDriveReadyAt(""));
    EXPECT_FALSE(bw::platform::IsDriveReadyAt("relative\\path"));
}

}  // namespace
