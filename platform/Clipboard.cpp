// The system clipboard.
#include "platform/Clipboard.h"

namespace bw::platform {

bool ClearClipboard(HWND owner) {
    constexpr int kAttempts = 10;
    bool open = false;
    for (int attempt = 0; attempt < kAttempts && !open; ++attempt) {
        open = OpenClipboard(owner) != FALSE;
        if (!open) Sleep(50);
    }
    if (!open) return false;
    bool emptied = EmptyClipboard() != FALSE;
    CloseClipboard();
    return emptied;
}

}  // namespace bw::platform
