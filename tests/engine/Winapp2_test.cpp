// The community rules: the real winapp2.ini files, malformed and hostile input, the name matcher,
// detection on this prefix, and the targets a planted tree resolves to (matches, never baits).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "engine/Winapp2.h"
#include "engine/Winapp2Scan.h"
#include "platform/RuleFolders.h"
#include "platform/RuleProbes.h"
#include "tests/support/RealRules.h"
#include "tests/support/TestSupport.h"

namespace w2 = bw::winapp2;
using namespace bw::test;
using w2::Refusal;

namespace {

std::string Utf8(const std::wstring& s) { return w2::WideToUtf8(s); }

// A folder of the user's local application data, as the rules' %LocalAppData% names it.
std::string LocalAppData() {
    return Utf8(bw::platform::rulefolders::VariableValues("LocalAppData").at(0));
}

std::string Crlf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* l : lines) text += std::string(l) + "\r\n";
    return text;
}

const w2::Key* KeyOf(const w2::Rules& rules, const w2::Entry& e, w2::KeyKind kind, int nth = 0) {
    for (uint32_t i = 0; i < e.keyCount; ++i)
        if (rules.keys[e.firstKey + i].kind == kind && nth-- == 0) return &rules.keys[e.firstKey + i];
    return nullptr;
}

// Creates each entry below `root`: a name ending in a backslash is a folder, anything else a
// file holding its own name.
void Plant(const std::string& root, const std::vector<std::string>& entries) {
    MakeDirs(root);
    for (const std::string& e : entries) {
        if (e.back() == '\\') {
            MakeDirs(root + "\\" + e.substr(0, e.size() - 1));
            continue;
        }
        const size_t slash = e.rfind('\\');
        if (slash != std::string::npos) MakeDirs(root + "\\" + e.substr(0, slash));
        WriteTextFile(root + "\\" + e, e);
    }
}

// A planted folder (under %LocalAppData% unless a full path is given), removed with everything
// in it (links, never their targets).
class PlantedFolder {
public:
    explicit PlantedFolder(const std::string& name)
        : path_(name.find(':') != std::string::npos ? name : LocalAppData() + "\\" + name) {
        RunUnix("/bin/rm", {"-rf", UnixPath(path_)});
        MakeDirs(path_);
    }
    ~PlantedFolder() { RunUnix("/bin/rm", {"-rf", UnixPath(path_)}); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

TEST(Winapp2, RealFilesParseEveryEntryAndRefuseTheMalformedLines) {
    struct Row {
        const char* flavour;
        std::vector<std::pair<uint32_t, Refusal>> refused;
    };
    // Refused in both flavours, by shape: a path that does not start with a variable
    // (%Package\...), a FileKey without a pattern (Dropbox's FileKey7) or with its flag in the
    // pattern's place (path|RECURSE), a stray % inside a path (%UserProfile%\AppData%\...), and a
    // DetectFile holding a | (%WinDir%|SIGVERIF.TXT).
    const Row rows[] = {
        {"Non-CCleaner/Winapp2.ini",
         {{2587, Refusal::NoPattern}, {11029, Refusal::NoVariable}, {11252, Refusal::NoPattern},
          {14586, Refusal::NoPattern}, {14587, Refusal::NoPattern}, {15484, Refusal::NoPattern},
          {18461, Refusal::NoPattern}, {21517, Refusal::BadPath}, {21518, Refusal::BadPath},
          {21519, Refusal::BadPath}, {27107, Refusal::NoVariable}, {27108, Refusal::NoVariable},
          {27152, Refusal::BadPath}, {33663, Refusal::BadPath}}},
        {"Winapp2.ini",
         {{3967, Refusal::NoPattern}, {12212, Refusal::NoVariable}, {12435, Refusal::NoPattern},
          {15769, Refusal::NoPattern}, {15770, Refusal::NoPattern}, {16465, Refusal::NoPattern},
          {19442, Refusal::NoPattern}, {22272, Refusal::BadPath}, {22273, Refusal::BadPath},
          {22274, Refusal::BadPath}, {27543, Refusal::NoVariable}, {27544, Refusal::NoVariable},
          {27588, Refusal::BadPath}, {33691, Refusal::BadPath}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flavour);
        BW_REAL_RULES_OR_SKIP(file, row.flavour);
        const w2::Rules rules = w2::LoadRules(file);
        ASSERT_EQ(rules.status, w2::FileStatus::Read);
        EXPECT_EQ(rules.entries.size(), 4067u);
        std::vector<std::pair<uint32_t, Refusal>> refused;
        for (const w2::RefusedLine& r : rules.refused) refused.emplace_back(r.line, r.reason);
        EXPECT_EQ(refused, row.refused);
        EXPECT_EQ(rules.refusedCount, row.refused.size());
        EXPECT_LE(rules.MemoryBytes(), 8u << 20);
        // 14,118 FileKeys written, 12 refused; every RegKey and ExcludeKey taken.
        size_t fileKeys = 0, regKeys = 0, excludes = 0;
        for (const w2::Key& k : rules.keys) {
            fileKeys += k.kind == w2::KeyKind::FileKey;
            regKeys += k.kind == w2::KeyKind::RegKey;
            excludes += k.kind == w2::KeyKind::ExcludeFile || k.kind == w2::KeyKind::ExcludePath ||
                        k.kind == w2::KeyKind::ExcludeReg;
        }
        EXPECT_EQ(fileKeys, 14106u);
        EXPECT_EQ(regKeys, 3677u);
        EXPECT_EQ(excludes, 86u);
        EXPECT_EQ(std::count_if(rules.entries.begin(), rules.entries.end(), [](const w2::Entry& e) { return e.refusedExclusion; }), 0);

        const size_t temp = rules.Find("windows temporary FILES");
        ASSERT_LT(temp, rules.entries.size());
        const w2::Entry& e = rules.entries[temp];
        EXPECT_EQ(rules.Name(e), "Windows Temporary Files *");
        EXPECT_EQ(rules.GroupName(e), "Windows");
        const w2::Key* k4 = KeyOf(rules, e, w2::KeyKind::FileKey, 3);
        ASSERT_NE(k4, nullptr);
        EXPECT_EQ(k4->number, 4);
        EXPECT_EQ(k4->variable, w2::Variable::Temp);
        EXPECT_EQ(rules.Text(k4->text), "\\*");
        EXPECT_TRUE(k4->pathHasWildcard);
        EXPECT_EQ(k4->flag, w2::Flag::RemoveSelf);
    }
}

// Our sample file (tests/engine/data/rules-sample.ini) holds every shape of the format, so that the
// interpreter is read whole in every run, with or without the real files.
TEST(Winapp2, TheSampleFileIsReadAndDetectedAsWrittenShapeByShape) {
    const w2::Rules rules = w2::LoadRules(SampleRulesFile());
    ASSERT_EQ(rules.status, w2::FileStatus::Read);
    ASSERT_EQ(rules.entries.size(), 11u);
    std::vector<std::pair<uint32_t, Refusal>> refused;
    for (const w2::RefusedLine& r : rules.refused) refused.emplace_back(r.line, r.reason);
    const std::vector<std::pair<uint32_t, Refusal>> expected = {
        {6, Refusal::OutsideEntry}, {91, Refusal::NoPattern},        {92, Refusal::NoVariable},
        {93, Refusal::UnknownVariable}, {94, Refusal::BadPath},      {95, Refusal::UnknownFlag},
        {96, Refusal::HiveRoot},    {97, Refusal::UnknownExclusion}, {98, Refusal::UnknownKey},
        {101, Refusal::DuplicateEntry}};
    EXPECT_EQ(refused, expected);
    size_t kinds[7] = {};
    for (const w2::Key& k : rules.keys) ++kinds[static_cast<int>(k.kind)];
    // Detect, DetectFile, FileKey, RegKey, ExcludeKey FILE|, PATH|, REG|
    EXPECT_EQ(std::vector<size_t>(kinds, kinds + 7), (std::vector<size_t>{7, 6, 25, 4, 2, 2, 1}));

    auto entry = [&](const char* name) -> const w2::Entry& {
        const size_t at = rules.Find(name);
        EXPECT_LT(at, rules.entries.size()) << name;
        return rules.entries[std::min(at, rules.entries.size() - 1)];
    };
    const w2::Entry& quill = entry("Quillpad Notes");
    EXPECT_EQ(rules.GroupName(quill), "Applications");
    const w2::Key* logs = KeyOf(rules, quill, w2::KeyKind::FileKey);
    ASSERT_NE(logs, nullptr);
    EXPECT_EQ(logs->variable, w2::Variable::LocalAppData);
    EXPECT_EQ(logs->patternCount, 2u);
    EXPECT_EQ(rules.Text(rules.patterns[logs->firstPattern + 1]), "*.log.?");
    EXPECT_EQ(KeyOf(rules, quill, w2::KeyKind::FileKey, 1)->flag, w2::Flag::Recurse);
    EXPECT_EQ(KeyOf(rules, quill, w2::KeyKind::FileKey, 2)->flag, w2::Flag::RemoveSelf);
    EXPECT_TRUE(KeyOf(rules, quill, w2::KeyKind::RegKey, 1)->hasValue);
    EXPECT_FALSE(KeyOf(rules, quill, w2::KeyKind::RegKey, 0)->hasValue);
    const w2::Entry& player = entry("northwind player *");
    EXPECT_EQ(rules.Text(player.warning), "This also forgets the player's playlists.");
    EXPECT_TRUE(KeyOf(rules, player, w2::KeyKind::FileKey)->pathHasWildcard);
    EXPECT_EQ(KeyOf(rules, player, w2::KeyKind::ExcludePath)->patternCount, 1u);
    ASSERT_NE(KeyOf(rules, player, w2::KeyKind::ExcludeReg), nullptr);
    const w2::Entry& cache = entry("Sample Browser Cache");
    EXPECT_EQ(rules.GroupName(cache), "Sample Browser");
    EXPECT_EQ(KeyOf(rules, cache, w2::KeyKind::ExcludePath)->patternCount, 0u) << "the whole folder";
    EXPECT_TRUE(entry("Old System Logs").osMax.present);
    EXPECT_FALSE(entry("Old System Logs").osMin.present);
    EXPECT_EQ(rules.Text(entry("Sample Chrome Leftovers").specialDetect), "DET_CHROME");
    const w2::Entry& root = entry("Drive Root Leftovers");
    EXPECT_EQ(KeyOf(rules, root, w2::KeyKind::FileKey)->variable, w2::Variable::SystemDrive);
    EXPECT_EQ(rules.Text(KeyOf(rules, root, w2::KeyKind::FileKey)->text), "");
    const w2::Entry& anyhow = entry("Every Key Spelled Anyhow");
    EXPECT_EQ(KeyOf(rules, anyhow, w2::KeyKind::FileKey)->flag, w2::Flag::Recurse);
    EXPECT_EQ(KeyOf(rules, anyhow, w2::KeyKind::FileKey, 1)->number, 2);
    EXPECT_EQ(KeyOf(rules, anyhow, w2::KeyKind::FileKey, 1)->flag, w2::Flag::RemoveSelf);
    ASSERT_NE(KeyOf(rules, anyhow, w2::KeyKind::ExcludeFile), nullptr);

    // Detection on this prefix, with a registry key, a folder and a wildcard folder planted.
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, "Software\\BwSample\\Quillpad", "v", "planted"));
    PlantedFolder browser("BwSample\\Browser");
    PlantedFolder player2(Utf8(bw::platform::rulefolders::VariableValues("AppData").at(0)) + "\\BwSample\\Northwind2");
    w2::Computer computer;
    const std::vector<w2::Detection> found = w2::DetectAll(rules, computer);
    using D = w2::Detection;
    // DetectOS: one entry is for Windows 7 (6.1) and before, the other for Windows 8 (6.2) on.
    const bw::platform::rulefolders::WindowsVersion os = computer.Version();
    const bool eightOn = os.major > 6 || (os.major == 6 && os.minor >= 2);
    const D seven = eightOn ? D::NotDetected : D::Detected, eight = eightOn ? D::Detected : D::NotDetected;
    const std::vector<D> expectedFound = {D::Detected,    D::Detected,    D::NotDetected, D::Detected,
                                          seven,          eight,          D::NotDetected, D::NotDetected,
                                          D::NotDetected, D::NoDetectionKeys, D::NotDetected};
    EXPECT_EQ(found, expectedFound);
    for (size_t i = 0; i < found.size(); ++i) w2::EnumerateTargets(rules, rules.entries[i], computer);
    DeleteTree(HKEY_CURRENT_USER, "Software\\BwSample");
    RunUnix("/bin/rm", {"-rf", UnixPath(Utf8(bw::platform::rulefolders::VariableValues("AppData").at(0)) + "\\BwSample"),
                        UnixPath(LocalAppData() + "\\BwSample")});
}

TEST(Winapp2, EachMalformedLineIsRefusedWithItsReasonAndTheRestKept) {
    struct Row {
        const char* line;
        Refusal reason;
    };
    const Row rows[] = {
        {"FileKey1=%LocalAppData%\\Dropbox\\", Refusal::NoPattern},
        {"FileKey1=%AppData%\\X|RECURSE", Refusal::NoPattern},
        {"FileKey1=%AppData%\\X|*|DELETE", Refusal::UnknownFlag},
        {"FileKey1=%AppData%\\X|*|RECURSE|x", Refusal::TooManyParts},
        {"FileKey1=%Bogus%\\X|*", Refusal::UnknownVariable},
        {"FileKey1=%UserName%\\X|*", Refusal::NoVariable},
        {"FileKey1=C:\\Temp|*", Refusal::NoVariable},
        {"FileKey1=%Package\\LocalCache|*.log", Refusal::NoVariable},
        {"FileKey1=%UserProfile%\\AppData%\\LocalLow|*", Refusal::BadPath},
        {"FileKey1=%AppData%\\..\\X|*", Refusal::BadPath},
        {"FileKey1=%SystemDrive%\\.|*|RECURSE", Refusal::BadPath},
        {"FileKey1=%AppData%\\\\X|*", Refusal::BadPath},
        {"FileKey1=%AppData%X|*", Refusal::BadPath},
        {"FileKey1=%AppData%\\X|a;;b", Refusal::BadPattern},
        {"FileKey1=%AppData%\\X|..\\y", Refusal::BadPattern},
        {"FileKey1=%Public%\\X|*", Refusal::UndefinedVariable},
        {"FileKey1=%AppData%\\%UserName%|*", Refusal::UndefinedVariable},
        {"RegKey1=HKXX\\Software\\X", Refusal::UnknownHive},
        {"RegKey1=HKCU", Refusal::HiveRoot},
        {"RegKey1=HKCU\\Software\\X|", Refusal::BadRegistryPath},
        {"RegKey1=HKCU\\Software\\X|a|b", Refusal::TooManyParts},
        {"ExcludeKey1=DIR|%AppData%\\X\\|*", Refusal::UnknownExclusion},
        {"ExcludeKey1=FILE|%AppData%\\X\\", Refusal::NoPattern},
        {"ExcludeKey1=PATH %AppData%\\X\\", Refusal::UnknownExclusion},
        {"ExcludeKey1=PATH|%AppData%\\..\\..\\X\\|*", Refusal::BadPath},
        {"ExcludeKey1=REG|HKCU\\", Refusal::HiveRoot},
        {"excludekey9=PATH|%AppData%\\Other\\", Refusal::DuplicateKey},
        {"DetectFile2=%Nowhere%\\X", Refusal::UnknownVariable},
        {"Detect=HKCU\\Software\\Other", Refusal::DuplicateKey},
        {"FileKey9=%AppData%\\Good|*", Refusal::DuplicateKey},
        {"Bogus=1", Refusal::UnknownKey},
        {"LangSecRef2=3021", Refusal::UnknownKey},
        {"no equals sign", Refusal::NotAKey},
        {"LangSecRef=abc", Refusal::BadNumber},
        {"DetectOS=six|", Refusal::BadNumber},
        {"Warning=", Refusal::EmptyValue},
        {"Detect=HKCU\\Software\\Bad\x01", Refusal::BinaryData},
        {"FileKey1=%AppData%\\\xC3(|*", Refusal::NotUtf8},
    };
    const w2::VariableSet defined =
        w2::kAllVariables & ~w2::Bit(w2::Variable::Public) & ~w2::Bit(w2::Variable::UserName);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const std::string text = Crlf({"; header", "[Test *]", "Detect=HKCU\\Software\\Good",
                                       "FileKey9=%AppData%\\Good|*", "ExcludeKey9=FILE|%AppData%\\Good\\|keep",
                                       row.line, "RegKey9=HKCU\\Software\\Good"});
        const w2::Rules rules = w2::ParseRules(text, defined);
        ASSERT_EQ(rules.entries.size(), 1u);
        ASSERT_EQ(rules.refused.size(), 1u);
        EXPECT_EQ(rules.refused[0].line, 6u);
        EXPECT_EQ(rules.refused[0].reason, row.reason) << w2::RefusalText(rules.refused[0].reason);
        EXPECT_EQ(rules.entries[0].keyCount, 4u);
        // An exclusion that cannot be read stops its entry; any other line only loses itself.
        const bool exclusion = _strnicmp(row.line, "ExcludeKey", 10) == 0;
        EXPECT_EQ(rules.entries[0].refusedExclusion, exclusion ? 6u : 0u);
        EXPECT_EQ(rules.Text(rules.entries[0].exclusionText), exclusion ? row.line : "");
    }
}

TEST(Winapp2, EntriesAreRefusedWholeOnlyForAnUnusableNameOrADuplicate) {
    const std::string text = Crlf({"FileKey1=%AppData%\\Before|*", "[First *]", "Detect=HKCU\\Software\\A",
                                   "[first]", "Detect=HKCU\\Software\\B", "[ *]", "Detect=HKCU\\Software\\C",
                                   "[Broken", "[Second *]", "DetectFile=%AppData%\\S"});
    const w2::Rules rules = w2::ParseRules(text);
    ASSERT_EQ(rules.entries.size(), 2u);
    EXPECT_EQ(rules.TickName(rules.entries[0]), "First");
    EXPECT_EQ(rules.TickName(rules.entries[1]), "Second");
    EXPECT_EQ(rules.entries[0].keyCount, 1u);  // the duplicate's keys never join the first
    const std::vector<std::pair<uint32_t, Refusal>> expected{
        {1, Refusal::OutsideEntry}, {4, Refusal::DuplicateEntry}, {6, Refusal::BadSection}, {8, Refusal::BadSection}};
    std::vector<std::pair<uint32_t, Refusal>> refused;
    for (const w2::RefusedLine& r : rules.refused) refused.emplace_back(r.line, r.reason);
    EXPECT_EQ(refused, expected);
}

TEST(Winapp2, KeysFlagsAndVariablesAreReadWithoutRegardToCaseOrNumbering) {
    const std::string text =
        "[Shapes *]\n"
        "detectfile=%localappdata%\\A*\n"
        "FILEKEY1=%appdata%\\x\\|*.LOG|recurse\n"
        "FileKey77=%SystemDrive%|AdwCleaner*.txt\n"
        "FileKey=%ProgramFiles%\\P|*.*|RemoveSelf\n"
        "FileKey3=%LocalAppData%\\%username%\\H|*\n"
        "ExcludeKey1=file|%AppData%\\x\\keep.log\n"
        "ExcludeKey2=PATH|%AppData%\\x\\sub\\\n"
        "ExcludeKey3=REG|HKEY_CURRENT_USER\\Software\\Keep\n"
        "ExcludeKey4=PATH|%AppData%\\\\x\\.\\sub\\..\\keep//\\|*.db\n"
        "RegKey1=hklm\\Software\\V|Name\n";
    const w2::Rules rules = w2::ParseRules(text);
    ASSERT_EQ(rules.refusedCount, 0u);
    ASSERT_EQ(rules.entries.size(), 1u);
    const w2::Entry& e = rules.entries[0];
    const w2::Key* f1 = KeyOf(rules, e, w2::KeyKind::FileKey, 0);
    EXPECT_EQ(f1->variable, w2::Variable::AppData);
    EXPECT_EQ(rules.Text(f1->text), "\\x");
    EXPECT_EQ(f1->flag, w2::Flag::Recurse);
    const w2::Key* f2 = KeyOf(rules, e, w2::KeyKind::FileKey, 1);
    EXPECT_EQ(f2->number, 77);
    EXPECT_EQ(f2->variable, w2::Variable::SystemDrive);
    EXPECT_EQ(rules.Text(f2->text), "");
    EXPECT_EQ(KeyOf(rules, e, w2::KeyKind::FileKey, 2)->flag, w2::Flag::RemoveSelf);
    const w2::Key* x1 = KeyOf(rules, e, w2::KeyKind::ExcludeFile);
    ASSERT_EQ(x1->patternCount, 1u);
    EXPECT_EQ(rules.Text(rules.patterns[x1->firstPattern]), "keep.log");
    EXPECT_EQ(KeyOf(rules, e, w2::KeyKind::ExcludePath)->patternCount, 0u);
    EXPECT_EQ(KeyOf(rules, e, w2::KeyKind::ExcludeReg)->hive, w2::Hive::CurrentUser);
    // Exclusions are read as Windows reads their paths; the entry still runs.
    EXPECT_EQ(rules.Text(KeyOf(rules, e, w2::KeyKind::ExcludePath, 1)->text), "\\x\\keep");
    EXPECT_EQ(e.refusedExclusion, 0u);
    const w2::Key* r1 = KeyOf(rules, e, w2::KeyKind::RegKey);
    EXPECT_EQ(r1->hive, w2::Hive::LocalMachine);
    EXPECT_TRUE(r1->hasValue);
    EXPECT_EQ(rules.Text(r1->value), "Name");
}

TEST(Winapp2, BadFilesAreRefusedWithACountAndNeverCrash) {
    TempDir dir;
    std::string big(20u << 20, 'x');
    for (size_t i = 100; i < big.size(); i += 100) big[i] = '\n';
    std::string binary;
    uint32_t seed = 12345;
    for (int i = 0; i < 65536; ++i) {
        seed = seed * 1103515245 + 12345;
        binary.push_back(static_cast<char>(seed >> 16));
    }
    binary.replace(0, 4, std::string("MZ\x90\0", 4));
    const std::string overlong = "[Long *]\r\nDetect=HKCU\\Software\\L\r\nFileKey1=%AppData%\\L|" +
                                 std::string(20000, 'a') + "\r\nFileKey2=%AppData%\\L|*\r\n";
    struct Row {
        const char* name;
        std::string content;
        w2::FileStatus status;
        size_t entries;
        bool refusedSome;
    };
    const Row rows[] = {
        {"big.ini", big, w2::FileStatus::TooLarge, 0, true},
        {"binary.ini", binary, w2::FileStatus::Empty, 0, true},
        {"empty.ini", "", w2::FileStatus::Empty, 0, false},
        {"blank.ini", "\r\n\r\n; only a comment\r\n", w2::FileStatus::Empty, 0, false},
        {"overlong.ini", overlong, w2::FileStatus::Read, 1, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteTextFile(dir / row.name, row.content));
        const w2::Rules rules = w2::LoadRules(dir / row.name);
        EXPECT_EQ(rules.status, row.status);
        EXPECT_EQ(rules.entries.size(), row.entries);
        EXPECT_EQ(rules.refusedCount > 0, row.refusedSome);
        EXPECT_LE(rules.refused.size(), w2::kMaxRefusalsKept);
    }
    EXPECT_EQ(w2::LoadRules(dir / "missing.ini").status, w2::FileStatus::Missing);
    const w2::Rules overlongRules = w2::LoadRules(dir / "overlong.ini");
    ASSERT_EQ(overlongRules.refused.size(), 1u);
    EXPECT_EQ(overlongRules.refused[0].line, 3u);
    EXPECT_EQ(overlongRules.refused[0].reason, Refusal::OverlongLine);
}

TEST(Winapp2, NamesMatchWholeIgnoringCaseWithOnlyStarAndQuestionMark) {
    struct Row {
        const wchar_t* pattern;
        const wchar_t* name;
        bool matches;
    };
    const Row rows[] = {
        {L"*.log", L"Setup.LOG", true},         {L"*.log", L"setup.log.old", false},
        {L"LOG", L"log", true},                 {L"LOG", L"Viewer.log", false},
        {L"LOG.old", L"Viewerlog.old", false}, {L"*.log*", L"a.log.1", true},
        {L"*.*", L"README", true},              {L"*.*", L"a.b", true},
        {L"*", L".hidden", true},               {L"?.txt", L"a.txt", true},
        {L"?.txt", L"ab.txt", false},           {L"*.htm", L"page.html", false},
        {L"www.office[1].xml", L"www.office[1].xml", true},
        {L"www.office[1].xml", L"www.office1.xml", false},
        {L"*Web Data", L"Default Web Data", true}, {L"*Web Data", L"Web Data-journal", false},
        {L"Cookies*", L"Cookies-journal", true}, {L"a*b*c", L"aXbYbZc", true},
        {L"a*b*c", L"aXbYbZ", false},           {L"\u00C9t\u00E9*", L"\u00E9T\u00C9 1", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(w2::MatchesName(row.pattern, row.name), row.matches) << Utf8(row.pattern) << " / " << Utf8(row.name);
    // A pattern of many stars against a long near-miss stays fast (no backtracking blow-up).
    const std::wstring name(5000, L'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(w2::MatchesName(L"*a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

TEST(Winapp2, EveryRealEntryIsDetectedOrNotOnThisPrefix) {
    w2::Computer computer;
    for (const char* flavour : {"Non-CCleaner/Winapp2.ini", "Winapp2.ini"}) {
        SCOPED_TRACE(flavour);
        BW_REAL_RULES_OR_SKIP(file, flavour);
        const w2::Rules rules = w2::LoadRules(file, computer.Defined());
        ASSERT_EQ(rules.entries.size(), 4067u);
        const std::vector<w2::Detection> found = w2::DetectAll(rules, computer);
        ASSERT_EQ(found.size(), 4067u);
        EXPECT_EQ(std::count(found.begin(), found.end(), w2::Detection::NoDetectionKeys), 0);
        EXPECT_EQ(found[rules.Find("Windows Temporary Files")], w2::Detection::Detected);
        const auto detected = static_cast<size_t>(std::count(found.begin(), found.end(), w2::Detection::Detected));
        EXPECT_GT(detected, 0u);
        EXPECT_LT(detected, 400u);  // a fresh prefix holds few applications
        // Every detected entry's keys resolve without error.
        for (size_t i = 0; i < found.size(); ++i)
            if (found[i] == w2::Detection::Detected) w2::EnumerateTargets(rules, rules.entries[i], computer);
    }
}

TEST(Winapp2, DetectionFollowsRegistryKeysFilesWildcardsAndWindowsVersion) {
    PlantedFolder planted("BwDetect");
    TempRegKey key;
    Plant(planted.path(), {"Vendor\\App Beta\\data.bin", "Files\\only.txt", "Linked\\"});
    SetString(HKEY_CURRENT_USER, key.subkey() + "\\Present", "Value", "1");
    const auto version = bw::platform::rulefolders::CurrentWindowsVersion();
    const std::string now = std::to_string(version.major) + "." + std::to_string(version.minor);
    const std::string later = std::to_string(version.major + 1);
    struct Row {
        std::string keys;
        w2::Detection expected;
    };
    const std::string reg = "Detect=HKCU\\" + key.subkey();
    const Row rows[] = {
        {reg + "\\Present", w2::Detection::Detected},
        {"Detect=HKEY_CURRENT_USER\\" + key.subkey() + "\\PRESENT|value", w2::Detection::Detected},
        {reg + "\\Present|Other", w2::Detection::NotDetected},
        {reg + "\\Absent", w2::Detection::NotDetected},
        {"DetectFile=%LocalAppData%\\BwDetect\\Vendor\\App*", w2::Detection::Detected},
        {"DetectFile=%LocalAppData%\\bwdetect\\*\\App Beta\\data.bin", w2::Detection::Detected},
        {"DetectFile=%LocalAppData%\\BwDetect\\Files\\only.txt", w2::Detection::Detected},
        {"DetectFile=%LocalAppData%\\BwDetect\\Vendor\\Other*", w2::Detection::NotDetected},
        {"DetectFile=%LocalAppData%\\BwDetect\\Files\\only.txt\\x", w2::Detection::NotDetected},
        {reg + "\\Absent\nDetectFile1=%LocalAppData%\\BwDetect\\Nope\nDetectFile2=%LocalAppData%\\BwDetect\\Files",
         w2::Detection::Detected},
        {"DetectOS=" + now + "|\n" + reg + "\\Present", w2::Detection::Detected},
        {"DetectOS=" + later + "|\n" + reg + "\\Present", w2::Detection::NotDetected},
        {"DetectOS=|" + now + "\n" + reg + "\\Present", w2::Detection::Detected},
        {"FileKey1=%LocalAppData%\\BwDetect|*", w2::Detection::NoDetectionKeys},
        {"DetectFile=%Nowhere%\\X\nFileKey1=%LocalAppData%\\BwDetect|*", w2::Detection::NotDetected},
        {"SpecialDetect=DET_UNKNOWN", w2::Detection::NotDetected},
    };
    w2::Computer computer;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        const w2::Rules rules = w2::ParseRules("[Probe *]\n" + row.keys + "\n");
        ASSERT_EQ(rules.entries.size(), 1u);
        EXPECT_EQ(w2::Detect(rules, rules.entries[0], computer), row.expected);
    }
}

TEST(Winapp2, TargetsOfAPlantedTreeAreExactlyTheMatchesNeverTheBaits) {
    PlantedFolder planted("BwRules");
    PlantedFolder outside("BwRulesOutside");
    Plant(planted.path(), {
        "AppOne\\User Data\\Default\\Cookies", "AppOne\\User Data\\Default\\Cookies-journal",
        "AppOne\\User Data\\Default\\Web Data", "AppOne\\User Data\\Default\\Default Web Data",
        "AppOne\\User Data\\Default\\LOG", "AppOne\\User Data\\Default\\Viewer.log",
        "AppOne\\User Data\\Default\\LOG.old", "AppOne\\User Data\\Default\\Web Data-journal",
        "AppOne\\User Data\\Default\\Bookmarks", "AppOne\\User Data\\Profile 1\\Cookies",
        "AppTwo\\User Data\\Default\\log", "AppThree", "Other\\User Data\\Default\\Cookies",
        "Deep\\a.tmp", "Deep\\keep.tmp", "Deep\\report.tmpx", "Deep\\one\\two\\b.TMP", "Deep\\Keep\\c.tmp",
        "Deep\\Keep\\inner\\d.tmp", "Deep\\one\\e.tmp.bak",
        "Flat\\x.log", "Flat\\sub\\y.log", "Flat\\longfilename.logfile",
        "Case\\real.txt",
    });
    // A case twin beside it, which only the Unix file system under Wine can hold.
    RunScript("mkdir -p \"$1/CASE\" && echo twin > \"$1/CASE/twin.txt\"", {UnixPath(planted.path())});
    Plant(outside.path(), {"Cookies", "z.tmp", "Default\\Cookies"});
    ASSERT_TRUE(MakeLink(outside.path(), planted.path() + "\\AppOne\\User Data\\Linked"));
    ASSERT_TRUE(MakeLink(outside.path(), planted.path() + "\\Deep\\one\\out"));
    ASSERT_TRUE(MakeLink(outside.path(), planted.path() + "\\AppLink"));

    const std::string text = Crlf({
        "[Planted *]",
        "DetectFile=%LocalAppData%\\BwRules",
        "FileKey1=%LocalAppData%\\BwRules\\App*\\User Data\\*|Cookies*;*Web Data;LOG",
        "FileKey2=%LocalAppData%\\BwRules\\Deep|*.tmp|RECURSE",
        "FileKey3=%LocalAppData%\\BwRules\\Flat|*.log",
        "FileKey4=%LocalAppData%\\BwRules\\Case|*",
        "FileKey5=%LocalAppData%\\BwRules\\Missing\\*|*",
        "ExcludeKey1=FILE|%LocalAppData%\\BwRules\\Deep\\|keep.tmp",
        "ExcludeKey2=PATH|%LocalAppData%\\BwRules\\Deep\\Keep\\|*.tmp",
    });
    const w2::Rules rules = w2::ParseRules(text);
    ASSERT_EQ(rules.refusedCount, 0u);
    w2::Computer computer;
    ASSERT_EQ(w2::Detect(rules, rules.entries[0], computer), w2::Detection::Detected);
    const w2::EntryTargets targets = w2::EnumerateTargets(rules, rules.entries[0], computer);
    ASSERT_EQ(targets.files.size(), 5u);
    ASSERT_EQ(targets.excludes.size(), 2u);

    const std::string base = planted.path() + "\\";
    auto relative = [&](const std::wstring& path) {
        const std::string p = Utf8(path);
        return p.compare(0, base.size(), base) == 0 ? p.substr(base.size()) : "OUTSIDE " + p;
    };
    std::vector<std::set<std::string>> folders, matches;
    for (const w2::FileKeyTarget& t : targets.files) {
        std::set<std::string> f, m;
        for (const w2::RuleFolder& folder : t.folders) f.insert(relative(folder.path));
        size_t calls = 0;
        w2::WalkMatches(t, targets.excludes, [&](const std::wstring& folder, const auto& entry, bool excluded) {
            ++calls;
            m.insert(relative(folder + L"\\" + entry.wideName) + (excluded ? " (kept)" : ""));
            return true;
        });
        EXPECT_EQ(calls, m.size());  // each file once
        folders.push_back(f);
        matches.push_back(m);
    }
    using Set = std::set<std::string>;
    EXPECT_EQ(folders[0], (Set{"AppOne\\User Data\\Default", "AppOne\\User Data\\Profile 1", "AppTwo\\User Data\\Default"}));
    EXPECT_EQ(matches[0], (Set{"AppOne\\User Data\\Default\\Cookies", "AppOne\\User Data\\Default\\Cookies-journal",
                               "AppOne\\User Data\\Default\\Web Data", "AppOne\\User Data\\Default\\Default Web Data",
                               "AppOne\\User Data\\Default\\LOG", "AppOne\\User Data\\Profile 1\\Cookies",
                               "AppTwo\\User Data\\Default\\log"}));
    EXPECT_EQ(matches[1], (Set{"Deep\\a.tmp", "Deep\\keep.tmp (kept)", "Deep\\one\\two\\b.TMP", "Deep\\Keep\\c.tmp (kept)",
                               "Deep\\Keep\\inner\\d.tmp (kept)"}));
    EXPECT_EQ(matches[2], (Set{"Flat\\x.log"}));
    // Windows' own matching takes that bait through its 8.3 name (LONGFI~1.LOG), Wine's too.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((planted.path() + "\\Flat\\*.log").c_str(), &data);
    std::set<std::string> windowsMatches;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) windowsMatches.insert(data.cFileName);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    EXPECT_EQ(windowsMatches.count("longfilename.logfile"), 1u);
    EXPECT_EQ(folders[3], (Set{"Case"}));
    EXPECT_EQ(matches[3], (Set{"Case\\real.txt"}));
    EXPECT_TRUE(folders[4].empty());
    EXPECT_TRUE(matches[4].empty());
    // Nothing was touched: the walk only reads.
    EXPECT_EQ(ReadTextFile(planted.path() + "\\Deep\\a.tmp"), "Deep\\a.tmp");
    EXPECT_EQ(ReadTextFile(outside.path() + "\\Cookies"), "Cookies");
}

TEST(Winapp2, RootLevelAndDangerousShapesStayInsideTheirFolders) {
    w2::Computer computer;
    auto value = [&](w2::Variable v) { return Utf8(computer.Values(v).at(0)); };
    const std::string drive = value(w2::Variable::SystemDrive), temp = value(w2::Variable::Temp);
    ASSERT_EQ(drive.size(), 2u);
    PlantedFolder outside(drive + "\\BwShapeOutside");
    PlantedFolder tmpFolder(drive + "\\BwShape.tmp");
    PlantedFolder tempFolder(temp + "\\BwShapeTemp");
    PlantedFolder desk("BwShapeDesk");  // a stand-in for the Desktop, which Wine links elsewhere
    Plant(outside.path(), {"secret.txt", "old.log"});
    Plant(tmpFolder.path(), {"a.txt", "sub\\b.txt"});
    Plant(tempFolder.path(), {"t.txt"});
    Plant(desk.path(), {"BwShape 3.0 Installation Files\\setup.exe", "notes.txt"});
    ASSERT_TRUE(WriteTextFile(drive + "\\BwShapeFile.tmp", "x"));
    ASSERT_TRUE(WriteTextFile(drive + "\\bwshape-root.log", "x"));
    ASSERT_TRUE(MakeLink(outside.path(), drive + "\\BwShapeLink.tmp"));
    ASSERT_TRUE(MakeLink(outside.path(), temp + "\\BwShapeLink"));
    std::vector<std::string> programLogs;
    for (const std::wstring& p : computer.Values(w2::Variable::ProgramFiles)) {
        Plant(Utf8(p) + "\\BwShapeProgram", {"app.log", "app.exe"});
        programLogs.push_back(Utf8(p) + "\\BwShapeProgram\\app.log");
    }

    using Set = std::set<std::string>;
    struct Row {
        const char* key;
        Set matches;  // planted files only (names holding "BwShape" or "bwshape")
    };
    const Row rows[] = {
        // A folder wildcard at the drive root takes folders, never a file or a link of that name.
        {"FileKey1=%SystemDrive%\\BwShape*.tmp|*|REMOVESELF", {drive + "\\BwShape.tmp\\a.txt", drive + "\\BwShape.tmp\\sub\\b.txt"}},
        // %SystemDrive%|name is the name in the drive's root folder, never in a current folder.
        {"FileKey1=%SystemDrive%|bwshape-root.*", {drive + "\\bwshape-root.log"}},
        // Every folder of Temp, but none reached through a link.
        {"FileKey1=%Temp%\\*|*|REMOVESELF", {temp + "\\BwShapeTemp\\t.txt"}},
        // A folder's name written as a pattern never takes what the folder holds.
        {"FileKey1=%LocalAppData%\\BwShapeDesk|BwShape * Installation Files|REMOVESELF", {}},
        // Both program folders where Windows has two.
        {"FileKey1=%ProgramFiles%\\BwShapeProgram|*.log|REMOVESELF", Set(programLogs.begin(), programLogs.end())},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        const w2::Rules rules = w2::ParseRules(std::string("[Shape *]\n") + row.key + "\n");
        ASSERT_EQ(rules.refusedCount, 0u);
        const w2::EntryTargets targets = w2::EnumerateTargets(rules, rules.entries[0], computer);
        ASSERT_EQ(targets.files.size(), 1u);
        EXPECT_FALSE(targets.files[0].folders.empty());
        Set found;
        w2::WalkMatches(targets.files[0], {}, [&](const std::wstring& folder, const auto& e, bool) {
            std::string path = Utf8(folder);
            path += (path.back() == '\\' ? "" : "\\") + Utf8(e.wideName);
            if (path.find("BwShape") != std::string::npos || path.find("bwshape") != std::string::npos) found.insert(path);
            return true;
        });
        EXPECT_EQ(found, row.matches);
    }
    DeleteFileA((drive + "\\BwShapeFile.tmp").c_str());
    DeleteFileA((drive + "\\bwshape-root.log").c_str());
    RunUnix("/bin/rm", {"-f", UnixPath(drive + "\\BwShapeLink.tmp"), UnixPath(temp + "\\BwShapeLink")});
    for (const std::wstring& p : computer.Values(w2::Variable::ProgramFiles))
        RunUnix("/bin/rm", {"-rf", UnixPath(Utf8(p) + "\\BwShapeProgram")});
}

TEST(Winapp2, RegistryTargetsReportWhatIsPresentAndWhatIsKept) {
    TempRegKey key;
    SetString(HKEY_CURRENT_USER, key.subkey() + "\\App", "Recent", "1");
    SetString(HKEY_CURRENT_USER, key.subkey() + "\\App\\Keep", "x", "1");
    const std::string k = "HKCU\\" + key.subkey();
    const w2::Rules rules = w2::ParseRules(Crlf({"[Reg *]", ("RegKey1=" + k + "\\App|Recent").c_str(),
                                                 ("RegKey2=" + k + "\\App|Gone").c_str(), ("RegKey3=" + k + "\\App").c_str(),
                                                 ("RegKey4=" + k + "\\Missing").c_str(),
                                                 ("ExcludeKey1=REG|" + k + "\\App\\Keep").c_str()}));
    ASSERT_EQ(rules.refusedCount, 0u);
    w2::Computer computer;
    const w2::EntryTargets targets = w2::EnumerateTargets(rules, rules.entries[0], computer);
    ASSERT_EQ(targets.registry.size(), 4u);
    const bool present[] = {true, false, true, false};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(targets.registry[i].present32, present[i]) << i;
    EXPECT_TRUE(w2::IsRegistryExcluded(targets.excludes, w2::Hive::CurrentUser, w2::Utf8ToWide(key.subkey() + "\\app\\keep\\deeper")));
    EXPECT_FALSE(w2::IsRegistryExcluded(targets.excludes, w2::Hive::CurrentUser, w2::Utf8ToWide(key.subkey() + "\\App\\Keeper")));
    EXPECT_FALSE(w2::IsRegistryExcluded(targets.excludes, w2::Hive::LocalMachine, w2::Utf8ToWide(key.subkey() + "\\App\\Keep")));
}

TEST(Winapp2, TicksRoundTripAndOnlyDetectedEntriesRun) {
    TempDir dir;
    const std::string file = dir / "rules.dat";
    ASSERT_TRUE(w2::WriteTicks(file, {"Google Chrome *", "  google chrome", "Firefox", "", "Gone *", "Hidden"}));
    EXPECT_EQ(ReadTextFile(file), "Google Chrome\r\nFirefox\r\nGone\r\nHidden\r\n");
    const std::vector<std::string> ticks = w2::ReadTicks(file);
    EXPECT_EQ(ticks, (std::vector<std::string>{"Google Chrome", "Firefox", "Gone", "Hidden"}));
    EXPECT_TRUE(w2::ReadTicks(dir / "none.dat").empty());
    const w2::Rules rules = w2::ParseRules(
        Crlf({"[Firefox *]", "Detect=HKCU\\A", "[GOOGLE CHROME *]", "Detect=HKCU\\B", "[Hidden *]", "Detect=HKCU\\C"}));
    const std::vector<w2::Detection> detections{w2::Detection::Detected, w2::Detection::Detected,
                                                w2::Detection::NotDetected};
    EXPECT_EQ(w2::EntriesToRun(rules, detections, ticks), (std::vector<size_t>{0, 1}));
}

TEST(Winapp2, RealEntriesTakeTheirFilesFromAPlantedProfileAndNoBait) {
    BW_REAL_RULES_OR_SKIP(file, "Non-CCleaner/Winapp2.ini");
    const w2::Rules rules = w2::LoadRules(file);
    ASSERT_EQ(rules.entries.size(), 4067u);
    PlantedFolder google("Google");
    // Outside the profile: the drive root of the test prefix.
    PlantedFolder outside(Utf8(bw::platform::rulefolders::VariableValues("SystemDrive").at(0)) + "\\BwRulesElsewhere");
    const std::string profile = Utf8(bw::platform::rulefolders::VariableValues("UserProfile").at(0));
    const std::string gnucash = profile + "\\BwGnuCash";
    Plant(google.path(), {
        "Chrome\\User Data\\Default\\History", "Chrome\\User Data\\Default\\History-journal",
        "Chrome\\User Data\\Default\\Visited Links", "Chrome\\User Data\\Default\\MyHistory",
        "Chrome\\User Data\\Default\\Bookmarks", "Chrome\\User Data\\Default\\Bookmarks.bak",
        "Chrome\\User Data\\Default\\Login Data", "Chrome\\User Data\\Default\\Login Data-journal",
        "Chrome\\User Data\\Default\\Preferences", "Chrome\\User Data\\Default\\Cookies",
        "Chrome\\User Data\\Default\\Network\\Cookies", "Chrome\\User Data\\Default\\Network\\Cookies-journal",
        "Chrome\\User Data\\Default\\Network\\NetworkPersistentState", "Chrome SxS\\User Data\\Profile 2\\History",
        "Chromium\\User Data\\Default\\History",
    });
    Plant(outside.path(), {"User Data\\Default\\History", "Default\\History", "Default\\Bookmarks.bak",
                           "book.gnucash.1.log"});
    Plant(gnucash, {"book.gnucash.20260101.log", "sub\\translog.1.log", "book.gnucash", "translog.log"});
    ASSERT_TRUE(MakeLink(outside.path(), google.path() + "\\Chrome Link"));
    ASSERT_TRUE(MakeLink(outside.path() + "\\Default", google.path() + "\\Chrome\\User Data\\Linked"));
    ASSERT_TRUE(MakeLink(outside.path(), profile + "\\BwLinkOut"));

    using Set = std::set<std::string>;
    struct Row {
        const char* entry;
        Set matches;  // relative to %LocalAppData% or the profile
    };
    const Row rows[] = {
        {"Google Chrome Web Browsing History",
         {"Google\\Chrome\\User Data\\Default\\History", "Google\\Chrome\\User Data\\Default\\History-journal",
          "Google\\Chrome\\User Data\\Default\\Visited Links", "Google\\Chrome SxS\\User Data\\Profile 2\\History"}},
        {"Google Chrome Web Browsing Cookies",
         {"Google\\Chrome\\User Data\\Default\\Network\\Cookies",
          "Google\\Chrome\\User Data\\Default\\Network\\Cookies-journal"}},
        {"Google Chrome Saved Usernames & Passwords",
         {"Google\\Chrome\\User Data\\Default\\Login Data", "Google\\Chrome\\User Data\\Default\\Login Data-journal"}},
        {"Google Chrome Bookmark Backups", {"Google\\Chrome\\User Data\\Default\\Bookmarks.bak"}},
        {"GnuCash", {"BwGnuCash\\book.gnucash.20260101.log", "BwGnuCash\\sub\\translog.1.log"}},
    };
    const std::string local = LocalAppData() + "\\";
    w2::Computer computer;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        const size_t index = rules.Find(row.entry);
        ASSERT_LT(index, rules.entries.size());
        const w2::EntryTargets targets = w2::EnumerateTargets(rules, rules.entries[index], computer);
        Set found;
        for (const w2::FileKeyTarget& t : targets.files)
            w2::WalkMatches(t, targets.excludes, [&](const std::wstring& folder, const auto& e, bool) {
                std::string path = Utf8(folder + L"\\" + e.wideName);
                if (path.compare(0, local.size(), local) == 0) path = path.substr(local.size());
                else if (path.compare(0, profile.size() + 1, profile + "\\") == 0) path = path.substr(profile.size() + 1);
                // The profile holds the prefix's own files too; only the planted ones are asked about.
                if (path.compare(0, 6, "Google") == 0 || path.compare(0, 2, "Bw") == 0 || path[1] == ':') found.insert(path);
                return true;
            });
        EXPECT_EQ(found, row.matches);
    }
    EXPECT_EQ(w2::Detect(rules, rules.entries[rules.Find("Google Chrome Web Browsing History")], computer),
              w2::Detection::Detected);
    RunUnix("/bin/rm", {"-rf", UnixPath(gnucash), UnixPath(profile + "\\BwLinkOut")});
}

TEST(Winapp2, VariablesLeadWhereWindowsAndTheEnvironmentSay) {
    auto env = [](const char* name) {
        char buffer[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA(name, buffer, MAX_PATH);
        return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
    };
    char temp[MAX_PATH], windows[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string tempFolder = temp;
    tempFolder.pop_back();  // the variable carries no trailing backslash
    struct Row {
        const char* name;
        std::string expected;  // the first value; empty: undefined here
    };
    const Row rows[] = {
        {"Temp", tempFolder},           {"tmp", tempFolder},
        {"WinDir", windows},            {"SystemRoot", windows},
        {"SystemDrive", env("SystemDrive")}, {"AppData", env("APPDATA")},
        {"LOCALAPPDATA", env("LOCALAPPDATA")}, {"UserProfile", env("USERPROFILE")},
        {"ProgramData", env("ProgramData")}, {"Public", env("PUBLIC")},
        {"UserName", env("USERNAME")},   {"RootDir", ""},
        {"Bogus", ""},
    };
    w2::Computer computer;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::wstring> values = bw::platform::rulefolders::VariableValues(row.name);
        if (row.expected.empty()) {
            EXPECT_TRUE(values.empty());
            continue;
        }
        ASSERT_FALSE(values.empty());
        EXPECT_EQ(_stricmp(Utf8(values[0]).c_str(), row.expected.c_str()), 0) << Utf8(values[0]);
    }
    EXPECT_FALSE(computer.Defined() & w2::Bit(w2::Variable::RootDir));
    EXPECT_EQ(computer.Values(w2::Variable::ProgramFiles).size(), bw::platform::probe::IsWow64() ? 2u : 1u);
}
