// The program directory: the folder that holds the running exe. Every file of the program
// (settings, lists, patterns, help, skins) is addressed relative to it.
#pragma once
#include <string>

namespace bw::platform {

// The folder of the running exe, without a trailing backslash.
std::string ProgramDir();

// ProgramDir() + "\" + name.
std::string ProgramFile(const std::string& name);

}  // namespace bw::platform
