// The exception barrier of the toolkit's window procedures. User32 calls a window procedure from
// its own frames, which this compiler's exceptions cannot unwind through: an exception that
// left a window procedure would tear the program down at some later, unrelated point. So every
// window procedure of the toolkit runs inside this barrier, and an exception that reaches it ends
// the program at once with a message naming it.
#pragma once
#include <windows.h>

#include <exception>

namespace bw::ui {

// Shows "Brightwipe met an error it cannot recover from and will close." with `what` (when
// given), in a message box or, where one was set with SetFatalErrorReport, through that; then
// ends the process with exit code 3. Never returns.
[[noreturn]] void EndOnException(const char* what) noexcept;

// Where EndOnException reports before the process ends, instead of a message box; null restores
// the message box. For test programs, which have no one to close a message box.
void SetFatalErrorReport(void (*report)(const char* text));

// `Proc` behind the barrier: give GuardedWindowProc<Proc> to Windows in place of Proc.
template <WNDPROC Proc>
LRESULT CALLBACK GuardedWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        return Proc(hwnd, msg, wp, lp);
    } catch (const std::exception& e) {
        EndOnException(e.what());
    } catch (...) {
        EndOnException(nullptr);
    }
}

}  // namespace bw::ui
