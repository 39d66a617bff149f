// The user's own items during a run: "cusd.dat" missing, empty, unreadable or edited by hand,
// and what its lines delete and leave.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/EraseItems.h"
#include "engine/EraseReport.h"
#include "engine/EraseRunner.h"
#include "platform/Paths.h"
#include "platform/ProgramDir.h"
#include "platform/RuleFolders.h"
#include "settings/Inifun.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

using namespace bw::test;
using Lines = std::vector<std::string>;

namespace {

const char kStart[] = "Please Waiting ,Erasing Custom Clean Items......";
const char kEnd[] = "Erasing Custom Clean Items......OK";

// The custom section of a run over the program folder's settings, with "Custom" on: its lines.
Lines RunCustom(bw::EraseRun& run) {
    Lines lines;
    run = bw::EraseRun{};
    run.settingsFile = bw::platform::ProgramFile("bwsd.dat");
    bw::Inifun::WriteIni(run.settingsFile, "Additional", "Custom", "1");
    run.addLine = [&](const std::string& line, bool) {
        if (line.find("Custom") != std::string::npos) lines.push_back(line);
    };
    bw::RunItems(run, {}, bw::RunMode::Erase);
    return lines;
}

TEST(CustomItems, MissingEmptyAndUnreadableFilesAndWhatTheLinesDelete) {
    ProgramFolder folder;
    bw::EraseRun run;
    EXPECT_EQ(RunCustom(run), Lines{kStart});
    MakeDirs(folder.file("cusd.dat"));  // a folder where the file should be cannot be read
    EXPECT_EQ(RunCustom(run), Lines{kStart});
    RemoveDirectoryA(folder.file("cusd.dat").c_str());
    std::string tooMany;
    for (int i = 0; i <= 100000; ++i) tooMany += "C:\\none\\*.tmp\r\n";
    WriteTextFile(folder.file("cusd.dat"), tooMany);  // more lines than a list file may hold: said, not hidden
    EXPECT_EQ(RunCustom(run),
              (Lines{kStart, "Erasing Custom Clean Items......FAILED: cusd.dat is too large or cannot be read"}));
    WriteTextFile(folder.file("cusd.dat"), "");
    EXPECT_EQ(RunCustom(run), (Lines{kStart, kEnd}));

    TempDir target, outside;
    for (const char* file : {"a.tmp", "keep.doc", "sub\\c.tmp", "all\\x.bin", "all\\deeper\\y.bin"}) {
        MakeDirs((target / file).substr(0, (target / file).rfind('\\')));
        WriteTextFile(target / file, "12345");
    }
    WriteTextFile(target / "ro.tmp", "read-only");
    SetFileAttributesA((target / "ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(outside / "precious.tmp", "the user's own");
    ASSERT_TRUE(MakeLink(outside / "precious.tmp", target / "linked.tmp"));
    SetCurrentDirectoryA((target / "sub").c_str());  // where a relative line would delete
    WriteTextFile(folder.file("cusd.dat"), target / "*.tmp   \r\n\r\n*.tmp\r\n\\*.*\r\n" + target / "all\r\n" +
                                               target / "all\\*.*\r\n" + target / "missing\\*.tmp\r\n");
    EXPECT_EQ(RunCustom(run), (Lines{kStart, kEnd}));
    SetCurrentDirectoryA("C:\\");

    EXPECT_EQ(run.filesize, 10);  // what went: a.tmp and all\x.bin
    for (const char* gone : {"a.tmp", "all\\x.bin"}) EXPECT_FALSE(PathExists(target / gone)) << gone;
    for (const char* kept : {"keep.doc", "sub\\c.tmp", "ro.tmp", "all\\deeper\\y.bin"})
        EXPECT_TRUE(PathExists(target / kept)) << kept;
    EXPECT_EQ(ReadTextFile(outside / "precious.tmp"), "the user's own");
    SetFileAttributesA((target / "ro.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Windows' system folders in every view: under WOW64 "System32" is SysWOW64 to this program and
// the real System32 is reached as Sysnative. A user's line there, or anywhere below, is refused
// and the report says so; an item given such a folder in its settings leaves it alone too.
TEST(CustomItems, LinesAndSettingsIntoASystemFolderAreRefusedInEveryView) {
    ProgramFolder folder;
    const std::string windows = [] {
        char buffer[MAX_PATH];
        const UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
        return std::string(buffer, n < MAX_PATH ? n : 0);
    }();
    const std::wstring native = bw::platform::rulefolders::NativeSystemFolder();
    const std::string real = native.empty() ? windows + "\\System32" : bw::platform::paths::Narrow(native);
    std::vector<std::string> folders = {real, real + "\\drivers", real + "\\drivers\\etc", windows + "\\System32"};
    if (!native.empty()) folders.push_back(windows + "\\SysWOW64");
    std::string lines;
    for (const std::string& f : folders) {
        ASSERT_TRUE(WriteTextFile(f + "\\bw.canary", "canary")) << f;
        lines += f + "\\*.canary\r\n";
    }
    WriteTextFile(folder.file("cusd.dat"), lines);
    bw::EraseRun run;
    RunCustom(run);
    const std::string report = bw::ReportText(run.plan, false);
    for (const std::string& f : folders) {
        EXPECT_EQ(ReadTextFile(f + "\\bw.canary"), "canary") << f;
        EXPECT_NE(report.find(f + "\\*.canary: refused"), std::string::npos) << f << "\n" << report;
    }

    for (const char* key : {"Location", "Cookies", "Cache", "History"}) bw::Inifun::WriteIni(run.settingsFile, "msn", key, "1");
    bw::Inifun::WriteIni(run.settingsFile, "msn", "path", real);
    const std::vector<std::string> planted = {real + "\\typedurls.dat", real + "\\Cookies\\bw@site.txt"};
    for (const std::string& file : planted) {
        MakeDirs(file.substr(0, file.rfind('\\')));
        ASSERT_TRUE(WriteTextFile(file, "canary")) << file;
    }
    bw::EraseItem(bw::items::MsnExplorer, run);
    for (const std::string& file : planted) EXPECT_EQ(ReadTextFile(file), "canary") << file;
    for (const std::string& f : folders) DeleteFileA((f + "\\bw.canary").c_str());
    for (const std::string& file : planted) DeleteFileA(file.c_str());
    RemoveDirectoryA((real + "\\Cookies").c_str());
}

}  // namespace
