// Registry access by key path text, against Wine's registry.
#include <gtest/gtest.h>

#include "platform/regfun.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
namespace regfun = bw::regfun;

namespace {

DWORD StoredSize(const std::string& subkey, const std::string& name, DWORD* type) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD size = 0;
    RegQueryValueExA(key, name.c_str(), nullptr, type, nullptr, &size);
    RegCloseKey(key);
    return size;
}

bool SetRaw(const std::string& subkey, const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, subkey.c_str(), &key) != ERROR_SUCCESS) return false;
    LONG rc = RegSetValueExA(key, name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace

TEST(regfun, RootNamesMatchExactlyAndCaseSensitively) {
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_CURRENT_USER"), HKEY_CURRENT_USER);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_USERS"), HKEY_USERS);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_PERFORMANCE_DATA"), HKEY_PERFORMANCE_DATA);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_DYN_DATA"), HKEY_DYN_DATA);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_Current_User"), nullptr);
    EXPECT_EQ(regfun::RootKeyFromName("HKCU"), nullptr);
    EXPECT_EQ(regfun::RootKeyFromName("HKEY_CURRENT_USER "), nullptr);
    EXPECT_EQ(regfun::RootKeyFromName(""), nullptr);
}

TEST(regfun, ParseKeyPathSplitsRootAndSubkey) {
    MessageBoxWatcher watcher;
    std::string path = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows";
    HKEY root = nullptr;
    regfun::ParseKeyPath(path, &root);
    EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(path, "SOFTWARE\\Microsoft\\Windows");

    path = "HKEY_CURRENT_USER";
    regfun::ParseKeyPath(path, &root);
    EXPECT_EQ(root, HKEY_CURRENT_USER);
    EXPECT_EQ(path, "");

    path = "HKEY_Current_User\\Software";  // passes the format test, names no root
    regfun::ParseKeyPath(path, &root);
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(path, "Software");
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(regfun, MalformedPathShowsIncorrectFormatAndDoesNothing) {
    TempRegKey temp;
    MessageBoxWatcher watcher;
    const std::string lower = "hkey_current_user\\" + temp.subkey();
    const std::string trailing = temp.fullPath() + "\\";

    std::string path = lower;
    HKEY root = HKEY_CURRENT_USER;
    regfun::ParseKeyPath(path, &root);
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(path, lower);

    regfun::SetKeyValue(trailing, "v", "written");
    regfun::CreateKey(lower + "\\made");
    EXPECT_EQ(regfun::GetKeyValue("", "v"), "");

    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].title, "Brightwipe");
    EXPECT_EQ(boxes[0].text, "Incorrect Format:\n\n" + lower);
    EXPECT_EQ(boxes[1].text, "Incorrect Format:\n\n" + trailing);
    EXPECT_EQ(boxes[2].text, "Incorrect Format:\n\n" + lower + "\\made");
    EXPECT_EQ(boxes[3].text, "Incorrect Format:\n\n");
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, temp.subkey()), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\made"));
}

TEST(regfun, UnknownRootDoesNothingSilently) {
    TempRegKey temp;
    MessageBoxWatcher watcher;
    const std::string path = "HKEY_Current_User\\" + temp.subkey();
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey(), "v", "old"));
    EXPECT_EQ(regfun::GetKeyValue(path, "v"), "");
    regfun::SetKeyValue(path, "v", "new");
    regfun::CreateKey(path + "\\made");
    regfun::DeleteKey(path);
    std::string value;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, temp.subkey(), "v", &value));
    EXPECT_EQ(value, "old");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\made"));
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST(regfun, GetKeyValueReadsStringsAndSaysErrorWhenItCannot) {
    TempRegKey temp;
    const std::string sub = temp.subkey();
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub, "Cache", "C:\\Cache"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub, "spaced", "   padded  "));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub, "empty", ""));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub, "", "default"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub, "fits", std::string(254, 'a')));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub, "toolong", std::string(255, 'b')));
    ASSERT_TRUE(SetRaw(sub, "nodata", REG_SZ, ""));
    ASSERT_TRUE(SetRaw(sub, "binary", REG_BINARY, std::string("ab\0cd", 5)));

    const std::string path = temp.fullPath();
    EXPECT_EQ(regfun::GetKeyValue(path, "Cache"), "C:\\Cache");
    EXPECT_EQ(regfun::GetKeyValue(path, "cache"), "C:\\Cache") << "value names ignore case";
    EXPECT_EQ(regfun::GetKeyValue(path, "spaced"), "padded  ")
        << "leading spaces go, trailing spaces stay";
    EXPECT_EQ(regfun::GetKeyValue(path, "empty"), "");
    EXPECT_EQ(regfun::GetKeyValue(path, "nodata"), "");
    EXPECT_EQ(regfun::GetKeyValue(path, ""), "default");
    EXPECT_EQ(regfun::GetKeyValue(path, "fits"), std::string(254, 'a'));
    EXPECT_EQ(regfun::GetKeyValue(path, "toolong"), "Error");
    EXPECT_EQ(regfun::GetKeyValue(path, "binary"), "ab");
    EXPECT_EQ(regfun::GetKeyValue(path, "missing"), "Error");
    EXPECT_EQ(regfun::GetKeyValue(path + "\\nokey", "Cache"), "Error");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, sub + "\\nokey"));

    std::string value;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, sub, "toolong", &value));
    EXPECT_EQ(value, std::string(255, 'b')) << "reading changes nothing";
}

TEST(regfun, SetKeyValueWritesOnlyIntoExistingKeys) {
    TempRegKey temp;
    const std::string path = temp.fullPath() + "\\Main";

    regfun::SetKeyValue(path, "Start Page", "about:blank");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\Main"));
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, temp.subkey()), 0);

    regfun::CreateKey(path);
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\Main"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey() + "\\Main", "Window Title", "kept"));
    regfun::SetKeyValue(path, "Start Page", "about:blank");

    // Written without its NUL; Wine adds one on its own (the byte after the data is a NUL), so
    // the stored length cannot be told apart here, only the type.
    DWORD type = 0;
    EXPECT_GE(StoredSize(temp.subkey() + "\\Main", "Start Page", &type), 11u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(regfun::GetKeyValue(path, "Start Page"), "about:blank");
    std::string kept;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, temp.subkey() + "\\Main", "Window Title", &kept));
    EXPECT_EQ(kept, "kept");

    regfun::SetKeyValue(path, "Start Page", "");
    EXPECT_EQ(regfun::GetKeyValue(path, "Start Page"), "");
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, temp.subkey() + "\\Main"), 2);

    // A value written by SetKeyValue fills the read buffer exactly when it is 255 characters.
    regfun::SetKeyValue(path, "full", std::string(255, 'c'));
    const std::string full = regfun::GetKeyValue(path, "full");
    EXPECT_TRUE(full == "Error" || full == std::string(255, 'c')) << full;
}

TEST(regfun, CreateKeyMakesParentsAndKeepsWhatExists) {
    TempRegKey temp;
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey() + "\\a", "v", "kept"));
    regfun::CreateKey(temp.fullPath() + "\\a\\b\\c");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\a\\b\\c"));
    regfun::CreateKey(temp.fullPath() + "\\a");
    std::string value;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, temp.subkey() + "\\a", "v", &value));
    EXPECT_EQ(value, "kept");
}

TEST(regfun, DeleteKeyRemovesValuesOnlyKeysAndLeavesKeysWithSubkeys) {
    TempRegKey temp;
    const std::string sub = temp.subkey();
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub + "\\MRU", "a", "file1"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub + "\\MRU", "b", "file2"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub + "\\Sibling", "s", "kept"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub + "\\Tree\\Child", "c", "kept"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, sub + "\\Tree", "t", "kept"));

    regfun::DeleteKey(temp.fullPath() + "\\MRU");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, sub + "\\MRU"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, sub + "\\Sibling", "s"));

    regfun::DeleteKey(temp.fullPath() + "\\Tree");
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, sub + "\\Tree", "t"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, sub + "\\Tree\\Child", "c"));

    regfun::DeleteKey(temp.fullPath() + "\\Missing");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, sub));

    regfun::DeleteKey("HKEY_CURRENT_USER");  // a root key is never a target
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, sub + "\\Sibling"));
}
