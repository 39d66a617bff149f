// Keystrokes for another program's dialog, delivered as the dialog manager would act on them and
// addressed to that dialog's own windows, never to whatever window happens to have the focus.
//
// Keys are written "{U}" (a mnemonic letter: the control whose caption marks it with '&'),
// "{ENTER}" (the dialog's default button) and "{ESC}" (cancel). Only buttons answer mnemonics
// (push buttons, check boxes, option buttons); a mnemonic on a label is not followed.
#pragma once
#include <windows.h>

#include <string>

namespace bw::platform::keys {

// The dialog of process `processId` that takes input now: a visible, enabled top-level window of
// class "#32770" belonging to that process (a modal dialog disables its owner, so the newest
// one). Null when the process shows none.
HWND ActiveDialog(DWORD processId);

// Presses `key` in the active dialog of `processId` and waits up to `timeoutMs` until it has been
// handled, which for these keys means the dialog closed or another dialog took input over it.
// When no dialog takes input yet (one the previous key opened is still coming up), it first
// waits up to `timeoutMs` for one. Every window a key is sent to is checked to belong to `processId`.
// False when the key is not one of the forms above, the process shows no dialog, no control of
// the dialog answers the key, or nothing changed within the wait.
bool PressKey(DWORD processId, const std::string& key, DWORD timeoutMs);

// The process that owns `hwnd` (0 for no window), and the window's class name.
DWORD ProcessOf(HWND hwnd);
std::string ClassOf(HWND hwnd);

// Gives the keyboard focus back to one of our own windows; nothing when it is gone or hidden.
void ReturnFocus(HWND window);

}  // namespace bw::platform::keys
