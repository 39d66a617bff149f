// A window that draws its own frame: its outline, and moving it by a picture that stands in
// for the title bar.
#pragma once
#include <windows.h>

namespace bw::platform {

// Cuts the window to a rounded rectangle from (0, 0) to (width, height) with corner ellipses
// of the given size (CreateRoundRectRgn, SetWindowRgn with redraw). The window owns the region.
void SetRoundedOutline(HWND window, int width, int height, int ellipseWidth, int ellipseHeight);

// Lets the user move the window with the mouse from a button press anywhere on it, as if its
// caption had been pressed (ReleaseCapture, then WM_NCLBUTTONDOWN with HTCAPTION). Call from
// the press's handler; returns when the user lets go.
void BeginCaptionDrag(HWND window);

}  // namespace bw::platform
