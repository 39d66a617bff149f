// The path rules every deletion path shares: what is a missing location, an absolute path, a
// root; trailing backslashes; names a walk may append; the long form.
#include <gtest/gtest.h>

#include "platform/Paths.h"

namespace paths = bw::platform::paths;

namespace {

TEST(Paths, OnlyAbsoluteFoldersBelowARootAreUsable) {
    struct Case {
        const char* text;
        bool missing, absolute, root, usable;
    };
    const Case cases[] = {
        {"", true, false, false, false},
        {" \t ", true, false, false, false},
        {"Error", true, false, false, false},
        {" error ", true, false, false, false},
        {"Temp", false, false, false, false},
        {"\\Temp", false, false, false, false},
        {"C:Temp", false, false, false, false},
        {"*.tmp", false, false, false, false},
        {"C:\\", false, true, true, false},
        {"C:", false, false, true, false},
        {"c:/", false, true, true, false},
        {"\\\\server\\share\\", false, true, true, false},
        {"\\\\?\\C:\\", false, true, true, false},
        {"\\\\.\\PhysicalDrive0", false, true, true, false},
        {"C:\\Temp", false, true, false, true},
        {" C:\\Temp\\ ", false, true, false, true},
        {"\\\\server\\share\\folder", false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(paths::IsMissingLocation(c.text), c.missing);
        EXPECT_EQ(paths::IsAbsolute(paths::Trim(c.text)), c.absolute);
        EXPECT_EQ(paths::IsRoot(paths::Trim(c.text)), c.root);
        EXPECT_EQ(paths::IsUsableFolder(c.text), c.usable);
    }
}

TEST(Paths, SlashesAndLongForms) {
    EXPECT_EQ(paths::WithSlash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(paths::WithSlash("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(paths::WithSlash(""), "");
    EXPECT_EQ(paths::WithoutSlash("C:\\a\\\\"), "C:\\a");
    EXPECT_EQ(paths::WithoutSlash("C:\\"), "C:\\");
    EXPECT_EQ(paths::LongPath("C:\\a\\..\\b"), L"\\\\?\\C:\\b");
    EXPECT_EQ(paths::LongPath("\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(paths::LongPath("relative\\x"), L"");
    EXPECT_EQ(paths::LongPath("Error"), L"");
    EXPECT_EQ(paths::ShortForm(L"\\\\?\\UNC\\server\\share\\x"), L"\\\\server\\share\\x");
    EXPECT_EQ(paths::ShortForm(L"\\\\?\\C:\\b"), L"C:\\b");
}

TEST(Paths, LookAlikeNamesNeverBecomeDotsOrSeparators) {
    const std::wstring lookAlike = L"\xFF0E\xFF0E\xFF3C\xFF0E\xFF0E";  // fullwidth "..\.."
    EXPECT_EQ(paths::Narrow(lookAlike).find_first_of(".\\"), std::string::npos) << paths::Narrow(lookAlike);
    EXPECT_FALSE(paths::FitsCodePage(lookAlike));
    EXPECT_TRUE(paths::FitsCodePage(L"caf\xE9.txt"));
    EXPECT_TRUE(paths::IsSafeName(lookAlike));
    for (const wchar_t* name : {L"", L".", L"..", L"a\\b", L"a/b", L"c:x", L"*.tmp", L"a?", L"a\nb"})
        EXPECT_FALSE(paths::IsSafeName(name)) << paths::Narrow(name);
    EXPECT_TRUE(paths::IsSafeName(L"..."));
}

}  // namespace
