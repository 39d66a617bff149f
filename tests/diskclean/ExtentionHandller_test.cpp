// The pattern file "Ext.txt": reading, appending, the default list, the crash-safe Remove (never
// through a link, never touching a leftover "temp"), the size limit, and the recycle-bin
// request: its refusals, and a folder swapped for a link while files move into the trash.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "diskclean/ExtentionHandller.h"
#include "platform/FileSystem.h"
#include "platform/LineFile.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "tests/support/ProgramFolder.h"

using namespace bw::test;
namespace eh = bw::ExtentionHandller;

namespace {

class PatternFile : public ::testing::Test {
protected:
    std::string Ext() const { return folder_.file("Ext.txt"); }
    std::string Content() const { return ReadTextFile(Ext()); }
    std::vector<std::string> Names() const { return SortedNames(folder_.path()); }
    ProgramFolder folder_;
};

}  // namespace

TEST_F(PatternFile, DefaultWritesTheFourPatternsWithCrLf) {
    WriteTextFile(Ext(), "*.old\r\nsomething else\r\n");
    ASSERT_TRUE(eh::WriteDefaultPatterns());
    EXPECT_EQ(Content(), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.gid;*.swp;*.chk");
}

TEST_F(PatternFile, ShippedFileHoldsTheDefaultList) {
    EXPECT_EQ(ReadTextFile(WinPath(BW_DIST_DIR) + "\\Ext.txt"), "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
}

TEST_F(PatternFile, OnlyPatternLinesAreSearchedAsTheyStand) {
    WriteTextFile(Ext(), "*.bak\r\n# note\r\n\r\n*.\r\n.tmp\r\n*tmp\r\n*.a b \r\n*.x;*.y\r\n*.last");
    EXPECT_EQ(eh::LoadPatternString(), "*.bak;*.a b ;*.x;*.y;*.last");
    EXPECT_TRUE(eh::IsValidPattern("*.b"));
    EXPECT_FALSE(eh::IsValidPattern("*."));
    EXPECT_FALSE(eh::IsValidPattern(".bak"));
    EXPECT_FALSE(eh::IsValidPattern("*bak"));
    EXPECT_FALSE(eh::IsValidPattern(""));
}

TEST_F(PatternFile, MissingOrPatternlessFileGivesEmptyText) {
    EXPECT_EQ(eh::LoadPatternString(), "");
    EXPECT_TRUE(eh::ReadLines().empty());
    WriteTextFile(Ext(), "no patterns here\r\n");
    EXPECT_EQ(eh::LoadPatternString(), "");
}

TEST_F(PatternFile, AppendAddsOneLineAndNeverJoinsAnUnendedLastLine) {
    ASSERT_TRUE(eh::AppendPattern("*.bak"));  // creates the file
    EXPECT_EQ(Content(), "*.bak\r\n");
    ASSERT_TRUE(eh::AppendPattern("*.bak"));  // duplicates are stored again
    EXPECT_EQ(Content(), "*.bak\r\n*.bak\r\n");
    WriteTextFile(Ext(), "*.tmp\r\n*.chk");
    ASSERT_TRUE(eh::AppendPattern("*.old"));
    EXPECT_EQ(Content(), "*.tmp\r\n*.chk\r\n*.old\r\n");
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.chk;*.old");
}

TEST_F(PatternFile, RemoveDropsEveryCopyAndKeepsEverythingElseInOrder) {
    WriteTextFile(Ext(), "*.tmp\r\nremark\r\n*.gid\r\n*.TMP\r\n*.tmp\r\n\r\n*.chk\r\n");
    ASSERT_TRUE(eh::RemovePattern("*.tmp"));
    EXPECT_EQ(Content(), "remark\r\n*.gid\r\n*.TMP\r\n\r\n*.chk\r\n");
    ASSERT_TRUE(eh::RemovePattern(""));  // nothing selected: only empty lines go
    EXPECT_EQ(Content(), "remark\r\n*.gid\r\n*.TMP\r\n*.chk\r\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ext.txt"})) << "no scratch file is left";
}

// "temp" was the scratch name of earlier versions; whatever lies there now (a leftover list, a
// read-only file, a folder, a link to a file elsewhere) is never read, written, moved or deleted.
TEST(PatternFileRewrite, ALeftoverTempIsLeftAloneAndNeverEntersTheList) {
    enum class Temp { LeftoverList, ReadOnly, Folder, LinkToOutside };
    for (Temp temp : {Temp::LeftoverList, Temp::ReadOnly, Temp::Folder, Temp::LinkToOutside}) {
        ProgramFolder folder;
        TempDir outside;
        const std::string ext = folder.file("Ext.txt");
        const std::string scratch = folder.file("temp");
        const std::string precious = outside / "precious.doc";
        const std::string kPrecious = "*.doc\r\n*.xls\r\nthe user's own file";
        WriteTextFile(precious, kPrecious);
        WriteTextFile(ext, "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n");
        if (temp == Temp::LeftoverList || temp == Temp::ReadOnly) WriteTextFile(scratch, kPrecious);
        if (temp == Temp::ReadOnly) SetFileAttributesA(scratch.c_str(), FILE_ATTRIBUTE_READONLY);
        if (temp == Temp::Folder) MakeDirs(scratch);
        if (temp == Temp::LinkToOutside) {
            ASSERT_TRUE(MakeLink(precious, scratch));
        }
        const std::string label = "case " + std::to_string(static_cast<int>(temp));

        EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.gid;*.swp;*.chk") << label;
        ASSERT_TRUE(eh::RemovePattern("*.gid")) << label;
        EXPECT_EQ(ReadTextFile(ext), "*.tmp\r\n*.swp\r\n*.chk\r\n") << label;
        ASSERT_TRUE(eh::AppendPattern("*.bak")) << label;
        EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.swp;*.chk;*.bak") << label;

        EXPECT_EQ(ReadTextFile(precious), kPrecious) << label << ": the outside file is intact";
        EXPECT_EQ(SortedNames(outside.path()), (std::vector<std::string>{"precious.doc"})) << label << ": and in its place";
        if (temp == Temp::Folder) {
            EXPECT_TRUE(IsDirectory(scratch)) << label;
        } else {
            EXPECT_EQ(ReadTextFile(scratch), kPrecious) << label << ": \"temp\" is as it was";
        }
        if (temp == Temp::ReadOnly) {
            EXPECT_EQ(GetFileAttributesA(scratch.c_str()) & FILE_ATTRIBUTE_READONLY, 1u * FILE_ATTRIBUTE_READONLY);
        }
        EXPECT_EQ(SortedNames(folder.path()), (std::vector<std::string>{"Ext.txt", "temp"})) << label;
        if (temp == Temp::ReadOnly) SetFileAttributesA(scratch.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// "Ext.txt" itself a link to a file outside: every rewrite replaces the link with a plain file
// and never writes through it.
TEST(PatternFileRewrite, ReplacesALinkedPatternFileAndNeverWritesThroughIt) {
    enum class Change { Remove, Append, Default };
    struct Case {
        Change change;
        std::string expected;
    } cases[] = {
        {Change::Remove, "*.doc\r\n"},
        {Change::Append, "*.doc\r\n*.xls\r\n*.bak\r\n"},
        {Change::Default, "*.tmp\r\n*.gid\r\n*.swp\r\n*.chk\r\n"},
    };
    for (const Case& c : cases) {
        ProgramFolder folder;
        TempDir outside;
        const std::string precious = outside / "precious.doc";
        WriteTextFile(precious, "*.doc\r\n*.xls");
        ASSERT_TRUE(MakeLink(precious, folder.file("Ext.txt")));
        ASSERT_TRUE(MakeLink(precious, folder.file("temp")));
        const std::string label = "case " + std::to_string(static_cast<int>(c.change));
        bool ok = false;
        if (c.change == Change::Remove) ok = eh::RemovePattern("*.xls");
        if (c.change == Change::Append) ok = eh::AppendPattern("*.bak");
        if (c.change == Change::Default) ok = eh::WriteDefaultPatterns();
        ASSERT_TRUE(ok) << label;
        EXPECT_EQ(ReadTextFile(folder.file("Ext.txt")), c.expected) << label;
        EXPECT_EQ(ReadTextFile(precious), "*.doc\r\n*.xls") << label << ": the outside file is intact";
        EXPECT_EQ(ReadTextFile(folder.file("temp")), "*.doc\r\n*.xls") << label << ": \"temp\" still points at it";
        EXPECT_EQ(SortedNames(outside.path()), (std::vector<std::string>{"precious.doc"})) << label;
        EXPECT_EQ(SortedNames(folder.path()), (std::vector<std::string>{"Ext.txt", "temp"})) << label;
        // The new "Ext.txt" is no link: changing the outside file does not change it.
        WriteTextFile(precious, "changed");
        EXPECT_EQ(ReadTextFile(folder.file("Ext.txt")), c.expected) << label;
    }
}

TEST_F(PatternFile, RemoveOfAMissingFileCreatesNothing) {
    EXPECT_FALSE(eh::RemovePattern("*.tmp"));
    EXPECT_FALSE(PathExists(Ext()));
    EXPECT_TRUE(Names().empty());
}

TEST_F(PatternFile, RemoveThatCannotReplaceTheListLeavesItAsItWas) {
    WriteTextFile(Ext(), "*.tmp\r\n*.gid\r\n");
    SetFileAttributesA(Ext().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(eh::RemovePattern("*.tmp"));
    EXPECT_FALSE(eh::AppendPattern("*.bak"));
    EXPECT_FALSE(eh::WriteDefaultPatterns());
    EXPECT_EQ(Content(), "*.tmp\r\n*.gid\r\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ext.txt"})) << "no scratch file is left";
    SetFileAttributesA(Ext().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PatternFile, AFileAboveTheSizeLimitReadsAsMissingAndOnlyDefaultReplacesIt) {
    std::string big(bw::platform::kMaxListFileBytes - 6, 'x');
    big.insert(0, "*.tmp\r\n");  // one byte above the limit
    ASSERT_EQ(big.size(), bw::platform::kMaxListFileBytes + 1);
    WriteTextFile(Ext(), big);
    EXPECT_TRUE(eh::ReadLines().empty());
    EXPECT_EQ(eh::LoadPatternString(), "");
    EXPECT_FALSE(eh::AppendPattern("*.bak"));
    EXPECT_FALSE(eh::RemovePattern("*.tmp"));
    EXPECT_EQ(Content().size(), big.size()) << "left as it was";
    ASSERT_TRUE(eh::WriteDefaultPatterns());
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.gid;*.swp;*.chk");

    // An overlong line is no pattern; Remove keeps it as it is.
    const std::string overlong = "*." + std::string(bw::platform::kMaxLineBytes, 'y');
    WriteTextFile(Ext(), "*.tmp\r\n" + overlong + "\r\n*.chk\r\n");
    EXPECT_EQ(eh::ReadLines(), (std::vector<std::string>{"*.tmp", "*.chk"}));
    EXPECT_EQ(eh::LoadPatternString(), "*.tmp;*.chk");
    ASSERT_TRUE(eh::RemovePattern("*.tmp"));
    EXPECT_EQ(Content(), overlong + "\r\n*.chk\r\n");
}

TEST(SendToRecycleBin, RefusesLinksFoldersAndReadOnlyFiles) {
    TempDir dir, outside;
    WriteTextFile(outside / "precious.doc", "mine");
    ASSERT_TRUE(MakeLink(outside / "precious.doc", dir / "link.tmp"));
    MakeDirs(dir / "folder.tmp");
    WriteTextFile(dir / "folder.tmp\\inside.txt", "keep");
    WriteTextFile(dir / "ro.tmp", "ro");
    SetFileAttributesA((dir / "ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_FALSE(eh::SendToRecycleBin(dir / "link.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(dir / "folder.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(dir / "ro.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(dir / "missing.tmp"));
    EXPECT_FALSE(eh::SendToRecycleBin(""));
    EXPECT_EQ(ReadTextFile(outside / "precious.doc"), "mine");
    EXPECT_EQ(ReadTextFile(dir / "folder.tmp\\inside.txt"), "keep");
    EXPECT_EQ(ReadTextFile(dir / "ro.tmp"), "ro");
}


namespace {

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The files of the run's trash whose record says they came from the Linux folder `unixFolder`:
// their name there, and their content. Each is taken out of the trash with its record.
std::map<std::string, std::string> TakeTrashedFrom(const std::string& unixFolder) {
    const std::string trash = bw::platform::WineTrashFolder();
    std::map<std::string, std::string> taken;
    for (const std::string& record : SortedNames(trash + "\\info")) {
        const std::string info = ReadTextFile(trash + "\\info\\" + record);
        const size_t at = info.find("\nPath=");
        if (info.rfind("[Trash Info]\n", 0) != 0 || at == std::string::npos) continue;
        const std::string path = PercentDecoded(info.substr(at + 6, info.find('\n', at + 6) - at - 6));
        if (path.rfind(unixFolder + "/", 0) != 0) continue;
        EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos) << info;
        const std::string item = trash + "\\files\\" + record.substr(0, record.size() - 10);
        taken[path.substr(unixFolder.size() + 1)] = ReadTextFile(item);
        DeleteFileA(item.c_str());
        DeleteFileA((trash + "\\info\\" + record).c_str());
    }
    return taken;
}

long long RecycleBinCount() {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    return SUCCEEDED(SHQueryRecycleBinA("", &info)) ? info.i64NumItems : -1;
}

}  // namespace

// While files chosen in base\results go to the recycle bin, another program swaps that folder:
// a Linux process renames it back and forth with a link to base\outside every 1.5 ms (Linux
// renames ignore Windows share modes), and a Windows thread renames it away and back with
// MoveFileW (no Windows call renames a Linux link under Wine: MoveFileW on one moves its
// target). Files refused meanwhile stay and are sent again once the swapping stops. In the end
// every chosen file is in the trash with its record, and every file outside is where it was.
TEST(SendToRecycleBin, AFolderSwappedWhileFilesMoveSendsNothingOutsideToTheTrash) {
    if (bw::platform::WineTrashFolder().empty()) GTEST_SKIP() << "no desktop trash outside Wine";
    TempDir base;
    const std::string results = base / "results", outside = base / "outside", link = base / "swap";
    constexpr int kPerRacer = 150;
    constexpr int kFiles = 2 * kPerRacer;
    ASSERT_TRUE(MakeDirs(results) && MakeDirs(outside));
    auto file = [](int i) { return "f" + std::to_string(i) + ".tmp"; };
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_TRUE(WriteTextFile(results + "\\" + file(i), "junk" + std::to_string(i)));
        ASSERT_TRUE(WriteTextFile(outside + "\\" + file(i), "mine" + std::to_string(i)));
    }
    ASSERT_TRUE(MakeLink(outside, link));
    const bw::platform::fs::SearchAnchor anchor = bw::platform::fs::AnchorSearch(bw::platform::paths::Widen(base.path()));
    ASSERT_TRUE(anchor.valid);
    const long long inBinBefore = RecycleBinCount();
    auto send = [&](int i) {
        return eh::SendToRecycleBin(anchor, bw::platform::paths::LongPath(results + "\\" + file(i)));
    };

    // The Linux racer: a perl loop, stopped by a marker file, that says when it has stopped.
    ASSERT_TRUE(WriteTextFile(base / "race.pl",
                              "my ($r, $l, $a, $stop, $done) = @ARGV;\n"
                              "until (-e $stop) {\n"
                              "  if (rename($r, $a)) { rename($l, $r); select(undef, undef, undef, 0.0015);\n"
                              "    rename($r, $l); rename($a, $r); }\n"
                              "  select(undef, undef, undef, 0.0015);\n"
                              "}\n"
                              "open(my $f, '>', $done); close($f);\n"));
    std::string command = "perl";
    for (const std::string& arg : {base / "race.pl", results, link, base / "aside", base / "stop", base / "done"})
        command += " \"" + UnixPath(arg) + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    int refused = 0;
    if (CreateProcessA("Z:\\usr\\bin\\perl", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        for (int i = 0; i < kPerRacer; ++i) refused += send(i) ? 0 : 1;
        WriteTextFile(base / "stop", "");
        for (int wait = 0; wait < 500 && !PathExists(base / "done"); ++wait) Sleep(10);
        ASSERT_TRUE(PathExists(base / "done")) << "the Linux racer did not stop";
    } else {
        ADD_FAILURE() << "perl could not be started as a Linux racer";
    }
    ASSERT_TRUE(IsDirectory(results) && PathExists(link + "\\" + file(0)));

    // The Windows racer.
    std::atomic<bool> stop{false};
    std::thread racer([&] {
        const std::wstring from = bw::platform::paths::Widen(results), aside = bw::platform::paths::Widen(base / "aside");
        while (!stop) {
            if (MoveFileW(from.c_str(), aside.c_str()))
                while (!MoveFileW(aside.c_str(), from.c_str())) Sleep(0);
            Sleep(1);
        }
    });
    for (int i = kPerRacer; i < kFiles; ++i) refused += send(i) ? 0 : 1;
    stop = true;
    racer.join();
    std::printf("refused while swapped: %d of %d\n", refused, kFiles);

    for (int i = 0; i < kFiles; ++i) {
        if (PathExists(results + "\\" + file(i))) {
            EXPECT_TRUE(send(i)) << file(i);
        }
    }
    for (int i = 0; i < kFiles; ++i) {
        EXPECT_EQ(ReadTextFile(outside + "\\" + file(i)), "mine" + std::to_string(i)) << "outside, " << file(i);
        EXPECT_FALSE(PathExists(results + "\\" + file(i))) << file(i);
    }
    EXPECT_GE(RecycleBinCount() - inBinBefore, kFiles) << "the shell's Recycle Bin shows them";
    const std::map<std::string, std::string> trashed = TakeTrashedFrom(UnixPath(results));
    EXPECT_EQ(trashed.size(), static_cast<size_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) {
        auto it = trashed.find(file(i));
        if (it == trashed.end()) {
            ADD_FAILURE() << file(i) << " has no record in the trash";
            continue;
        }
        EXPECT_EQ(it->second, "junk" + std::to_string(i)) << file(i);
    }
}
