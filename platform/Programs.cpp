// Starting programs through CreateProcessA.
#include "platform/Programs.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

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

}  // namespace bw::platform
