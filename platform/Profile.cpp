// Windows profile (INI file) functions, ANSI forms.
#include "platform/Profile.h"

#include <vector>

#include "platform/FileSystem.h"

namespace bw::platform::profile {

std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& def, DWORD bufferSize) {
    if (bufferSize == 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(bufferSize) + 1, '\0');
    DWORD copied = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                            buffer.data(), bufferSize, file.c_str());
    if (copied > bufferSize - 1) copied = bufferSize - 1;
    return std::string(buffer.data(), copied);
}

bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    // The profile functions write through a link in the file's place; such a file is left alone.
    if (fs::LeadsElsewhere(file)) return false;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           FALSE;
}

}  // namespace bw::platform::profile
