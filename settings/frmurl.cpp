// The typed-address keep-list window.
#include "settings/frmurl.h"

#include "settings/KeepLists.h"

namespace bw {

frmurl::frmurl() : ui::Form("URL Drop-List Options", 470, 284) {}

void frmurl::Build() {
    Layout({
        {&Frame1, nullptr, "URL Drop-List", 8, 8, 454, 234},
        {&Label1, &Frame1, "Current URL List", 10, 20, 180, 16},
        {&List2, &Frame1, "", 10, 38, 180, 184},
        {&cmdAdd, &Frame1, "Add >", 198, 80, 58, 24},
        {&cmdRemove, &Frame1, "< Remove", 198, 120, 58, 24},
        {&Label2, &Frame1, "URL Keep List", 264, 20, 180, 16},
        {&List1, &Frame1, "", 264, 38, 180, 184},
        {&cmdClose, nullptr, "Close", 382, 250, 80, 26},
    });
    cmdClose.onClick = [this] { Unload(); };
    SetCancelButton(&cmdClose);
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
}

void frmurl::Form_Load() {
    List2.Clear();
    List2.AddItems(keeplist::TypedUrls());
    keeplist::Load(List1, keeplist::UrlFile());
}

void frmurl::cmdAdd_Click() { keeplist::Add(List2, List1, keeplist::UrlFile()); }

void frmurl::cmdRemove_Click() { keeplist::Remove(List1, keeplist::UrlFile()); }


}  // namespace bw
