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
    };
    for (const Case& c : cases) {
        const bw::StartCommand command = ParseCommandLine(c.arguments);
        EXPECT_EQ(command.mode, c.mode) << c.arguments;
        EXPECT_EQ(command.unknown, c.unknown) << c.arguments;
    }
}
