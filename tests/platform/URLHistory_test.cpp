// The URL history collection against Wine: the history object there answers E_NOTIMPL, so these
// run over the "Visited:" URL cache container, which is what the object keeps its entries in.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/URLHistory.h"
#include "platform/UrlCache.h"
#include "tests/support/TestSupport.h"

using bw::platform::CURLHistory;
using bw::platform::URLHistoryItem;
namespace urlcache = bw::platform::urlcache;

namespace {

// The names of every entry in the history container, straight from WinINet.
std::vector<std::string> VisitedEntries() {
    std::vector<std::string> names;
    urlcache::ForEachEntry("Visited:", [&](const urlcache::Entry& e) {
        names.push_back(e.name);
        return true;
    });
    return names;
}

bool StoreHolds(const std::string& url) {
    for (const std::string& name : VisitedEntries())
        if (name.size() >= url.size() && name.compare(name.size() - url.size(), url.size(), url) == 0) return true;
    return false;
}

std::vector<std::string> Urls(const CURLHistory& history) {
    std::vector<std::string> urls;
    for (const URLHistoryItem& item : history.NewEnum()) urls.push_back(item.URL());
    return urls;
}

double NowAsLocalDate() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double date = 0;
    SystemTimeToVariantTime(&st, &date);
    return date;
}

// Every test starts and ends with an empty history, so none sees another's entries.
class URLHistory : public ::testing::Test {
protected:
    void SetUp() override { ClearStore(); }
    void TearDown() override { ClearStore(); }
    static void ClearStore() {
        CURLHistory history;
        history.Clear();
    }
};

TEST_F(URLHistory, OpensOverTheUrlCacheWhereTheHistoryObjectIsMissing) {
    CURLHistory history;
    EXPECT_EQ(history.Status(), S_OK);
    if (!history.UsesUrlCache()) GTEST_SKIP() << "this Windows has a working URL history object";
    EXPECT_EQ(history.Count(), 0);
}

TEST_F(URLHistory, EmptyHistoryCountsNoneAndClearsCleanly) {
    CURLHistory history;
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.Clear(), S_OK);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.Item(1), nullptr);
    EXPECT_EQ(history.Remove(1), DISP_E_BADINDEX);
}

TEST_F(URLHistory, SnapshotIsTakenAtCreationAndOnRefreshOnly) {
    CURLHistory history;
    ASSERT_EQ(history.AddURL("http://one.example/", "One", 0), S_OK);
    ASSERT_EQ(history.AddURL("http://two.example/page?q=1", "", 0), S_OK);
    EXPECT_EQ(history.Count(), 0) << "adding does not refresh the snapshot";
    EXPECT_TRUE(StoreHolds("http://one.example/"));

    ASSERT_EQ(history.Refresh(), S_OK);
    ASSERT_EQ(history.Count(), 2);
    std::vector<std::string> urls = Urls(history);
    EXPECT_NE(std::find(urls.begin(), urls.end(), "http://one.example/"), urls.end());
    EXPECT_NE(std::find(urls.begin(), urls.end(), "http://two.example/page?q=1"), urls.end());

    CURLHistory fresh;
    EXPECT_EQ(fresh.Count(), 2) << "a new collection starts with the whole history";
    EXPECT_EQ(fresh.Item(0), nullptr);
    EXPECT_EQ(fresh.Item(3), nullptr);
}

TEST_F(URLHistory, ItemsCarryTitleFlagsAndStableDates) {
    CURLHistory history;
    ASSERT_EQ(history.AddURL("http://titled.example/", "A page title", 1), S_OK);
    ASSERT_EQ(history.AddURL("http://untitled.example/", "", 0), S_OK);
    ASSERT_EQ(history.Refresh(), S_OK);
    ASSERT_EQ(history.Count(), 2);
    for (long i = 1; i <= history.Count(); ++i) {
        const URLHistoryItem* item = history.Item(i);
        ASSERT_NE(item, nullptr);
        if (item->URL() == "http://titled.example/") {
            EXPECT_EQ(item->Title(), "A page title");
            EXPECT_EQ(item->Flags(), 1u);
        } else {
            EXPECT_EQ(item->URL(), "http://untitled.example/");
            EXPECT_EQ(item->Title(), "") << "an entry without a title reads as empty text";
            EXPECT_EQ(item->Flags(), 0u);
        }
        double visited = item->LastVisited();
        EXPECT_EQ(item->LastVisited(), visited) << "reading twice gives the same date";
        EXPECT_NEAR(visited, NowAsLocalDate(), 10.0 / (24 * 60)) << "visited within the last minutes, local time";
        EXPECT_NEAR(item->LastUpdated(), NowAsLocalDate(), 10.0 / (24 * 60));
        EXPECT_GT(item->Expires(), visited);
    }
}

TEST_F(URLHistory, RefreshFiltersByUrlPrefix) {
    CURLHistory history;
    history.AddURL("http://a.example/one", "", 0);
    history.AddURL("http://a.example/two", "", 0);
    history.AddURL("http://b.example/", "", 0);
    ASSERT_EQ(history.Refresh("http://a.example/", 0), S_OK);
    EXPECT_EQ(history.Count(), 2);
    for (const std::string& url : Urls(history)) EXPECT_EQ(url.rfind("http://a.example/", 0), 0u) << url;
    ASSERT_EQ(history.Refresh("HTTP://A.EXAMPLE/", 0), S_OK);
    EXPECT_EQ(history.Count(), 0) << "the prefix is compared as written";
    ASSERT_EQ(history.Refresh(), S_OK);
    EXPECT_EQ(history.Count(), 3);
}

TEST_F(URLHistory, RemoveDeletesFromStoreAndSnapshotWithoutRefresh) {
    CURLHistory history;
    history.AddURL("http://first.example/", "", 0);
    history.AddURL("http://second.example/", "", 0);
    ASSERT_EQ(history.Refresh(), S_OK);
    ASSERT_EQ(history.Count(), 2);
    std::string removed = history.Item(1)->URL();
    std::string other = history.Item(2)->URL();

    EXPECT_EQ(history.Remove(1), S_OK);
    ASSERT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Item(1)->URL(), other) << "the later item moved down";
    EXPECT_FALSE(StoreHolds(removed));
    EXPECT_TRUE(StoreHolds(other));
    EXPECT_EQ(history.Remove(2), DISP_E_BADINDEX);
    EXPECT_EQ(history.Remove(0), DISP_E_BADINDEX);
    EXPECT_EQ(history.Count(), 1);
}

TEST_F(URLHistory, DeleteUrlRemovesOnlyThatUrlAndRefreshes) {
    CURLHistory history;
    history.AddURL("http://gone.example/", "", 0);
    history.AddURL("http://gone.example/deeper", "", 0);
    history.AddURL("mailto:someone@example.com", "", 0);
    history.AddURL("http://user@host.example/", "", 0);
    EXPECT_EQ(history.DeleteURL("http://gone.example/", 0), S_OK);
    EXPECT_EQ(history.Count(), 3) << "DeleteURL refreshes by itself";
    std::vector<std::string> urls = Urls(history);
    EXPECT_EQ(std::find(urls.begin(), urls.end(), "http://gone.example/"), urls.end());
    EXPECT_NE(std::find(urls.begin(), urls.end(), "http://gone.example/deeper"), urls.end());
    EXPECT_NE(std::find(urls.begin(), urls.end(), "mailto:someone@example.com"), urls.end())
        << "an '@' inside the address is kept";
    EXPECT_NE(std::find(urls.begin(), urls.end(), "http://user@host.example/"), urls.end());
}

TEST_F(URLHistory, ClearEmptiesTheStoreAndTheSnapshot) {
    CURLHistory history;
    for (int i = 0; i < 25; ++i) history.AddURL("http://site" + std::to_string(i) + ".example/", "t", 0);
    ASSERT_EQ(history.Refresh(), S_OK);
    EXPECT_EQ(history.Count(), 25);
    EXPECT_EQ(history.Clear(), S_OK);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_TRUE(VisitedEntries().empty());
    CURLHistory fresh;
    EXPECT_EQ(fresh.Count(), 0);
}

TEST_F(URLHistory, AddingTheSameUrlAgainUpdatesOneEntry) {
    CURLHistory history;
    history.AddURL("http://again.example/", "Old", 0);
    history.AddURL("http://again.example/", "New", 0);
    ASSERT_EQ(history.Refresh(), S_OK);
    ASSERT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Item(1)->Title(), "New");
}

// WinINet deletes an entry's local file by name, through a link in its place: an entry whose file
// has become a link to a file elsewhere is left, with the file it leads to.
TEST_F(URLHistory, ClearLeavesAnEntryWhoseFileLeadsElsewhere) {
    if (!CURLHistory().UsesUrlCache()) GTEST_SKIP() << "this Windows has a working URL history object";
    bw::test::TempDir outside;
    bw::test::WriteTextFile(outside / "precious.doc", "precious");
    const char kLinked[] = "Visited: user@http://linked.example/", kPlain[] = "Visited: user@http://plain.example/";
    std::string files[2];
    for (int i = 0; i < 2; ++i) {
        const char* url = i == 0 ? kLinked : kPlain;
        char local[MAX_PATH] = "";
        ASSERT_TRUE(CreateUrlCacheEntryA(url, 0, "htm", local, 0)) << GetLastError();
        files[i] = local;
        bw::test::WriteTextFile(files[i], "visited");
        FILETIME none{};
        ASSERT_TRUE(CommitUrlCacheEntryA(url, local, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
    }
    DeleteFileA(files[0].c_str());
    ASSERT_TRUE(bw::test::MakeLink(outside / "precious.doc", files[0]));

    CURLHistory history;
    history.Clear();

    EXPECT_EQ(bw::test::ReadTextFile(outside / "precious.doc"), "precious");
    EXPECT_TRUE(StoreHolds("http://linked.example/")) << "the entry whose file is a link is left";
    EXPECT_FALSE(StoreHolds("http://plain.example/"));
    EXPECT_FALSE(bw::test::PathExists(files[1]));
    bw::test::RunUnix("/bin/rm", {"-f", bw::test::UnixPath(files[0])});  // the link itself
    urlcache::DeleteEntry(kLinked);
}

}  // namespace
