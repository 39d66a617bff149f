// The command line of Brightwipe.exe: parsing its switches and the unattended erase.
#include "app/CommandLine.h"

#include <cctype>
#include <vector>

#include "app/frmMainCode.h"
#include "engine/EraseReport.h"
#include "engine/EraseRunner.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"

namespace bw {

const char kUsageText[] =
    "Usage: Brightwipe.exe [/erase [/report=FILE] | /preview /report=FILE | /?]\n\n"
    "/erase   Erases the items selected in the main window, with\n"
    "         the same options, without showing any window,\n"
    "         then exits.\n"
    "/preview Lists what /erase would erase; erases nothing.\n"
    "/report=FILE  Writes what was erased and what was left, and\n"
    "         why (with /preview: what was found), to FILE as\n"
    "         UTF-8 text.\n"
    "/?       Shows this message.\n\n"
    "Without a switch Brightwipe opens its main window.";

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Splits at blanks, keeping text in double quotes together (quotes removed).
std::vector<std::string> Words(const std::string& arguments) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : arguments) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

}  // namespace

StartCommand ParseCommandLine(const std::string& arguments) {
    const std::vector<std::string> words = Words(arguments);
    if (words.empty()) return {};
    // StartMode::Window marks a "/report=FILE" word among the others.
    std::vector<StartMode> modes;
    std::string report;
    for (const std::string& word : words) {
        const bool isSwitch = word.size() > 1 && (word[0] == '/' || word[0] == '-');
        const std::string name = isSwitch ? Lower(word.substr(1)) : "";
        if (name.rfind("report=", 0) == 0 && word.size() > 8) {
            modes.push_back(StartMode::Window);
            if (report.empty()) report = word.substr(8);
            continue;
        }
        modes.push_back(name == "erase"     ? StartMode::Erase
                        : name == "preview" ? StartMode::Preview
                        : name == "?"       ? StartMode::Usage
                                            : StartMode::Unknown);
    }
    bool unattended = false;
    for (StartMode mode : modes) unattended = unattended || mode == StartMode::Erase || mode == StartMode::Preview;
    for (size_t i = 0; i < words.size(); ++i)
        if (modes[i] == StartMode::Unknown) return {StartMode::Unknown, words[i], unattended, ""};
    std::vector<size_t> switches, reports;
    for (size_t i = 0; i < words.size(); ++i) (modes[i] == StartMode::Window ? reports : switches).push_back(i);
    // A report with nothing to report, a second report, or two known switches together: the
    // word too many is the one not understood here.
    if (switches.empty()) return {StartMode::Unknown, reports.empty() ? std::string() : words[reports[0]], unattended, ""};
    if (reports.size() > 1) return {StartMode::Unknown, words[reports[1]], unattended, ""};
    if (switches.size() > 1) return {StartMode::Unknown, words[switches[1]], unattended, ""};
    const StartMode mode = modes[switches[0]];
    if (!reports.empty() && mode == StartMode::Usage) return {StartMode::Unknown, words[reports[0]], unattended, ""};
    if (reports.empty() && mode == StartMode::Preview) return {StartMode::Unknown, words[switches[0]], unattended, ""};
    return {mode, "", unattended, report};
}

namespace {
// The console first; a box only where someone can answer it and no unattended run was asked for.
void Tell(const StartCommand& command, const std::string& text, UINT icon) {
    if (platform::WriteToConsole(text + "\n")) return;
    if (command.unattended || !platform::InteractiveSession()) return;
    platform::MsgBox(nullptr, text, "Brightwipe", MB_OK | icon);
}
}  // namespace

int RunCommand(const StartCommand& command) {
    switch (command.mode) {
    case StartMode::Window:
        return kExitOk;
    case StartMode::Usage:
        Tell(command, kUsageText, MB_ICONINFORMATION);
        return kExitOk;
    case StartMode::Unknown:
        Tell(command, "Unknown switch: " + command.unknown + "\n\nNothing was erased.\n\n" + kUsageText,
             MB_ICONEXCLAMATION);
        return kExitUnknownSwitch;
    case StartMode::Erase:
    case StartMode::Preview: {
        // Without a settings file the main window would tick every item: an unattended run
        // erases only what the user once chose.
        const std::string settings = platform::SettingsFile("bwsd.dat");
        if (!platform::fs::FileExists(settings)) return kExitCannotStart;
        const bool preview = command.mode == StartMode::Preview;
        const EraseSelection selection = StoredSelection(settings);
        const EraseRun run = preview ? PreviewUnattended(selection) : EraseUnattended(selection);
        if (command.report.empty()) return kExitOk;
        const std::string file = platform::fs::FullPath(command.report).value_or(command.report);
        return SaveReport(file, run.plan, preview) ? kExitOk : kExitReportNotWritten;
    }
    }
    return kExitUnknownSwitch;
}

}  // namespace bw
