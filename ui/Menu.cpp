// Menu bars over real Windows menus, with one callback per item.
#include "ui/Menu.h"

#include <map>
#include <vector>

namespace bw::ui {

namespace {

// Never destroyed: window objects holding menu items may outlive every other static.
std::map<UINT, MenuItem*>& Items() {
    static auto* items = new std::map<UINT, MenuItem*>;
    return *items;
}

// Menu identifiers stay clear of the controls' (which count up from 1000).
UINT nextId = 40000;

}  // namespace

MenuItem::~MenuItem() {
    if (id_) Items().erase(id_);
}

void MenuItem::SetEnabled(bool on) {
    enabled_ = on;
    Apply();
}

void MenuItem::SetChecked(bool on) {
    checked_ = on;
    Apply();
}

void MenuItem::Apply() {
    if (!owner_ || !IsMenu(owner_)) return;
    if (id_) {
        EnableMenuItem(owner_, id_, static_cast<UINT>(MF_BYCOMMAND | (enabled_ ? MF_ENABLED : MF_GRAYED)));
        CheckMenuItem(owner_, id_, static_cast<UINT>(MF_BYCOMMAND | (checked_ ? MF_CHECKED : MF_UNCHECKED)));
    } else if (position_ >= 0) {
        EnableMenuItem(owner_, static_cast<UINT>(position_), MF_BYPOSITION | (enabled_ ? MF_ENABLED : MF_GRAYED));
    }
}

bool MenuItem::Dispatch(UINT id) {
    auto it = Items().find(id);
    if (it == Items().end()) return false;
    MenuItem* item = it->second;
    if (item->enabled_ && item->onClick) item->onClick();
    return true;
}

void MenuBar::Create(HWND window, std::initializer_list<MenuPlace> places) {
    HMENU bar = CreateMenu();
    std::map<MenuItem*, HMENU> dropDowns;
    std::vector<MenuItem*> titles;
    for (const MenuPlace& p : places) {
        MenuItem* item = p.item;
        if (item->id_) Items().erase(item->id_);
        item->caption_ = p.caption ? p.caption : "";
        item->enabled_ = true;
        item->checked_ = false;
        item->id_ = 0;
        item->position_ = -1;
        if (!p.parent) {
            HMENU dropDown = CreatePopupMenu();
            dropDowns[item] = dropDown;
            item->owner_ = bar;
            item->position_ = static_cast<int>(titles.size());
            titles.push_back(item);
            AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown), item->caption_.c_str());
        } else {
            auto found = dropDowns.find(p.parent);
            if (found == dropDowns.end()) continue;
            item->owner_ = found->second;
            item->id_ = nextId++;
            Items()[item->id_] = item;
            AppendMenuA(found->second, item->caption_ == "-" ? MF_SEPARATOR : MF_STRING, item->id_,
                        item->caption_.c_str());
        }
    }
    SetMenu(window, bar);
    DrawMenuBar(window);
}

void MenuBar::PopUp(HWND window, const MenuItem& title) {
    if (!title.owner_ || !IsMenu(title.owner_) || title.position_ < 0) return;
    HMENU dropDown = GetSubMenu(title.owner_, title.position_);
    if (!dropDown) return;
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(dropDown, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    // Lets the menu close properly when the owner is a hidden window.
    PostMessageA(window, WM_NULL, 0, 0);
}

}  // namespace bw::ui
