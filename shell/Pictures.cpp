// The pictures built into the exe.
#include "shell/Pictures.h"

#include "platform/Pictures.h"

namespace bw {

HBITMAP ProductPicture() { return platform::LoadBitmapResource(kProductPictureResource); }

HBITMAP NavigationPicture(int index) {
    if (index < 0 || index >= kNavigationPictures) return nullptr;
    return platform::LoadBitmapResource(kFirstNavigationResource + index);
}

}  // namespace bw
