// Favorites export to and import from bookmark files, on throwaway Favorites folders.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/Favorites.h"
#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
using bw::platform::ExportFavoritesTree;
using bw::platform::ImportFavoritesTree;

namespace {

std::string Shortcut(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

std::string UrlOf(const std::string& path) {
    char buf[4096] = {};
    GetPrivateProfileStringA("InternetShortcut", "URL", "", buf, sizeof buf, path.c_str());
    return buf;
}

// Every entry below `dir`, by relative path: folders map to "<dir>", shortcuts to their URL,
// other files to their content. Links to folders are listed but not entered.
void Collect(const std::string& dir, const std::string& rel, std::map<std::string, std::string>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        std::string r = rel.empty() ? name : rel + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[r] = "<dir>";
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Collect(dir + "\\" + name, r, out);
        } else if (name.size() > 4 && name.substr(name.size() - 4) == ".url") {
            out[r] = UrlOf(dir + "\\" + name);
        } else {
            out[r] = ReadTextFile(dir + "\\" + name);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::map<std::string, std::string> Tree(const std::string& dir) {
    std::map<std::string, std::string> out;
    Collect(dir, "", out);
    return out;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A crafted input must never keep the user waiting: this guard is generous on purpose.
constexpr DWORD kGuardMs = 20000;

// A small Favorites tree: two levels of folders, an empty folder, a title with & in it,
// a URL with & and a quote, a non-ASCII title, and files that are not shortcuts.
void BuildTree(const std::string& fav) {
    MakeDirs(fav + "\\News\\Local");
    MakeDirs(fav + "\\Empty");
    WriteTextFile(fav + "\\Home.url", Shortcut("http://example.com/"));
    WriteTextFile(fav + "\\R&D.url", Shortcut("http://example.com/?a=1&b=\"2\""));
    WriteTextFile(fav + "\\Caf\xE9.url", Shortcut("http://example.com/cafe"));
    WriteTextFile(fav + "\\News\\Daily.url",
                  "[DEFAULT]\r\nBASEURL=http://wrong/\r\n[InternetShortcut]\r\nURL=http://news.example/\r\nIconIndex=0\r\n");
    WriteTextFile(fav + "\\News\\Local\\Town.url", Shortcut("http://town.example/"));
    WriteTextFile(fav + "\\News\\notes.txt", "not a shortcut");
    WriteTextFile(fav + "\\NoUrl.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
}

}  // namespace

TEST(Favorites, ExportWritesTheTreeAsABookmarkFileAndLeavesItUnchanged) {
    TempDir dir;
    std::string fav = dir / "Favorites";
    BuildTree(fav);
    auto before = Tree(fav);

    ASSERT_TRUE(ExportFavoritesTree(fav, dir / "bookmarks.htm"));
    std::string html = ReadTextFile(dir / "bookmarks.htm");

    EXPECT_EQ(html.rfind("<!DOCTYPE NETSCAPE-Bookmark-file-1>", 0), 0u);
    EXPECT_TRUE(Contains(html, "charset=UTF-8"));
    EXPECT_TRUE(Contains(html, "<TITLE>Bookmarks</TITLE>"));
    EXPECT_TRUE(Contains(html, "<H1>Bookmarks</H1>"));
    EXPECT_TRUE(Contains(html, "\">News</H3>\r\n    <DL><p>\r\n"));
    EXPECT_TRUE(Contains(html, "<DT><H3 FOLDED ADD_DATE=\""));
    EXPECT_TRUE(Contains(html, "<DT><A HREF=\"http://example.com/\" ADD_DATE=\""));
    EXPECT_TRUE(Contains(html, "LAST_VISIT=\""));
    EXPECT_TRUE(Contains(html, "LAST_MODIFIED=\""));
    EXPECT_TRUE(Contains(html, "\">Home</A>"));
    EXPECT_TRUE(Contains(html, "HREF=\"http://example.com/?a=1&amp;b=&quot;2&quot;\""));
    EXPECT_TRUE(Contains(html, ">R&amp;D</A>"));
    EXPECT_TRUE(Contains(html, ">Caf\xC3\xA9</A>"));  // written as UTF-8
    EXPECT_TRUE(Contains(html, "HREF=\"http://news.example/\""));
    EXPECT_FALSE(Contains(html, "http://wrong/"));
    EXPECT_FALSE(Contains(html, "notes"));
    EXPECT_FALSE(Contains(html, "NoUrl"));
    // Town sits inside Local, inside News.
    size_t news = html.find(">News</H3>"), local = html.find(">Local</H3>"),
           town = html.find(">Town</A>");
    ASSERT_NE(town, std::string::npos);
    EXPECT_LT(news, local);
    EXPECT_LT(local, town);
    EXPECT_EQ(Tree(fav), before);
}

TEST(Favorites, ExportDoesNotFollowALinkToAFolderOutside) {
    TempDir dir, outside;
    std::string fav = dir / "Favorites";
    MakeDirs(fav);
    WriteTextFile(fav + "\\Home.url", Shortcut("http://example.com/"));
    WriteTextFile(outside / "Secret.url", Shortcut("http://secret.example/"));
    ASSERT_TRUE(MakeLink(outside.path(), fav + "\\Linked"));

    ASSERT_TRUE(ExportFavoritesTree(fav, dir / "bookmarks.htm"));
    std::string html = ReadTextFile(dir / "bookmarks.htm");
    EXPECT_TRUE(Contains(html, ">Home</A>"));
    EXPECT_FALSE(Contains(html, "Linked"));
    EXPECT_FALSE(Contains(html, "secret"));
    EXPECT_EQ(UrlOf(outside / "Secret.url"), "http://secret.example/");
}

TEST(Favorites, ExportWalksTrueNamesAndNeverLeavesTheFolder) {
    TempDir dir;
    std::string fav = dir / "Profile\\Favorites";
    MakeDirs(fav);
    WriteTextFile(dir / "Secret.url", Shortcut("http://secret.example/"));
    // Names the ANSI listing reads as "..\..": three side by side, the first nested three deep,
    // then two long names, so the last shortcut lies beyond MAX_PATH. Long paths keep the dots.
    const std::wstring lookAlikes[] = {L"\xFF0E\xFF0E\xFF3C\xFF0E\xFF0E", L"..\xFF3C..", L"\xFF0E.\xFF3C.\xFF0E"};
    const std::wstring longFav = L"\\\\?\\" + bw::platform::paths::Widen(fav);
    for (const auto& name : lookAlikes) ASSERT_TRUE(CreateDirectoryW((longFav + L"\\" + name).c_str(), nullptr));
    std::wstring deep = longFav + L"\\" + lookAlikes[0];
    for (const std::wstring& name : {lookAlikes[0], lookAlikes[0], std::wstring(200, L'L'), std::wstring(200, L'M')})
        ASSERT_TRUE(CreateDirectoryW((deep += L"\\" + name).c_str(), nullptr));
    const struct { std::wstring name; const char* utf8; } titles[] = {
        {deep + L"\\Deep", "Deep"},
        {longFav + L"\\\x041F\x0440\x0438\x0432\x0435\x0442", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        {longFav + L"\\\x4E2D\x6587", "\xE4\xB8\xAD\xE6\x96\x87"},
        {longFav + L"\\\xD83D\xDE00 smile", "\xF0\x9F\x98\x80 smile"},
    };
    for (const auto& t : titles) {
        WriteTextFile(dir / "t.url", Shortcut("http://title.example/"));
        ASSERT_TRUE(MoveFileW(bw::platform::paths::Widen(dir / "t.url").c_str(), (t.name + L".url").c_str()));
    }
    ASSERT_TRUE(MakeLink(dir / "Secret.url", fav + "\\Linked.url"));

    DWORD start = GetTickCount();
    ASSERT_TRUE(ExportFavoritesTree(fav, dir / "bookmarks.htm"));
    EXPECT_LT(GetTickCount() - start, kGuardMs);
    std::string html = ReadTextFile(dir / "bookmarks.htm");
    for (const auto& t : titles) EXPECT_TRUE(Contains(html, std::string(">") + t.utf8 + "</A>")) << t.utf8;
    EXPECT_TRUE(Contains(html, ">..\xEF\xBC\xBC..</H3>"));
    for (const char* part : {"secret", "Linked", "Favorites", "Profile", "?"})
        EXPECT_FALSE(Contains(html.substr(html.find("<DL>")), part)) << part;
}

TEST(Favorites, ExportFailsForAMissingFolderOrAnUnwritableFile) {
    TempDir dir;
    EXPECT_FALSE(ExportFavoritesTree(dir / "missing", dir / "out.htm"));
    EXPECT_FALSE(PathExists(dir / "out.htm"));
    MakeDirs(dir / "fav");
    EXPECT_FALSE(ExportFavoritesTree(dir / "fav", dir / "no\\such\\folder\\out.htm"));
}

TEST(Favorites, ExportThenImportGivesTheSameShortcutsAndFolders) {
    TempDir dir;
    std::string fav = dir / "Favorites", copy = dir / "Copy";
    BuildTree(fav);
    MakeDirs(copy);
    ASSERT_TRUE(ExportFavoritesTree(fav, dir / "bookmarks.htm"));
    ASSERT_TRUE(ImportFavoritesTree(dir / "bookmarks.htm", copy));

    auto expected = Tree(fav);
    expected.erase("News\\notes.txt");  // only shortcuts and folders travel
    expected.erase("NoUrl.url");
    EXPECT_EQ(Tree(copy), expected);
    // The export file itself is untouched by the import.
    EXPECT_TRUE(Contains(ReadTextFile(dir / "bookmarks.htm"), ">Home</A>"));
}

TEST(Favorites, ImportIsTolerantAndDecodesEntities) {
    TempDir dir;
    std::string fav = dir / "Favorites";
    MakeDirs(fav);
    WriteTextFile(dir / "in.htm",
                  "<!doctype netscape-bookmark-file-1>\n<!-- <A HREF=\"http://comment/\">no</A> -->\n"
                  "<meta http-equiv='Content-Type' content='text/html; charset=utf-8'>\n"
                  "<dl><p>\n"
                  "  <dt><a add_date=\"1\" href='http://a.example/?x=1&amp;y=&lt;2&gt;&#39;&quot;'>Tom &amp; Jerry&#33;</a>\n"
                  "  <DT><A HREF=http://unquoted.example/ ICON=\"data:x\"><b>Bold</b>   Title\n</A></DT>\n"
                  "  <dt><h3 folded>Caf&#xE9; &lt;Bar&gt;</h3><dd>a description\n"
                  "  <dl><p><blink>\n"
                  "     <dt><a href=\"http://inner.example/\">Inner\n"
                  "     <dt><a>No link</a><dt><a href=\"\">Empty link</a><dt><a href=\"   \">Blank</a>\n"
                  "  </dl><p>\n"
                  "  <dt><a href=\"http://after.example/\">After</a>\n"
                  "</dl>\n");

    ASSERT_TRUE(ImportFavoritesTree(dir / "in.htm", fav));
    std::map<std::string, std::string> expected = {
        {"Tom & Jerry!.url", "http://a.example/?x=1&y=<2>'\""},
        {"Bold Title.url", "http://unquoted.example/"},
        {"Caf\xE9 _Bar_", "<dir>"},
        {"Caf\xE9 _Bar_\\Inner.url", "http://inner.example/"},
        {"After.url", "http://after.example/"},
    };
    EXPECT_EQ(Tree(fav), expected);
}

TEST(Favorites, ImportKeepsHostileNamesInsideTheFolder) {
    TempDir dir;
    std::string fav = dir / "Sub\\Favorites";
    MakeDirs(fav);
    WriteTextFile(dir / "in.htm",
                  "<DL><p>\n"
                  "<DT><A HREF=\"http://1/\">..\\..\\evil</A>\n"
                  "<DT><A HREF=\"http://2/\">../../evil2</A>\n"
                  "<DT><A HREF=\"http://3/\">a/b</A>\n"
                  "<DT><A HREF=\"http://4/\">CON</A>\n"
                  "<DT><A HREF=\"http://5/\">lpt1.txt</A>\n"
                  "<DT><A HREF=\"http://6/\">C:\\Windows\\x</A>\n"
                  "<DT><A HREF=\"http://7/\">..</A>\n"
                  "<DT><A HREF=\"http://8/\"> spaced. </A>\n"
                  "<DT><A HREF=\"http://9/\">a*b?c|d\"e&lt;f&gt;g:h</A>\n"
                  "<DT><A HREF=\"http://10/&#13;&#10;IconFile=C:\\x\">nl</A>\n"
                  "<DT><H3>..</H3><DL><p><DT><A HREF=\"http://11/\">up</A></DL><p>\n"
                  "<DT><H3>..\\..\\..\\out</H3><DL><p><DT><A HREF=\"http://12/\">deep</A></DL><p>\n"
                  "</DL><p>\n");

    ASSERT_TRUE(ImportFavoritesTree(dir / "in.htm", fav));
    std::map<std::string, std::string> expected = {
        {".._.._evil.url", "http://1/"},
        {".._.._evil2.url", "http://2/"},
        {"a_b.url", "http://3/"},
        {"_CON.url", "http://4/"},
        {"_lpt1.txt.url", "http://5/"},
        {"C__Windows_x.url", "http://6/"},
        {"http___7_.url", "http://7/"},  // no usable title: named after the URL
        {"spaced.url", "http://8/"},
        {"a_b_c_d_e_f_g_h.url", "http://9/"},
        {"nl.url", "http://10/IconFile=C:\\x"},
        {"New Folder", "<dir>"},
        {"New Folder\\up.url", "http://11/"},
        {".._.._.._out", "<dir>"},
        {".._.._.._out\\deep.url", "http://12/"},
    };
    EXPECT_EQ(Tree(fav), expected);
    // Nothing beside or above the Favorites folder.
    std::map<std::string, std::string> outside = Tree(dir.path());
    for (const auto& entry : outside) {
        EXPECT_TRUE(entry.first == "in.htm" || entry.first.rfind("Sub", 0) == 0) << entry.first;
    }
    EXPECT_EQ(Tree(dir / "Sub").size(), expected.size() + 1);
    // The control characters did not add a line to the shortcut.
    EXPECT_EQ(ReadTextFile(fav + "\\nl.url"), Shortcut("http://10/IconFile=C:\\x"));
}

TEST(Favorites, ImportReplacesShortcutsButNeverWritesThroughLinks) {
    TempDir dir, outside;
    std::string fav = dir / "Favorites";
    MakeDirs(fav + "\\Kept");
    WriteTextFile(fav + "\\Old.url", Shortcut("http://old/"));
    WriteTextFile(fav + "\\Kept\\Mine.url", Shortcut("http://mine/"));
    WriteTextFile(fav + "\\Other.url", Shortcut("http://other/"));
    WriteTextFile(outside / "target.url", Shortcut("http://target/"));
    MakeDirs(outside / "folder");
    ASSERT_TRUE(MakeLink(outside / "target.url", fav + "\\Linkfile.url"));
    ASSERT_TRUE(MakeLink(outside / "folder", fav + "\\Linkdir"));
    WriteTextFile(dir / "in.htm",
                  "<DL><p>\n<DT><A HREF=\"http://new/\">Old</A>\n"
                  "<DT><A HREF=\"http://hijack/\">Linkfile</A>\n"
                  "<DT><H3>Kept</H3><DL><p><DT><A HREF=\"http://added/\">Added</A></DL><p>\n"
                  "<DT><H3>Linkdir</H3><DL><p><DT><A HREF=\"http://escape/\">Escape</A></DL><p>\n"
                  "</DL><p>\n");

    // The linked folder's contents could not go in, so the import reports failure.
    EXPECT_FALSE(ImportFavoritesTree(dir / "in.htm", fav));
    EXPECT_EQ(UrlOf(fav + "\\Old.url"), "http://new/");
    EXPECT_EQ(UrlOf(fav + "\\Kept\\Mine.url"), "http://mine/");
    EXPECT_EQ(UrlOf(fav + "\\Kept\\Added.url"), "http://added/");
    EXPECT_EQ(UrlOf(fav + "\\Other.url"), "http://other/");
    // The linked shortcut was replaced by a real file; its target kept its content.
    EXPECT_EQ(UrlOf(fav + "\\Linkfile.url"), "http://hijack/");
    EXPECT_EQ(ReadTextFile(outside / "target.url"), Shortcut("http://target/"));
    std::map<std::string, std::string> outsideTree = {{"target.url", "http://target/"},
                                                      {"folder", "<dir>"}};
    EXPECT_EQ(Tree(outside.path()), outsideTree);
    // No temporary files left behind.
    for (const auto& entry : Tree(fav)) {
        EXPECT_EQ(entry.first.find(".tmp"), std::string::npos) << entry.first;
    }
}

TEST(Favorites, ImportRefusesBadInputWithoutWritingAnything) {
    TempDir dir;
    std::string fav = dir / "Favorites";
    MakeDirs(fav);
    WriteTextFile(fav + "\\Mine.url", Shortcut("http://mine/"));
    auto before = Tree(fav);

    EXPECT_FALSE(ImportFavoritesTree(dir / "missing.htm", fav));
    WriteTextFile(dir / "empty.htm", "");
    EXPECT_FALSE(ImportFavoritesTree(dir / "empty.htm", fav));
    std::string binary;
    for (int i = 0; i < 100000; ++i) binary += static_cast<char>((i * 7919) % 256 == '<' ? 0 : (i * 7919) % 256);
    WriteTextFile(dir / "binary.htm", binary);
    EXPECT_FALSE(ImportFavoritesTree(dir / "binary.htm", fav));
    WriteTextFile(dir / "good.htm", "<DL><p><DT><A HREF=\"http://x/\">X</A></DL>");
    EXPECT_FALSE(ImportFavoritesTree(dir / "good.htm", dir / "no-such-folder"));
    EXPECT_FALSE(PathExists(dir / "no-such-folder"));
    EXPECT_EQ(Tree(fav), before);
}

TEST(Favorites, ImportSurvivesDeepNestingHugeLinesAndUnclosedTags) {
    TempDir dir;
    std::string fav = dir / "Favorites";
    MakeDirs(fav);
    std::string html = "<DL><p>";
    for (int i = 0; i < 300; ++i) html += "<DT><H3>d</H3><DL><p>";
    html += "<DT><A HREF=\"http://deepest/\">deepest</A>";
    for (int i = 0; i < 300; ++i) html += "</DL><p>";
    html += "<DT><A HREF=\"http://long/\">" + std::string(1000000, 'x') + "</A>";
    for (int i = 0; i < 500; ++i) html += "<A HREF=\"http://u/\">u";  // never closed
    html += "<A HREF=\"http://unterminated";
    WriteTextFile(dir / "in.htm", html);

    EXPECT_TRUE(ImportFavoritesTree(dir / "in.htm", fav));
    std::map<std::string, std::string> tree = Tree(fav);
    EXPECT_EQ(tree[std::string(100, 'x') + ".url"], "http://long/");
    EXPECT_EQ(tree["u.url"], "http://u/");
    EXPECT_EQ(tree["http___unterminated.url"], "http://unterminated");
    // Folders below the 63rd level are flattened into it, links included.
    size_t maxDepth = 0, deepest = 0;
    for (const auto& entry : tree) {
        size_t depth = 0;
        for (char c : entry.first) depth += c == '\\';
        maxDepth = std::max(maxDepth, depth);
        if (entry.second == "http://deepest/") deepest = depth;
    }
    EXPECT_EQ(maxDepth, 63u);
    EXPECT_EQ(deepest, 63u);
    std::map<std::string, std::string> outside = Tree(dir.path());
    for (const auto& entry : outside) {
        EXPECT_TRUE(entry.first == "in.htm" || entry.first.rfind("Favorites", 0) == 0) << entry.first;
    }
}

TEST(Favorites, PublicCallWorksOnTheUsersFavoritesFolder) {
    EXPECT_FALSE(bw::platform::ImportExportFavorites(false, ""));
    EXPECT_FALSE(bw::platform::ImportExportFavorites(true, "  "));

    std::optional<std::string> fav = bw::platform::FavoritesFolder();
    ASSERT_TRUE(fav.has_value());
    bool createdFavorites = !IsDirectory(*fav);
    if (createdFavorites) {
        ASSERT_TRUE(MakeDirs(*fav));
    }
    TempDir dir;
    std::string name = "BrightwipeTest-" + std::to_string(GetCurrentProcessId());
    std::string mine = *fav + "\\" + name;
    ASSERT_TRUE(MakeDirs(mine));
    WriteTextFile(mine + "\\Probe.url", Shortcut("http://probe.example/"));

    EXPECT_TRUE(bw::platform::ImportExportFavorites(false, dir / "export.htm"));
    std::string html = ReadTextFile(dir / "export.htm");
    EXPECT_TRUE(Contains(html, ">" + name + "</H3>"));
    EXPECT_TRUE(Contains(html, "HREF=\"http://probe.example/\""));

    DeleteFileA((mine + "\\Probe.url").c_str());
    RemoveDirectoryA(mine.c_str());
    ASSERT_FALSE(PathExists(mine));
    EXPECT_TRUE(bw::platform::ImportExportFavorites(true, dir / "export.htm"));
    EXPECT_EQ(UrlOf(mine + "\\Probe.url"), "http://probe.example/");

    DeleteFileA((mine + "\\Probe.url").c_str());
    RemoveDirectoryA(mine.c_str());
    if (createdFavorites) RemoveDirectoryA(fav->c_str());
}

TEST(Favorites, ImportOfCraftedFilesFinishesAndStaysInside) {
    const std::string amps(1300000, '&'), after = "<DT><A HREF=\"http://after/\">After</A></DL>";
    std::string attrs, links;
    for (int i = 0; i < 100000; ++i) attrs += " a" + std::to_string(i) + "=\"&amp\"";
    for (int i = 0; i < 1000000; ++i) links += "<A HREF=x>t";
    const struct { std::string html; bool imports; std::map<std::string, std::string> expected; } cases[] = {
        {"<DL><p><DT><A HREF=\"http://amps/\">" + amps + "</A>" + after, true,
         {{std::string(100, '&') + ".url", "http://amps/"}, {"After.url", "http://after/"}}},
        {"<DL><p><DT><A HREF=\"" + amps + "\">Amps</A>" + after, true, {{"After.url", "http://after/"}}},
        {"<DL><p><DT><A" + attrs + " HREF=\"http://attrs/\">Attrs</A>" + after, true,
         {{"Attrs.url", "http://attrs/"}, {"After.url", "http://after/"}}},
        {"<DL><p>" + links + after, false, {}},  // more entries than an import writes: refused whole
    };
    for (const auto& c : cases) {
        TempDir dir;
        MakeDirs(dir / "Favorites");
        WriteTextFile(dir / "in.htm", c.html);
        DWORD start = GetTickCount();
        EXPECT_EQ(ImportFavoritesTree(dir / "in.htm", dir / "Favorites"), c.imports) << &c - cases;
        EXPECT_LT(GetTickCount() - start, kGuardMs) << &c - cases;
        EXPECT_EQ(Tree(dir / "Favorites"), c.expected) << &c - cases;
        EXPECT_EQ(Tree(dir.path()).size(), c.expected.size() + 2) << &c - cases;  // in.htm, Favorites
    }
}
