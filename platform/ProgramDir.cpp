// The folder that holds the running exe, and the folder that holds the user's settings.
#include "platform/ProgramDir.h"

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <vector>

#include "platform/LineFile.h"

namespace bw::platform {

const char* const kDefaultListFiles[1] = {"Ext.txt"};

namespace {
std::string& Override() {
    static std::string folder;
    return folder;
}

std::string AppDataFolder() {
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return "";
    return path;
}

std::string ChooseSettingsDir() {
    const std::string program = ProgramDir();
    if (CanWriteInto(program)) return program;
    const std::string appData = AppDataFolder();
    if (appData.empty()) return program;
    const std::string folder = appData + "\\Brightwipe";
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return program;
    // A first start there begins with the lists setup installed, each written whole as every
    // file of the program is; a list the user has (or a link in its place) is kept.
    for (const char* name : kDefaultListFiles) {
        const std::string copy = folder + "\\" + name;
        if (GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES || GetLastError() != ERROR_FILE_NOT_FOUND) continue;
        if (const std::optional<std::string> list = ReadListFile(program + "\\" + name)) ReplaceFileContents(copy, *list);
    }
    return folder;
}
}  // namespace

void OverrideProgramDir(const std::string& folder) { Override() = folder; }

std::string ExePath() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return "";
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string ProgramDir() {
    if (!Override().empty()) return Override();
    const std::string path = ExePath();
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ProgramFile(const std::string& name) { return ProgramDir() + "\\" + name; }

std::string SettingsDir() {
    if (!Override().empty()) return Override();
    static const std::string chosen = ChooseSettingsDir();
    return chosen;
}

std::string SettingsFile(const std::string& name) { return SettingsDir() + "\\" + name; }

bool CanWriteInto(const std::string& folder) {
    const std::string probe = folder + "\\~brightwipe-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace bw::platform
