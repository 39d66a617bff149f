// One file's details and the single-file operations of the file helper (see FileInfo.h).
#include "platform/FileInfo.h"

#include <oleauto.h>
#include <shellapi.h>
#include <winver.h>

#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Handles.h"
#include "platform/Paths.h"

namespace bw::platform {

namespace {

class Bstr {
public:
    Bstr() = default;
    ~Bstr() {
        if (s_) SysFreeString(s_);
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* out() { return &s_; }
    BSTR get() const { return s_; }

private:
    BSTR s_ = nullptr;
};

DWORD ErrorOr0(BOOL ok) { return ok ? 0 : GetLastError(); }

DWORD WriteX(HANDLE file) {
    DWORD written = 0;
    if (!WriteFile(file, "X", 1, &written, nullptr)) return GetLastError();
    return written == 1 ? 0 : ERROR_WRITE_FAULT;
}

}  // namespace

std::optional<FileDetails> GetFileDetails(const std::string& path) {
    if (path.empty()) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    FileDetails d;
    d.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    d.attributes = data.dwFileAttributes;
    d.created = data.ftCreationTime;
    d.accessed = data.ftLastAccessTime;
    d.written = data.ftLastWriteTime;
    return d;
}

std::string FileTypeName(const std::string& path) {
    SHFILEINFOA info{};
    if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_TYPENAME) && info.szTypeName[0])
        return info.szTypeName;
    size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return "File";
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext + " File";
}

std::string FileVersionText(const std::string& path) {
    if (path.empty()) return {};
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u",
                  static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)),
                  static_cast<unsigned>(LOWORD(fixed->dwFileVersionLS)));
    return text;
}

std::string FileTimeText(const FILETIME& time) {
    FILETIME local;
    SYSTEMTIME st;
    double date = 0;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &st) ||
        !SystemTimeToVariantTime(&st, &date))
        return {};
    Bstr text;
    if (FAILED(VarBstrFromDate(date, LOCALE_USER_DEFAULT, 0, text.out())) || !text.get()) return {};
    return paths::Narrow(std::wstring(text.get(), SysStringLen(text.get())));
}

std::optional<double> DateFromText(const std::string& text) {
    std::wstring wide = paths::Widen(text);
    if (wide.empty()) return std::nullopt;
    DATE date = 0;
    if (FAILED(VarDateFromStr(&wide[0], LOCALE_USER_DEFAULT, 0, &date))) return std::nullopt;
    return date;
}

std::optional<DWORD> PathAttributes(const std::string& path) {
    if (path.empty()) return std::nullopt;
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

DWORD SetPathAttributes(const std::string& path, DWORD attributes) {
    return ErrorOr0(SetFileAttributesA(path.c_str(), attributes));
}

DWORD CreateFolder(const std::string& path) {
    return ErrorOr0(CreateDirectoryA(path.c_str(), nullptr));
}

DWORD MoveFileTo(const std::string& source, const std::string& target) {
    return ErrorOr0(MoveFileA(source.c_str(), target.c_str()));
}

DWORD CopyFileTo(const std::string& source, const std::string& target) {
    return ErrorOr0(CopyFileA(source.c_str(), target.c_str(), TRUE));
}

DWORD ProbeWrite(const std::string& path) {
    DWORD error = 0;
    BY_HANDLE_FILE_INFORMATION made{};
    {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return GetLastError();
        error = GetFileInformationByHandle(file.get(), &made) ? WriteX(file.get()) : GetLastError();
    }
    if (error == 0) {
        FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        // Opened by name again: written only when it is still the file made above, never a
        // link or another file put in its place meanwhile.
        BY_HANDLE_FILE_INFORMATION opened{};
        if (!file.valid())
            error = GetLastError();
        else if (!GetFileInformationByHandle(file.get(), &opened) ||
                 opened.dwVolumeSerialNumber != made.dwVolumeSerialNumber ||
                 opened.nFileIndexHigh != made.nFileIndexHigh || opened.nFileIndexLow != made.nFileIndexLow)
            error = ERROR_ACCESS_DENIED;
        else
            error = WriteX(file.get());
    }
    // The file is the one created above (CREATE_NEW); the checked delete still refuses a link put
    // in its place meanwhile.
    if (!fs::DeleteFileAt(path, true) && error == 0) error = ERROR_ACCESS_DENIED;
    return error;
}

bool ReadFileChunks(const std::string& path,
                    const std::function<bool(const char* data, size_t size)>& onChunk) {
    if (path.empty()) return false;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return false;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return false;
        if (got == 0) return true;
        if (!onChunk(buffer.data(), got)) return true;
    }
}

std::string LowerText(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

DWORD LastError() { return GetLastError(); }

std::string ErrorText(DWORD error) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text;
    if (n && buffer) text.assign(buffer, n);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) text = "Unknown error " + std::to_string(error);
    return text;
}

}  // namespace bw::platform
