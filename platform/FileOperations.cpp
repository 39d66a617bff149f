// Shell file operations and drive facts for the disk cleaner.
#include "platform/FileOperations.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RecycleBin.h"

namespace bw::platform {

bool IsDeletableFileInPlace(const std::string& path) {
    if (path.empty()) return false;
    return IsDeletableFileInPlace(paths::Widen(path));
}

bool IsDeletableFileInPlace(const std::wstring& path) {
    const std::wstring shown = paths::ShortForm(path);
    // The shell takes only everyday paths; a longer one cannot go to the recycle bin.
    if (shown.empty() || shown.size() >= MAX_PATH || shown.find_first_of(L"*?") != std::wstring::npos)
        return false;
    const std::wstring longPath = paths::LongPath(shown);
    if (longPath.empty()) return false;
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY))
        return false;
    return fs::IsFileInPlace(longPath);
}

bool RecycleChosenFile(const fs::SearchAnchor& anchor, const std::wstring& path) {
    // The folders down to the file stay held while it moves.
    std::optional<fs::ChosenFile> chosen = fs::LocateChosen(anchor, path);
    return chosen && MoveToRecycleBin(chosen->folder, chosen->name);
}

std::string ListedTimeText(const FILETIME& time) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &st)) return {};
    char date[128] = "";
    char clock[128] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    if (st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0) return date;
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, clock, sizeof clock);
    return std::string(date) + " " + clock;
}

}  // namespace bw::platform
