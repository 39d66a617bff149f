// Text boxes.
#include "ui/TextBox.h"

namespace bw::ui {

DWORD TextBox::Style() const {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (multiLine_) style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
    return style;
}

void TextBox::OnCommand(WORD code) {
    if (code == EN_CHANGE && onChange) onChange();
}

}  // namespace bw::ui
