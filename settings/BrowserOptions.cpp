// The browser option window: four trace boxes, a select-all box and "OK".
#include "settings/BrowserOptions.h"

namespace bw {

BrowserOptions::BrowserOptions(const char* caption, const char* frameCaption, const char* section, int height)
    : ui::Form(caption, 260, height), frameCaption_(frameCaption), section_(section) {}

std::vector<subitems::Binding> BrowserOptions::Boxes() {
    return {{&Check1, "Location"}, {&Check2, "Cookies"}, {&Check3, "Cache"}, {&Check4, "History"}};
}

void BrowserOptions::Build() {
    Layout({
        {&Frame1, nullptr, frameCaption_, 8, 8, 240, 136},
        {&Check1, &Frame1, "Location bar history", 10, 18, 200, 20},
        {&Check2, &Frame1, "Cookies", 10, 40, 200, 20},
        {&Check3, &Frame1, "Cache", 10, 62, 200, 20},
        {&Check4, &Frame1, "History files", 10, 84, 200, 20},
        {&Check5, &Frame1, "Select all of the above", 10, 108, 200, 20},
        {&Command1, nullptr, "OK", 168, 152, 80, 24},
    });
    Check5.onClick = [this] { Check5_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    SetDefaultButton(&Command1);
}

void BrowserOptions::Form_Load() { subitems::Load(section_, Boxes()); }

void BrowserOptions::Check5_Click() { subitems::SetAll(Boxes(), Check5.Value()); }

void BrowserOptions::Command1_Click() {
    subitems::Save(section_, Boxes());
    Unload();
}

}  // namespace bw
