// Starting programs through CreateProcessA.
#include "platform/Programs.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <vector>

#include "platform/FileSystem.h"

namespace bw::platform {

bool StartProgram(const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool OpenInNewBrowserWindow(const std::string& url) {
    HINSTANCE result = ShellExecuteA(nullptr, "open", "iexplore.exe", url.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool HtmlEngineAvailable() {
    if (!fs::IsWine()) return true;
    // Wine's own mshtml switched off for this run ("mshtml=" without "b" for builtin).
    if (const char* overrides = std::getenv("WINEDLLOVERRIDES")) {
        const std::string text = overrides;
        const size_t at = text.find("mshtml=");
        if (at != std::string::npos && (at + 7 >= text.size() || text[at + 7] != 'b')) return false;
    }
    // The places Wine looks for Gecko: the prefix's own copy and the system-wide ones.
    const std::string windows = fs::WindowsDirectory();
    for (const std::string& folder : {windows + "\\system32\\gecko", windows + "\\syswow64\\gecko",
                                      std::string("Z:\\usr\\share\\wine\\gecko"), std::string("Z:\\opt\\wine\\gecko")})
        if (fs::FolderExists(folder)) return true;
    return false;
}

bool OpenPageInUsersBrowser(const std::string& path) {
    if (fs::IsWine()) return StartProgram("winebrowser.exe \"" + path + "\"");
    HINSTANCE result = ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace bw::platform
