// The cookie keep-list window: the cookie files it lists, its keep file, and its buttons.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/Forms.h"
#include "app/frmMainCode.h"
#include "settings/frmcookie.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

using bw::frmcookie;
using namespace bw::test;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::string> Items(const bw::ui::ListBox& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
    return items;
}

// Points the user's Cookies folder somewhere else for one test and puts it back afterwards.
class CookiesFolderOverride {
public:
    explicit CookiesFolderOverride(const std::string* path) {
        had_ = GetString(HKEY_CURRENT_USER, kShellFolders, "Cookies", &old_);
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key);
        if (path) RegSetValueExA(key, "Cookies", 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()),
                                 static_cast<DWORD>(path->size() + 1));
        else RegDeleteValueA(key, "Cookies");
        RegCloseKey(key);
    }
    ~CookiesFolderOverride() {
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key);
        if (had_) RegSetValueExA(key, "Cookies", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                                 static_cast<DWORD>(old_.size() + 1));
        else RegDeleteValueA(key, "Cookies");
        RegCloseKey(key);
    }

private:
    bool had_ = false;
    std::string old_;
};

class CookieKeepList : public ::testing::Test {
protected:
    void TearDown() override { bw::ui::Release<frmcookie>(); }
    frmcookie& Open() {
        frmcookie& form = bw::ui::Get<frmcookie>();
        form.Load();
        return form;
    }
    void Click(bw::ui::CommandButton& button) { SendMessageA(button.hwnd(), BM_CLICK, 0, 0); }

    ProgramFolder folder_;
    TempDir cookies_;
};

TEST_F(CookieKeepList, ListsFilesWhoseNameHoldsLowerCaseTxt) {
    WriteTextFile(cookies_ / "user@site[1].txt", "c");
    WriteTextFile(cookies_ / "user@other[2].txt", "c");
    WriteTextFile(cookies_ / "CAPITALS.TXT", "c");
    WriteTextFile(cookies_ / "middle.txt.bak", "c");
    WriteTextFile(cookies_ / "index.dat", "c");
    MakeDirs(cookies_ / "folder.txt");
    WriteTextFile(cookies_ / "folder.txt\\inner.txt", "c");
    CookiesFolderOverride over(&cookies_.path());
    frmcookie& form = Open();
    std::vector<std::string> listed = Items(form.lstCookieList);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{cookies_ / "middle.txt.bak", cookies_ / "user@other[2].txt",
                                                cookies_ / "user@site[1].txt"}));
    EXPECT_EQ(form.List1.ListCount(), 0);
}

TEST_F(CookieKeepList, MissingFolderValueOrFolderListsNothing) {
    WriteTextFile(folder_.file("keepcook.dat"), "C:\\kept\\a.txt\r\n");
    {
        CookiesFolderOverride over(nullptr);
        frmcookie& form = Open();
        EXPECT_EQ(form.lstCookieList.ListCount(), 0);
        EXPECT_EQ(Items(form.List1), (std::vector<std::string>{"C:\\kept\\a.txt"}));
        bw::ui::Unload<frmcookie>();
    }
    std::string missing = cookies_ / "not-there";
    CookiesFolderOverride over(&missing);
    frmcookie& form = Open();
    EXPECT_EQ(form.lstCookieList.ListCount(), 0);
    EXPECT_EQ(form.List1.ListCount(), 1);
}

TEST_F(CookieKeepList, AddAndRemoveKeepTheFileInStep) {
    WriteTextFile(cookies_ / "a.txt", "c");
    CookiesFolderOverride over(&cookies_.path());
    frmcookie& form = Open();
    ASSERT_EQ(form.lstCookieList.ListCount(), 1);
    form.lstCookieList.SetListIndex(0);
    Click(form.cmdAdd);
    EXPECT_EQ(Items(form.List1), (std::vector<std::string>{cookies_ / "a.txt"}));
    EXPECT_EQ(ReadTextFile(folder_.file("keepcook.dat")), cookies_ / "a.txt" + "\r\n");

    form.List1.SetSelected(0, true);
    Click(form.cmdRemove);
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_EQ(ReadTextFile(folder_.file("keepcook.dat")), "");
    EXPECT_TRUE(PathExists(cookies_ / "a.txt")) << "the window never deletes a cookie";
}

// What the window looked like while the main window's Options button held it open.
struct ModalSeen {
    bool shown = false;
    bool mainDisabled = false;
    HWND main = nullptr;
} modalSeen;

void CALLBACK CloseWhenShown(HWND, UINT, UINT_PTR, DWORD) {
    if (!bw::ui::IsLoaded<frmcookie>() || !bw::ui::Get<frmcookie>().Visible() || modalSeen.shown) return;
    modalSeen.shown = true;
    modalSeen.mainDisabled = !IsWindowEnabled(modalSeen.main);
    PostMessageA(bw::ui::Get<frmcookie>().hwnd(), WM_CLOSE, 0, 0);
}

TEST_F(CookieKeepList, OptionsButtonOfTheMainWindowOpensItModallyAndCloseUnloadsIt) {
    CookiesFolderOverride over(&cookies_.path());
    bw::frmMainCode& main = bw::ui::Get<bw::frmMainCode>();
    main.Load();
    main.Show();
    main.Check4.SetValue(1);
    modalSeen = {};
    modalSeen.main = main.hwnd();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseWhenShown);
    SendMessageA(main.Command8.hwnd(), BM_CLICK, 0, 0);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(modalSeen.shown);
    EXPECT_TRUE(modalSeen.mainDisabled);
    EXPECT_FALSE(bw::ui::IsLoaded<frmcookie>());

    Open();
    main.Unload();
    EXPECT_FALSE(bw::ui::IsLoaded<frmcookie>()) << "closing the main window unloads it";
    bw::ui::Release<bw::frmMainCode>();
}

}  // namespace
