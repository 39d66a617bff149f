// The cookie keep-list window.
#include "settings/frmcookie.h"

#include "settings/KeepLists.h"

namespace bw {


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
    lstCookieList.ShowLineEnds();
    List1.ShowLineEnds();
}

void frmcookie::cmdAdd_Click() {
    keeplist::Add(lstCookieList, List1, keeplist::CookieFile());
    List1.ShowLineEnds();
}

void frmcookie::cmdRemove_Click() {
    keeplist::Remove(List1, keeplist::CookieFile());
    List1.ShowLineEnds();
}

}  // namespace bw
