// Skinned windows draw their own frame: title bar, borders and caption buttons are pictures
// from a skin folder (program directory\Skinz\<skin>\<control name>.gif), laid out for the
// window's size, and the window is cut to a rounded rectangle.
#pragma once
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Statics.h"

namespace bw {

struct NamedControl {
    const char* name;
    ui::Control* control;
};

// The frame controls of a skinned window. A window derives from it beside ui::Form, so that the
// controls are its own (frmMainCode::imgTitleClose), and lists them first in its layout
// through FramePlaces.
class SkinFrame {
public:
    virtual ~SkinFrame() = default;

    ui::Label lblTitle;  // the caption, drawn on the title bar
    ui::Image imgTitleLeft, imgTitleMain, imgTitleRight;
    ui::Image imgWindowLeft, imgWindowRight, imgWindowBottomLeft, imgWindowBottom, imgWindowBottomRight;
    ui::Image imgTitleClose, imgTitleMaxRestore, imgTitleMinimize, imgTitleHelp;
    ui::Image imgTitleMaximize;  // hidden; its picture goes to imgTitleMaxRestore

    // Every control of the window by name; the skin fills the image controls named "img...".
    // The frame's own controls by default; a window adds its others.
    virtual std::vector<NamedControl> NamedControls();

    // The layout rows of the frame for a window `width` x `height` pixels: the caption buttons
    // first, then the title label, then the bars and borders (so that the window's own controls,
    // listed after them, never hide the buttons).
    std::vector<ui::Place> FramePlaces(int width, int height);
};

namespace SkinModule {

constexpr int kBackColor = 0xC0C0C0;  // RGB(192, 192, 192)

// Where a frame image goes for a window `width` x `height` pixels; a size of -1 is the
// picture's own (or the design size while the image has no picture).
struct ImagePlace {
    const char* name;
    int left, top, width, height;
};
std::vector<ImagePlace> SkinLayout(int width, int height);

// The selected skin: "Current Skin" of section "Options" of Brightwipe's application settings,
// "Blue" when absent.
std::string CurrentSkin();
// Program directory\Skinz\<skin>.
std::string SkinFolder(const std::string& skin);

// Background colour, caption from lblTitle (placed at 16, 7), rounded outline, and every frame
// image placed for the window's present size.
void ApplySkinLayout(ui::Form& form, SkinFrame& frame);
// Loads every image control whose name holds "img" from the selected skin; a control whose
// file is missing or unreadable keeps the picture it had. Then imgTitleMaxRestore gets
// imgTitleMaximize's picture, and the frame images are placed again at their pictures' sizes.
void ApplySkinImages(ui::Form& form, SkinFrame& frame);
// Cuts the window to a rounded rectangle with 24 x 24 corner ellipses.
void RoundWindowCorners(ui::Form& form);
// Moves the window with the mouse from a press on a title image; nothing while maximised.
void DragWindow(ui::Form& form);

}  // namespace SkinModule
}  // namespace bw
