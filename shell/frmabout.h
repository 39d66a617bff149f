// The About window: the product picture under the caption "About", with the version and the
// terms of use beneath it; closed with its own close button (or Esc).
#pragma once
#include <string>

#include "ui/Form.h"
#include "ui/Statics.h"

namespace bw {

class frmabout : public ui::Form {
public:
    frmabout();
    ui::Image imgProduct;
    ui::Label lblVersion;  // "Brightwipe version 2.60"
    ui::Label lblLicence;

    // "Brightwipe version " and the major and minor numbers of the running exe's version;
    // "Brightwipe" alone when it carries none.
    static std::string VersionLine();
    static const char kLicenceLine[];

protected:
    void Build() override;
    void Form_Load() override;
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    DWORD FormStyle() const override { return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }
};

}  // namespace bw
