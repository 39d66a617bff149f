// The search text: entries and their classes, name matching, excluded paths, result lines and
// the summary.
#include <gtest/gtest.h>

#include "diskclean/SearchPatterns.h"

using namespace bw::diskclean;
using Class = PatternEntry::Class;

namespace {

bool Matches(const std::string& pattern, const std::string& name) {
    std::vector<PatternEntry> entries = ParsePatterns(pattern);
    return entries.size() == 1 && NameMatches(entries[0], UpperAscii(name));
}

}  // namespace

TEST(SearchPatterns, EntriesKeepTheirOrderAndOneStarEachSideDecidesTheClass) {
    std::vector<PatternEntry> e = ParsePatterns("*.tmp;~*;*cache*;thumbs.db;**x*;a*b");
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0].literal, ".tmp");
    EXPECT_EQ(e[0].kind(), Class::EndsWith);
    EXPECT_EQ(e[1].literal, "~");
    EXPECT_EQ(e[1].kind(), Class::StartsWith);
    EXPECT_EQ(e[2].literal, "cache");
    EXPECT_EQ(e[2].kind(), Class::Contains);
    EXPECT_EQ(e[3].literal, "thumbs.db");
    EXPECT_EQ(e[3].kind(), Class::ExactName);
    EXPECT_EQ(e[4].literal, "*x");  // a second leading star is an ordinary character
    EXPECT_EQ(e[4].kind(), Class::Contains);
    EXPECT_EQ(e[5].literal, "a*b");
    EXPECT_EQ(e[5].kind(), Class::ExactName);
    for (const PatternEntry& entry : e) {
        EXPECT_EQ(entry.MatchCount, 0u);
        EXPECT_FALSE(entry.ExactFound);
    }
}

TEST(SearchPatterns, EntriesWithoutLiteralTextAreDropped) {
    EXPECT_TRUE(ParsePatterns("").empty());
    EXPECT_TRUE(ParsePatterns(";").empty());
    EXPECT_TRUE(ParsePatterns("*;**;;").empty());
    std::vector<PatternEntry> e = ParsePatterns("*.tmp;;*;*.gid;");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].literal, ".tmp");
    EXPECT_EQ(e[1].literal, ".gid");
}

TEST(SearchPatterns, ClassesMatchWithoutRegardToLetterCase) {
    EXPECT_TRUE(Matches("*.tmp", "A.TMP"));
    EXPECT_TRUE(Matches("*.tmp", "x.y.tmp"));
    EXPECT_FALSE(Matches("*.tmp", "a.tmp1"));
    EXPECT_FALSE(Matches("*.tmp", ".tmp")) << "not longer than the literal";
    EXPECT_FALSE(Matches("*.tmp", "tmp"));
    EXPECT_TRUE(Matches("~*", "~WRL0001.doc"));
    EXPECT_FALSE(Matches("~*", "a~b"));
    EXPECT_FALSE(Matches("~*", "~"));
    EXPECT_TRUE(Matches("*cache*", "MyCACHEfile.dat"));
    EXPECT_TRUE(Matches("*cache*", "xcache"));
    EXPECT_FALSE(Matches("*cache*", "cache"));
    EXPECT_FALSE(Matches("*cache*", "cach.e"));
    EXPECT_TRUE(Matches("*a", "data"));
    EXPECT_FALSE(Matches("*a", "dat"));
    EXPECT_FALSE(Matches("thumbs.db", "thumbs.db")) << "exact names are looked up, not matched";
}

TEST(SearchPatterns, ExactNamesMustBePlainFileNames) {
    EXPECT_TRUE(IsPlainFileName("thumbs.db"));
    EXPECT_TRUE(IsPlainFileName("name with  spaces.txt"));
    EXPECT_FALSE(IsPlainFileName("..\\boot.ini"));
    EXPECT_FALSE(IsPlainFileName("sub/x"));
    EXPECT_FALSE(IsPlainFileName("C:x"));
    EXPECT_FALSE(IsPlainFileName("a*b"));
    EXPECT_FALSE(IsPlainFileName("a?b"));
    EXPECT_FALSE(IsPlainFileName(".."));
    EXPECT_FALSE(IsPlainFileName(""));
}

TEST(SearchPatterns, SwapFilesAndOldRecycleBinsAreNeverListed) {
    EXPECT_TRUE(IsExcludedPath("C:\\WINDOWS\\win386.swp"));
    EXPECT_TRUE(IsExcludedPath("C:\\Win386.Swp.old\\a.swp"));
    EXPECT_FALSE(IsExcludedPath("C:\\data\\pagefile.swp"));
    EXPECT_TRUE(IsExcludedPath("C:\\Recycled\\a.tmp"));
    EXPECT_FALSE(IsExcludedPath("C:\\RECYCLED\\a.tmp"));
    EXPECT_FALSE(IsExcludedPath("C:\\recycled\\a.tmp"));
}

TEST(SearchPatterns, ResultLinesGiveTheirWholePathBack) {
    const std::string line = WildcardLine("C:\\a\\x.tmp", 1234, "1/2/2024 3:04:05 PM");
    EXPECT_EQ(line, "C:\\a\\x.tmp   Size:1234   LastModyfied:1/2/2024 3:04:05 PM");
    EXPECT_EQ(PathOfResultLine(line), "C:\\a\\x.tmp");
    // Two spaces inside the path do not cut it.
    const std::string spaced = WildcardLine("C:\\my  files\\a  b.tmp", 5, "1/2/2024");
    EXPECT_EQ(PathOfResultLine(spaced), "C:\\my  files\\a  b.tmp");
    // Even a path holding the label itself comes back whole.
    EXPECT_EQ(PathOfResultLine(WildcardLine("C:\\x   Size:9\\y.tmp", 1, "d")), "C:\\x   Size:9\\y.tmp");
    // An exact-name line is its own path.
    EXPECT_EQ(PathOfResultLine("C:\\a\\thumbs.db"), "C:\\a\\thumbs.db");
    // Sizes past 4 GB are written in full.
    EXPECT_EQ(WildcardLine("C:\\big.tmp", 5000000000ull, "d"), "C:\\big.tmp   Size:5000000000   LastModyfied:d");
}

TEST(SearchPatterns, SummaryCountsEveryEntryAndTheTrueTotal) {
    std::vector<PatternEntry> e = ParsePatterns("*.tmp;*.gid;*.swp;*.chk");
    e[0].MatchCount = 2;
    e[1].MatchCount = 1;
    EXPECT_EQ(SummaryText(3, e, 12500),
              "3  Files Found      .tmp - 2    .gid - 1    .swp - 0    .chk - 0\r\nTotal size: 12.5kb");
    for (PatternEntry& entry : e) entry.MatchCount = 0;
    EXPECT_EQ(SummaryText(0, e, 0),
              "0  Files Found      .tmp - 0    .gid - 0    .swp - 0    .chk - 0\r\nTotal size: 0kb");
    // Past 2 GB and past 32,767 matches the figures stay true.
    e[0].MatchCount = 50000;
    EXPECT_EQ(SummaryText(50000, e, 6442450944ull),
              "50000  Files Found      .tmp - 50000    .gid - 0    .swp - 0    .chk - 0\r\nTotal size: 6442450.944kb");
}

TEST(SearchPatterns, DecimalTextAndTrailingSlash) {
    EXPECT_EQ(DecimalText(12.5), "12.5");
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(0.125), "0.125");
    EXPECT_EQ(DecimalText(1000), "1000");
    EXPECT_EQ(EnsureTrailingSlash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(EnsureTrailingSlash("C:\\"), "C:\\");
    EXPECT_EQ(EnsureTrailingSlash(""), "\\");
}
