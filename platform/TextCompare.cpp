// Comparing text as Windows compares names shown to the user.
#include "platform/TextCompare.h"

#include <windows.h>

namespace bw::platform {

int CompareNoCase(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()); }

int CompareNoCase(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()); }

}  // namespace bw::platform
