// The splash window: the product picture under the caption "Brightwipe" while the main window
// loads hidden behind it; two seconds later the tray icon comes and the main window shows.
#pragma once
#include "ui/Form.h"
#include "ui/Statics.h"
#include "ui/Timer.h"

namespace bw {

class Frmsplash : public ui::Form {
public:
    Frmsplash();

    ui::Image imgProduct;
    ui::Timer Timer1;  // 2000 ms

    void Timer1_Timer();

protected:
    // Never seen with the keyboard: Esc must not unload it behind the user's back.
    bool EscapeCloses() const override { return false; }
    void Build() override;
    void Form_Load() override;
    void Form_Unload() override;
    DWORD FormStyle() const override { return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN; }
};

}  // namespace bw
