// The cookie keep-list window.
#include "settings/frmcookie.h"

#include "settings/KeepLists.h"

namespace bw {

frmcookie::frmcookie() : ui::Form("Cookies Options", 470, 250) {}

void frmcookie::Build() {
    Layout({
        {&Frame1, nullptr, "Cookies", 8, 8, 454, 234},
        {&Label1, &Frame1, "Current Cookies List", 10, 20, 180, 16},
        {&lstCookieList, &Frame1, "", 10, 38, 180, 184},
        {&cmdAdd, &Frame1, "Add >", 198, 80, 58, 24},
        {&cmdRemove, &Frame1, "< Remove", 198, 120, 58, 24},
        {&Label2, &Frame1, "Cookies Keep List", 264, 20, 180, 16},
        {&List1, &Frame1, "", 264, 38, 180, 184},
    });
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
}

void frmcookie::Form_Load() {
    lstCookieList.Clear();
    List1.Clear();
    lstCookieList.AddItems(keeplist::CookieFiles());
    keeplist::Load(List1, keeplist::CookieFile());
}

void frmcookie::cmdAdd_Click() { keeplist::Add(lstCookieList, List1, keeplist::CookieFile()); }

void frmcookie::cmdRemove_Click() { keeplist::Remove(List1, keeplist::CookieFile()); }

}  // namespace bw
