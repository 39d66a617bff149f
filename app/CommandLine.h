// The switches Brightwipe.exe accepts: none starts the main window, "/erase" erases the stored
// selection unattended, "/?" shows how to use them.
#pragma once
#include <string>

namespace bw {

enum class StartMode { Window, Erase, Usage, Unknown };

struct StartCommand {
    StartMode mode = StartMode::Window;
    std::string unknown;       // StartMode::Unknown: the first switch not understood
    bool unattended = false;   // "/erase" was among the switches: no one may be there to answer
};

// Reads the arguments of WinMain's command line. Switches start with '/' or '-' and match
// without regard to case; "/erase" and "/?" may not be combined with anything else, and any
// other word makes the command Unknown, so a mistyped switch never starts a run.
StartCommand ParseCommandLine(const std::string& arguments);

// Process exit codes of the command line.
constexpr int kExitOk = 0;
constexpr int kExitUnknownSwitch = 1;
constexpr int kExitCannotStart = 2;  // no stored selection to erase: the user never chose one

// Carries out a command other than StartMode::Window and returns the exit code: "/erase" runs
// the selection stored in the settings file with no window and no message box (kExitCannotStart
// when there is no settings file). "/?" and an unknown switch print the usage on the console the
// program was started from; without one they show it in a message box, but only where a user
// can see it, and never when "/erase" was asked for, so a scheduled run never waits.
int RunCommand(const StartCommand& command);

// The text of the usage box.
extern const char kUsageText[];

}  // namespace bw
