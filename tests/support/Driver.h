// Driving the real Brightwipe.exe from a second process: starting it in a throwaway program
// folder, finding its windows and controls, clicking them as a user would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace bw::test {

// Copies the built program (exe and the files shipped beside it) into `folder`.
bool InstallProgram(const std::string& folder);

// A running Brightwipe.exe; killed when the object goes if it has not ended by then.
class Program {
public:
    // Starts folder\Brightwipe.exe with `arguments` after its name.
    explicit Program(const std::string& folder, const std::string& arguments = "");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool started() const { return started_; }
    DWORD pid() const { return pi_.dwProcessId; }
    bool WaitForExit(int ms);
    // The exit code once the program has ended; STILL_ACTIVE before.
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// A visible top-level window of process `pid` with this class and title; null after `ms`.
HWND WaitForTopWindow(DWORD pid, const std::string& cls, const std::string& title, int ms);
// The first descendant of `parent` of class `cls` (case ignored) whose text is `text`.
HWND FindChild(HWND parent, const std::string& cls, const std::string& text);
// The first descendant of `parent` of class `cls` (case ignored).
HWND FindChildOfClass(HWND parent, const std::string& cls);
// The texts of the STATIC children of a message box, joined.
std::string MessageBoxText(HWND box);
// Clicks a clickable STATIC (label or navigation image) of another process.
void ClickStatic(HWND hwnd);

}  // namespace bw::test
