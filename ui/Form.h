// A top-level window built in code from a layout table of controls. Load makes the window
// (hidden) and its controls and runs Form_Load; Show, ShowModal and Hide change what the user
// sees; Unload runs Form_Unload and destroys the window, after which Load starts afresh with
// every control back in its design state. The program ends when the last loaded form is
// unloaded, once QuitWhenLastFormUnloads(true) has been called.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

#include "ui/Control.h"

namespace bw::ui {

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

    std::string Caption() const;
    void SetCaption(const std::string& text);

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

    void Layout(std::initializer_list<Place> places);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    std::string caption_;
    int width_, height_;
    bool modal_ = false;
};

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

}  // namespace bw::ui
