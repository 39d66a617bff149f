// Opening the user guide.
#include "shell/Help.h"

#include "platform/FileSystem.h"
#include "platform/ProgramDir.h"
#include "platform/Programs.h"

namespace bw {

std::string HelpCommandLine() {
    return platform::fs::WindowsDirectory() + "\\hh.exe" + " " + platform::ProgramFile("help.chm");
}

void OpenHelp() { platform::StartProgram(HelpCommandLine()); }

}  // namespace bw
