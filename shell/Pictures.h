// The product picture that the splash and About windows show, built into the exe.
#pragma once
#include <windows.h>

namespace bw {

constexpr int kProductPictureWidth = 400;
constexpr int kProductPictureHeight = 250;
constexpr int kProductPictureResource = 2;

// A new bitmap of the product picture, owned by the caller; null when the exe carries none
// (the test programs), and the windows then show a plain tile.
HBITMAP ProductPicture();

}  // namespace bw
