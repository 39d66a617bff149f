// The About window.
#include "shell/frmabout.h"

#include <windows.h>

#include "platform/FileInfo.h"
#include "shell/Pictures.h"

namespace bw {

namespace {
constexpr int kTextHeight = 44;
}

const char frmabout::kLicenceLine[] = "Provided as is, without warranty of any kind.";

frmabout::frmabout() : ui::Form("About", kProductPictureWidth, kProductPictureHeight + kTextHeight) {}

std::string frmabout::VersionLine() {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string version = platform::FileVersionText(exe);  // "2.60.0.0"
    const size_t second = version.find('.', version.find('.') + 1);
    if (version.empty()) return "Brightwipe";
    return "Brightwipe version " + version.substr(0, second);
}

void frmabout::Build() {
    Layout({
        {&imgProduct, nullptr, "Brightwipe", 0, 0, kProductPictureWidth, kProductPictureHeight},
        {&lblVersion, nullptr, "", 12, kProductPictureHeight + 6, kProductPictureWidth - 24, 16},
        {&lblLicence, nullptr, kLicenceLine, 12, kProductPictureHeight + 24, kProductPictureWidth - 24, 16},
    });
    lblVersion.SetCaption(VersionLine());
    HBITMAP picture = ProductPicture();
    imgProduct.SetPicture(picture);  // takes a copy
    if (picture) DeleteObject(picture);
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
