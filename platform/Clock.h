// The local date and time as text.
#pragma once
#include <string>

namespace bw::platform {

// The current local date and time in the user's short date and time formats, separated by
// one blank (for example "12/7/2026 8:45:12 AM").
std::string NowText();

}  // namespace bw::platform
