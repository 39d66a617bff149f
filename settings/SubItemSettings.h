// What the per-application option windows share: check boxes bound to on/off keys of one section
// of the settings file, loaded when a window opens and saved only by its "OK".
#pragma once
#include <string>
#include <vector>

#include "ui/Buttons.h"

namespace bw::subitems {

struct Binding {
    ui::CheckBox* box;
    const char* key;
};

// The program folder's "bwsd.dat".
std::string SettingsFile();

// Checks each box whose key reads as the number 1 ("1", "1.0"); clears the others, also for a
// missing key or a text that is no number.
void Load(const char* section, const std::vector<Binding>& boxes);

// Writes each key as "1" for a checked box and "0" otherwise, in order.
void Save(const char* section, const std::vector<Binding>& boxes);

// Sets every box to `value` ("Select all of the above"), in order.
void SetAll(const std::vector<Binding>& boxes, int value);

}  // namespace bw::subitems
