// "MSN Explorer": which traces of MSN Explorer an erase removes (section "MSN" of the settings
// file; the folder they lie in is the "path" key of that section).
#pragma once
#include "settings/BrowserOptions.h"

namespace bw {

class frmmsn : public BrowserOptions {
public:
    frmmsn() : BrowserOptions("MSN Explorer", "MSN Exploer", "MSN") {}
};

}  // namespace bw
