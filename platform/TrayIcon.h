// The notification-area (tray) icon of a window: one icon record, added and removed through
// Shell_NotifyIconA, and the message Explorer broadcasts when it re-creates the taskbar.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace bw::platform {

// The record is kept for the icon's whole life so that the same record serves the add, the
// re-add after a taskbar restart and the delete. Mouse events over the icon arrive at the
// window as `callbackMessage` with the mouse message code (WM_LBUTTONUP, ...) in lParam.
class TrayIcon {
public:
    // Fills the record: size 88 (the form every Windows version accepts), identifier 1,
    // message, icon and tip valid. The tip is left-aligned in its 64-character field and
    // padded with spaces.
    void Fill(HWND window, HICON icon, UINT callbackMessage, const std::string& tip);
    // NIM_ADD with the record; false when Windows refused (no tray, or already added).
    bool Add();
    // NIM_DELETE with the record; removes only this window's icon. Nothing when not added.
    bool Remove();
    // Whether Windows still knows this icon (a harmless NIM_MODIFY of the same record).
    bool Present() const;
    bool added() const { return added_; }
    const NOTIFYICONDATAA& record() const { return record_; }

private:
    NOTIFYICONDATAA record_{};
    bool added_ = false;
};

// The registered "TaskbarCreated" message: a new taskbar has no icons, so every program that
// shows one adds it again when this arrives.
UINT TaskbarCreatedMessage();

// The program's icon (resource 1) at the small size the tray draws; the stock application
// icon when the program has none.
HICON ProgramSmallIcon();

// Makes `window` the foreground window (a popup menu opened from the tray closes properly when
// the user clicks elsewhere only when its owner is in front).
void BringToFront(HWND window);

}  // namespace bw::platform
