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

// Draws the system's standard icon `resource` (IDI_HAND 32513, IDI_EXCLAMATION 32515,
// IDI_ASTERISK 32516, ...) with its top left corner at (x, y).
void DrawStandardIcon(HDC dc, int x, int y, int resource);

}  // namespace bw::platform
