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
        bool unattended;  // "/erase" or "/preview" was asked for: nothing may wait for an answer
        const char* report = "";
    };
    const Case cases[] = {
        {"", StartMode::Window, "", false},
        {"   ", StartMode::Window, "", false},
        {"/erase", StartMode::Erase, "", true},
        {" -ERASE ", StartMode::Erase, "", true},
        {"\"/erase\"", StartMode::Erase, "", true},
        {"/?", StartMode::Usage, "", false},
        {"/erasee", StartMode::Unknown, "/erasee", false},
        {"erase", StartMode::Unknown, "erase", false},
        {"/", StartMode::Unknown, "/", false},
        {"/erase /quiet", StartMode::Unknown, "/quiet", true},
        {"/quiet /erase", StartMode::Unknown, "/quiet", true},
        {"/? /erase", StartMode::Unknown, "/erase", true},
        {"/erase /?", StartMode::Unknown, "/?", true},
        {"C:\\some file.txt", StartMode::Unknown, "C:\\some", false},
        {"/erase /report=out.txt", StartMode::Erase, "", true, "out.txt"},
        {"/REPORT=\"C:\\my reports\\r.txt\" /erase", StartMode::Erase, "", true, "C:\\my reports\\r.txt"},
        {"/preview /report=p.txt", StartMode::Preview, "", true, "p.txt"},
        {"/preview", StartMode::Unknown, "/preview", true},
        {"/report=r.txt", StartMode::Unknown, "/report=r.txt", false},
        {"/erase /report=", StartMode::Unknown, "/report=", true},
        {"/erase /report=a /report=b", StartMode::Unknown, "/report=b", true},
        {"/preview /erase /report=r", StartMode::Unknown, "/erase", true},
        {"/? /report=r", StartMode::Unknown, "/report=r", false},
    };
    for (const Case& c : cases) {
        const bw::StartCommand command = ParseCommandLine(c.arguments);
        EXPECT_EQ(command.mode, c.mode) << c.arguments;
        EXPECT_EQ(command.unknown, c.unknown) << c.arguments;
        EXPECT_EQ(command.unattended, c.unattended) << c.arguments;
        EXPECT_EQ(command.report, c.report) << c.arguments;
    }
}
