// The More Applications option window.
#include "settings/frmmoreapp.h"

#include <iterator>

namespace bw {

namespace {
const char kSection[] = "MOREAPPLICATIONS";
}

frmmoreapp::frmmoreapp() : ui::Form("More Applications", 470, 350) {}

std::vector<subitems::Binding> frmmoreapp::Boxes() {
    return {
        {&Check1, "ACDSee5"},        {&Check2, "ACDsee4"},     {&Check3, "AcrobatReader4"},
        {&Check4, "AcrobatReader5"}, {&Check5, "AOL"},         {&Check6, "CuteFTP"},
        {&Check7, "DivxPlayer"},     {&Check8, "FlashGet"},    {&Check9, "GetRight"},
        {&Check10, "Hotbar"},        {&Check11, "ICQ"},        {&Check12, "KaZaA"},
        {&Check13, "Morpheus"},      {&Check15, "NetVampire"}, {&Check14, "MSNMessager"},
        {&Check16, "PowerDVD"},      {&Check17, "QuickTime"},  {&Check18, "SWiSH"},
        {&Check19, "ThePlayer"},     {&Check20, "Winamp"},     {&Check21, "WinRar"},
        {&Check22, "Aol70"},         {&Check23, "Yahoo!"},
    };
}

void frmmoreapp::Build() {
    struct Box {
        ui::CheckBox* box;
        const char* caption;
    };
    const Box boxes[] = {
        {&Check1, "ACDSee 5.0 Recent"},
        {&Check2, "ACDsee 4.0 Recent"},
        {&Check3, "Acrobat Reader 4.0 file list"},
        {&Check4, "Acrobat Reader 5 Recent Files"},
        {&Check5, "America Online 6.0 Temp Files"},
        {&Check6, "CuteFTP4.0  History Data"},
        {&Check7, "Divx Player Playlist"},
        {&Check8, "Flash Get Recent"},
        {&Check9, "GetRight 4.x Recent"},
        {&Check10, "Hotbar3.0 History Data"},
        {&Check11, "ICQ 2000B Cache"},
        {&Check12, "KaZaA Download Files"},
        {&Check13, "Morpheus History Data"},
        {&Check14, "MSN Messager Reveived files"},
        {&Check15, "Net Vampire 3.x Recent"},
        {&Check16, "PowerDVD PlayList"},
        {&Check17, "QuickTime Playlist"},
        {&Check18, "SWiSH 2.0 Recent"},
        {&Check19, "The Playe  Playlist"},
        {&Check20, "Winamp Recent"},
        {&Check21, "WinRar 2.x Recent"},
        {&Check22, "AOL 7.0 Chat Log"},
        {&Check23, "Yahoo! Message History Files"},
    };
    Layout({{&Frame6, nullptr, "Select the item(s) to clean", 8, 8, 454, 296}});
    const int kPerColumn = 12;
    for (int i = 0; i < static_cast<int>(std::size(boxes)); ++i)
        Layout({{boxes[i].box, &Frame6, boxes[i].caption, 10 + (i / kPerColumn) * 222, 18 + (i % kPerColumn) * 22,
                 216, 20}});
    Layout({{&Command1, nullptr, "OK", 382, 314, 80, 26}});
    Command1.onClick = [this] { Command1_Click(); };
    SetDefaultButton(&Command1);
}

void frmmoreapp::Form_Load() { subitems::Load(kSection, Boxes()); }

void frmmoreapp::Command1_Click() {
    subitems::Save(kSection, Boxes());
    Unload();
}

}  // namespace bw
