// Window regions and caption drags through gdi32 and user32.
#include "platform/WindowShape.h"

namespace bw::platform {

void SetRoundedOutline(HWND window, int width, int height, int ellipseWidth, int ellipseHeight) {
    HRGN region = CreateRoundRectRgn(0, 0, width, height, ellipseWidth, ellipseHeight);
    if (region && !SetWindowRgn(window, region, TRUE)) DeleteObject(region);
}

void BeginCaptionDrag(HWND window) {
    ReleaseCapture();
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace bw::platform
