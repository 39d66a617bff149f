// The command line of Brightwipe.exe: parsing its switches and the unattended erase.
#include "app/CommandLine.h"

#include <cctype>
#include <vector>

#include "app/frmMainCode.h"
#include "engine/frmcleannow.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"

namespace bw {

const char kUsageText[] =
    "Usage: Brightwipe.exe [/erase | /?]\n\n"
    "/erase   Erases the items selected in the main window, with\n"
    "         the same options, without showing any window,\n"
    "         then exits.\n"
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
    std::vector<StartMode> modes;
    for (const std::string& word : words) {
        const bool isSwitch = word.size() > 1 && (word[0] == '/' || word[0] == '-');
        const std::string name = isSwitch ? Lower(word.substr(1)) : "";
        modes.push_back(name == "erase" ? StartMode::Erase : name == "?" ? StartMode::Usage : StartMode::Unknown);
    }
    bool unattended = false;
    for (StartMode mode : modes) unattended = unattended || mode == StartMode::Erase;
    for (size_t i = 0; i < words.size(); ++i)
        if (modes[i] == StartMode::Unknown) return {StartMode::Unknown, words[i], unattended};
    // Two known switches together: the second is the one not understood here.
    if (modes.size() > 1) return {StartMode::Unknown, words[1], unattended};
    return {modes[0], "", unattended};
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
    case StartMode::Erase: {
        // Without a settings file the main window would tick every item: an unattended run
        // erases only what the user once chose.
        const std::string settings = platform::SettingsFile("bwsd.dat");
        if (!platform::fs::FileExists(settings)) return kExitCannotStart;
        EraseUnattended(frmMainCode::StoredSelection(settings));
        return kExitOk;
    }
    }
    return kExitUnknownSwitch;
}

}  // namespace bw
