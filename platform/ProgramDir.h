// The program directory (the folder that holds the running exe, with the help and skins beside
// it) and the settings folder (where the settings and list files live).
#pragma once
#include <string>

namespace bw::platform {

// The folder of the running exe, without a trailing backslash.
std::string ProgramDir();

// Makes ProgramDir() and SettingsDir() answer `folder` instead (empty text restores the exe's
// folder and the rule below). For tests, which keep their settings and list files in a
// throwaway folder.
void OverrideProgramDir(const std::string& folder);

// ProgramDir() + "\" + name.
std::string ProgramFile(const std::string& name);

// The folder of bwsd.dat, cusd.dat, the keep lists and Ext.txt, without a trailing backslash.
// A copy the user can write into (the portable zip, a copy anywhere of their own) keeps them in
// the program folder. An installed copy the user cannot write into (Program Files, for a
// standard user) keeps them in "%APPDATA%\Brightwipe", made on first use with the default
// lists copied there from the program folder (files already there are never replaced). The
// choice is made once per run. When even that folder cannot be made, the program folder.
std::string SettingsDir();

// SettingsDir() + "\" + name.
std::string SettingsFile(const std::string& name);

// The default lists that setup installs beside the exe and a new settings folder starts with.
extern const char* const kDefaultListFiles[1];

// True when this process can create a file in `folder` (checked by making and dropping one).
bool CanWriteInto(const std::string& folder);

}  // namespace bw::platform
