// The per-application settings store: where values live in the registry, round trips, defaults.
#include <gtest/gtest.h>

#include "platform/AppSettings.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
using bw::platform::DeleteSetting;
using bw::platform::GetSetting;
using bw::platform::SaveSetting;

namespace {

const char kStoreRoot[] = "Software\\VB and VBA Program Settings";

// A unique application name in the real store, removed with everything under it afterwards.
class RealStore : public ::testing::Test {
protected:
    void SetUp() override { app_ = "BrightwipeTest" + std::to_string(GetCurrentProcessId()); }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, std::string(kStoreRoot) + "\\" + app_); }
    std::string Key(const std::string& section) const { return std::string(kStoreRoot) + "\\" + app_ + "\\" + section; }
    std::string app_;
};

TEST_F(RealStore, ValuesAreStringsUnderTheApplicationAndSectionKey) {
    SaveSetting(app_, "StartUp", "AppPath", "C:\\Program Files\\Brightwipe\\");
    SaveSetting(app_, "General", "Prompt", "1");

    std::string stored;
    ASSERT_TRUE(GetString(HKEY_CURRENT_USER, Key("StartUp"), "AppPath", &stored));
    EXPECT_EQ(stored, "C:\\Program Files\\Brightwipe\\");
    DWORD type = 0;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key("General").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "Prompt", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, Key("StartUp")), 1);

    EXPECT_EQ(GetSetting(app_, "StartUp", "AppPath", "x"), "C:\\Program Files\\Brightwipe\\");
    EXPECT_EQ(GetSetting(app_, "General", "Prompt", "x"), "1");
}

TEST_F(RealStore, MissingPartsGiveTheDefaultAndStoredEmptyTextStaysEmpty) {
    EXPECT_EQ(GetSetting(app_, "StartUp", "AppPath", "dflt"), "dflt");  // no application key
    SaveSetting(app_, "StartUp", "Other", "v");
    EXPECT_EQ(GetSetting(app_, "StartUp", "AppPath", "dflt"), "dflt");  // no value
    EXPECT_EQ(GetSetting(app_, "Nope", "AppPath", "dflt"), "dflt");     // no section
    SaveSetting(app_, "StartUp", "Empty", "");
    EXPECT_EQ(GetSetting(app_, "StartUp", "Empty", "dflt"), "");
    // A value of another type is not text.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key("StartUp").c_str(), 0, KEY_WRITE, &key), ERROR_SUCCESS);
    DWORD number = 7;
    RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    EXPECT_EQ(GetSetting(app_, "StartUp", "Number", "dflt"), "dflt");
}

TEST_F(RealStore, ValuesStoredByOtherProgramsAreFoundAndOverwritten) {
    // Written the way another program of this generation would (no trailing NUL stored).
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, Key("StartUp"), "SubFolders", "0"));
    EXPECT_EQ(GetSetting(app_, "StartUp", "SubFolders", "1"), "0");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Key("StartUp").c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, "NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    RegCloseKey(key);
    EXPECT_EQ(GetSetting(app_, "StartUp", "NoNul", ""), "abc");

    SaveSetting(app_, "StartUp", "SubFolders", "1");
    EXPECT_EQ(GetSetting(app_, "StartUp", "SubFolders", "x"), "1");
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, Key("StartUp")), 2);
}

TEST_F(RealStore, DeleteSettingRemovesOneKeyOrTheWholeSection) {
    SaveSetting(app_, "S", "a", "1");
    SaveSetting(app_, "S", "b", "2");
    DeleteSetting(app_, "S", "a");
    EXPECT_EQ(GetSetting(app_, "S", "a", "gone"), "gone");
    EXPECT_EQ(GetSetting(app_, "S", "b", "gone"), "2");
    DeleteSetting(app_, "S", "");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key("S")));
}

TEST(AppSettings, EmptyNamesStoreNothing) {
    TempRegKey temp;
    bw::platform::OverrideAppSettingsRoot(temp.subkey());
    SaveSetting("", "S", "k", "v");
    SaveSetting("App", "", "k", "v");
    SaveSetting("App", "S", "", "v");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\App"));
    EXPECT_EQ(GetSetting("App", "S", "", "d"), "d");
    bw::platform::OverrideAppSettingsRoot("");
}

TEST(AppSettings, OverriddenRootKeepsTheRealStoreUntouched) {
    TempRegKey temp;
    const std::string app = "BrightwipeOverride" + std::to_string(GetCurrentProcessId());
    bw::platform::OverrideAppSettingsRoot(temp.subkey());
    SaveSetting(app, "General", "Prompt", "0");
    EXPECT_EQ(GetSetting(app, "General", "Prompt", "1"), "0");
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, temp.subkey() + "\\" + app + "\\General", "Prompt"));
    bw::platform::OverrideAppSettingsRoot("");
    EXPECT_EQ(GetSetting(app, "General", "Prompt", "1"), "1");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kStoreRoot) + "\\" + app));
}

}  // namespace
