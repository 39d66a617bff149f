// Answering a command-line start on its console, and telling whether a window could be seen.
#include "platform/Console.h"

#include <windows.h>

#include "platform/FileSystem.h"

namespace bw::platform {

namespace {

struct BasicProcessInformation {
    LONG exitStatus;
    PVOID peb;
    ULONG_PTR affinity;
    LONG basePriority;
    ULONG_PTR processId;
    ULONG_PTR parentProcessId;
};
using QueryInformationProcess = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);

// Under Wine a program started from a Linux shell has no Windows parent, and its standard
// handles are that shell's terminal, file or pipe.
bool StartedFromUnixShell() {
    if (!fs::IsWine()) return false;
    auto query = reinterpret_cast<QueryInformationProcess>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess"));
    BasicProcessInformation info{};
    if (!query || query(GetCurrentProcess(), 0, &info, sizeof info, nullptr) != 0) return false;
    return info.parentProcessId == 0;
}

bool IsOutput(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

bool WriteAll(HANDLE handle, const std::string& text) {
    DWORD written = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

bool WriteToConsole(const std::string& text) {
    // Output redirected by a Windows parent comes first: "Brightwipe.exe /? > usage.txt". A
    // graphical program is handed standard handles only then; any other value it finds there
    // is not its own.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    if ((startup.dwFlags & STARTF_USESTDHANDLES) || StartedFromUnixShell()) {
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        if (IsOutput(out)) return WriteAll(out, text);
    }
    // Started from a command prompt: its console.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return false;
    // The prompt is already back on screen: start on a line of our own.
    std::string crlf = "\r\n";
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const bool ok = WriteAll(console, crlf);
    CloseHandle(console);
    return ok;
}

bool InteractiveSession() {
    HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    if (!station || !GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace bw::platform
