// Progress bars.
#include "ui/ProgressBar.h"

#include <commctrl.h>

namespace bw::ui {

const char* ProgressBar::ClassName() const {
    static bool init = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&icc);
    }();
    (void)init;
    return PROGRESS_CLASSA;
}

void ProgressBar::AfterCreate() {
    SendMessageA(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(value_), 0);
}

void ProgressBar::SetValue(int value) {
    value_ = value < min_ ? min_ : (value > max_ ? max_ : value);
    if (hwnd_) SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(value_), 0);
}

void ProgressBar::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    if (hwnd_) SendMessageA(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
}

}  // namespace bw::ui
