// Driving the real program from a second process.
#include "tests/support/Driver.h"

namespace bw::test {

namespace {

// Copies the program folder `from` into `to`, sub-folders (the skins) included, leaving out the
// settings and keep lists so each test starts from its own.
bool CopyProgramFolder(const std::string& from, const std::string& to) {
    bool ok = true;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == ".." || name == "bwsd.dat" || name == "keepurl.dat" || name == "keepcook.dat")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CreateDirectoryA((to + "\\" + name).c_str(), nullptr);
            ok = CopyProgramFolder(from + "\\" + name, to + "\\" + name) && ok;
        } else {
            ok = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && ok;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return ok;
}

}  // namespace

bool InstallProgram(const std::string& folder) {
    return CopyProgramFolder(WinPath(BW_DIST_DIR), folder) && PathExists(folder + "\\Brightwipe.exe");
}

Program::Program(const std::string& folder, const std::string& arguments) {
    std::string exe = folder + "\\Brightwipe.exe";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    started_ = CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                              &si, &pi_);
}

Program::~Program() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (started_) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

bool Program::WaitForExit(int ms) {
    return WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

namespace {

struct TopWindow {
    DWORD pid;
    std::string cls, title;
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM lp) {
    auto* want = reinterpret_cast<TopWindow*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == want->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == want->cls && WindowText(hwnd) == want->title) {
        want->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForTopWindow(DWORD pid, const std::string& cls, const std::string& title, int ms) {
    TopWindow want{pid, cls, title};
    WaitFor([&] {
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&want));
        return want.found != nullptr;
    }, ms);
    return want.found;
}

HWND FindChild(HWND parent, const std::string& cls, const std::string& text) {
    for (HWND h : Descendants(parent))
        if (_stricmp(ClassOf(h).c_str(), cls.c_str()) == 0 && WindowText(h) == text) return h;
    return nullptr;
}

HWND FindChildOfClass(HWND parent, const std::string& cls) {
    for (HWND h : Descendants(parent))
        if (_stricmp(ClassOf(h).c_str(), cls.c_str()) == 0) return h;
    return nullptr;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    for (HWND h : Descendants(box))
        if (_stricmp(ClassOf(h).c_str(), "Static") == 0) text += WindowText(h);
    return text;
}

void ClickStatic(HWND hwnd) {
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

}  // namespace bw::test
