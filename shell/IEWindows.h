// The boss key: Windows key + Z hides every Internet Explorer and Explorer folder window at
// once, Windows key + Shift + Z brings them back as they were. The tray window owns the hot keys
// and, while the boss key is on, runs HotKeyWindowProc in front of its own procedure.
#pragma once
#include <windows.h>

#include <vector>

namespace bw::IEWindows {

constexpr int BOSS_HIDE_ID = 95;   // MOD_WIN + 'Z'
constexpr int BOSS_SHOW_ID = 111;  // MOD_WIN + MOD_SHIFT + 'Z'

// One window hidden by the hide key, with its placement as read just before.
struct HiddenWindow {
    HWND hwnd;
    WINDOWPLACEMENT placement;
};

// The windows of the last hide, in the order they were found. Kept after a show, so that the
// show key brings the same windows back again; rebuilt by the next hide.
extern std::vector<HiddenWindow> HiddenWindowList;

// Rebuilds HiddenWindowList from every top-level window (visible or not) whose class is exactly
// "IEFrame" or "CabinetWClass", and hides each one, keeping its position and show state.
void HideBrowserWindows();

// Gives every recorded window its recorded placement, from the last recorded to the first:
// normal, minimised or maximised, at its old place. A window closed meanwhile (or whose handle
// now belongs to a window of another class) is passed over and the walk goes on.
void ShowBrowserWindows();

// Brings back the recorded windows that are still hidden, as ShowBrowserWindows would, and
// empties the list; windows the user has shown again keep where they are now. For the tray
// window's unload, so that no browser window stays hidden after Brightwipe ends.
void RestoreHiddenWindows();

// The tray window's procedure while the boss key is on: runs the hide or show for the two hot
// keys, then passes every message, those two included, to the kept procedure.
LRESULT CALLBACK HotKeyWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

// Registers both hot keys on `tray` and puts HotKeyWindowProc in front of its procedure,
// keeping the previous one. Nothing when the boss key is already on, so the procedure is
// never put in front of itself and the keys never registered twice.
void InstallBossKey(HWND tray);
// Unregisters both hot keys and puts the kept procedure back; nothing when it is off.
void RemoveBossKey(HWND tray);
// Whether HotKeyWindowProc is in front of the tray window's procedure now.
bool BossKeyOn();

}  // namespace bw::IEWindows
