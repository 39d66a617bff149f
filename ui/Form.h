// A top-level window built in code from a layout table of controls. Load makes the window
// (hidden) and its controls and runs Form_Load; Show, ShowModal and Hide change what the user
// sees; Unload runs Form_Unload and destroys the window, after which Load starts afresh with
// every control back in its design state. The program ends when the last loaded form is
// unloaded, once QuitWhenLastFormUnloads(true) has been called.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace bw::ui {

// Sizes and places given to a form (its width and height, its layout table) are in pixels at
// 96 DPI; they are scaled to the screen's DPI when the window and its controls are made, so that
// the system font, which grows with the DPI, still fits. Resize and the controls' own Move take
// screen pixels.
class Form {
public:
    Form(std::string caption, int width, int height);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool IsLoaded() const { return hwnd_ != nullptr; }
    bool Visible() const;

    void Load();           // nothing when already loaded
    void Show();           // loads when needed, shows and brings to the front, modeless
    void ShowModal();      // loads when needed; returns when the form is hidden or unloaded
    void Hide();
    void Unload();         // nothing when not loaded
    void Minimize();
    void Restore();
    void Center();         // moves the loaded window to the middle of the screen's work area
    bool IsMaximized() const;
    SIZE OuterSize() const;           // the window's size with its frame; 0 x 0 when not loaded
    void Resize(int width, int height);  // the outer size; the window stays where it is

    // Draws on the form's own surface, under its controls, whenever it is painted.
    std::function<void(HDC)> onPaint;

    std::string Caption() const;
    void SetCaption(const std::string& text);

    // The colour behind the form and every label, check box and frame on it (and inside its
    // frames); CLR_INVALID goes back to the system's button face.
    void SetBackColor(COLORREF color);
    COLORREF BackColor() const { return backColor_; }

    // The button that Enter presses (drawn as the default) and the one Esc presses; null: none.
    // Without a cancel button, Esc closes the form as its title bar's close button would,
    // unless EscapeCloses() says otherwise.
    void SetDefaultButton(Control* button);
    void SetCancelButton(Control* button);

    // Alt plus `letter` (A to Z, 0 to 9) runs `action` while the form is active: the access keys
    // of controls whose captions carry no underlined letter, such as pictures and labels.
    void SetAccessKey(char letter, std::function<void()> action);

    // What F1 does in every form (the program's guide); nothing when unset.
    static void SetHelpHandler(std::function<void()> handler);

    static void QuitWhenLastFormUnloads(bool on);
    static int LoadedForms();

protected:
    // Creates the controls; called by Load before Form_Load.
    virtual void Build() {}
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    // The user asked to close the window (title bar close button, Alt+F4). Default: Unload.
    virtual void Form_QueryClose() { Unload(); }
    // Messages the toolkit does not handle (hot keys, tray callbacks); true when handled.
    virtual bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return false; }
    // Window styles of the form.
    virtual DWORD FormStyle() const { return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN; }
    // Whether Esc closes the form when it has no cancel button.
    virtual bool EscapeCloses() const { return true; }

    void Layout(std::initializer_list<Place> places);
    void Layout(const std::vector<Place>& places);

private:
    friend bool RouteDialogMessage(MSG* msg);
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void RememberOpener();
    // Gives the activation back to the window that was active when this form was shown.
    void ReturnToOpener();
    void EndModal();
    std::vector<HWND> disabledByModal_;
    bool RunAccessKey(WPARAM virtualKey);
    HWND hwnd_ = nullptr;
    HWND opener_ = nullptr;     // the window active when the form was shown
    HWND lastFocus_ = nullptr;  // the control that had the keyboard when the form was left
    std::vector<std::pair<char, std::function<void()>>> accessKeys_;
    std::string caption_;
    int width_, height_;
    bool modal_ = false;
    COLORREF backColor_ = CLR_INVALID;
    HBRUSH backBrush_ = nullptr;
    Control* defaultButton_ = nullptr;
    Control* cancelButton_ = nullptr;
};

// Keyboard navigation for every form: hands `msg` to IsDialogMessage of the active window when
// that is one of the program's forms, so that Tab, Shift+Tab, Space, Enter, Esc and Alt plus an
// underlined letter work as in any dialog; F1 opens the guide, the form's own access keys run,
// and in a form with a menu bar Alt and a letter open its menus. True when the message was
// used; the message loops then neither translate nor dispatch it.
bool RouteDialogMessage(MSG* msg);

// The screen-wide mouse pointer: kDefaultPointer or kHourglass.
constexpr int kDefaultPointer = 0;
constexpr int kHourglass = 11;
void SetScreenMousePointer(int pointer);
int ScreenMousePointer();

// Shows the hourglass for as long as it lives, whichever way the work ends.
class WaitCursor {
public:
    WaitCursor() { SetScreenMousePointer(kHourglass); }
    ~WaitCursor() { SetScreenMousePointer(kDefaultPointer); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Processes the messages waiting for this thread (DoEvents).
void DoEvents();

// The screen's DPI (96 when it cannot be had), and `pixels` at 96 DPI scaled to it.
int ScreenDpi();
int Scaled(int pixels);

}  // namespace bw::ui
