// "Netscape Navigator": which traces of the Netscape/Mozilla profiles an erase removes
// (section "NETSCAPE" of the settings file).
#pragma once
#include "settings/BrowserOptions.h"

namespace bw {

class frmnetscape : public BrowserOptions {
public:
    frmnetscape() : BrowserOptions("Netscape Navigator", "Netscape Navigator", "NETSCAPE") {}
};

}  // namespace bw
