// The pictures built into the exe: the product picture that the splash and About windows show,
// and the pictures of the main window's navigation panel.
#pragma once
#include <windows.h>

namespace bw {

constexpr int kProductPictureWidth = 400;
constexpr int kProductPictureHeight = 250;
constexpr int kProductPictureResource = 2;

// The navigation pictures, 48 x 40: Standard Items, Custom Items, ERASE NOW, Search and Erase,
// Erase Options, About, EXIT, then Community Rules (shown above About).
constexpr int kNavigationPictures = 8;
constexpr int kFirstNavigationResource = 11;

// A new bitmap of the product picture, owned by the caller; null when the exe carries none
// (the test programs), and the windows then show a plain tile.
HBITMAP ProductPicture();

// A new bitmap of the navigation picture at index (0 for the top place), owned by the caller;
// null for an index off the panel or when the exe carries none, and the place stays a plain tile.
HBITMAP NavigationPicture(int index);

}  // namespace bw
