// Push buttons, check boxes and option buttons over the standard BUTTON class.
#pragma once
#include "ui/Control.h"

namespace bw::ui {

class CommandButton : public Control {
public:
    std::function<void()> onClick;
    void OnCommand(WORD code) override;

protected:
    const char* ClassName() const override { return "BUTTON"; }
    DWORD Style() const override { return WS_TABSTOP | BS_PUSHBUTTON; }
};

// A check box whose Value is 0 (clear) or 1 (checked). Every change of Value, by the user or
// by code, is reported through onClick, once per change.
class CheckBox : public Control {
public:
    std::function<void()> onClick;
    int Value() const;
    void SetValue(int value);
    void OnCommand(WORD code) override;

protected:
    const char* ClassName() const override { return "BUTTON"; }
    DWORD Style() const override { return WS_TABSTOP | BS_CHECKBOX; }
    void ResetState() override { value_ = 0; }

private:
    int value_ = 0;
};

// An option (radio) button; Value is true when chosen. Choosing one clears its siblings that
// were placed with it in the same container.
class OptionButton : public Control {
public:
    std::function<void()> onClick;
    bool Value() const;
    void SetValue(bool on);
    void OnCommand(WORD code) override;

protected:
    const char* ClassName() const override { return "BUTTON"; }
    DWORD Style() const override { return WS_TABSTOP | BS_AUTORADIOBUTTON; }
};

}  // namespace bw::ui
