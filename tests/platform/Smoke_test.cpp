#include <gtest/gtest.h>
#include <windows.h>
TEST(Smoke, TempPathExists) {
    char buf[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, buf), 0u);
    EXPECT_NE(GetFileAttributesA(buf), INVALID_FILE_ATTRIBUTES);
}
