// The command line of Brightwipe.exe: parsing its switches and the unattended erase.
#include "app/CommandLine.h"

#include <cctype>
#include <vector>

#include "app/frmMainCode.h"
#include "engine/EraseReport.h"
#include "engine/EraseRunner.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"

namespace bw {

const char kUsageText[] =
    "Usage: Brightwipe.exe [/erase [/report=FILE] | /preview /report=FILE | /?]\n\n"
    "/erase\tErases the items selected in Brightwipe's main window, with the same options, "
    "without showing any window, then exits.\n"
    "/preview\tLists what /erase would erase, erasing nothing.\n"
    "/report=FILE\tWrites what was erased or left (or, with /preview, found) to FILE as UTF-8 text.\n"
    "/?\tShows this message.\n\n"
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
    std::vector<StartMode> modes;
    std::vector<std::string> modeWords;
    std::string report, reportWord;
    for (const std::string& word : words) {
        const bool isSwitch = word.size() > 1 && (word[0] == '/' || word[0] == '-');
        const std::string name = isSwitch ? Lower(word.substr(1)) : "";
        if (name.rfind("report=", 0) == 0) {
            if (!reportWord.empty() || word.size() <= 8) return {StartMode::Unknown, word, ""};
            report = word.substr(8);
            reportWord = word;
            continue;
        }
        const StartMode mode = name == "erase"     ? StartMode::Erase
                               : name == "preview" ? StartMode::Preview
                               : name == "?"       ? StartMode::Usage
                                                   : StartMode::Unknown;
        if (mode == StartMode::Unknown) return {StartMode::Unknown, word, ""};
        modes.push_back(mode);
        modeWords.push_back(word);
    }
    if (modes.empty()) return {StartMode::Unknown, reportWord, ""};
    // Two known switches together: the second is the one not understood here.
    if (modes.size() > 1) return {StartMode::Unknown, modeWords[1], ""};
    if (!report.empty() && modes[0] == StartMode::Usage) return {StartMode::Unknown, reportWord, ""};
    if (report.empty() && modes[0] == StartMode::Preview) return {StartMode::Unknown, modeWords[0], ""};
    return {modes[0], "", report};
}

int RunCommand(const StartCommand& command) {
    switch (command.mode) {
    case StartMode::Window:
        return kExitOk;
    case StartMode::Usage:
        platform::MsgBox(nullptr, kUsageText, "Brightwipe", MB_OK | MB_ICONINFORMATION);
        return kExitOk;
    case StartMode::Unknown:
        platform::MsgBox(nullptr, "Unknown switch: " + command.unknown + "\n\nNothing was erased.\n\n" + kUsageText,
                         "Brightwipe", MB_OK | MB_ICONEXCLAMATION);
        return kExitUnknownSwitch;
    case StartMode::Erase:
    case StartMode::Preview: {
        // Without a settings file the main window would tick every item: an unattended run
        // erases only what the user once chose.
        const std::string settings = platform::ProgramFile("bwsd.dat");
        if (!platform::fs::FileExists(settings)) return kExitCannotStart;
        const bool preview = command.mode == StartMode::Preview;
        const EraseSelection selection = frmMainCode::StoredSelection(settings);
        const EraseRun run = preview ? PreviewUnattended(selection) : EraseUnattended(selection);
        if (command.report.empty()) return kExitOk;
        const std::string file = platform::fs::FullPath(command.report).value_or(command.report);
        return SaveReport(file, run.plan, preview) ? kExitOk : kExitReportNotWritten;
    }
    }
    return kExitUnknownSwitch;
}

}  // namespace bw
