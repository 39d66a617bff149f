// The cookie keep-list window.
#include "settings/frmcookie.h"

#include "settings/KeepLists.h"

namespace bw {

namespace {
// Cookie files are listed by their full paths, which share the cookie folder and end in the
// site's name: a list scrolls sideways over the longest, and starts scrolled to the ends, where
// the sites are.
void ShowEnds(ui::ListBox& list) {
    HWND box = list.hwnd();
    if (!box) return;
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int i = 0; i < list.ListCount(); ++i) {
        const std::string text = list.List(i);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (size.cx > widest) widest = size.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    RECT client;
    GetClientRect(box, &client);
    const int extent = widest + 6;
    SendMessageA(box, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
    if (extent > client.right)
        SendMessageA(box, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, extent - client.right), 0);
}
}  // namespace

frmcookie::frmcookie() : ui::Form("Cookies Options", 710, 284) {}

void frmcookie::Build() {
    Layout({
        {&Frame1, nullptr, "Cookies", 8, 8, 694, 234},
        {&Label1, &Frame1, "Current Cookies List", 10, 20, 300, 16},
        {&lstCookieList, &Frame1, "", 10, 38, 300, 184, WS_HSCROLL},
        {&cmdAdd, &Frame1, "Add >", 318, 80, 58, 24},
        {&cmdRemove, &Frame1, "< Remove", 318, 120, 58, 24},
        {&Label2, &Frame1, "Cookies Keep List", 384, 20, 300, 16},
        {&List1, &Frame1, "", 384, 38, 300, 184, WS_HSCROLL},
        {&cmdClose, nullptr, "Close", 622, 250, 80, 26},
    });
    cmdClose.onClick = [this] { Unload(); };
    SetCancelButton(&cmdClose);
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
}

void frmcookie::Form_Load() {
    lstCookieList.Clear();
    List1.Clear();
    lstCookieList.AddItems(keeplist::CookieFiles());
    keeplist::Load(List1, keeplist::CookieFile());
    ShowEnds(lstCookieList);
    ShowEnds(List1);
}

void frmcookie::cmdAdd_Click() {
    keeplist::Add(lstCookieList, List1, keeplist::CookieFile());
    ShowEnds(List1);
}

void frmcookie::cmdRemove_Click() {
    keeplist::Remove(List1, keeplist::CookieFile());
    ShowEnds(List1);
}

}  // namespace bw
