// Starting a control panel applet, finding its property sheet, and closing it again.
#include "platform/ControlPanel.h"

#include <commctrl.h>
#include <prsht.h>

#include "platform/Keystrokes.h"

namespace bw::platform {

using keys::ClassOf;
using keys::ProcessOf;

namespace {

bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* answer) {
    return SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, 1000, answer) != 0;
}

std::string TextOf(HWND hwnd) {
    char text[256] = {};
    DWORD_PTR copied = 0;
    if (!Send(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), &copied)) return {};
    return text;
}

struct Windows {
    DWORD pid;
    std::vector<HWND> list;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
    auto* w = reinterpret_cast<Windows*>(lp);
    if (ProcessOf(hwnd) == w->pid) w->list.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    Windows w{pid, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&w));
    return w.list;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

HWND CurrentPage(HWND sheet) {
    DWORD_PTR page = 0;
    if (!Send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, &page)) return nullptr;
    HWND hwnd = reinterpret_cast<HWND>(page);
    if (!hwnd || !IsWindow(hwnd) || ProcessOf(hwnd) != ProcessOf(sheet)) return nullptr;
    return hwnd;
}

std::string WithoutMarks(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

}  // namespace

std::unique_ptr<StartedProgram> StartedProgram::Start(const std::string& commandLine, int showMode) {
    std::unique_ptr<StartedProgram> program(new StartedProgram());
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showMode);
    std::string command = commandLine;  // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &program->info_))
        return nullptr;
    return program;
}

StartedProgram::~StartedProgram() {
    if (info_.hThread) CloseHandle(info_.hThread);
    if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool StartedProgram::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool StartedProgram::Close(DWORD waitMs) {
    if (!Running()) return true;
    // Newest dialogs first: a modal dialog must go before the window it disabled can.
    for (int round = 0; round < 4 && Running(); ++round) {
        for (HWND hwnd : TopLevelWindowsOf(ProcessId())) {
            if (!IsWindowVisible(hwnd)) continue;
            if (ClassOf(hwnd) == "#32770")
                PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            else
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        if (WaitForSingleObject(info_.hProcess, waitMs / 4 + 1) == WAIT_OBJECT_0) return true;
    }
    if (!Running()) return true;
    TerminateProcess(info_.hProcess, 1);
    return WaitForSingleObject(info_.hProcess, 2000) == WAIT_OBJECT_0;
}

HWND WaitForPropertySheet(DWORD processId, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        for (HWND hwnd : TopLevelWindowsOf(processId)) {
            if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != "#32770") continue;
            DWORD_PTR tab = 0;
            if (Send(hwnd, PSM_GETTABCONTROL, 0, 0, &tab) && tab) return hwnd;
        }
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(50);
    }
}

std::string CurrentPageCaption(HWND sheet) {
    HWND page = CurrentPage(sheet);
    return page ? TextOf(page) : std::string();
}

bool CurrentPageHasButton(HWND sheet, const std::string& prefix) {
    HWND page = CurrentPage(sheet);
    if (!page) return false;
    std::vector<HWND> children;
    EnumChildWindows(page, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (ProcessOf(child) != ProcessOf(sheet)) continue;
        if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
        std::string cls = ClassOf(child);
        if (cls != "Button" && cls != "BUTTON") continue;
        if (WithoutMarks(TextOf(child)).compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

int PressKeysOnPage(DWORD processId, const std::string& pageCaption, const std::string& buttonPrefix,
                    const std::vector<std::string>& keys, DWORD windowMs, DWORD pageMs, DWORD keyMs) {
    HWND sheet = WaitForPropertySheet(processId, windowMs);
    if (!sheet) return 0;
    DWORD start = GetTickCount();
    for (;;) {
        // The sheet must also be the dialog that takes input, so the first key reaches it.
        if (keys::ActiveDialog(processId) == sheet && CurrentPageCaption(sheet) == pageCaption &&
            CurrentPageHasButton(sheet, buttonPrefix))
            break;
        if (GetTickCount() - start >= pageMs) return 0;
        Sleep(50);
    }
    int pressed = 0;
    for (const std::string& key : keys) {
        if (!keys::PressKey(processId, key, keyMs)) break;
        ++pressed;
    }
    return pressed;
}

}  // namespace bw::platform
