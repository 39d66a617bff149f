// The switches of Brightwipe.exe: which start a run, which only show a box.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

using bw::ParseCommandLine;
using bw::StartMode;

TEST(CommandLine, OnlyAnExactSwitchOnItsOwnStartsAnErase) {
    struct Case {
        const char* arguments;
        StartMode mode;
        const char* unknown;
        const char* report = "";
    };
    const Case cases[] = {
        {"", StartMode::Window, ""},
        {"   ", StartMode::Window, ""},
        {"/erase", StartMode::Erase, ""},
        {" -ERASE ", StartMode::Erase, ""},
        {"\"/erase\"", StartMode::Erase, ""},
        {"/?", StartMode::Usage, ""},
        {"/erasee", StartMode::Unknown, "/erasee"},
        {"erase", StartMode::Unknown, "erase"},
        {"/", StartMode::Unknown, "/"},
        {"/erase /quiet", StartMode::Unknown, "/quiet"},
        {"/? /erase", StartMode::Unknown, "/erase"},
        {"C:\\some file.txt", StartMode::Unknown, "C:\\some"},
        {"/erase /report=out.txt", StartMode::Erase, "", "out.txt"},
        {"/REPORT=\"C:\\my reports\\r.txt\" /erase", StartMode::Erase, "", "C:\\my reports\\r.txt"},
        {"/preview /report=p.txt", StartMode::Preview, "", "p.txt"},
        {"/preview", StartMode::Unknown, "/preview"},
        {"/report=r.txt", StartMode::Unknown, "/report=r.txt"},
        {"/erase /report=", StartMode::Unknown, "/report="},
        {"/erase /report=a /report=b", StartMode::Unknown, "/report=b"},
        {"/preview /erase /report=r", StartMode::Unknown, "/erase"},
        {"/? /report=r", StartMode::Unknown, "/report=r"},
    };
    for (const Case& c : cases) {
        const bw::StartCommand command = ParseCommandLine(c.arguments);
        EXPECT_EQ(command.mode, c.mode) << c.arguments;
        EXPECT_EQ(command.unknown, c.unknown) << c.arguments;
        EXPECT_EQ(command.report, c.report) << c.arguments;
    }
}
