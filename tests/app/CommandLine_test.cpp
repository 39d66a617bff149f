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
        bool unattended;  // "/erase" was asked for: nothing may wait for an answer
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
    };
    for (const Case& c : cases) {
        const bw::StartCommand command = ParseCommandLine(c.arguments);
        EXPECT_EQ(command.mode, c.mode) << c.arguments;
        EXPECT_EQ(command.unknown, c.unknown) << c.arguments;
        EXPECT_EQ(command.unattended, c.unattended) << c.arguments;
    }
}
