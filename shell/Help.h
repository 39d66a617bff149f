// The user guide: help.chm beside the exe, opened in the Windows help viewer.
#pragma once
#include <string>

namespace bw {

// The command that opens the guide: the Windows directory, "\hh.exe", a blank, then the
// program directory and "\help.chm" as the rest of the line (hh.exe takes the whole rest of
// its command line as the file, blanks included).
std::string HelpCommandLine();

// Starts the help viewer on help.chm without waiting for it; a viewer that cannot be started
// is passed over without a word.
void OpenHelp();

}  // namespace bw
