// The About window: the product picture under the caption "About", closed with its own close
// button (or Esc).
#pragma once
#include "ui/Form.h"
#include "ui/Statics.h"

namespace bw {

class frmabout : public ui::Form {
public:
    frmabout();
    ui::Image imgProduct;

protected:
    void Build() override;
    void Form_Load() override;
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    DWORD FormStyle() const override { return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }
};

}  // namespace bw
