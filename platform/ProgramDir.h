// The program directory: the folder that holds the running exe. Every file of the program
// (settings, lists, patterns, help, skins) is addressed relative to it.
#pragma once
#include <string>

namespace bw::platform {

// The folder of the running exe, without a trailing backslash.
std::string ProgramDir();

// Makes ProgramDir() answer `folder` instead (empty text restores the exe's folder). For tests,
// which keep their settings and list files in a throwaway folder.
void OverrideProgramDir(const std::string& folder);

// ProgramDir() + "\" + name.
std::string ProgramFile(const std::string& name);

}  // namespace bw::platform
