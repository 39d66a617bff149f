// The desktop's top-level windows, of this program or any other: listing them, their class,
// and hiding and bringing them back with their show state and position.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace bw::platform {

// Every top-level window, visible or not, in Z order (EnumWindows).
std::vector<HWND> TopLevelWindows();

// The window's class name (at most 255 characters); "" when the window is gone.
std::string WindowClassName(HWND window);

// GetWindowPlacement with the length set; false when the window is gone.
bool ReadPlacement(HWND window, WINDOWPLACEMENT* placement);

// Gives the window `placement` (its show command and positions). SetWindowPlacement first;
// where Windows refuses it (Wine does for another program's windows), the same result through
// ShowWindow and SetWindowPos: hidden, or shown normal at the normal rectangle, minimised, or
// maximised. False when the window is gone.
bool ApplyPlacement(HWND window, const WINDOWPLACEMENT& placement);

bool IsWindowShown(HWND window);  // exists and is visible

}  // namespace bw::platform
