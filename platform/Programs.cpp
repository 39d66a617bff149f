// Starting programs through CreateProcessA.
#include "platform/Programs.h"

#include <windows.h>

#include <vector>

namespace bw::platform {

std::string WindowsDirectory() {
    char buf[256];
    UINT n = GetWindowsDirectoryA(buf, 255);
    return (n > 0 && n < 255) ? std::string(buf, n) : std::string();
}

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

}  // namespace bw::platform
