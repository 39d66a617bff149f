// Comparing text as Windows compares names shown to the user.
#pragma once
#include <string>

namespace bw::platform {

// Compares `a` and `b` without regard to letter case, in the user's locale (lstrcmpiA):
// negative when `a` sorts first, 0 when they are equal, positive otherwise.
int CompareNoCase(const std::string& a, const std::string& b);
int CompareNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace bw::platform
