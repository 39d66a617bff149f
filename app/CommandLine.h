// The switches Brightwipe.exe accepts: none starts the main window, "/erase" erases the stored
// selection unattended, "/preview" lists what it would erase, "/report=FILE" writes the report of
// either, "/?" shows how to use them.
#pragma once
#include <string>

namespace bw {

enum class StartMode { Window, Erase, Preview, Usage, Unknown };

struct StartCommand {
    StartMode mode = StartMode::Window;
    std::string unknown;       // StartMode::Unknown: the first switch not understood
    bool unattended = false;   // "/erase" or "/preview" was among the switches: no one may be there to answer
    std::string report;        // Erase, Preview: the file "/report=" names (empty: none)
};

// Reads the arguments of WinMain's command line. Switches start with '/' or '-' and match
// without regard to case; "/erase" and "/?" may not be combined with anything but "/report=FILE"
// (after "/erase"), "/preview" needs "/report=FILE", and any other word makes the command
// Unknown, so a mistyped switch never starts a run.
StartCommand ParseCommandLine(const std::string& arguments);

// Process exit codes of the command line.
constexpr int kExitOk = 0;
constexpr int kExitUnknownSwitch = 1;
constexpr int kExitCannotStart = 2;  // no stored selection to erase: the user never chose one
constexpr int kExitReportNotWritten = 3;  // the report file could not be written (the erase ran)

// Carries out a command other than StartMode::Window and returns the exit code: "/erase" runs
// the selection stored in the settings file with no window and no message box (kExitCannotStart
// when there is no settings file), "/preview" finds what it would erase and removes nothing;
// with "/report=FILE" either writes its report to FILE, whole or not at all
// (kExitReportNotWritten when it cannot). "/?" and an unknown switch print the usage on the console the
// program was started from; without one they show it in a message box, but only where a user
// can see it, and never when "/erase" was asked for, so a scheduled run never waits.
int RunCommand(const StartCommand& command);

// The text of the usage box.
extern const char kUsageText[];

}  // namespace bw
