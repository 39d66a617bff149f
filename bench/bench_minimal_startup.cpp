// The reference for Brightwipe's start (startup.sh): the least Win32 code that does what the
// start does and nothing else. One window class; a splash "Brightwipe" the size of Brightwipe's,
// with a 2000 ms timer set before it shows; on the timer the splash hides, a plain main window
// "Brightwipe V2.60" is created and shown, and the splash is destroyed. A windows-subsystem
// program like Brightwipe, so that both are launched alike.
#include <windows.h>

namespace {

const char kClass[] = "MinimalStartupForm";
HWND splash = nullptr;
HWND mainWindow = nullptr;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY && hwnd == mainWindow) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND Create(const char* caption, DWORD style, int width, int height) {
    RECT rc{0, 0, width, height};
    AdjustWindowRect(&rc, style, FALSE);
    return CreateWindowExA(0, kClass, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                           rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void Show(HWND hwnd) {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
}

void CALLBACK SplashDone(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ShowWindow(splash, SW_HIDE);
    mainWindow = Create("Brightwipe V2.60", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 700, 520);
    Show(mainWindow);
    DestroyWindow(splash);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    splash = Create("Brightwipe", WS_POPUP | WS_CAPTION, 400, 250);
    SetTimer(nullptr, 0, 2000, SplashDone);
    Show(splash);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
