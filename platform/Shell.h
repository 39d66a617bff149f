// Shell services: the recent documents list, shell library versions.
#pragma once
#include <string>

namespace bw::platform {

// Clears the Start menu's recent documents list (SHAddToRecentDocs with a null path); true when
// the call raised no error.
bool ClearRecentDocuments();

// The major version of Shlwapi.dll from its DllGetVersion (record size 20); 0 when the library
// or the function is missing.
unsigned ShlwapiMajorVersion();

}  // namespace bw::platform
