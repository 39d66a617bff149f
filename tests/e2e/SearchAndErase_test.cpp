// Drives the real Brightwipe.exe from a second process: the main window's "Search and  Erase"
// opens the disk cleaner, which searches a prepared folder tree, and the selected results go to
// the recycle bin (the user's trash under Wine), after the one-time warning is answered.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>

#include "platform/Shell.h"
#include "tests/support/Driver.h"

using namespace bw::test;

namespace {

const char kStore[] = "Software\\VB and VBA Program Settings\\DriveScrub";

HWND FindChildContaining(HWND parent, const std::string& cls, const std::string& part) {
    for (HWND h : Descendants(parent))
        if (_stricmp(ClassOf(h).c_str(), cls.c_str()) == 0 && WindowText(h).find(part) != std::string::npos) return h;
    return nullptr;
}

// The disk cleaner's settings in this prefix, put back as they were when the test ends.
class StoreSnapshot {
public:
    StoreSnapshot() {
        for (const char* section : {"StartUp", "General"}) {
            HKEY key = nullptr;
            const std::string sub = std::string(kStore) + "\\" + section;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
            for (DWORD i = 0;; ++i) {
                char name[256], data[1024];
                DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
                if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataLen) !=
                    ERROR_SUCCESS)
                    break;
                values_[sub][name] = std::string(data, dataLen ? dataLen - 1 : 0);
            }
            RegCloseKey(key);
        }
    }
    ~StoreSnapshot() {
        DeleteTree(HKEY_CURRENT_USER, kStore);
        for (const auto& [sub, values] : values_)
            for (const auto& [name, value] : values) SetString(HKEY_CURRENT_USER, sub, name, value);
    }

private:
    std::map<std::string, std::map<std::string, std::string>> values_;
};

std::string Setting(const char* section, const char* key) {
    std::string value;
    return GetString(HKEY_CURRENT_USER, std::string(kStore) + "\\" + section, key, &value) ? value : "<missing>";
}

// The text of another process's edit control (its text lives in the control, not the window).
std::string EditText(HWND edit) {
    wchar_t buffer[1024] = L"";
    DWORD_PTR got = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000, &got);
    char text[2048] = "";
    WideCharToMultiByte(CP_ACP, 0, buffer, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

BOOL CALLBACK PrintLeft(HWND h, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == *reinterpret_cast<DWORD*>(lp))
        printf("left: %s '%s' visible=%d\n", ClassOf(h).c_str(), WindowText(h).c_str(), IsWindowVisible(h));
    return TRUE;
}

}  // namespace

TEST(EndToEnd, SearchAndEraseSendsSelectedResultsToTheRecycleBin) {
    ASSERT_FALSE(bw::platform::WineTrashFolder().empty());
    StoreSnapshot snapshot;
    TempDir folder, tree;
    ASSERT_TRUE(InstallProgram(folder.path()));
    ASSERT_TRUE(PathExists(folder / "Ext.txt"));

    // A prepared tree: two junk files to go, one junk file the user keeps, other files.
    const std::string stem = "bwe2e" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
    const std::string junk1 = stem + "a.tmp", junk2 = stem + "b.gid", kept = stem + "c.tmp";
    MakeDirs(tree / "sub");
    WriteTextFile(tree / junk1, "junk one");
    WriteTextFile(tree / ("sub\\" + junk2), "junk two");
    WriteTextFile(tree / kept, "the user keeps this");
    WriteTextFile(tree / "sub\\report.doc", "not junk");
    DeleteTree(HKEY_CURRENT_USER, kStore);
    SetString(HKEY_CURRENT_USER, std::string(kStore) + "\\StartUp", "AppPath", tree.path());
    SetString(HKEY_CURRENT_USER, std::string(kStore) + "\\StartUp", "SubFolders", "1");
    SetString(HKEY_CURRENT_USER, std::string(kStore) + "\\StartUp", "Recycele", "1");
    SetString(HKEY_CURRENT_USER, std::string(kStore) + "\\General", "Prompt", "1");

    Program program(folder.path());
    ASSERT_TRUE(program.started());
    HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
    ASSERT_NE(main, nullptr) << "main window did not appear";
    HWND nav = FindChild(main, "Static", "Search and  Erase");
    ASSERT_NE(nav, nullptr);
    ClickStatic(nav);
    HWND cleaner = WaitForTopWindow(program.pid(), "BrightwipeForm", "Search & Erase", 10000);
    ASSERT_NE(cleaner, nullptr) << "the disk cleaner did not open";
    EXPECT_FALSE(IsWindowEnabled(main)) << "the disk cleaner is modal";

    HWND text = nullptr, results = nullptr;
    for (HWND h : Descendants(cleaner)) {
        if (_stricmp(ClassOf(h).c_str(), "Edit") == 0) text = h;
        if (_stricmp(ClassOf(h).c_str(), "ListBox") == 0 && (GetWindowLongA(h, GWL_STYLE) & LBS_EXTENDEDSEL))
            results = h;
    }
    ASSERT_NE(text, nullptr);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(EditText(text), "*.tmp;*.gid;*.swp;*.chk");
    HWND find = FindChild(cleaner, "Button", "&Find Files");
    ASSERT_NE(find, nullptr);
    PostMessageA(find, BM_CLICK, 0, 0);

    HWND status = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (status = FindChildContaining(cleaner, "Static", "Files Found")) != nullptr; },
                        15000))
        << "no summary";
    EXPECT_EQ(WindowText(status),
              "3  Files Found      .tmp - 2    .gid - 1    .swp - 0    .chk - 0\r\nTotal size: 0.035kb");
    std::vector<std::string> lines = ListBoxItems(results);
    ASSERT_EQ(lines.size(), 3u);
    int keptIndex = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NE(lines[i].find("   Size:"), std::string::npos) << lines[i];
        if (lines[i].rfind(tree / kept + "   Size:19   LastModyfied:", 0) == 0) keptIndex = static_cast<int>(i);
    }
    ASSERT_GE(keptIndex, 0);
    EXPECT_EQ(SendMessageA(results, LB_GETSELCOUNT, 0, 0), 3);
    // The user keeps one file: its line is unselected.
    SendMessageA(results, LB_SETSEL, FALSE, keptIndex);
    ASSERT_EQ(SendMessageA(results, LB_GETSELCOUNT, 0, 0), 2);

    HWND del = FindChild(cleaner, "Button", "&Delete selected");
    ASSERT_NE(del, nullptr);
    PostMessageA(del, BM_CLICK, 0, 0);
    HWND note = WaitForTopWindow(program.pid(), "#32770", "Note", 10000);
    ASSERT_NE(note, nullptr) << "no warning";
    std::string noteText;
    for (HWND h : Descendants(note))
        if (_stricmp(ClassOf(h).c_str(), "Static") == 0) noteText += WindowText(h);
    EXPECT_NE(noteText.find("Deleting file from your Hard Disk is risky"), std::string::npos) << noteText;
    HWND yes = GetDlgItem(note, IDYES);
    ASSERT_NE(yes, nullptr);
    ASSERT_TRUE(WaitFor([&] {
        if (IsWindow(note) && IsWindowVisible(note))
            PostMessageA(note, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(yes));
        return !IsWindow(note) || !IsWindowVisible(note);
    }, 10000));

    // The refreshed list: the chosen folder alone, holding the kept file.
    ASSERT_TRUE(WaitFor([&] {
        HWND s = FindChildContaining(cleaner, "Static", "1  Files Found");
        return s != nullptr;
    }, 15000)) << WindowText(status);
    EXPECT_EQ(ListBoxItems(results).size(), 1u);
    EXPECT_EQ(ListBoxItems(results).at(0).rfind(tree / kept + "   Size:", 0), 0u);

    // The two files are in the trash, with the record that restores them; the rest stays.
    const std::string trash = bw::platform::WineTrashFolder();
    EXPECT_EQ(ReadTextFile(trash + "\\files\\" + junk1), "junk one");
    EXPECT_EQ(ReadTextFile(trash + "\\files\\" + junk2), "junk two");
    EXPECT_NE(ReadTextFile(trash + "\\info\\" + junk1 + ".trashinfo").find("Path="), std::string::npos);
    EXPECT_NE(ReadTextFile(trash + "\\info\\" + junk2 + ".trashinfo").find(junk2), std::string::npos);
    EXPECT_FALSE(PathExists(tree / junk1));
    EXPECT_FALSE(PathExists(tree / ("sub\\" + junk2)));
    EXPECT_EQ(ReadTextFile(tree / kept), "the user keeps this");
    EXPECT_EQ(ReadTextFile(tree / "sub\\report.doc"), "not junk");
    EXPECT_EQ(Setting("General", "Prompt"), "0");
    EXPECT_EQ(Setting("StartUp", "SubFolders"), "0");
    EXPECT_EQ(Setting("StartUp", "AppPath"), tree.path());
    SaveScreenshot(ArtifactsDir() + "\\e2e-search-and-erase.bmp", cleaner);

    // Exit closes the disk cleaner and gives the main window back.
    HWND exitButton = FindChild(cleaner, "Button", "E&xit");
    ASSERT_NE(exitButton, nullptr);
    PostMessageA(exitButton, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(cleaner); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 10000));
    PostMessageA(main, WM_CLOSE, 0, 0);
    bool exited = program.WaitForExit(15000);
    EXPECT_TRUE(exited);
    if (!exited) {
        DWORD pid = program.pid();
        EnumWindows(PrintLeft, reinterpret_cast<LPARAM>(&pid));
    }

    for (const std::string& name : {junk1, junk2}) {
        DeleteFileA((trash + "\\files\\" + name).c_str());
        DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
    }
}
