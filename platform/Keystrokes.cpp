// Dialog keystrokes posted to a known process's dialog controls.
#include "platform/Keystrokes.h"

#include <cctype>
#include <vector>

namespace bw::platform::keys {

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

namespace {

// Window text through WM_GETTEXT with a bounded wait, so a hung program cannot hold us.
std::string TextOf(HWND hwnd) {
    char text[256] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 1000, &copied))
        return {};
    return text;
}

struct Search {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK FindActiveDialog(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    if (ProcessOf(hwnd) != search->pid) return TRUE;
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    if (ClassOf(hwnd) != "#32770") return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// The letter a caption marks with '&' ("A&utoComplete" -> 'U'); 0 when none ("&&" is a plain &).
char MnemonicOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

bool IsClickableButton(HWND hwnd) {
    if (ClassOf(hwnd) != "Button" && ClassOf(hwnd) != "BUTTON") return false;
    LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return type != BS_GROUPBOX;
}

// The visible, enabled button of `dialog` (its property page included) whose caption marks
// `letter`, belonging to `pid`.
HWND ButtonForMnemonic(HWND dialog, DWORD pid, char letter) {
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (ProcessOf(child) != pid || !IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
        if (!IsClickableButton(child)) continue;
        if (MnemonicOf(TextOf(child)) == letter) return child;
    }
    return nullptr;
}

// Posts the command the dialog manager would send for a button id: a click on the button when
// the dialog has it, else the bare command.
void PressButtonId(HWND dialog, DWORD pid, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button && ProcessOf(button) == pid && IsWindowVisible(button) && IsWindowEnabled(button))
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace

HWND ActiveDialog(DWORD processId) {
    Search search{processId};
    EnumWindows(FindActiveDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool PressKey(DWORD processId, const std::string& key, DWORD timeoutMs) {
    // A dialog the previous key opened may still be on its way up.
    const DWORD start = GetTickCount();
    HWND dialog = ActiveDialog(processId);
    while (!dialog && GetTickCount() - start < timeoutMs) {
        Sleep(20);
        dialog = ActiveDialog(processId);
    }
    if (!dialog || ProcessOf(dialog) != processId) return false;

    if (key == "{ESC}") {
        PressButtonId(dialog, processId, IDCANCEL);
    } else if (key == "{ENTER}") {
        DWORD_PTR answer = 0;
        int id = IDOK;
        if (SendMessageTimeoutA(dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) &&
            HIWORD(answer) == DC_HASDEFID)
            id = LOWORD(answer);
        PressButtonId(dialog, processId, id);
    } else if (key.size() == 3 && key[0] == '{' && key[2] == '}' && std::isalnum(static_cast<unsigned char>(key[1]))) {
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(key[1])));
        HWND button = ButtonForMnemonic(dialog, processId, letter);
        if (!button) return false;
        PostMessageA(button, BM_CLICK, 0, 0);
    } else {
        return false;
    }

    // Handled: the dialog is gone, or another dialog took input over it. While one dialog gives
    // way to the next, none may take input for a moment; that is no answer yet.
    const DWORD pressed = GetTickCount();
    for (;;) {
        if (!IsWindow(dialog)) return true;
        HWND now = ActiveDialog(processId);
        if (now && now != dialog) return true;
        if (GetTickCount() - pressed >= timeoutMs) return false;
        Sleep(20);
    }
}

void ReturnFocus(HWND window) {
    if (!window || !IsWindow(window) || !IsWindowVisible(window)) return;
    SetForegroundWindow(window);
    SetFocus(window);
}

}  // namespace bw::platform::keys
