// The raw registry calls and the key holder, against Wine's registry.
#include <gtest/gtest.h>

#include <utility>

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
namespace reg = bw::platform::reg;

namespace {

const BYTE* Bytes(const std::string& s) { return reinterpret_cast<const BYTE*>(s.c_str()); }

// A handle that has been closed no longer answers.
bool IsOpen(HKEY key) {
    DWORD values = 0;
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

TEST(Registry, LeadingBackslashFailsWithBadPathname) {
    TempRegKey temp;
    const std::string bad = "\\" + temp.subkey() + "\\child";
    HKEY key = nullptr;
    EXPECT_EQ(reg::CreateKey(HKEY_CURRENT_USER, bad, &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(reg::OpenKey(HKEY_CURRENT_USER, "\\" + temp.subkey(), &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(reg::OpenKeyEx(HKEY_CURRENT_USER, "\\" + temp.subkey(), KEY_READ, &key),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(reg::DeleteKey(HKEY_CURRENT_USER, "\\" + temp.subkey()), ERROR_BAD_PATHNAME);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\child"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, temp.subkey()));
}

TEST(Registry, QueryTooSmallGivesMoreDataAndLeavesBufferUntouched) {
    TempRegKey temp;
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey(), "Path", "C:\\Temp"));
    reg::Key key;
    ASSERT_EQ(reg::OpenKey(HKEY_CURRENT_USER, temp.subkey(), key.put()), ERROR_SUCCESS);
    char small[4] = {'x', 'x', 'x', 'x'};
    DWORD size = sizeof small;
    EXPECT_EQ(reg::QueryValueEx(key.get(), "Path", nullptr, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(std::string(small, 4), "xxxx");

    EXPECT_EQ(reg::SetValueEx(key.get(), "Other", REG_SZ, Bytes("x"), 2), ERROR_SUCCESS);
    EXPECT_EQ(reg::DeleteValue(key.get(), "Path"), ERROR_SUCCESS);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, temp.subkey(), "Path"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, temp.subkey(), "Other"));

    HKEY missing = nullptr;
    EXPECT_NE(reg::OpenKey(HKEY_CURRENT_USER, temp.subkey() + "\\nope", &missing), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, temp.subkey() + "\\nope")) << "OpenKey never creates";
}

TEST(Registry, DeleteKeyRefusesKeyWithSubkeys) {
    TempRegKey temp;
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey() + "\\parent\\child", "v", "1"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey() + "\\parent", "kept", "yes"));
    EXPECT_EQ(reg::DeleteKey(HKEY_CURRENT_USER, temp.subkey() + "\\parent"), ERROR_ACCESS_DENIED);
    std::string value;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, temp.subkey() + "\\parent", "kept", &value));
    EXPECT_EQ(value, "yes");
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, temp.subkey() + "\\parent\\child", "v"));
}

TEST(Registry, EnumValueListsByNameAndGivesNoNameWhenDataDoesNotFit) {
    TempRegKey temp;
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey(), "url2", "http://b/"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey(), "url1", "http://a/"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, temp.subkey(), "long", std::string(300, 'z')));

    reg::Key key;
    ASSERT_EQ(reg::OpenKeyEx(HKEY_CURRENT_USER, temp.subkey(), KEY_READ, key.put()), ERROR_SUCCESS);
    std::vector<std::string> names;
    std::string tooLongName = "unset";
    for (DWORD i = 0;; ++i) {
        std::string name;
        std::vector<BYTE> data;
        DWORD type = 0;
        LONG rc = reg::EnumValue(key.get(), i, &name, 256, &type, &data, 256);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_MORE_DATA) {
            tooLongName = name;
            continue;
        }
        ASSERT_EQ(rc, ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        ASSERT_FALSE(data.empty());
        EXPECT_EQ(data.back(), 0);
        names.push_back(name);
        if (name == "url1") {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(data.data())), "http://a/");
        }
        ASSERT_LT(i, 10u);
    }
    EXPECT_EQ(tooLongName, "") << "the value whose data does not fit comes back without a name";
    EXPECT_EQ(names, (std::vector<std::string>{"url1", "url2"}));

    // Without a data buffer the long value is listed too.
    std::string name;
    EXPECT_EQ(reg::EnumValue(key.get(), 0, &name, 256, nullptr, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(name, "long");
    // A name buffer too small for the name.
    EXPECT_EQ(reg::EnumValue(key.get(), 1, &name, 3, nullptr, nullptr, 0), ERROR_MORE_DATA);
    EXPECT_EQ(name, "");
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, temp.subkey()), 3);
}

TEST(Registry, KeyHolderClosesOnceAndHandsOver) {
    TempRegKey temp;
    HKEY raw = nullptr;
    {
        reg::Key key;
        EXPECT_FALSE(key);
        ASSERT_EQ(reg::OpenKeyEx(HKEY_CURRENT_USER, temp.subkey(), KEY_READ, key.put()),
                  ERROR_SUCCESS);
        ASSERT_TRUE(key);
        raw = key.get();
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw)) << "closed when the holder went";

    reg::Key first;
    ASSERT_EQ(reg::OpenKeyEx(HKEY_CURRENT_USER, temp.subkey(), KEY_READ, first.put()), ERROR_SUCCESS);
    raw = first.get();
    reg::Key second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
    EXPECT_TRUE(IsOpen(raw));

    HKEY released = second.release();
    EXPECT_FALSE(second);
    EXPECT_TRUE(IsOpen(released)) << "release gives up ownership without closing";
    second.reset(released);
    second.reset(released);  // the same handle again: not closed under our feet
    EXPECT_TRUE(IsOpen(released));
    second.reset();
    EXPECT_FALSE(IsOpen(released));
    EXPECT_EQ(reg::CloseKey(released), ERROR_INVALID_HANDLE);
}

TEST(Registry, KeysAreReachedAsThemselvesAndALinkIsRemovedNeverItsTarget) {
    TempRegKey temp;
    const HKEY hkcu = HKEY_CURRENT_USER;
    const std::wstring base = bw::platform::paths::Widen(temp.subkey());
    const std::string victim = temp.subkey() + "\\Victim";
    ASSERT_TRUE(SetString(hkcu, victim + "\\sub", "s", "1"));
    ASSERT_TRUE(SetString(hkcu, temp.subkey() + "\\Tree\\a\\b", "v", "1"));
    ASSERT_TRUE(MakeKeyLink(hkcu, temp.subkey() + "\\Tree\\a\\evil", hkcu, victim));
    ASSERT_TRUE(MakeKeyLink(hkcu, temp.subkey() + "\\Link", hkcu, victim));

    reg::Key key;
    EXPECT_EQ(reg::OpenNoFollow(hkcu, base + L"\\Link", KEY_QUERY_VALUE, 0, &key), reg::Reached::Link);
    EXPECT_EQ(reg::RealName(key.get()), reg::CurrentUserRealName() + L"\\" + base + L"\\Link");
    EXPECT_EQ(reg::OpenNoFollow(hkcu, base + L"\\Link\\sub", KEY_QUERY_VALUE, 0, &key), reg::Reached::ThroughLink);
    EXPECT_FALSE(key);
    EXPECT_EQ(reg::CreateNoFollow(hkcu, base + L"\\Link\\made", KEY_QUERY_VALUE, 0, &key), reg::Reached::ThroughLink);
    EXPECT_FALSE(KeyExists(hkcu, victim + "\\made")) << "nothing is made behind a link";
    EXPECT_EQ(reg::OpenNoFollow(hkcu, base + L"\\\\Tree\\\\a\\b", KEY_QUERY_VALUE, 0, &key), reg::Reached::Key)
        << "doubled separators are one";

    // A tree goes through held handles: the link in it is removed itself, its target stays.
    ASSERT_EQ(reg::OpenNoFollow(hkcu, base + L"\\Tree", DELETE | KEY_ENUMERATE_SUB_KEYS, 0, &key), reg::Reached::Key);
    const reg::TreeResult tree = reg::DeleteTree(std::move(key), true);
    EXPECT_TRUE(tree.topGone);
    EXPECT_EQ(tree.keys, 3u);
    EXPECT_EQ(tree.links, 1u);
    EXPECT_FALSE(KeyExists(hkcu, temp.subkey() + "\\Tree"));
    // A link named for itself goes alone (RegDeleteKey by name would delete the target instead).
    ASSERT_EQ(reg::OpenNoFollow(hkcu, base + L"\\Link", DELETE, 0, &key), reg::Reached::Link);
    EXPECT_EQ(reg::DeleteByHandle(key.get()), ERROR_SUCCESS);
    EXPECT_FALSE(KeyLinkExists(hkcu, temp.subkey() + "\\Link"));
    EXPECT_TRUE(ValueExists(hkcu, victim + "\\sub", "s"));
    // A key with subkeys is refused, as RegDeleteKey refuses it.
    ASSERT_EQ(reg::OpenNoFollow(hkcu, bw::platform::paths::Widen(victim), DELETE, 0, &key), reg::Reached::Key);
    EXPECT_EQ(reg::DeleteByHandle(key.get()), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(ValueExists(hkcu, victim + "\\sub", "s"));
}
