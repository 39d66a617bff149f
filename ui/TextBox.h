// A single- or multi-line text box over the standard EDIT class.
#pragma once
#include "ui/Control.h"

namespace bw::ui {

class TextBox : public Control {
public:
    explicit TextBox(bool multiLine = false) : multiLine_(multiLine) {}
    std::function<void()> onChange;
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    void OnCommand(WORD code) override;

protected:
    const char* ClassName() const override { return "EDIT"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }

private:
    bool multiLine_;
};

}  // namespace bw::ui
