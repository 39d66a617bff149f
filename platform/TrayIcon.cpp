// Tray icons through Shell_NotifyIconA.
#include "platform/TrayIcon.h"

#include <cstring>

namespace bw::platform {

void TrayIcon::Fill(HWND window, HICON icon, UINT callbackMessage, const std::string& tip) {
    record_ = NOTIFYICONDATAA{};
    record_.cbSize = 88;  // NOTIFYICONDATAA as Windows 95 knew it
    record_.hWnd = window;
    record_.uID = 1;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = callbackMessage;
    record_.hIcon = icon;
    // An 88-byte record has the 64-character tip of the first tray (the headers' field is longer).
    const size_t field = 64;
    std::memset(record_.szTip, ' ', field - 1);
    std::memcpy(record_.szTip, tip.data(), tip.size() < field ? tip.size() : field - 1);
    record_.szTip[field - 1] = '\0';
}

bool TrayIcon::Add() {
    added_ = Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
    return added_;
}

bool TrayIcon::Remove() {
    if (!record_.hWnd) return false;
    added_ = false;
    return Shell_NotifyIconA(NIM_DELETE, &record_) != FALSE;
}

bool TrayIcon::Present() const {
    if (!record_.hWnd) return false;
    NOTIFYICONDATAA probe = record_;
    probe.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

HICON ProgramSmallIcon() {
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_DEFAULTCOLOR | LR_SHARED));
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

void BringToFront(HWND window) { SetForegroundWindow(window); }

}  // namespace bw::platform
