// Controls that hold other controls: a captioned frame and a plain picture area.
#pragma once
#include "ui/Control.h"

namespace bw::ui {

// A container window that hands its children's notifications back to them. Hiding it hides
// everything inside.
class Container : public Control {
protected:
    const char* ClassName() const override;
    DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
};

// A frame: a container carrying a standard group box with the caption along its edge.
class Frame : public Container {
public:
    std::function<void()> onClick;

protected:
    void AfterCreate() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    HWND box_ = nullptr;
};

// A borderless container (a picture box holding other controls), clickable.
class PictureBox : public Container {
public:
    std::function<void()> onClick;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

}  // namespace bw::ui
