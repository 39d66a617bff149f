// The Office option window.
#include "settings/frmoffice.h"

namespace bw {

namespace {
const char kSection[] = "OFFICE";
}

frmoffice::frmoffice() : ui::Form("MS Office", 260, 212) {}

std::vector<subitems::Binding> frmoffice::Boxes() {
    return {{&Check1, "word"}, {&Check2, "excel"}, {&Check3, "powerpoint"}, {&Check4, "frontpage"}, {&Check6, "access"}};
}

void frmoffice::Build() {
    Layout({
        {&Frame1, nullptr, "MS Office", 8, 8, 240, 158},
        {&Check1, &Frame1, "Microsoft Word", 10, 18, 200, 20},
        {&Check2, &Frame1, "Microsoft Excel", 10, 40, 200, 20},
        {&Check3, &Frame1, "Microsoft PowerPoint", 10, 62, 200, 20},
        {&Check4, &Frame1, "Microsoft FrontPage", 10, 84, 200, 20},
        {&Check6, &Frame1, "Microsoft Access", 10, 106, 200, 20},
        {&Check5, &Frame1, "Select all of the above", 10, 130, 200, 20},
        {&Command1, nullptr, "OK", 168, 174, 80, 24},
    });
    Check5.onClick = [this] { Check5_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    SetDefaultButton(&Command1);
}

void frmoffice::Form_Load() { subitems::Load(kSection, Boxes()); }

void frmoffice::Check5_Click() { subitems::SetAll(Boxes(), Check5.Value()); }

void frmoffice::Command1_Click() {
    subitems::Save(kSection, Boxes());
    Unload();
}

}  // namespace bw
