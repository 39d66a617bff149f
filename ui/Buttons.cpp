// Push buttons, check boxes and option buttons.
#include "ui/Buttons.h"

namespace bw::ui {

void CommandButton::OnCommand(WORD code) {
    if (code == BN_CLICKED && onClick && enabled_) onClick();
}

int CheckBox::Value() const { return value_; }

void CheckBox::SetValue(int value) {
    value = value ? 1 : 0;
    if (value == value_) return;
    value_ = value;
    if (hwnd_) SendMessageA(hwnd_, BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
    if (onClick) onClick();
}

void CheckBox::OnCommand(WORD code) {
    // A plain (not auto) check box: the click toggles the value here, so that the value and
    // the box on screen never disagree, whoever clicked.
    if (code == BN_CLICKED && enabled_) SetValue(value_ ? 0 : 1);
}

bool OptionButton::Value() const {
    return hwnd_ && SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OptionButton::SetValue(bool on) {
    if (!hwnd_) return;
    if (on) {
        // Clear the other option buttons of the same container, as a click would.
        for (HWND sib = GetWindow(GetParent(hwnd_), GW_CHILD); sib; sib = GetWindow(sib, GW_HWNDNEXT))
            if (sib != hwnd_ && dynamic_cast<OptionButton*>(Control::FromHwnd(sib)))
                SendMessageA(sib, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageA(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (on && onClick) onClick();
}

void OptionButton::OnCommand(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

}  // namespace bw::ui
