// The settings file: reads, writes, the on/off rules and damaged files, on Wine's profile code.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "settings/Inifun.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
using bw::Inifun::IsOnByNumber;
using bw::Inifun::IsOnByText;
using bw::Inifun::ReadIni;
using bw::Inifun::ReadsAsNumber;
using bw::Inifun::WriteIni;

namespace {

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

}  // namespace

TEST(Inifun, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
    TempDir dir;
    const std::string file = dir / "bwsd.dat";
    EXPECT_EQ(ReadIni(file, "BROWSERS", "location"), "");
    EXPECT_EQ(ReadIni(file, "WINDOWS", "regnum"), "");
    EXPECT_FALSE(PathExists(file)) << "reading never creates the file";

    WriteIni(file, "WINDOWS", "regnum", "15");
    ASSERT_TRUE(PathExists(file));
    const std::string content = ReadTextFile(file);
    EXPECT_NE(content.find("[WINDOWS]"), std::string::npos) << content;
    EXPECT_NE(content.find("regnum=15"), std::string::npos) << content;
    EXPECT_EQ(ReadIni(file, "WINDOWS", "regnum"), "15");
    EXPECT_EQ(ReadIni(file, "WINDOWS", "filesize"), "");
    EXPECT_EQ(ReadIni(file, "MSN", "path"), "");
}

TEST(Inifun, NamesMatchRegardlessOfCaseAndWritesReplaceInPlace) {
    TempDir dir;
    const std::string file = dir / "bwsd.dat";
    WriteIni(file, "OPERA", "Location", "1");
    WriteIni(file, "OPERA", "History", "0");
    WriteIni(file, "OPERA", "Path", "C:\\Program Files\\Opera7");
    EXPECT_EQ(ReadIni(file, "opera", "location"), "1");
    EXPECT_EQ(ReadIni(file, "Opera", "History"), "0");
    EXPECT_EQ(ReadIni(file, "OPERA", "path"), "C:\\Program Files\\Opera7");

    WriteIni(file, "Opera", "location", "0");
    EXPECT_EQ(ReadIni(file, "OPERA", "Location"), "0");
    const std::string content = ReadTextFile(file);
    EXPECT_EQ(Count(content, "ocation="), 1u) << content;
    EXPECT_EQ(Count(content, "[OPERA]") + Count(content, "[Opera]"), 1u) << content;
    EXPECT_EQ(ReadIni(file, "OPERA", "History"), "0") << "the other keys stay";
    EXPECT_EQ(ReadIni(file, "OPERA", "Path"), "C:\\Program Files\\Opera7");
}

TEST(Inifun, ValuesAreTrimmedAndLengthLimited) {
    TempDir dir;
    const std::string file = dir / "bwsd.dat";
    ASSERT_TRUE(WriteTextFile(file, "[WINDOWS]\r\nrecent= 1 \r\nrun=\t1\t\r\nsearch=\r\n"));
    EXPECT_EQ(ReadIni(file, "WINDOWS", "recent"), "1");
    EXPECT_EQ(ReadIni(file, "WINDOWS", "run"), "1");
    EXPECT_EQ(ReadIni(file, "WINDOWS", "search"), "");

    WriteIni(file, "WINDOWS", "temp", "  1  ");
    EXPECT_EQ(ReadIni(file, "WINDOWS", "temp"), "1");

    std::string longValue;
    for (int i = 0; i < 200; ++i) longValue += static_cast<char>('a' + i % 26);
    WriteIni(file, "OPERA", "Path", longValue);
    const std::string content = ReadTextFile(file);
    EXPECT_NE(content.find("Path=" + longValue.substr(0, 128) + "\r\n"), std::string::npos)
        << "stored as its first 128 characters";
    EXPECT_EQ(ReadIni(file, "OPERA", "Path"), longValue.substr(0, 127));
    EXPECT_EQ(ReadIni(file, "WINDOWS", "recent"), "1");
}

TEST(Inifun, WriteKeepsValueOnOneLine) {
    TempDir dir;
    const std::string file = dir / "bwsd.dat";
    WriteIni(file, "OPERA", "Path", "C:\\Opera\r\n[Additional]\r\nexit=1");
    WriteIni(file, "MSN", "path", std::string("C:\\MSN\0hidden", 13));
    EXPECT_EQ(ReadIni(file, "OPERA", "Path"), "C:\\Opera");
    EXPECT_EQ(ReadIni(file, "MSN", "path"), "C:\\MSN");
    EXPECT_EQ(ReadIni(file, "Additional", "exit"), "") << "no key smuggled in by a line break";
    EXPECT_EQ(ReadTextFile(file).find("hidden"), std::string::npos);
}

TEST(Inifun, WriteToLockedFileIsIgnored) {
    TempDir dir;
    const std::string file = dir / "bwsd.dat";
    WriteIni(file, "Additional", "exit", "0");
    const std::string before = ReadTextFile(file);
    // Another program holds the file open without sharing: Windows refuses both the write and
    // the read.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    WriteIni(file, "Additional", "exit", "1");
    EXPECT_EQ(ReadIni(file, "Additional", "exit"), "");
    CloseHandle(held);
    EXPECT_EQ(ReadTextFile(file), before);
    EXPECT_EQ(ReadIni(file, "Additional", "exit"), "0");
}

// A link or a hard link in the settings file's place is replaced by a plain file, key by key and
// in a batch alike; the file it shared its content with keeps that content.
TEST(Inifun, ASettingsFileThatIsALinkIsNeverWrittenThrough) {
    for (const bool hard : {false, true}) {
        for (const bool batched : {false, true}) {
            TempDir dir, outside;
            const std::string precious = outside / "precious.ini";
            const std::string file = dir / "bwsd.dat";
            const std::string kPrecious = "[Additional]\r\nexit=0\r\n";
            WriteTextFile(precious, kPrecious);
            if (hard) {
                ASSERT_TRUE(CreateHardLinkA(file.c_str(), precious.c_str(), nullptr));
            } else if (!MakeLink(precious, file)) {
                GTEST_SKIP() << "Linux links need Wine";
            }
            {
                std::optional<bw::Inifun::SaveBatch> batch;
                if (batched) batch.emplace(file);
                WriteIni(file, "Additional", "exit", "1");
                WriteIni(file, "WINDOWS", "regnum", "4");
            }
            const std::string label = std::string(hard ? "hard link" : "link") + (batched ? ", batched" : "");
            EXPECT_EQ(ReadTextFile(precious), kPrecious) << label;
            EXPECT_EQ(ReadTextFile(file), "[Additional]\r\nexit=1\r\n[WINDOWS]\r\nregnum=4\r\n") << label;
            BY_HANDLE_FILE_INFORMATION info{};
            HANDLE h = CreateFileA(precious.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE);
            GetFileInformationByHandle(h, &info);
            CloseHandle(h);
            EXPECT_EQ(info.nNumberOfLinks, 1u) << label << ": the settings file has a name of its own now";
        }
    }
}

// A write changes the one line of its key and keeps every other line byte for byte, as the
// profile functions of Windows do; the profile functions read the result back.
TEST(Inifun, WritesChangeOneLineAndKeepTheRest) {
    struct Row {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } rows[] = {
        // names regardless of case, the file's spelling kept; comments, blank and odd lines kept
        {"; mine\r\n[Opera]\r\n  Location = 1 \r\nnot a key\r\n\r\n[WINDOWS]\r\nregnum=3\r\n", "OPERA", "location",
         "0", "; mine\r\n[Opera]\r\nLocation=0\r\nnot a key\r\n\r\n[WINDOWS]\r\nregnum=3\r\n"},
        // a new key goes after its section's last line, before the blank line
        {"[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "a", "z", "9", "[A]\r\nx=1\r\nz=9\r\n\r\n[B]\r\ny=2\r\n"},
        // a new section at the end, after a last line that had no end
        {"[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        // blanks inside the brackets; only the first section of a name counts
        {"[ A ]\r\nx=1\r\n[B]\r\n[a]\r\nk=old\r\n", "A", "k", "new", "[ A ]\r\nx=1\r\nk=new\r\n[B]\r\n[a]\r\nk=old\r\n"},
        // the same value: nothing changes; a key without "=" gets one; LF line ends stay
        {"[A]\r\nx = 1\r\n", "A", "x", "1", "[A]\r\nx = 1\r\n"},
        {"[A]\nflag\ny=2\n", "A", "FLAG", " 1", "[A]\nflag=1\ny=2\n"},
        // a key before any section is no key of a section
        {"x=1\r\n[A]\r\ny=2\r\n", "A", "x", "3", "x=1\r\n[A]\r\ny=2\r\nx=3\r\n"},
        // a file marked as UTF-8 stays UTF-8
        {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "\xE9t\xE9", "\xEF\xBB\xBF[A]\r\nx=\xC3\xA9t\xC3\xA9\r\n"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string file = dir / "bwsd.dat";
        ASSERT_TRUE(WriteTextFile(file, row.before));
        WriteIni(file, row.section, row.key, row.value);
        EXPECT_EQ(ReadTextFile(file), row.after) << row.before;
        std::string expected = row.value;
        expected.erase(0, expected.find_first_not_of(' '));
        EXPECT_EQ(ReadIni(file, row.section, row.key), expected) << row.before;
        EXPECT_EQ(SortedNames(dir.path()), (std::vector<std::string>{"bwsd.dat"})) << "no scratch file is left";
    }
}

// Kills a process that saves settings over and over at random moments: the file is always
// whole, the old one or the new one, with every key and the user's own lines.
TEST(Inifun, AKillDuringASaveLeavesAWholeFile) {
    char child[64] = "";
    if (GetEnvironmentVariableA("BW_SAVE_LOOP", child, sizeof child) > 0) {
        // The child: key by key, then a batch of every key, until it is killed.
        const std::string file = child;
        for (unsigned round = 0;; ++round) {
            WriteIni(file, "WINDOWS", "regnum", std::to_string(round));
            const bw::Inifun::SaveBatch batch(file);
            for (int k = 0; k < 29; ++k) WriteIni(file, "Item" + std::to_string(k), "ticked", round % 2 ? "1" : "0");
        }
    }
    TempDir dir;
    const std::string file = dir / "bwsd.dat";
    // A section for each key, as the settings file has many: the system's profile functions wrote
    // a file section by section, in place, so a kill left it cut short.
    std::string start = "; kept by the user\r\n[WINDOWS]\r\nregnum=0\r\n";
    for (int k = 0; k < 29; ++k) start += "[Item" + std::to_string(k) + "]\r\nticked=0\r\n";
    ASSERT_TRUE(WriteTextFile(file, start));
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetEnvironmentVariableA("BW_SAVE_LOOP", file.c_str());
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 12; ++kill) {
        // The child needs a few hundred milliseconds to start; it is killed some time after.
        const unsigned long after = 300 + random() % 700;
        EXPECT_EQ(RunAndWait("\"" + std::string(self) + "\" --gtest_filter=Inifun.AKillDuringASaveLeavesAWholeFile", "",
                             "", after),
                  -1);
        const std::string text = ReadTextFile(file);
        ASSERT_EQ(text.rfind("; kept by the user\r\n[WINDOWS]\r\nregnum=", 0), 0u) << "kill " << kill << ":\n" << text;
        EXPECT_TRUE(ReadsAsNumber(ReadIni(file, "WINDOWS", "regnum"))) << text;
        for (int k = 0; k < 29; ++k) {
            const std::string value = ReadIni(file, "Item" + std::to_string(k), "ticked");
            EXPECT_TRUE(value == "0" || value == "1") << "kill " << kill << ", Item" << k << ":\n" << text;
        }
    }
    SetEnvironmentVariableA("BW_SAVE_LOOP", nullptr);
}

TEST(Inifun, WriteToReadOnlyFileKeepsOldValue) {
    TempDir dir;
    const std::string file = dir / "bwsd.dat";
    WriteIni(file, "Additional", "exit", "0");
    const std::string before = ReadTextFile(file);
    // Windows refuses the write; Wine running as root ignores the read-only bit.
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    WriteIni(file, "Additional", "exit", "1");
    const std::string after = ReadTextFile(file);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (after != before)
        GTEST_SKIP() << "Wine gap: as root, WritePrivateProfileStringA writes read-only files";
    EXPECT_EQ(ReadIni(file, "Additional", "exit"), "0");
}

TEST(Inifun, DamagedFilesReadAsMissingKeys) {
    TempDir dir;

    const std::string empty = dir / "empty.dat";
    ASSERT_TRUE(WriteTextFile(empty, ""));
    EXPECT_EQ(ReadIni(empty, "WINDOWS", "regnum"), "");
    EXPECT_FALSE(IsOnByNumber(ReadIni(empty, "Additional", "bosskey")));

    // Random bytes, NULs and brackets included; the fixed seed keeps the run repeatable.
    std::mt19937 random(20240601);
    std::string garbage;
    for (int i = 0; i < 64 * 1024; ++i) garbage += static_cast<char>(random() & 0xFF);
    const std::string binary = dir / "binary.dat";
    ASSERT_TRUE(WriteTextFile(binary, garbage));
    EXPECT_EQ(ReadIni(binary, "WINDOWS", "regnum"), "");
    EXPECT_EQ(ReadIni(binary, "Additional", "Custom"), "");
    EXPECT_LE(ReadIni(binary, "", "").size(), 127u);

    // Starts like UTF-16 text, so Windows reads it as such.
    const std::string utf16 = dir / "utf16.dat";
    ASSERT_TRUE(WriteTextFile(utf16, std::string("\xFF\xFE", 2) + garbage));
    EXPECT_EQ(ReadIni(utf16, "WINDOWS", "regnum"), "");

    // One line of several megabytes, then an ordinary key.
    const std::string huge = dir / "huge.dat";
    ASSERT_TRUE(WriteTextFile(huge, "[WINDOWS]\r\n" + std::string(4 * 1024 * 1024, 'x') +
                                        "\r\nregnum=7\r\nfilesize=" +
                                        std::string(3 * 1024 * 1024, '9') + "\r\n"));
    EXPECT_EQ(ReadIni(huge, "WINDOWS", "lastclean"), "");
    EXPECT_EQ(ReadIni(huge, "WINDOWS", "regnum"), "7");
    EXPECT_EQ(ReadIni(huge, "WINDOWS", "filesize"), std::string(127, '9'));

    // Writing into a damaged file still stores the key.
    WriteIni(empty, "WINDOWS", "regnum", "3");
    EXPECT_EQ(ReadIni(empty, "WINDOWS", "regnum"), "3");
}

TEST(Inifun, OnOffRules) {
    EXPECT_TRUE(IsOnByText("1"));
    for (const char* off : {"1.0", "01", " 1", "0", "", "true", "+1"}) {
        EXPECT_FALSE(IsOnByText(off)) << off;
    }
    for (const char* on : {"1", "01", "1.0", "+1", " 1 ", "\t1", "1.", "1e0", "0.1e1"}) {
        EXPECT_TRUE(IsOnByNumber(on)) << on;
    }
    for (const char* off : {"0", "", "2", "-1", "1.5", "abc", "1a", "one", ".", " "}) {
        EXPECT_FALSE(IsOnByNumber(off)) << off;
    }
}

TEST(Inifun, ReadsAsNumberIsStrictAndLocaleFree) {
    const std::pair<const char*, double> numbers[] = {
        {"1", 1},      {"01", 1},       {"1.0", 1},     {"+1", 1},  {" 1 ", 1},
        {"-2.5", -2.5}, {".5", 0.5},    {"5.", 5},      {"1e3", 1000}, {"2E-1", 0.2},
        {"1234.56", 1234.56}, {"0", 0}, {"\t7\t", 7},
    };
    for (const auto& [text, value] : numbers) {
        auto number = ReadsAsNumber(text);
        ASSERT_TRUE(number.has_value()) << text;
        EXPECT_DOUBLE_EQ(*number, value) << text;
    }
    for (const char* text : {"", " ", ".", "abc", "1a", "a1", "1,0", "1 000", "--1", "+-1", "1.2.3",
                             "1e", "e1", "0x10", "&H10", "1e999", "inf", "nan", "+", "-.", "1\n"}) {
        EXPECT_FALSE(ReadsAsNumber(text).has_value()) << text;
    }
    EXPECT_FALSE(ReadsAsNumber(std::string("1\0", 2)).has_value());
}
