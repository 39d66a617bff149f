// Picture files through GDI+, which reads GIF, JPEG and BMP on every Windows since XP and on Wine.
#include "platform/Pictures.h"

#include "platform/Text.h"

#include <objidl.h>
#include <gdiplus.h>

#include <vector>

namespace bw::platform {

namespace {

bool StartGdiplus() {
    static bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

}  // namespace

HBITMAP LoadPictureFile(const std::string& path) {
    if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    if (!StartGdiplus()) return nullptr;
    const std::wstring wide = text::ToWide(path);
    Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromFile(wide.c_str());
    HBITMAP result = nullptr;
    if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok)
        bitmap->GetHBITMAP(Gdiplus::Color(255, 255, 255), &result);
    delete bitmap;
    return result;
}

HBITMAP LoadBitmapResource(int id) {
    return static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void DrawStandardIcon(HDC dc, int x, int y, int resource) {
    // Shared system icons: LoadIcon hands out the same handle every time and it is never freed.
    if (HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(resource))) DrawIcon(dc, x, y, icon);
}

}  // namespace bw::platform
