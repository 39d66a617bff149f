#include "tests/support/RealRules.h"

#include <windows.h>

#include "tests/support/TestSupport.h"

namespace bw::test {

namespace {

std::string Variable() {
    char buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("BW_WINAPP2_DIR", buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

// A folder named in Linux terms (as a Linux shell passes it) or already in Windows terms.
std::string WindowsFolder(const std::string& folder) {
    return !folder.empty() && folder[0] == '/' ? WinPath(folder) : folder;
}

std::string Beside() { return WinPath(BW_SOURCE_DIR "/../shared/winapp2"); }

std::string Join(const std::string& folder, const std::string& flavour) {
    std::string path = folder + "\\" + flavour;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string RealRulesFile(const std::string& flavour) {
    for (const std::string& folder : {WindowsFolder(Variable()), Beside()})
        if (!folder.empty() && IsFile(Join(folder, flavour))) return Join(folder, flavour);
    return {};
}

std::string RealRulesMissing(const std::string& flavour) {
    const std::string variable = Variable();
    return "the winapp2 project's rules file " + flavour +
           " (winapp2.ini, CC BY-SA 4.0; not part of this repository) is in neither BW_WINAPP2_DIR (" +
           (variable.empty() ? std::string("not set") : variable) + ") nor " + Beside() +
           "; set BW_WINAPP2_DIR to a folder holding the project's Winapp2.ini and Non-CCleaner/Winapp2.ini";
}

std::string SampleRulesFile() { return WinPath(BW_SOURCE_DIR "/tests/engine/data/rules-sample.ini"); }

}  // namespace bw::test
