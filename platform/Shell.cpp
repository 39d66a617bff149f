// Shell services.
#include "platform/Shell.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace bw::platform {

bool ClearRecentDocuments() {
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    return true;
}

unsigned ShlwapiMajorVersion() {
    HMODULE lib = LoadLibraryA("shlwapi.dll");
    if (!lib) return 0;
    unsigned major = 0;
    auto fn = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(lib, "DllGetVersion"));
    if (fn) {
        DLLVERSIONINFO info{};
        info.cbSize = 20;
        if (SUCCEEDED(fn(&info))) major = info.dwMajorVersion;
    }
    FreeLibrary(lib);
    return major;
}

}  // namespace bw::platform
