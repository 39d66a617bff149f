// The splash window and the start of the program.
#include "shell/Frmsplash.h"

#include "platform/GdiObject.h"
#include "shell/MainWindow.h"
#include "shell/Pictures.h"
#include "shell/frmtray.h"
#include "ui/Forms.h"

namespace bw {

Frmsplash::Frmsplash() : ui::Form("Brightwipe", kProductPictureWidth, kProductPictureHeight) {}

void Frmsplash::Build() {
    Layout({{&imgProduct, nullptr, "Brightwipe", 0, 0, kProductPictureWidth, kProductPictureHeight}});
    platform::GdiObject<HBITMAP> picture(ProductPicture());
    imgProduct.SetPicture(picture.get());  // takes a copy
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

void Frmsplash::Form_Load() {
    Center();
    if (ui::Form* main = shell::MainWindow()) main->Load();
    Timer1.SetInterval(2000);
    Timer1.SetEnabled(true);
}

void Frmsplash::Form_Unload() { Timer1.SetEnabled(false); }

void Frmsplash::Timer1_Timer() {
    Timer1.SetEnabled(false);
    // Out of sight first: the splash and the erase window share the caption "Brightwipe", and a
    // program looking for the erase window must never meet the splash beside the main window.
    Hide();
    ui::Get<frmtray>().Load();
    if (ui::Form* main = shell::MainWindow()) main->Show();
    Unload();
}

}  // namespace bw
