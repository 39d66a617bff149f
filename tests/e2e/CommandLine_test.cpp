// Brightwipe.exe started with switches: the unattended erase of the stored selection, and the
// refusals that must never erase anything.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "settings/Inifun.h"
#include "tests/support/Driver.h"

using namespace bw::test;
using bw::Inifun::ReadIni;
using bw::Inifun::WriteIni;

namespace {

const char kRunMru[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char* const kAllKeys[][2] = {
    {"BROWSERS", "location"}, {"BROWSERS", "history"}, {"BROWSERS", "cache"}, {"BROWSERS", "cookies"},
    {"BROWSERS", "favorites"}, {"BROWSERS", "autocomplete"}, {"BROWSERS", "downloaded"},
    {"BROWSERS", "netscape"}, {"BROWSERS", "opera"}, {"BROWSERS", "msn"}, {"BROWSERS", "google"},
    {"WINDOWS", "recent"}, {"WINDOWS", "run"}, {"WINDOWS", "search"}, {"WINDOWS", "temp"},
    {"WINDOWS", "recycle"}, {"WINDOWS", "open"}, {"WINDOWS", "scandisk"}, {"WINDOWS", "passwords"},
    {"WINDOWS", "clip"}, {"WINDOWS", "wordpad"}, {"WINDOWS", "paint"}, {"APPLICATIONS", "winzip"},
    {"APPLICATIONS", "media"}, {"APPLICATIONS", "realplayer"}, {"APPLICATIONS", "realone"},
    {"APPLICATIONS", "office"}};

// The visible top-level windows of every process.
BOOL CALLBACK AddVisible(HWND hwnd, LPARAM lp) {
    if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}
std::vector<HWND> VisibleWindows() {
    std::vector<HWND> windows;
    EnumWindows(AddVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Runs the program with `arguments` until it ends, noting whether any window of any process
// came up meanwhile (the program's own, or one it started, such as a control panel).
struct Outcome {
    DWORD exitCode = STILL_ACTIVE;
    bool showedWindow = false;
};
Outcome RunToEnd(const std::string& folder, const std::string& arguments) {
    Outcome outcome;
    const std::vector<HWND> before = VisibleWindows();
    Program program(folder, arguments);
    if (!program.started()) return outcome;
    for (int waited = 0; !program.WaitForExit(20); waited += 20) {
        if (waited > 30000) return outcome;  // hung: the program is ended with the test
        if (HWND box = WaitForTopWindow(program.pid(), "#32770", "Brightwipe", 0)) {
            outcome.showedWindow = true;
            PostMessageA(box, WM_COMMAND, IDOK, 0);  // closed as a user would
        }
        for (HWND w : VisibleWindows())
            if (std::find(before.begin(), before.end(), w) == before.end()) outcome.showedWindow = true;
    }
    outcome.exitCode = program.ExitCode();
    return outcome;
}

// A program folder whose custom item names `custom`\*.tmp, with every standard item off but
// the Run history, erasing securely.
void PrepareSelection(const std::string& folder, const std::string& custom) {
    const std::string settings = folder + "\\bwsd.dat";
    for (const auto& key : kAllKeys) WriteIni(settings, key[0], key[1], "0");
    WriteIni(settings, "WINDOWS", "run", "1");
    WriteIni(settings, "BROWSERS", "autocomplete", "1");  // once cleared through a control panel window
    WriteIni(settings, "Additional", "Custom", "1");
    WriteIni(settings, "Additional", "securely", "1");
    WriteTextFile(folder + "\\cusd.dat", custom + "\\*.tmp\r\n");
}

TEST(CommandLine, EraseRunsTheStoredSelectionWithoutAnyWindow) {
    TempDir folder, custom;
    ASSERT_TRUE(InstallProgram(folder.path()));
    PrepareSelection(folder.path(), custom.path());
    WriteTextFile(custom / "a.tmp", "trace one");
    WriteTextFile(custom / "b.tmp", std::string(100000, 't'));
    WriteTextFile(custom / "keep.doc", "not matched");
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRunMru, "a", "notepad\\1"));

    const Outcome outcome = RunToEnd(folder.path(), "/erase");
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.showedWindow);
    // The same end state as "Erase Now" with this selection: the files and the Run history
    // gone, the statistics and the time of the run written.
    EXPECT_EQ(SortedNames(custom.path()), (std::vector<std::string>{"keep.doc"}));
    EXPECT_EQ(ReadTextFile(custom / "keep.doc"), "not matched");
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunMru, "a"));
    const std::string settings = folder / "bwsd.dat";
    EXPECT_EQ(ReadIni(settings, "WINDOWS", "regnum"), "1");  // the Run history; no autocomplete store was there
    EXPECT_EQ(ReadIni(settings, "WINDOWS", "filesize"), ".1");  // the 100,009 bytes that went
    EXPECT_NE(ReadIni(settings, "WINDOWS", "lastclean"), "");
}

// The report's lines for targets: outcome and path, split at the tab.
std::vector<std::pair<std::string, std::string>> ReportTargets(const std::string& report) {
    std::vector<std::pair<std::string, std::string>> targets;
    size_t at = 0;
    while (at < report.size()) {
        size_t end = report.find("\r\n", at);
        if (end == std::string::npos) end = report.size();
        const std::string line = report.substr(at, end - at);
        const size_t tab = line.find('\t');
        if (line.rfind("  ", 0) == 0 && tab != std::string::npos)
            targets.emplace_back(line.substr(2, tab - 2), line.substr(tab + 1));
        at = end + 2;
    }
    return targets;
}

// "/preview /report=FILE" lists what would go and removes nothing; "/erase /report=FILE" erases
// and reports each target's outcome, and the report agrees with the disk and the registry; a
// report file that cannot be written gives exit code 3, is left as it was, and the erase still runs.
TEST(CommandLine, PreviewAndEraseWriteTheirReports) {
    TempDir folder, custom, reports;
    ASSERT_TRUE(InstallProgram(folder.path()));
    PrepareSelection(folder.path(), custom.path());
    WriteTextFile(custom / "a.tmp", "trace one");
    WriteTextFile(custom / "keep.doc", "not matched");
    WriteTextFile(custom / "locked.tmp", "held by a program");
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRunMru, "a", "notepad\\1"));
    const std::string runKey = std::string("HKEY_CURRENT_USER\\") + kRunMru;

    const std::string preview = reports / "preview.txt";
    EXPECT_EQ(RunToEnd(folder.path(), "/preview /report=\"" + preview + "\"").exitCode, 0u);
    const auto planned = ReportTargets(ReadTextFile(preview));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"planned", runKey}, {"planned", custom / "a.tmp"}, {"planned", custom / "locked.tmp"}};
    for (const auto& line : expected)
        EXPECT_NE(std::find(planned.begin(), planned.end(), line), planned.end()) << line.second;
    EXPECT_TRUE(PathExists(custom / "a.tmp")) << "a preview erases nothing";
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kRunMru, "a"));

    // A read-only report file cannot be replaced: exit 3, the file as it was, the erase done.
    const std::string readOnly = reports / "readonly.txt";
    WriteTextFile(readOnly, "old report");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RunToEnd(folder.path(), "/erase /report=" + readOnly).exitCode, 3u);
    EXPECT_EQ(ReadTextFile(readOnly), "old report");
    EXPECT_FALSE(PathExists(custom / "a.tmp"));
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    WriteTextFile(custom / "b.tmp", "trace two");
    WriteTextFile(custom / "locked.tmp", "held by a program");
    HANDLE held = CreateFileA((custom / "locked.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string report = reports / "erase.txt";
    EXPECT_EQ(RunToEnd(folder.path(), "/erase /report=" + report).exitCode, 0u);
    CloseHandle(held);
    const auto outcomes = ReportTargets(ReadTextFile(report));
    EXPECT_NE(std::find(outcomes.begin(), outcomes.end(), std::make_pair(std::string("erased"), custom / "b.tmp")),
              outcomes.end());
    EXPECT_NE(std::find(outcomes.begin(), outcomes.end(),
                        std::make_pair(std::string("left: in use"), custom / "locked.tmp")),
              outcomes.end());
    for (const auto& [outcome, path] : outcomes) {
        if (path.rfind("HKEY_", 0) == 0) continue;
        EXPECT_EQ(PathExists(path), outcome != "erased") << outcome << " " << path;
    }
    EXPECT_EQ(ReadTextFile(custom / "keep.doc"), "not matched");
    EXPECT_NE(ReadTextFile(report).find("Custom Clean Items: erased 1 file, 9 bytes; left 1;"), std::string::npos)
        << ReadTextFile(report);
}

TEST(CommandLine, RefusalsEraseNothing) {
    struct Case {
        const char* arguments;
        bool settingsFile;
        DWORD exitCode;
        bool box;
    };
    const Case cases[] = {
        {"/erase", false, 2, false},  // never chosen: no run, and no box in an unattended start
        {"/erasee", true, 1, true},
        {"/foo", true, 1, true},
        {"/erase /now", true, 1, false},  // a scheduled run with a typo must not wait for anyone
        {"/erase /?", true, 1, false},
        {"/?", true, 0, true},
    };
    for (const Case& c : cases) {
        TempDir folder, custom;
        ASSERT_TRUE(InstallProgram(folder.path()));
        PrepareSelection(folder.path(), custom.path());
        if (!c.settingsFile) DeleteFileA((folder / "bwsd.dat").c_str());
        WriteTextFile(custom / "a.tmp", "stays");

        const Outcome outcome = RunToEnd(folder.path(), c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(outcome.showedWindow, c.box) << c.arguments;
        EXPECT_EQ(ReadTextFile(custom / "a.tmp"), "stays") << c.arguments;
        EXPECT_EQ(ReadIni(folder / "bwsd.dat", "WINDOWS", "lastclean"), "") << c.arguments;
    }
}

// Started with its output redirected (as from a prompt, "Brightwipe.exe /? > usage.txt"), the
// program answers there and shows no box.
TEST(CommandLine, UsageGoesToTheOutputItWasStartedWith) {
    TempDir folder;
    ASSERT_TRUE(InstallProgram(folder.path()));
    for (const char* arguments : {"/?", "/foo"}) {
        const std::string outFile = folder / "usage.txt";
        const long code = RunAndWait("\"" + folder / "Brightwipe.exe" + "\" " + arguments, folder.path(), outFile, 15000);
        EXPECT_NE(code, -1) << arguments << ": it waits for an answer";
        EXPECT_NE(ReadTextFile(outFile).find("Usage: Brightwipe.exe [/erase [/report=FILE] | /preview /report=FILE | /?]"), std::string::npos) << arguments;
    }
}

}  // namespace
