// The options window "Erase Options": the switches of section "Additional" of the settings file,
// the boss key (on or off at once), starting with Windows, and the browser's start page and
// window title.
#pragma once
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Form.h"
#include "ui/Statics.h"
#include "ui/TextBox.h"

namespace bw {

class frmoptions : public ui::Form {
public:
    frmoptions();

    ui::Label Label1, Label2;
    ui::Frame Frame1;  // "IE Home Page"
    ui::Label Label3, Label4;
    ui::TextBox Text1, Text2;  // start page, window title
    ui::Frame Frame3;          // "Boss Key"
    ui::CheckBox Check1;       // "bosskey"
    ui::Label Label5;
    ui::Frame Frame4;  // "General"
    ui::CheckBox Check2, Check3, Check4, Check5, Check6;  // startup, autoclean, exit, Custom, securely
    ui::CommandButton Command1;  // "OK"
    ui::CommandButton Command2;  // "Cancel"

    void Command1_Click();
    void Command2_Click();

    // The browser keys that get the start page and window title, in the order they are written.
    static const char* const kBrowserKeys[3];
    static const char kRunKey[];  // under HKEY_LOCAL_MACHINE

protected:
    void Build() override;
    void Form_Load() override;

private:
    std::string SettingsFile() const;
};

}  // namespace bw
