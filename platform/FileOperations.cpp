// Shell file operations and drive facts for the disk cleaner.
#include "platform/FileOperations.h"

#include <shellapi.h>

#include "platform/FileSystem.h"

namespace bw::platform {

namespace {

bool SamePathText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

}  // namespace

int ShellRecycleFile(const std::string& path) {
    if (path.empty()) return ERROR_INVALID_PARAMETER;
    std::string from = path;
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;  // 0x54
    op.fAnyOperationsAborted = FALSE;
    op.hNameMappings = nullptr;
    op.lpszProgressTitle = nullptr;
    return SHFileOperationA(&op);
}

bool IsDeletableFileInPlace(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 >= path.size()) return false;
    const std::string folder = path.substr(0, slash + 1);
    const std::string name = path.substr(slash + 1);

    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY))
        return false;

    fs::FolderGuard guard = fs::GuardFolder(folder);
    if (!guard.usable) return false;
    if (guard.finalPathsKnown) {
        std::optional<std::string> finalPath = fs::FinalPath(path);
        if (!finalPath || !SamePathText(*finalPath, guard.finalPath + name)) return false;
    }

    // Opening for deletion fails while another program holds the file without allowing that.
    HANDLE file = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool WriteFileFlushed(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = content.empty() ||
              (WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
               written == content.size());
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    return ok;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
