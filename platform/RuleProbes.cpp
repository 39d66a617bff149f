// Read-only registry and file probes for cleaning rules.
#include "platform/RuleProbes.h"

#include <new>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace bw::platform::probe {

namespace {

// Opens the key for reading its values; true also when it exists but access is denied.
bool OpenForQuery(HKEY root, const std::wstring& subkey, bool view64, HKEY* out) {
    *out = nullptr;
    if (view64 && !IsWow64()) return false;
    const REGSAM access = KEY_QUERY_VALUE | (view64 ? KEY_WOW64_64KEY : 0);
    const LONG status = RegOpenKeyExW(root, subkey.c_str(), 0, access, out);
    if (status == ERROR_SUCCESS) return true;
    *out = nullptr;
    return status == ERROR_ACCESS_DENIED;
}

}  // namespace

bool IsWow64() {
    static const bool wow64 = [] {
        using IsWow64Fn = BOOL(WINAPI*)(HANDLE, BOOL*);
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto fn = kernel ? reinterpret_cast<IsWow64Fn>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
        BOOL result = FALSE;
        return fn && fn(GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

bool RegistryKeyExists(HKEY root, const std::wstring& subkey, bool view64) {
    reg::Key key;
    return OpenForQuery(root, subkey, view64, key.put());
}

bool RegistryValueExists(HKEY root, const std::wstring& subkey, const std::wstring& name, bool view64) {
    reg::Key key;
    if (!OpenForQuery(root, subkey, view64, key.put()) || !key) return false;
    return RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

DWORD PathAttributes(const std::wstring& path) {
    if (path.size() < MAX_PATH) return GetFileAttributesW(path.c_str());
    const std::wstring longPath = paths::LongPath(path);
    return longPath.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(longPath.c_str());
}

wchar_t UpperChar(wchar_t c) {
    if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    wchar_t buffer[1] = {c};
    CharUpperBuffW(buffer, 1);
    return buffer[0];
}

ReadStatus ReadWholeFile(const std::string& path, uint64_t maxBytes, std::string* content, uint64_t* size) {
    content->clear();
    *size = 0;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadStatus::Missing
                                                                               : ReadStatus::Unreadable;
    }
    LARGE_INTEGER claimed{};
    if (!GetFileSizeEx(file.get(), &claimed) || claimed.QuadPart < 0) return ReadStatus::Unreadable;
    *size = static_cast<uint64_t>(claimed.QuadPart);
    if (*size > maxBytes) return ReadStatus::TooLarge;
    try {
        content->reserve(static_cast<size_t>(*size));
        char buffer[65536];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
                content->clear();
                return ReadStatus::Unreadable;
            }
            if (got == 0) break;
            content->append(buffer, got);
            // The size was only a hint (a device reads on and on): the reading itself stops here.
            if (content->size() > maxBytes) {
                *size = content->size();
                content->clear();
                content->shrink_to_fit();
                return ReadStatus::TooLarge;
            }
        }
    } catch (const std::bad_alloc&) {
        content->clear();
        return ReadStatus::Unreadable;
    }
    *size = content->size();
    return ReadStatus::Read;
}

}  // namespace bw::platform::probe
