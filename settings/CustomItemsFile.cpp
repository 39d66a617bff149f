// Reading and writing the custom item list "cusd.dat".
#include "settings/CustomItemsFile.h"

#include "platform/LineFile.h"
#include "platform/Paths.h"
#include "platform/ProgramDir.h"

namespace bw::customitems {

std::string File() { return platform::SettingsFile("cusd.dat"); }

std::string Entry(const std::string& folder, const std::string& files) {
    return platform::TrimRight(folder + "\\" + files);
}

std::optional<std::vector<std::string>> Read() {
    std::optional<std::vector<std::string>> lines = platform::ReadLines(File());
    if (lines)
        for (std::string& line : *lines) line = platform::TrimRight(line);
    return lines;
}

bool Append(const std::string& entry) { return platform::AppendLine(File(), entry); }

bool Write(const std::vector<std::string>& entries) { return platform::WriteLines(File(), entries); }

bool IsAbsoluteEntry(const std::string& line) {
    // Leading blanks stay in an entry as typed; Windows drops them from a path.
    return platform::paths::IsAbsolute(platform::paths::Trim(line));
}

}  // namespace bw::customitems
