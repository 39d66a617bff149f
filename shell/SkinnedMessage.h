// The skinned message box: a message under the skin's title bar, an icon by style, and "OK".
#pragma once
#include <string>

#include "shell/SkinModule.h"
#include "ui/Buttons.h"
#include "ui/Form.h"
#include "ui/Statics.h"

namespace bw {

// The standard icon for a message style: 16 the error hand (32513), 48 the exclamation
// (32515), 64 the asterisk (32516), anything else the exclamation.
int SkinnedMessageIcon(long style);

// The message window; each ShowSkinnedMessage makes a new one.
class frmMessage : public ui::Form, public SkinFrame {
public:
    frmMessage();
    ui::Label lblMessage;
    ui::CommandButton cmdOK;
    int icon = 32515;

    // Sizes the window to `message`: the label takes the text's size, the window its width and
    // room below it for cmdOK, centred.
    void Prepare(const std::string& message, const std::string& title);

protected:
    void Build() override;
    DWORD FormStyle() const override { return WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN; }
};

// Shows `message` modally under `title` ("Brightwipe" when empty) with the icon of `style`.
void ShowSkinnedMessage(const std::string& message, long style, const std::string& title);

}  // namespace bw
