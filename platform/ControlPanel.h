// Control panel applets started by the program: the process is kept by its handle, so that its
// windows are known by their process id rather than by a title anyone could carry, and so that
// whatever it opened can be closed again.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace bw::platform {

// A program this process started. Letting the holder go closes its handles but leaves the
// program running; Close ends it.
class StartedProgram {
public:
    // Starts `commandLine` as WinExec does (the program's first window takes `showMode`), but
    // through CreateProcessA so that the process is known. Null when it cannot be started.
    static std::unique_ptr<StartedProgram> Start(const std::string& commandLine, int showMode);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    DWORD ProcessId() const { return info_.dwProcessId; }
    bool Running() const;
    // Asks each top-level window of the program to close (a dialog is cancelled, any other
    // window gets WM_CLOSE), waits up to `waitMs` for the program to end, and ends it when it
    // has not. True when the program is gone.
    bool Close(DWORD waitMs);

private:
    StartedProgram() = default;
    PROCESS_INFORMATION info_{};
};

// Waits up to `timeoutMs` for a top-level property sheet of process `processId`: a visible
// "#32770" dialog that answers PSM_GETTABCONTROL. Null when none appears in time.
HWND WaitForPropertySheet(DWORD processId, DWORD timeoutMs);

// The caption of the property sheet's current page; "" when there is none.
std::string CurrentPageCaption(HWND sheet);

// True when the sheet's current page holds a visible, enabled button whose caption, with its
// '&' marks removed, begins with `prefix` (letter case counts).
bool CurrentPageHasButton(HWND sheet, const std::string& prefix);

// Presses `keys` (see platform/Keystrokes.h) one after another in the dialogs of `processId`,
// but only once the process's property sheet shows the page captioned `pageCaption` holding a
// button that begins with `buttonPrefix`. The sheet has `windowMs` to appear and then `pageMs` to
// show that page and take input. Each key must be handled within `keyMs`, else the rest are not
// sent. Returns the number of keys pressed; 0 when the page could not be verified, in which case
// nothing at all was sent.
int PressKeysOnPage(DWORD processId, const std::string& pageCaption, const std::string& buttonPrefix,
                    const std::vector<std::string>& keys, DWORD windowMs, DWORD pageMs, DWORD keyMs);

}  // namespace bw::platform
