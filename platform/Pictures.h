// Loading picture files (GIF, JPEG, BMP) into bitmaps.
#pragma once
#include <windows.h>

#include <string>

namespace bw::platform {

// Loads a picture file into a new device-independent bitmap owned by the caller; null when the
// file is missing or cannot be decoded.
HBITMAP LoadPictureFile(const std::string& path);

// The bitmap resource `id` of the running exe, as a new bitmap owned by the caller; null when
// the exe has none by that number.
HBITMAP LoadBitmapResource(int id);

// A new bitmap of `width` x `height` owned by the caller, showing the system's caption button
// `state` as DrawFrameControl draws it (DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN, ... with any of
// DFCS_INACTIVE and the like); with state 0, or where the system cannot draw it, a plain bar in
// the active caption's colour. Null when no bitmap can be made.
HBITMAP CaptionPicture(int width, int height, UINT state);

// Draws the system's standard icon `resource` (IDI_HAND 32513, IDI_EXCLAMATION 32515,
// IDI_ASTERISK 32516, ...) with its top left corner at (x, y).
void DrawStandardIcon(HDC dc, int x, int y, int resource);

}  // namespace bw::platform
