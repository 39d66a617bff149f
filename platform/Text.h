// Conversion between the system code page (or UTF-8) and UTF-16: the one place the program
// converts text, never with best-fit mapping.
#pragma once
#include <windows.h>

#include <string>

namespace bw::platform::text {

// `text` in `codePage` (the system code page by default, or CP_UTF8) as UTF-16. Empty for
// empty text and for text the code page cannot read.
std::wstring ToWide(const std::string& text, UINT codePage = CP_ACP);

// UTF-16 text in `codePage`. A character the code page cannot hold becomes `fallback`, never a
// look-alike (best-fit mapping would turn a fullwidth dot or backslash into "." or "\"); `lossy`,
// when given, tells whether that happened. UTF-8 holds everything.
std::string FromWide(const wchar_t* text, size_t length, UINT codePage = CP_ACP, char fallback = '?',
                     bool* lossy = nullptr);
std::string FromWide(const std::wstring& text, UINT codePage = CP_ACP, char fallback = '?', bool* lossy = nullptr);

}  // namespace bw::platform::text
