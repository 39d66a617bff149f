// Conversion between code pages and UTF-16, and sizes for people (see Text.h).
#include "platform/Text.h"

namespace bw::platform::text {

std::wstring ToWide(const std::string& text, UINT codePage) {
    if (text.empty() || text.size() > 0x7fffffff) return {};
    const int size = static_cast<int>(text.size());
    int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &out[0], n);
    return out;
}

std::string FromWide(const wchar_t* text, size_t length, UINT codePage, char fallback, bool* lossy) {
    if (lossy) *lossy = false;
    if (!text || length == 0 || length > 0x7fffffff) return {};
    const bool utf8 = codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
    // UTF-8 takes neither flags nor a default character.
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char defaultChar[2] = {fallback, '\0'};
    BOOL usedDefault = FALSE;
    const int size = static_cast<int>(length);
    int n = WideCharToMultiByte(codePage, flags, text, size, nullptr, 0, utf8 ? nullptr : defaultChar,
                                utf8 ? nullptr : &usedDefault);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, text, size, &out[0], n, utf8 ? nullptr : defaultChar,
                        utf8 ? nullptr : &usedDefault);
    if (lossy) *lossy = usedDefault != FALSE;
    return out;
}

std::string FromWide(const std::wstring& text, UINT codePage, char fallback, bool* lossy) {
    return FromWide(text.data(), text.size(), codePage, fallback, lossy);
}

std::string SizeText(uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
    constexpr size_t kLast = sizeof kUnits / sizeof kUnits[0] - 1;
    size_t unit = 0;
    uint64_t scale = 1024;
    while (unit < kLast && bytes / scale >= 1024) {
        scale *= 1024;
        ++unit;
    }
    // Tenths of the unit, rounded half up, in integers: a double would blur the last digits of a
    // count past 2^53, and bytes * 10 could overflow.
    uint64_t tenths = bytes / scale * 10 + ((bytes % scale) * 10 + scale / 2) / scale;
    if (tenths >= 1000) {
        const uint64_t whole = bytes / scale + ((bytes % scale) * 2 >= scale ? 1 : 0);
        if (whole >= 1024 && unit < kLast) {  // rounds up into the next unit
            ++unit;
            tenths = 10;
        } else {
            return std::to_string(whole) + " " + kUnits[unit];
        }
    }
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + kUnits[unit];
}

std::vector<std::wstring> PathParts(const std::wstring& path) {
    std::vector<std::wstring> parts;
    for (size_t at = 0; at <= path.size();) {
        size_t slash = path.find(L'\\', at);
        if (slash == std::wstring::npos) slash = path.size();
        if (slash > at) parts.push_back(path.substr(at, slash - at));
        at = slash + 1;
    }
    return parts;
}

}  // namespace bw::platform::text
