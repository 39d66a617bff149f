// Loading and saving the option windows' check boxes.
#include "settings/SubItemSettings.h"

#include "platform/ProgramDir.h"
#include "settings/Inifun.h"

namespace bw::subitems {

std::string SettingsFile() { return platform::SettingsFile("bwsd.dat"); }

void Load(const char* section, const std::vector<Binding>& boxes) {
    const std::string file = SettingsFile();
    for (const Binding& b : boxes) b.box->SetValue(Inifun::IsOnByNumber(Inifun::ReadIni(file, section, b.key)) ? 1 : 0);
}

void Save(const char* section, const std::vector<Binding>& boxes) {
    const std::string file = SettingsFile();
    const Inifun::SaveBatch batch(file);
    for (const Binding& b : boxes) Inifun::WriteIni(file, section, b.key, b.box->Value() == 1 ? "1" : "0");
}

void SetAll(const std::vector<Binding>& boxes, int value) {
    for (const Binding& b : boxes) b.box->SetValue(value);
}

}  // namespace bw::subitems
