// What one erase run carries from item to item: its counters, the status list and the window
// that owns it. Items receive it and add to the counters as they work.
#pragma once
#include <windows.h>

#include <bitset>
#include <functional>
#include <string>

namespace bw {

// Which erase items the user ticked: bit n stands for the main window's check box n (1 to 29).
using EraseSelection = std::bitset<30>;

struct EraseRun {
    double regnum = 0;    // registry entries erased (a nominal count)
    double filesize = 0;  // bytes released
    std::string settingsFile;
    HWND mainWindow = nullptr;
    // Adds a line to the status list; `scroll` repaints the list and selects the new line.
    std::function<void(const std::string& line, bool scroll)> addLine;
    // Set by an item whose work could not start, to report its alternative end line.
    bool useAltEndLine = false;
};

// "####.##": integer part without leading zeros (nothing below 1), always a decimal point,
// at most two decimals without trailing zeros: 0 -> ".", 0.5 -> ".5", 12.345 -> "12.35",
// 3 -> "3.". Rounds the value as written in decimal (half away from zero).
std::string FormatSize(double value);

// A count as the shortest decimal text, no grouping: 47 -> "47", 2.5 -> "2.5".
std::string FormatCount(double value);

}  // namespace bw
