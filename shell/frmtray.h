// The hidden tray window: owns the notification-area icon and its menu, hears the icon's mouse
// events, and hosts the boss-key hot keys. Never shown; caption "systray".
#pragma once
#include "platform/TrayIcon.h"
#include "ui/Form.h"
#include "ui/Menu.h"

namespace bw {

class frmtray : public ui::Form {
public:
    frmtray();

    // The tray menu "SysTray", opened by a right click on the icon.
    ui::MenuItem mPopupSys;
    ui::MenuItem Help, a5, Option, Restore, a3, Erase, a7, Exit;

    void Help_Click();
    void Option_Click();
    void Restore_Click();
    void Erase_Click();
    void Exit_Click();

    // A mouse event over the icon, as the mouse message code (WM_LBUTTONUP is 514).
    void Form_MouseMove(int code);

    const platform::TrayIcon& Icon() const { return icon_; }

    // Unloads, in this order, the tray, erase, typed-URL, About, splash, cookie and main
    // windows, each whatever became of the one before. The program ends with the last.
    static void ExitSequence();

protected:
    // Never seen with the keyboard: Esc must not unload it behind the user's back.
    bool EscapeCloses() const override { return false; }
    void Build() override;
    void Form_Load() override;
    void Form_Unload() override;
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    platform::TrayIcon icon_;
};

}  // namespace bw
