// Frames and picture boxes: container windows that dispatch their children's messages.
#include "ui/Containers.h"

namespace bw::ui {

namespace {

const char kContainerClass[] = "BrightwipeContainer";

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (DispatchToControl(msg, wp, lp, &result)) return result;
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
        // Let the form decide colours for everything inside.
        return SendMessageA(GetParent(hwnd), msg, wp, lp);
    }
    if (msg == WM_ERASEBKGND) {
        // The same colour as the form around it.
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            SendMessageA(GetParent(hwnd), WM_CTLCOLORSTATIC, wp, reinterpret_cast<LPARAM>(hwnd)));
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void RegisterContainerClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kContainerClass;
    RegisterClassA(&wc);
    done = true;
}

}  // namespace

const char* Container::ClassName() const {
    RegisterContainerClass();
    return kContainerClass;
}

void Frame::AfterCreate() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    box_ = CreateWindowExA(0, "BUTTON", caption_.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0,
                           rc.right, rc.bottom, hwnd_, nullptr, Instance(), nullptr);
    SendMessageA(box_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont()), FALSE);
    // Keep the box beneath the controls that sit on it.
    SetWindowPos(box_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Frame::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_SETTEXT && box_) SetWindowTextA(box_, reinterpret_cast<const char*>(lp));
    if (msg == WM_SIZE && box_) MoveWindow(box_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
    if (msg == WM_LBUTTONUP && onClick) onClick();
    return false;
}

bool PictureBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_LBUTTONUP && onClick) onClick();
    return false;
}

}  // namespace bw::ui
