// The typed-address keep-list window: what it lists, its keep file, and its buttons.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/frmMainCode.h"
#include "platform/LineFile.h"
#include "ui/Forms.h"
#include "settings/frmurl.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

using bw::frmurl;
using namespace bw::test;

namespace {

const char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

std::vector<std::string> Items(const bw::ui::ListBox& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
    return items;
}

class UrlKeepList : public ::testing::Test {
protected:
    void SetUp() override {
        // The window reads the browser's own key: keep what the prefix has and start empty.
        backedUp_ = KeyExists(HKEY_CURRENT_USER, kTypedUrls);
        if (backedUp_) ReadAll(&saved_);
        DeleteTree(HKEY_CURRENT_USER, kTypedUrls);
    }
    void TearDown() override {
        bw::ui::Release<frmurl>();
        DeleteTree(HKEY_CURRENT_USER, kTypedUrls);
        if (backedUp_) {
            HKEY key;
            RegCreateKeyA(HKEY_CURRENT_USER, kTypedUrls, &key);
            RegCloseKey(key);
            for (auto& [name, value] : saved_) SetString(HKEY_CURRENT_USER, kTypedUrls, name, value);
        }
    }
    static void ReadAll(std::vector<std::pair<std::string, std::string>>* out) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kTypedUrls, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD len = sizeof(name);
            if (RegEnumValueA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            std::string value;
            if (GetString(HKEY_CURRENT_USER, kTypedUrls, name, &value)) out->push_back({name, value});
        }
        RegCloseKey(key);
    }
    frmurl& Open() {
        frmurl& form = bw::ui::Get<frmurl>();
        form.Load();
        return form;
    }
    void Click(bw::ui::CommandButton& button) { SendMessageA(button.hwnd(), BM_CLICK, 0, 0); }

    ProgramFolder folder_;
    bool backedUp_ = false;
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(UrlKeepList, WindowCarriesItsCaptions) {
    frmurl& form = Open();
    EXPECT_EQ(WindowText(form.hwnd()), "URL Drop-List Options");
    EXPECT_EQ(form.Frame1.Caption(), "URL Drop-List");
    EXPECT_EQ(WindowText(form.Label1.hwnd()), "Current URL List");
    EXPECT_EQ(WindowText(form.Label2.hwnd()), "URL Keep List");
    EXPECT_EQ(WindowText(form.cmdAdd.hwnd()), "Add >");
    EXPECT_EQ(WindowText(form.cmdRemove.hwnd()), "< Remove");
    EXPECT_FALSE(form.Visible());
}

TEST_F(UrlKeepList, ListsTypedUrlsAndNoKeepListWithoutFile) {
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://one.example/");
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url2", "http://two.example/");
    frmurl& form = Open();
    EXPECT_EQ(Items(form.List2), (std::vector<std::string>{"http://one.example/", "http://two.example/"}));
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_FALSE(PathExists(folder_.file("keepurl.dat"))) << "loading never creates the keep file";
}

TEST_F(UrlKeepList, MissingKeyListsNothingButKeepListStillLoads) {
    WriteTextFile(folder_.file("keepurl.dat"), "http://kept.example/   \r\nhttp://second.example/\r\n");
    frmurl& form = Open();
    EXPECT_EQ(form.List2.ListCount(), 0);
    EXPECT_EQ(Items(form.List1), (std::vector<std::string>{"http://kept.example/", "http://second.example/"}))
        << "entries are read without their trailing blanks";
}

TEST_F(UrlKeepList, SkipsErrorTextAndStopsAtAnOverlongValue) {
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "error");
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url2", "http://fine.example/");
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url3", std::string(300, 'x'));
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url4", "http://after.example/");
    frmurl& form = Open();
    EXPECT_EQ(Items(form.List2), (std::vector<std::string>{"http://fine.example/"}));
}

TEST_F(UrlKeepList, AddTwiceKeepsTheEntryOnce) {
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://one.example/");
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url2", "http://two.example/");
    frmurl& form = Open();
    form.List2.SetListIndex(1);
    Click(form.cmdAdd);
    Click(form.cmdAdd);
    EXPECT_EQ(Items(form.List1), (std::vector<std::string>{"http://two.example/"}));
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")), "http://two.example/\r\n");
    EXPECT_EQ(Items(form.List2).size(), 2u) << "the current list is untouched";
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kTypedUrls), 2) << "the typed addresses are untouched";
}

TEST_F(UrlKeepList, AddWithNothingSelectedAddsAnEmptyEntry) {
    frmurl& form = Open();
    Click(form.cmdAdd);
    EXPECT_EQ(Items(form.List1), (std::vector<std::string>{""}));
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")), "\r\n");
}

TEST_F(UrlKeepList, RemoveTakesEverySelectedEntryAndRewritesTheRestInOrder) {
    WriteTextFile(folder_.file("keepurl.dat"), "a\r\nb\r\nc\r\nd\r\n");
    frmurl& form = Open();
    form.List1.SetSelected(1, true);
    form.List1.SetSelected(3, true);
    Click(form.cmdRemove);
    EXPECT_EQ(Items(form.List1), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")), "a\r\nc\r\n");

    Click(form.cmdRemove);
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")), "a\r\nc\r\n") << "nothing selected rewrites unchanged";

    form.List1.SetSelected(0, true);
    form.List1.SetSelected(1, true);
    Click(form.cmdRemove);
    EXPECT_EQ(form.List1.ListCount(), 0);
    EXPECT_TRUE(PathExists(folder_.file("keepurl.dat")));
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")), "") << "removing all leaves an empty file";
}

// "Add >" after a keep file whose last line has no end: both entries stay apart, on screen and
// in the file the erase reads.
TEST_F(UrlKeepList, AddAfterAnUnendedLastLineKeepsBothEntries) {
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://new.example/");
    for (const char* before : {"http://old.example/", "http://old.example/\r", "a\r\nhttp://old.example/"}) {
        WriteTextFile(folder_.file("keepurl.dat"), before);
        frmurl& form = Open();
        form.List2.SetListIndex(0);
        Click(form.cmdAdd);
        std::vector<std::string> expected{"http://old.example/", "http://new.example/"};
        if (before[0] == 'a') expected.insert(expected.begin(), "a");
        EXPECT_EQ(Items(form.List1), expected) << before;
        EXPECT_EQ(bw::platform::ReadLines(folder_.file("keepurl.dat")).value_or(std::vector<std::string>{}), expected)
            << before;
        bw::ui::Unload<frmurl>();
        EXPECT_EQ(Items(Open().List1), expected) << before << ": and after reopening";
        bw::ui::Unload<frmurl>();
    }
}

// A keep file that is a link to a file elsewhere: Add and Remove replace the link in the
// program folder and never write through it.
TEST_F(UrlKeepList, AddAndRemoveNeverWriteThroughALinkedKeepFile) {
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://new.example/");
    TempDir outside;
    WriteTextFile(outside / "precious.txt", "line one\r\nline two");
    ASSERT_TRUE(MakeLink(outside / "precious.txt", folder_.file("keepurl.dat")));
    WriteTextFile(outside / "other.txt", "other");
    ASSERT_TRUE(MakeLink(outside / "other.txt", folder_.file("temp")));
    frmurl& form = Open();
    EXPECT_EQ(Items(form.List1), (std::vector<std::string>{"line one", "line two"}));
    form.List1.SetSelected(0, true);
    Click(form.cmdRemove);
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")), "line two\r\n");
    EXPECT_EQ(ReadTextFile(outside / "precious.txt"), "line one\r\nline two");
    form.List2.SetListIndex(0);
    Click(form.cmdAdd);
    EXPECT_EQ(ReadTextFile(folder_.file("keepurl.dat")), "line two\r\nhttp://new.example/\r\n");
    EXPECT_EQ(ReadTextFile(outside / "precious.txt"), "line one\r\nline two");
    EXPECT_EQ(ReadTextFile(folder_.file("temp")), "other");
    EXPECT_EQ(ReadTextFile(outside / "other.txt"), "other");
}

// The 1.2 GB keep file that used to end the program, and one of 16 MiB of line ends that would
// have frozen it: the window opens at once with an empty keep list, and "Add >" shows nothing it
// could not keep; the file is left as it was.
TEST_F(UrlKeepList, AKeepFileAboveTheLimitsOpensAnEmptyList) {
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://new.example/");
    const std::string keep = folder_.file("keepurl.dat");
    for (bool sparse : {true, false}) {
        LARGE_INTEGER size;
        size.QuadPart = sparse ? 1200LL << 20 : static_cast<LONGLONG>(bw::platform::kMaxListFileBytes);
        if (sparse) {  // takes no room on disk
            HANDLE file =
                CreateFileA(keep.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
            CloseHandle(file);
        } else {
            WriteTextFile(keep, std::string(bw::platform::kMaxListFileBytes, '\n'));
        }

        frmurl& form = Open();
        EXPECT_EQ(form.List1.ListCount(), 0) << sparse;
        EXPECT_EQ(form.List2.ListCount(), 1) << sparse;
        form.List2.SetListIndex(0);
        Click(form.cmdAdd);
        EXPECT_EQ(form.List1.ListCount(), 0) << sparse;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExA(keep.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ((static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, size.QuadPart) << sparse;
        bw::ui::Unload<frmurl>();
    }
}

TEST_F(UrlKeepList, ReloadingReadsTheListsAfresh) {
    frmurl& form = Open();
    form.List1.AddItem("only in the window");
    bw::ui::Unload<frmurl>();
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://later.example/");
    frmurl& again = Open();
    EXPECT_EQ(again.List1.ListCount(), 0);
    EXPECT_EQ(Items(again.List2), (std::vector<std::string>{"http://later.example/"}));
}

// What the window looked like while the main window's Options button held it open.
struct ModalSeen {
    bool shown = false;
    bool mainDisabled = false;
    int current = -1;
    HWND main = nullptr;
} modalSeen;

void CALLBACK CloseWhenShown(HWND, UINT, UINT_PTR, DWORD) {
    if (!bw::ui::IsLoaded<frmurl>() || !bw::ui::Get<frmurl>().Visible() || modalSeen.shown) return;
    modalSeen.shown = true;
    modalSeen.mainDisabled = !IsWindowEnabled(modalSeen.main);
    modalSeen.current = bw::ui::Get<frmurl>().List2.ListCount();
    PostMessageA(bw::ui::Get<frmurl>().hwnd(), WM_CLOSE, 0, 0);  // its close box
}

TEST_F(UrlKeepList, OptionsButtonOfTheMainWindowOpensItModally) {
    SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://one.example/");
    bw::frmMainCode& main = bw::ui::Get<bw::frmMainCode>();
    main.Load();
    main.Show();
    main.Check1.SetValue(1);
    modalSeen = {};
    modalSeen.main = main.hwnd();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseWhenShown);
    SendMessageA(main.Command7.hwnd(), BM_CLICK, 0, 0);  // returns when the window is closed
    KillTimer(nullptr, timer);
    EXPECT_TRUE(modalSeen.shown);
    EXPECT_TRUE(modalSeen.mainDisabled) << "the main window waits behind it";
    EXPECT_EQ(modalSeen.current, 1);
    EXPECT_FALSE(bw::ui::IsLoaded<frmurl>());
    EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
    bw::ui::Release<bw::frmMainCode>();
}

TEST_F(UrlKeepList, MainWindowCloseUnloadsIt) {
    bw::frmMainCode& main = bw::ui::Get<bw::frmMainCode>();
    main.Load();
    Open();
    ASSERT_TRUE(bw::ui::IsLoaded<frmurl>());
    main.Unload();
    EXPECT_FALSE(bw::ui::IsLoaded<frmurl>());
    bw::ui::Release<bw::frmMainCode>();
}

}  // namespace
