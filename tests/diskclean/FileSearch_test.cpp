// The search without its window: what an exact-name entry's line leads to.
#include <gtest/gtest.h>

#include "diskclean/FileSearch.h"
#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

using bw::diskclean::FileSearch;
using bw::diskclean::FolderQueue;
using namespace bw::test;

// An exact name's line shows the name as typed; its true path must be the file Windows opens by
// that name (letter case aside, the name in its own case first: Wine's folders can hold both),
// or deleting the line would miss it, or take its twin.
TEST(FileSearch, AnExactNameLeadsToTheFileWindowsWouldOpen) {
    const struct {
        std::vector<std::string> entries;  // a trailing "/" makes a folder
        std::wstring expected;             // empty: nothing is listed
    } cases[] = {
        {{"Thumbs.db"}, L"Thumbs.db"},
        {{"Thumbs.db", "thumbs.db", "THUMBS.DB"}, L"thumbs.db"},
        {{"thumbs.db/", "a.txt"}, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries[0]);
        TempDir tree;
        for (const std::string& name : c.entries) {
            const std::string unixPath = UnixPath(tree.path()) + "/" + name;
            ASSERT_TRUE(RunUnix(name.back() == '/' ? "/bin/mkdir" : "/usr/bin/touch", {unixPath}));
        }
        FileSearch search("*.tmp;thumbs.db");
        FolderQueue queue;
        EXPECT_TRUE(search.Run(bw::platform::paths::Widen(tree.path()), queue, [](FileSearch::Step&) { return true; }));
        const bool listed = !c.expected.empty();
        EXPECT_EQ(search.Found().lines, listed ? std::vector<std::string>{tree / "thumbs.db"} : std::vector<std::string>{});
        EXPECT_EQ(search.Found().paths,
                  listed ? std::vector<std::wstring>{bw::platform::paths::LongPath(tree.path()) + L"\\" + c.expected}
                         : std::vector<std::wstring>{});
        EXPECT_EQ(search.Entries()[1].MatchCount, listed ? 1u : 0u);
    }
}
