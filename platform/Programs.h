// Starting other programs: a command line started without waiting.
#pragma once
#include <string>

namespace bw::platform {

// Starts `commandLine` with a normal, focused window and returns at once (the way WinExec
// does, through CreateProcessA). The program's path is the command line up to its first
// blank, or its quoted first part; the rest reaches the program as it stands. False when the
// program could not be started.
bool StartProgram(const std::string& commandLine);

// Opens `url` in a new, visible Internet Explorer window (the shell finds iexplore.exe through
// its App Paths). False when the shell could not start it.
bool OpenInNewBrowserWindow(const std::string& url);

// False where the system's HTML engine is missing, so that a help viewer would show blank
// pages: under Wine without Wine Gecko (not installed in the prefix nor on the system, or
// switched off by WINEDLLOVERRIDES). Windows always has one.
bool HtmlEngineAvailable();

// Opens the local page `path` in the user's own browser: under Wine the Linux desktop's
// browser (through winebrowser), on Windows the one the .htm files open with. False when
// nothing could be started.
bool OpenPageInUsersBrowser(const std::string& path);

}  // namespace bw::platform
