// The console a command-line start can answer on, and whether anyone can see a window.
#pragma once
#include <string>

namespace bw::platform {

// Writes `text` (lines ended by "\n", written as CRLF on a Windows console) to where the start
// of this program can read it: the console of the command prompt it was started from, output a
// parent redirected into a file or pipe, or, under Wine, the terminal or pipe of the Linux shell
// that started it. False when there is no such place; then nothing was written.
bool WriteToConsole(const std::string& text);

// True when the process runs on the window station a user sees. A service, or a scheduled task
// set to run whether or not the user is logged on, runs where no one could answer a window.
bool InteractiveSession();

}  // namespace bw::platform
