// Labels and images over the standard STATIC class; both are clickable and carry their text.
#pragma once
#include "ui/Control.h"

namespace bw::ui {

// A label placed with WS_TABSTOP is also a button for the keyboard: Tab reaches it, Space and
// Enter (and BM_CLICK) press it, and it shows that it has the focus in the highlight colours.
class Label : public Control {
public:
    std::function<void()> onClick;
    // The label got (true) or lost (false) the keyboard focus.
    std::function<void(bool)> onFocus;
    bool HasFocus() const { return hwnd_ && GetFocus() == hwnd_; }
    void OnCommand(WORD code) override;
    // The size the caption needs in the label's font, wrapped at `maxWidth` pixels.
    SIZE TextSize(int maxWidth) const;
    // Draws the caption in `color` on `backdrop` (a copy is taken) tiled from `top` pixels
    // above the label, so that it sits seamlessly on a picture such as a title bar.
    void SetBackdrop(COLORREF color, HBITMAP backdrop, int top);
    HBRUSH Backdrop() const { return backdrop_; }
    int BackdropTop() const { return backdropTop_; }
    COLORREF TextColor() const { return textColor_; }
    ~Label() override;
    std::function<void()> onMouseDown;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    // Paints a caption that wraps onto several lines; false for the control to paint it.
    bool PaintWrapped();
    HBRUSH backdrop_ = nullptr;
    int backdropTop_ = 0;
    COLORREF textColor_ = 0;

public:

protected:
    const char* ClassName() const override { return "STATIC"; }
    DWORD Style() const override { return SS_NOTIFY | SS_LEFT; }
};

// A picture drawn inside a clickable STATIC control whose window text is the caption that a
// screen reader or a test finds. Without a picture a plain tile is drawn. A hover border
// can be switched on and off.
class Image : public Control {
public:
    ~Image() override;
    std::function<void()> onClick;
    std::function<void()> onMouseDown;
    // Loads a picture file (GIF, BMP, JPEG); false when it cannot be read. Empty path clears.
    bool LoadPicture(const std::string& path);
    void SetPicture(HBITMAP bitmap);  // takes a copy
    HBITMAP Picture() const { return bitmap_; }
    SIZE PictureSize() const;  // 0 x 0 without a picture
    void SetBorder(bool on);
    bool Border() const { return border_; }
    void OnCommand(WORD code) override;
    bool OnDrawItem(DRAWITEMSTRUCT* dis) override;

protected:
    const char* ClassName() const override { return "STATIC"; }
    DWORD Style() const override { return SS_NOTIFY | SS_OWNERDRAW; }
    void ResetState() override { border_ = false; }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    HBITMAP bitmap_ = nullptr;
    bool border_ = false;
};

}  // namespace bw::ui
