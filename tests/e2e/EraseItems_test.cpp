// The real Brightwipe.exe erases every trace it knows on a prepared prefix: started from a second
// process with every item and every sub-item checked and custom items on, "Erase Now" pressed;
// then the status list, the summary box, the settings file, the registry and the files are
// checked, kept entries and everything reached through links included.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "settings/Inifun.h"
#include "tests/support/Driver.h"
#include "tests/support/Overrides.h"

using namespace bw::test;
using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kTyped[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

std::string ShellFolder(const char* name) {
    std::string value;
    GetString(HKEY_CURRENT_USER, kShellFolders, name, &value);
    return value;
}

bool HistoryHas(const std::string& url) {
    char buf[8192];
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buf);
    DWORD size = sizeof buf;
    HANDLE find = FindFirstUrlCacheEntryA("Visited:", info, &size);
    if (!find) return false;
    bool found = false;
    do {
        if (std::string(info->lpszSourceUrlName).find(url) != std::string::npos) found = true;
        size = sizeof buf;
    } while (!found && FindNextUrlCacheEntryA(find, info, &size));
    FindCloseUrlCache(find);
    return found;
}

bool AddHistory(const std::string& url) {
    char user[256] = "user";
    DWORD len = sizeof user;
    GetUserNameA(user, &len);
    std::string name = std::string("Visited: ") + user + "@" + url;
    FILETIME none{};
    return CommitUrlCacheEntryA(name.c_str(), nullptr, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                                nullptr) != FALSE;
}

bool SetClipboardText(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
    return true;
}

bool ClipboardHasText() {
    if (!OpenClipboard(nullptr)) return false;
    bool has = IsClipboardFormatAvailable(CF_TEXT) != FALSE;
    CloseClipboard();
    return has;
}

TEST(EndToEnd, EraseEveryItemKeepsWhatTheUserKeeps) {
    TempDir folder;
    ASSERT_TRUE(InstallProgram(folder.path()));
    const std::string settings = folder / "bwsd.dat";

    // The user's choice: every item, every sub-item, and the custom items.
    for (const char* key : {"location", "history", "cache", "cookies", "favorites", "autocomplete", "downloaded",
                            "netscape", "opera", "msn", "google"})
        WriteIni(settings, "BROWSERS", key, "1");
    for (const char* key : {"recent", "run", "search", "temp", "recycle", "open", "scandisk", "passwords", "clip",
                            "wordpad", "paint"})
        WriteIni(settings, "WINDOWS", key, "1");
    for (const char* key : {"winzip", "media", "realplayer", "realone", "office"})
        WriteIni(settings, "APPLICATIONS", key, "1");
    for (const char* section : {"NETSCAPE", "OPERA", "MSN"})
        for (const char* key : {"Location", "Cookies", "Cache", "History"}) WriteIni(settings, section, key, "1");
    for (const char* key : {"word", "excel", "powerpoint", "frontpage", "access"}) WriteIni(settings, "OFFICE", key, "1");
    for (const char* key : {"ACDSee5", "ACDsee4", "AcrobatReader4", "AcrobatReader5", "AOL", "CuteFTP", "DivxPlayer",
                            "FlashGet", "GetRight", "Hotbar", "ICQ", "KaZaA", "Morpheus", "NetVampire", "MSNMessager",
                            "PowerDVD", "QuickTime", "SWiSH", "ThePlayer", "Winamp", "WinRar", "Aol70", "Yahoo!"})
        WriteIni(settings, "MOREAPPLICATIONS", key, "1");
    WriteIni(settings, "Additional", "Custom", "1");

    // Files of the other browsers, of an application and of the custom items, each with whether
    // it goes; "*.doc" is a relative custom line, which must delete nothing.
    const std::string profile = ShellFolder("AppData") + "\\Mozilla\\Profiles\\default\\";
    const std::string kazaa = "C:\\Program Files\\KaZaA\\Db\\";
    TempDir opera, msn, custom;
    const std::vector<std::pair<std::string, bool>> files = {
        {profile + "cookies.txt", true}, {profile + "Cache\\_CACHE_001_", true}, {profile + "prefs.js", false},
        {opera / "profile\\opera.dir", true}, {opera / "profile\\cookies4.dat", true},
        {opera / "profile\\cache4\\a.tmp", true}, {opera / "profile\\opera6.ini", false},
        {opera / "profile\\cache4\\sub\\b.tmp", false}, {msn / "Cookies\\user@msn.txt", true}, {msn / "msn6.ini", false},
        {kazaa + "shared.dbb", true}, {kazaa + "sub\\kept.dbb", false}, {custom / "x.tmp", true},
        {custom / "keep.doc", false}, {custom / "sub\\y.tmp", false}};
    for (const auto& file : files)
        MakeDirs(file.first.substr(0, file.first.rfind('\\'))), WriteTextFile(file.first, "trace");
    WriteIni(settings, "OPERA", "Path", opera.path());
    WriteIni(settings, "msn", "path", msn.path());
    WriteTextFile(folder / "cusd.dat", custom / "*.tmp  \r\n*.doc\r\n");
    const std::pair<std::string, const char*> values[] = {
        {"Software\\Google\\NavClient\\1.1\\History", "q"}, {"Software\\Nico Mak Computing\\WinZip\\filemenu", "a"},
        {"Software\\Microsoft\\Office\\10.0\\Excel\\Recent Files", "File1"}, {"Software\\DivXNetworks\\DivX Player", "File1"}};
    for (const auto& [key, name] : values) SetString(HKEY_CURRENT_USER, key, name, "secret");

    // Typed addresses, one of them kept.
    SetString(HKEY_CURRENT_USER, kTyped, "url1", "http://gone-one.example/");
    SetString(HKEY_CURRENT_USER, kTyped, "url2", "http://keep.example/");
    SetString(HKEY_CURRENT_USER, kTyped, "url3", "http://gone-two.example/");
    WriteTextFile(folder / "keepurl.dat", "http://keep.example/\r\n");
    ASSERT_TRUE(AddHistory("http://history.example/page"));

    // Cache, cookies (one kept), favorites.
    const std::string cache = ShellFolder("Cache"), cookies = ShellFolder("Cookies"),
                      favorites = ShellFolder("Favorites");
    ASSERT_FALSE(cache.empty());
    ASSERT_FALSE(cookies.empty());
    ASSERT_FALSE(favorites.empty());
    MakeDirs(cache + "\\Content.IE5\\ABCDEFGH");
    WriteTextFile(cache + "\\Content.IE5\\ABCDEFGH\\page[1].htm", std::string(4000, 'c'));
    WriteTextFile(cache + "\\loose.gif", std::string(1000, 'g'));
    MakeDirs(cookies);
    WriteTextFile(cookies + "\\user@gone.example.txt", "cookie");
    WriteTextFile(cookies + "\\user@keep.example.txt", "cookie");
    WriteTextFile(folder / "keepcook.dat", cookies + "\\user@keep.example.txt\r\n");
    MakeDirs(favorites + "\\Links");
    WriteTextFile(favorites + "\\Links\\site.url", "[InternetShortcut]\r\nURL=http://site.example/\r\n");

    // The program's temp folder, with something that must stay, and something outside it
    // reached only through a link.
    TempDir temp, outside;
    WriteTextFile(temp / "junk.tmp", std::string(2000, 'j'));
    MakeDirs(temp / "sub");
    WriteTextFile(temp / "sub\\more.tmp", "more");
    WriteTextFile(temp / "locked.tmp", "read-only");
    SetFileAttributesA((temp / "locked.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(outside / "precious.doc", "the user's own");
    ASSERT_TRUE(MakeLink(outside.path(), temp / "linked"));

    // Windows lists.
    SetString(HKEY_CURRENT_USER, std::string(kExplorer) + "RunMRU", "a", "notepad\\1");
    SetString(HKEY_CURRENT_USER, std::string(kExplorer) + "ComDlg32\\OpenSaveMRU\\txt", "a", "C:\\x.txt");
    SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
              "File1", "C:\\letter.doc");
    SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
              "File1", "C:\\picture.bmp");
    ASSERT_TRUE(SetClipboardText("secret text"));

    // Start the program with its own temp folder and erase.
    std::optional<EnvironmentOverride> env(std::in_place);
    env->Set("TMP", temp.path());
    env->Set("TEMP", temp.path());
    Program program(folder.path());
    env.reset();
    ASSERT_TRUE(program.started());
    HWND main = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe V2.60", 20000);
    ASSERT_NE(main, nullptr);
    ClickStatic(FindChild(main, "Static", "ERASE NOW"));
    HWND erase = WaitForTopWindow(program.pid(), "BrightwipeForm", "Brightwipe", 10000);
    ASSERT_NE(erase, nullptr);
    PostMessageA(FindChild(erase, "Button", "Erase Now"), BM_CLICK, 0, 0);

    HWND box = WaitForTopWindow(program.pid(), "#32770", "Task Complete", 60000);
    ASSERT_NE(box, nullptr) << "no summary box";
    SaveScreenshot(ArtifactsDir() + "\\e2e-erase-items.bmp", box);
    // What was really removed: at least the entries planted here (two typed addresses, the Run,
    // open/save, WordPad and Paint lists); what else the prefix held may add to it.
    std::smatch m;
    std::string text = MessageBoxText(box);
    ASSERT_TRUE(std::regex_match(text, m,
                                 std::regex("Task complete Successfully! Erased Registry Keys: ([0-9]+) Released HD "
                                            "Space:([0-9]*)\\.([0-9]{0,2})MB")))
        << text;
    const std::string erasedEntries = m[1].str();
    EXPECT_GE(std::stoi(erasedEntries), 6) << text;
    std::vector<std::string> lines = ListBoxItems(FindChildOfClass(erase, "ListBox"));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "Please waiting,Begin Erasing");
    EXPECT_EQ(lines.back(), "Task complete Successfully!");
    for (const char* line : {"Erasing IE Location Bar History.....OK", "Erasing IE Cookies.......OK",
                             "Erasing Windows Temp.......OK", "Erasing Recycle Bin......OK",
                             "Erasing Windows Clipboard......", "Erasing Windows Paint Recent Files......OK",
                             "Erasing Netscape Navigator......OK", "Erasing Opera......OK", "Erasing MSN Explorer......OK",
                             "Erasing MS-Office Tracks......OK", "Erasing Custom Clean Items......OK"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    EXPECT_EQ(lines.size(), 2u + 27u * 2u + 2u + 2u);

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return ReadIni(settings, "WINDOWS", "regnum") == erasedEntries; }, 10000));
    // What the folders held and lost: the 2,000-byte junk file among it, so at least .01 MB.
    EXPECT_GE(std::stod("0" + m[2].str() + "." + m[3].str() + "0"), 0.01);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(15000));

    // Typed addresses: only the kept one, renumbered.
    std::string url1;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, kTyped, "url1", &url1));
    EXPECT_EQ(url1, "http://keep.example/");
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kTyped), 1);
    EXPECT_FALSE(HistoryHas("http://history.example/page"));

    EXPECT_FALSE(PathExists(cache + "\\Content.IE5\\ABCDEFGH\\page[1].htm"));
    EXPECT_FALSE(PathExists(cache + "\\loose.gif"));
    EXPECT_FALSE(PathExists(cookies + "\\user@gone.example.txt"));
    EXPECT_TRUE(PathExists(cookies + "\\user@keep.example.txt"));
    EXPECT_FALSE(PathExists(favorites + "\\Links\\site.url"));
    EXPECT_TRUE(IsDirectory(favorites));

    EXPECT_FALSE(PathExists(temp / "junk.tmp"));
    EXPECT_FALSE(PathExists(temp / "sub"));
    EXPECT_TRUE(PathExists(temp / "locked.tmp"));
    EXPECT_EQ(ReadTextFile(outside / "precious.doc"), "the user's own");

    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, std::string(kExplorer) + "RunMRU"), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kExplorer) + "ComDlg32\\OpenSaveMRU\\txt"));
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List"),
              0);
    EXPECT_EQ(ValueCount(HKEY_CURRENT_USER,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List"),
              0);
    EXPECT_FALSE(ClipboardHasText());

    for (const auto& [path, goes] : files) EXPECT_EQ(PathExists(path), !goes) << path;
    for (const auto& [key, name] : values) EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, key, name)) << key;
    EXPECT_EQ(ReadTextFile(folder / "cusd.dat"), custom / "*.tmp  \r\n*.doc\r\n");

    // Leave the shared prefix as the next test expects it.
    DeleteFileA((cookies + "\\user@keep.example.txt").c_str());
    SetFileAttributesA((temp / "locked.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteTree(HKEY_CURRENT_USER, kTyped);
    RunUnix("/bin/rm", {"-rf", UnixPath(ShellFolder("AppData") + "\\Mozilla"), UnixPath("C:\\Program Files\\KaZaA")});
    for (const char* key : {"Software\\Google", "Software\\Nico Mak Computing", "Software\\Microsoft\\Office",
                            "Software\\Microsoft\\FrontPage", "Software\\DivXNetworks"})
        DeleteTree(HKEY_CURRENT_USER, key);
    DeleteTree(HKEY_CLASSES_ROOT, "Software\\RealNetworks");
}

}  // namespace
