// Conversion between the system code page (or UTF-8) and UTF-16: the one place the program
// converts text, never with best-fit mapping; and the one way a byte count is shown to people.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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

// A byte count as a person reads it, in units of 1024: "0 bytes", "1 byte", "1023 bytes", then
// "1.0 KB", "12.4 MB", "3.2 GB", "1.5 TB". One decimal below 100 of a unit, none from 100 up
// ("512 KB"); rounded half up, and a figure that rounds to 1024 of a unit is written as 1.0 of
// the next ("1.0 MB", never "1024 KB"). Past 1023 TB it stays in TB ("2048 TB"). The decimal
// point is always ".", whatever the user's locale, so saved reports read the same everywhere.
std::string SizeText(uint64_t bytes);

// The parts of `path` between backslashes, empty ones left out ("a\\\\b\\" gives "a", "b").
std::vector<std::wstring> PathParts(const std::wstring& path);

}  // namespace bw::platform::text
