// The standard Windows message box.
#include "platform/MessageBox.h"

namespace bw::platform {

namespace {

HWND OwnerFor(HWND owner) {
    // Without an owner the box belongs to the window the user is working in, so that it stays
    // above it and that window waits for the answer.
    if (!owner || !IsWindowVisible(owner)) owner = GetActiveWindow();
    if (owner && !IsWindowVisible(owner)) owner = nullptr;
    // A box that opens behind another window looks like a hung program: it always comes to the
    // front, with its owner just below it.
    if (owner) SetForegroundWindow(owner);
    return owner;
}

// The box MsgBoxOffering shows on this thread: its extra button's caption and action.
struct Offer {
    std::string caption;
    std::function<void(HWND)> action;
    HHOOK hook = nullptr;
    WNDPROC boxProc = nullptr;
    bool busy = false;
};
thread_local Offer* tOffer = nullptr;

// The box's own procedure, but for its Help button, which runs the offer's action. (The box's
// Help handling differs between systems; this one does the same everywhere.)
LRESULT CALLBACK OfferingBoxProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
    Offer* offer = tOffer;
    const WNDPROC original = offer ? offer->boxProc : nullptr;
    if (!original) return DefDlgProcA(box, msg, wp, lp);
    if (msg == WM_COMMAND && LOWORD(wp) == IDHELP) {
        if (!offer->busy && offer->action) {
            offer->busy = true;
            EnableWindow(box, FALSE);
            offer->action(box);
            EnableWindow(box, TRUE);
            SetForegroundWindow(box);
            offer->busy = false;
        }
        return 0;
    }
    if (msg == WM_HELP) return TRUE;  // F1 is not the extra button
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        offer->boxProc = nullptr;
    }
    return CallWindowProcA(original, box, msg, wp, lp);
}

// Renames the Help button as the box is first activated and takes over its presses, then
// steps aside.
LRESULT CALLBACK TakeOverHelpButton(int code, WPARAM wp, LPARAM lp) {
    Offer* offer = tOffer;
    if (!offer) return 0;
    const HHOOK hook = offer->hook;
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wp);
        char cls[16] = "";
        GetClassNameA(box, cls, sizeof cls);
        if (HWND button = GetDlgItem(box, IDHELP); button && lstrcmpA(cls, "#32770") == 0) {
            SetWindowTextA(button, offer->caption.c_str());
            offer->boxProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OfferingBoxProc)));
            UnhookWindowsHookEx(hook);
            offer->hook = nullptr;
        }
    }
    return CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

int MsgBox(HWND owner, const std::string& text, const std::string& title, UINT style) {
    return MessageBoxA(OwnerFor(owner), text.c_str(), title.c_str(), style | MB_SETFOREGROUND);
}

int MsgBoxOffering(HWND owner, const std::string& text, const std::string& title, UINT style,
                   const std::string& extra, const std::function<void(HWND box)>& onExtra) {
    MSGBOXPARAMSA params{};
    params.cbSize = sizeof params;
    params.hwndOwner = OwnerFor(owner);
    Offer offer{extra, onExtra};
    Offer* outer = tOffer;
    tOffer = &offer;
    offer.hook = SetWindowsHookExA(WH_CBT, TakeOverHelpButton, nullptr, GetCurrentThreadId());
    params.lpszText = text.c_str();
    params.lpszCaption = title.c_str();
    params.dwStyle = style | MB_HELP | MB_SETFOREGROUND;
    const int pressed = MessageBoxIndirectA(&params);
    if (offer.hook) UnhookWindowsHookEx(offer.hook);
    tOffer = outer;
    return pressed;
}

}  // namespace bw::platform
