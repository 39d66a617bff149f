// Menus of a form: a menu bar of drop-down menus whose items carry their captions and report
// clicks through one callback each, with Enabled and Checked states.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace bw::ui {

// One menu entry: a drop-down title on the bar, or an item inside a drop-down. Properties keep
// their value while the menu does not exist and apply when it is made.
class MenuItem {
public:
    MenuItem() = default;
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    std::function<void()> onClick;

    std::string Caption() const { return caption_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    // The WM_COMMAND identifier of this item (0 for a drop-down title or before the menu exists).
    UINT id() const { return id_; }

    // Runs the onClick of the item with identifier `id`; false when no item has it.
    // A form's window procedure calls this for WM_COMMAND sent by a menu (lParam 0).
    static bool Dispatch(UINT id);

private:
    friend class MenuBar;
    void Apply();
    HMENU owner_ = nullptr;  // the menu that holds this entry
    UINT id_ = 0;
    int position_ = -1;  // position of a drop-down title on the bar
    std::string caption_;
    bool enabled_ = true;
    bool checked_ = false;
};

// One row of a menu table: the entry, the drop-down title it goes under (null: it is a title
// on the bar) and its caption. Titles come before their items. An item captioned "-" is a
// separator line.
struct MenuPlace {
    MenuItem* item;
    MenuItem* parent;
    const char* caption;
};

class MenuBar {
public:
    // Builds the bar from the table and attaches it to `window` (the window destroys it when it
    // goes). Every entry starts enabled and unchecked.
    static void Create(HWND window, std::initializer_list<MenuPlace> places);
    // Opens the drop-down under `title` as a shortcut menu at the mouse pointer; the chosen
    // item's onClick runs through `window`'s commands before this returns.
    static void PopUp(HWND window, const MenuItem& title);
};

}  // namespace bw::ui
