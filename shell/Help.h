// The user guide: help.chm beside the exe, opened in the Windows help viewer, or its pages
// in the user's browser.
#pragma once
#include <string>

namespace bw {

// The command that opens the guide: the Windows directory, "\hh.exe", a blank, then the
// program directory and "\help.chm" as the rest of the line (hh.exe takes the whole rest of
// its command line as the file, blanks included).
std::string HelpCommandLine();

// The guide's first page as plain HTML, beside help.chm: the program directory and
// "\help\index.htm".
std::string HelpPage();

// Starts the help viewer on help.chm without waiting for it. Where the viewer could not show
// the pages (Wine without its HTML engine), the same pages open as plain HTML in the user's
// browser instead. A viewer that cannot be started is passed over without a word.
void OpenHelp();

}  // namespace bw
