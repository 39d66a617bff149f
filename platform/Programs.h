// Starting other programs: the Windows directory and a command line started without waiting.
#pragma once
#include <string>

namespace bw::platform {

// The Windows directory without a trailing backslash; "" when Windows does not say.
std::string WindowsDirectory();

// Starts `commandLine` with a normal, focused window and returns at once (the way WinExec
// does, through CreateProcessA). The program's path is the command line up to its first
// blank, or its quoted first part; the rest reaches the program as it stands. False when the
// program could not be started.
bool StartProgram(const std::string& commandLine);

}  // namespace bw::platform
