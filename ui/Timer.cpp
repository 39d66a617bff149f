// Timers without a window: SetTimer with a callback, mapped back to the Timer object.
#include "ui/Timer.h"

#include <map>

namespace bw::ui {

namespace {
std::map<UINT_PTR, Timer*>& Timers() {
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}
}  // namespace

Timer::~Timer() { SetEnabled(false); }

void Timer::SetInterval(UINT ms) {
    interval_ = ms;
    if (id_) {
        SetEnabled(false);
        SetEnabled(true);
    }
}

void Timer::SetEnabled(bool on) {
    if (on && !id_ && interval_ > 0) {
        id_ = SetTimer(nullptr, 0, interval_, TimerProc);
        if (id_) Timers()[id_] = this;
    } else if (!on && id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
}

void CALLBACK Timer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it != Timers().end() && it->second->onTimer) it->second->onTimer();
}

}  // namespace bw::ui
