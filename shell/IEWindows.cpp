// Hiding and showing browser and folder windows, and the hot keys that do it.
#include "shell/IEWindows.h"

#include <string>

#include "platform/HotKeys.h"
#include "platform/TopWindows.h"

namespace bw::IEWindows {

std::vector<HiddenWindow> HiddenWindowList;

namespace {

WNDPROC keptProc = nullptr;
HWND hookedWindow = nullptr;

bool IsBrowserClass(const std::string& name) { return name == "CabinetWClass" || name == "IEFrame"; }

void Bring(const HiddenWindow& record) {
    // The handle may have been closed, or reused by an unrelated window since the hide.
    if (!IsBrowserClass(platform::WindowClassName(record.hwnd))) return;
    platform::ApplyPlacement(record.hwnd, record.placement);
}

}  // namespace

void HideBrowserWindows() {
    HiddenWindowList.clear();
    for (HWND window : platform::TopLevelWindows()) {
        if (!IsBrowserClass(platform::WindowClassName(window))) continue;
        HiddenWindow record{window, {}};
        if (!platform::ReadPlacement(window, &record.placement)) continue;
        HiddenWindowList.push_back(record);
        WINDOWPLACEMENT hidden = record.placement;
        hidden.showCmd = SW_HIDE;
        platform::ApplyPlacement(window, hidden);
    }
}

void ShowBrowserWindows() {
    for (auto it = HiddenWindowList.rbegin(); it != HiddenWindowList.rend(); ++it) Bring(*it);
}

void RestoreHiddenWindows() {
    for (auto it = HiddenWindowList.rbegin(); it != HiddenWindowList.rend(); ++it)
        if (!platform::IsWindowShown(it->hwnd)) Bring(*it);
    HiddenWindowList.clear();
}

LRESULT CALLBACK HotKeyWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HOTKEY) {
        UINT modifiers = LOWORD(lp);
        UINT key = HIWORD(lp);
        if (key == 'Z' && modifiers == MOD_WIN && wp == BOSS_HIDE_ID) HideBrowserWindows();
        if (key == 'Z' && modifiers == (MOD_WIN | MOD_SHIFT) && wp == BOSS_SHOW_ID) ShowBrowserWindows();
    }
    return platform::CallKeptProc(keptProc, window, msg, wp, lp);
}

void InstallBossKey(HWND tray) {
    if (hookedWindow || !tray) return;
    platform::RegisterHotKey(tray, BOSS_HIDE_ID, MOD_WIN, 'Z');
    platform::RegisterHotKey(tray, BOSS_SHOW_ID, MOD_WIN | MOD_SHIFT, 'Z');
    keptProc = platform::ReplaceWindowProc(tray, HotKeyWindowProc);
    hookedWindow = tray;
}

void RemoveBossKey(HWND tray) {
    if (!hookedWindow || tray != hookedWindow) return;
    platform::UnregisterHotKey(tray, BOSS_HIDE_ID);
    platform::UnregisterHotKey(tray, BOSS_SHOW_ID);
    platform::ReplaceWindowProc(tray, keptProc);
    hookedWindow = nullptr;
}

bool BossKeyOn() { return hookedWindow != nullptr; }

}  // namespace bw::IEWindows
