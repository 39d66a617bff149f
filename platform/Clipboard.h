// The system clipboard.
#pragma once
#include <windows.h>

namespace bw::platform {

// Empties the system clipboard of every format (OpenClipboard, EmptyClipboard, CloseClipboard).
// Another program may hold the clipboard open for a moment, so opening is tried a few times over
// about half a second. False when it could not be opened or emptied; nothing else is reported.
bool ClearClipboard(HWND owner = nullptr);

}  // namespace bw::platform
