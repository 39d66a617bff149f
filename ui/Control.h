// Base of every control of the toolkit: a real child window of a standard class, with the
// properties the windows rely on (Caption, Enabled, Visible) and one callback per event.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace bw::ui {

class Control;

// One row of a window's layout table: which control, inside which container (null: the form),
// with which caption and where. `style` adds window styles to the control's own.
struct Place {
    Control* control;
    Control* parent;
    const char* caption;
    int x, y, w, h;
    DWORD style = 0;
};

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool Created() const { return hwnd_ != nullptr; }

    // Properties keep their value while the control has no window and apply it on creation.
    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    void Move(int x, int y, int w, int h);
    SIZE Size() const;  // 0 x 0 without a window
    void Refresh();  // repaints now
    void SetFocus();
    void BringToTop();  // above its sibling controls

    // Mouse movement over the control (subclassed controls only report it).
    std::function<void()> onMouseMove;

    // Creates the window as a child of `parent`, resetting the properties to the layout's.
    void Create(HWND parent, const Place& place);
    void Destroy();  // the window goes with its parent; this only forgets the handle

    // Called by the container's window procedure for messages the control sent.
    virtual void OnCommand(WORD code) {}
    virtual bool OnDrawItem(DRAWITEMSTRUCT* dis) { return false; }
    virtual LRESULT OnNotify(NMHDR* hdr) { return 0; }

    static Control* FromHwnd(HWND hwnd);

protected:
    virtual const char* ClassName() const = 0;
    virtual DWORD Style() const { return 0; }
    virtual DWORD ExStyle() const { return 0; }
    // Restores the design state before the window is made; after it is made.
    virtual void ResetState() {}
    virtual void AfterCreate() {}
    // Subclass hook: return true when handled.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return false; }

    HWND hwnd_ = nullptr;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    WNDPROC original_ = nullptr;
};

// The toolkit's shared pieces.
HINSTANCE Instance();
HFONT DefaultFont();
// Hands WM_COMMAND, WM_NOTIFY and WM_DRAWITEM from a container back to the control that sent
// them. Returns true when the message was one of those and was handled.
bool DispatchToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

}  // namespace bw::ui
