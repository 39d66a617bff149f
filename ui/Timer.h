// A timer that calls onTimer every Interval milliseconds while Enabled, on the UI thread.
#pragma once
#include <windows.h>

#include <functional>

namespace bw::ui {

class Timer {
public:
    Timer() = default;
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    std::function<void()> onTimer;
    void SetInterval(UINT ms);
    UINT Interval() const { return interval_; }
    void SetEnabled(bool on);
    bool Enabled() const { return id_ != 0; }

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    UINT interval_ = 0;
    UINT_PTR id_ = 0;
};

}  // namespace bw::ui
