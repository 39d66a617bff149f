// The About window.
#include "shell/frmabout.h"

#include "platform/GdiObject.h"
#include "shell/Pictures.h"

namespace bw {

frmabout::frmabout() : ui::Form("About", kProductPictureWidth, kProductPictureHeight) {}

void frmabout::Build() {
    Layout({{&imgProduct, nullptr, "Brightwipe", 0, 0, kProductPictureWidth, kProductPictureHeight}});
    platform::GdiObject<HBITMAP> picture(ProductPicture());
    imgProduct.SetPicture(picture.get());  // takes a copy
}

void frmabout::Form_Load() { Center(); }

bool frmabout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    // Esc closes the window as its close button does.
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL && lp == 0) {
        Unload();
        *result = 0;
        return true;
    }
    return false;
}

}  // namespace bw
