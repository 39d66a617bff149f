// List files: how lines are read, the size limit, and the one way whole files are rewritten and
// appended to, which never writes through a link or an existing file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/LineFile.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
namespace pf = bw::platform;

namespace {

using Lines = std::vector<std::string>;

// The Linux links in `folder`, each as "name -> target", sorted, as find reports them.
std::vector<std::string> Links(const std::string& folder, const TempDir& scratch) {
    const std::string out = scratch / "links.out";
    DeleteFileA(out.c_str());
    RunUnix("/usr/bin/find", {UnixPath(folder), "-mindepth", "1", "-maxdepth", "1", "-type", "l", "-fprintf",
                              UnixPath(out), "%f -> %l\\n"});
    std::vector<std::string> links;
    std::string text = ReadTextFile(out);
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        links.push_back(text.substr(start, end - start));
    DeleteFileA(out.c_str());
    std::sort(links.begin(), links.end());
    return links;
}

// A file of `size` bytes that takes no room on disk.
bool MakeSparseFile(const std::string& path, LONGLONG size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = size;
    bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

LONGLONG SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

TEST(LineFile, ReadsLinesByEveryLineEndAndSkipsOverlongOnes) {
    const std::string longest(pf::kMaxLineBytes, 'L');
    const std::string overlong(pf::kMaxLineBytes + 1, 'X');
    struct Case {
        std::string content;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"one two  \r\n", {"one two  "}},
        {longest + "\r\nnext", {longest, "next"}},
        {"before\r\n" + overlong + "\r\nafter\r\n", {"before", "after"}},
        {overlong, {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        WriteTextFile(dir / "list.dat", c.content);
        std::optional<Lines> read = pf::ReadLines(dir / "list.dat");
        ASSERT_TRUE(read.has_value()) << c.content.substr(0, 40);
        EXPECT_EQ(*read, c.lines) << c.content.substr(0, 40);
    }
    EXPECT_FALSE(pf::ReadLines(dir / "missing.dat").has_value());
    EXPECT_FALSE(pf::ReadLines(dir / "no-folder\\list.dat").has_value());
    MakeDirs(dir / "folder.dat");
    EXPECT_FALSE(pf::ReadLines(dir / "folder.dat").has_value());
}

TEST(LineFile, AFileAboveTheLimitsReadsAsUnreadableAndIsNeverRewrittenByAnAppend) {
    TempDir dir;
    const LONGLONG huge = 1200LL << 20;  // the 1.2 GB keep list that used to end the program
    struct Case {
        const char* name;
        LONGLONG size;
    } cases[] = {{"huge.dat", huge}, {"just-above.dat", static_cast<LONGLONG>(pf::kMaxListFileBytes) + 1}};
    for (const Case& c : cases) {
        const std::string path = dir / c.name;
        ASSERT_TRUE(MakeSparseFile(path, c.size)) << c.name;
        EXPECT_FALSE(pf::ReadLines(path).has_value()) << c.name;
        EXPECT_FALSE(pf::ReadListFile(path).has_value()) << c.name;
        EXPECT_FALSE(pf::AppendLine(path, "entry")) << c.name;
        EXPECT_EQ(SizeOf(path), c.size) << c.name << ": left as it was";
        DeleteFileA(path.c_str());
    }

    // At the limit a file still reads; its one line of NULs is overlong and skipped.
    ASSERT_TRUE(MakeSparseFile(dir / "at-limit.dat", static_cast<LONGLONG>(pf::kMaxListFileBytes)));
    std::optional<Lines> atLimit = pf::ReadLines(dir / "at-limit.dat");
    ASSERT_TRUE(atLimit.has_value());
    EXPECT_TRUE(atLimit->empty());

    // The number of lines has its limit too: each would be one row of a list box.
    std::string lines;
    for (size_t i = 0; i < pf::kMaxListLines; ++i) lines += i % 2 ? "e\r\n" : "\n";
    WriteTextFile(dir / "most-lines.dat", lines);
    std::optional<Lines> most = pf::ReadLines(dir / "most-lines.dat");
    ASSERT_TRUE(most.has_value());
    EXPECT_EQ(most->size(), pf::kMaxListLines);
    for (const std::string& tooMany : {lines + "\r", lines + "last", std::string(pf::kMaxListFileBytes, '\n')}) {
        WriteTextFile(dir / "too-many.dat", tooMany);
        EXPECT_FALSE(pf::ReadLines(dir / "too-many.dat").has_value()) << tooMany.size();
        EXPECT_FALSE(pf::AppendLine(dir / "too-many.dat", "entry"));
        EXPECT_EQ(SizeOf(dir / "too-many.dat"), static_cast<LONGLONG>(tooMany.size()));
    }

    // A link to an endless device claims no size at all: the reading itself stops at the limit.
    ASSERT_TRUE(MakeLink(WinPath("/dev/zero"), dir / "endless.dat"));
    EXPECT_FALSE(pf::ReadLines(dir / "endless.dat").has_value());
}

TEST(LineFile, AppendEndsAnUnendedLastLineFirst) {
    struct Case {
        const char* before;  // nullptr: no file
        const char* after;
        Lines lines;
    } cases[] = {
        {nullptr, "new\r\n", {"new"}},
        {"", "new\r\n", {"new"}},
        {"old\r\n", "old\r\nnew\r\n", {"old", "new"}},
        {"old", "old\r\nnew\r\n", {"old", "new"}},
        {"old\n", "old\nnew\r\n", {"old", "new"}},
        {"old\r", "old\r\nnew\r\n", {"old", "new"}},
        {"a\r\n\r\n", "a\r\n\r\nnew\r\n", {"a", "", "new"}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir / "keep.dat";
        DeleteFileA(path.c_str());
        if (c.before) WriteTextFile(path, c.before);
        ASSERT_TRUE(pf::AppendLine(path, "new")) << (c.before ? c.before : "(none)");
        EXPECT_EQ(ReadTextFile(path), c.after);
        EXPECT_EQ(pf::ReadLines(path).value_or(Lines{}), c.lines);
        EXPECT_EQ(SortedNames(dir.path()), (std::vector<std::string>{"keep.dat"})) << "no scratch file is left";
    }
    EXPECT_FALSE(pf::AppendLine(dir / "no-folder\\keep.dat", "new"));
    EXPECT_FALSE(PathExists(dir / "no-folder"));
}

// Every whole-file write replaces the name it was given and nothing else: an existing file, a
// link to a file outside, a hard link to a file outside, a link to nowhere, and a leftover
// "temp" link beside it.
TEST(LineFile, RewritesNeverWriteThroughLinksOrExistingFiles) {
    enum class Before { Missing, PlainFile, LinkToOutside, HardLinkToOutside, DanglingLink };
    enum class Write { Replace, Lines, Append };
    struct Case {
        Before before;
        Write write;
        std::string expected;
    } cases[] = {
        {Before::Missing, Write::Replace, "new\r\n"},
        {Before::PlainFile, Write::Replace, "new\r\n"},
        {Before::LinkToOutside, Write::Replace, "new\r\n"},
        {Before::DanglingLink, Write::Replace, "new\r\n"},
        {Before::PlainFile, Write::Lines, "x\r\ny\r\n"},
        {Before::LinkToOutside, Write::Lines, "x\r\ny\r\n"},
        {Before::PlainFile, Write::Append, "old\r\nnew\r\n"},
        // The link's content was the list: it is kept, in a plain file of the program folder.
        {Before::LinkToOutside, Write::Append, "outside\r\nnew\r\n"},
        {Before::HardLinkToOutside, Write::Replace, "new\r\n"},
        {Before::HardLinkToOutside, Write::Append, "outside\r\nnew\r\n"},
    };
    for (const Case& c : cases) {
        TempDir program, outside;
        const std::string list = program / "keepcook.dat";
        const std::string precious = outside / "precious.txt";
        const std::string kPrecious = "outside";  // no line end: an append would have to add one
        WriteTextFile(precious, kPrecious);
        WriteTextFile(outside / "other.txt", "other");
        ASSERT_TRUE(MakeLink(outside / "other.txt", program / "temp"));  // the old scratch name
        if (c.before == Before::PlainFile) WriteTextFile(list, "old\r\n");
        if (c.before == Before::LinkToOutside) {
            ASSERT_TRUE(MakeLink(precious, list));
        }
        if (c.before == Before::HardLinkToOutside) {
            ASSERT_TRUE(CreateHardLinkA(list.c_str(), precious.c_str(), nullptr));
        }
        if (c.before == Before::DanglingLink) {
            ASSERT_TRUE(MakeLink(outside / "nothing.txt", list));
        }

        bool ok = false;
        if (c.write == Write::Replace) ok = pf::ReplaceFileContents(list, "new\r\n");
        if (c.write == Write::Lines) ok = pf::WriteLines(list, {"x", "y"});
        if (c.write == Write::Append) ok = pf::AppendLine(list, "new");
        const std::string label = "case " + std::to_string(&c - cases);
        ASSERT_TRUE(ok) << label;

        EXPECT_EQ(ReadTextFile(list), c.expected) << label;
        EXPECT_EQ(ReadTextFile(precious), kPrecious) << label << ": the outside file is untouched";
        EXPECT_EQ(ReadTextFile(outside / "other.txt"), "other") << label;
        EXPECT_FALSE(PathExists(outside / "nothing.txt")) << label << ": nothing is made where a link points";
        EXPECT_EQ(Links(program.path(), outside),
                  (std::vector<std::string>{"temp -> " + UnixPath(outside / "other.txt")}))
            << label << ": the list is a plain file now, a leftover \"temp\" link is left alone";
        EXPECT_EQ(SortedNames(program.path()), (std::vector<std::string>{"keepcook.dat", "temp"})) << label;
        EXPECT_EQ(SortedNames(outside.path()), (std::vector<std::string>{"other.txt", "precious.txt"})) << label;
    }
}

TEST(LineFile, ReplaceRefusesReadOnlyFilesAndFoldersAndLeavesNoScratch) {
    TempDir dir;
    WriteTextFile(dir / "ro.dat", "as it was\r\n");
    SetFileAttributesA((dir / "ro.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeDirs(dir / "folder.dat");
    EXPECT_FALSE(pf::ReplaceFileContents(dir / "ro.dat", "new\r\n"));
    EXPECT_FALSE(pf::WriteLines(dir / "ro.dat", {"new"}));
    EXPECT_FALSE(pf::AppendLine(dir / "ro.dat", "new"));
    EXPECT_FALSE(pf::ReplaceFileContents(dir / "folder.dat", "new\r\n"));
    EXPECT_FALSE(pf::ReplaceFileContents(dir / "no-folder\\x.dat", "new\r\n"));
    EXPECT_EQ(ReadTextFile(dir / "ro.dat"), "as it was\r\n");
    EXPECT_TRUE(IsDirectory(dir / "folder.dat"));
    EXPECT_EQ(SortedNames(dir.path()), (std::vector<std::string>{"folder.dat", "ro.dat"}));
    SetFileAttributesA((dir / "ro.dat").c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_TRUE(pf::WriteLines(dir / "empty.dat", {}));
    EXPECT_TRUE(PathExists(dir / "empty.dat"));
    EXPECT_EQ(ReadTextFile(dir / "empty.dat"), "");
}
