// Opening the user guide.
#include "shell/Help.h"

#include "platform/FileSystem.h"
#include "platform/ProgramDir.h"
#include "platform/Programs.h"

namespace bw {

std::string HelpCommandLine() {
    return platform::fs::WindowsDirectory() + "\\hh.exe" + " " + platform::ProgramFile("help.chm");
}

std::string HelpPage() { return platform::ProgramFile("help\\index.htm"); }

void OpenHelp() {
    if (!platform::HtmlEngineAvailable() && platform::fs::FileExists(HelpPage()) &&
        platform::OpenPageInUsersBrowser(HelpPage()))
        return;
    platform::StartProgram(HelpCommandLine());
}

}  // namespace bw
