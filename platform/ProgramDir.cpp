// The folder that holds the running exe.
#include "platform/ProgramDir.h"

#include <windows.h>

#include <vector>

namespace bw::platform {

namespace {
std::string& Override() {
    static std::string folder;
    return folder;
}
}  // namespace

void OverrideProgramDir(const std::string& folder) { Override() = folder; }

std::string ProgramDir() {
    if (!Override().empty()) return Override();
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return ".";
        if (n < buf.size()) {
            std::string path(buf.data(), n);
            size_t slash = path.find_last_of('\\');
            return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        }
        buf.resize(buf.size() * 2);
    }
}

std::string ProgramFile(const std::string& name) { return ProgramDir() + "\\" + name; }

}  // namespace bw::platform
