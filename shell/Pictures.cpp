// The product picture.
#include "shell/Pictures.h"

#include "platform/Pictures.h"

namespace bw {

HBITMAP ProductPicture() { return platform::LoadBitmapResource(kProductPictureResource); }

}  // namespace bw
